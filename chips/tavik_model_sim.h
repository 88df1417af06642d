#ifndef TAVIK_MODEL_SIM_H
#define TAVIK_MODEL_SIM_H

#include "filewatch.h"
#include "tavik_access.h"
#include <QString>

// The PC's model of the input receivers: a text file under the data root, re-read when its
// status shows a change, so a test or a person can plug and unplug inputs.
// Thread rule: owned by whoever runs the manager's passes.
class TavikModelSim : public TavikAccess
{
public:
    // Line k (k = input code) holds "width height rate" (blanks, commas, 'x' or '@' between
    // them, '#' starts a comment); an empty or unreadable line means no signal, a missing
    // file unplugs every input.
    static QString file_path();

    void begin_pass() override;
    bool measure(int input, u16 timing[3]) override;

private:
    FileWatch file_;
    u16 measured_[6][3] = {};
};

#endif
