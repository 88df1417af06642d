#ifndef C331_ACCESS_H
#define C331_ACCESS_H

#include "global.h"
#include <vector>

struct ST_RECT {
    int x;
    int y;
    int width;
    int height;
};

// One applied difference of the live image against the shadow copy.
struct C331Change {
    int addr;
    u8 before;
    u8 after;
};

// What the video-chip manager needs of the chip. Called from the manager's thread (or a
// test's run_once) under c331_manage::manage_mutex. A call the chip did not take returns false.
class C331Access
{
public:
    virtual ~C331Access() = default;
    // Writes one change set of the parameter block into the chip.
    virtual bool apply(const std::vector<C331Change> &set) = 0;
    // Sets the part of its input that window 0..5 shows: `rect` when `enable`, else the
    // whole input.
    virtual bool set_crop(int window, bool enable, const ST_RECT &rect) = 0;
    // Re-initialises the LED panel timing after the LED geometry changed.
    virtual bool init_panel() = 0;
    // The font-present bits from the font headers of the chip's serial flash.
    virtual u32 read_font_present() = 0;
};

// The device's access. The chip's SPI protocol is not written yet: every call reports
// failure (logged once) and no font is present.
class C331Device : public C331Access
{
public:
    bool apply(const std::vector<C331Change> &set) override;
    bool set_crop(int window, bool enable, const ST_RECT &rect) override;
    bool init_panel() override;
    u32 read_font_present() override;

private:
    bool missing(const char *what);
    bool logged_ = false;
};

#endif
