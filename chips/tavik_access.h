#ifndef TAVIK_ACCESS_H
#define TAVIK_ACCESS_H

#include "global.h"

// What the input-source manager needs of the six input receivers (input code 0 EXT, 1 DVI,
// 2..5 HDMI1..HDMI4). Called from whoever runs the manager's passes (its thread, or a test).
class TavikAccess
{
public:
    virtual ~TavikAccess() = default;
    // Before each pass over the six inputs.
    virtual void begin_pass() {}
    // The measured width, height and frame rate of an input; all 0 without a signal. False
    // when the receiver could not be read (the timing is then all 0).
    virtual bool measure(int input, u16 timing[3]) = 0;
};

// The device's access. The receivers' I2C access is not written yet: every input reads as
// failed (logged once), i.e. without a signal.
class TavikDevice : public TavikAccess
{
public:
    bool measure(int input, u16 timing[3]) override;

private:
    bool logged_ = false;
};

#endif
