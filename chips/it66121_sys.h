#ifndef IT66121_SYS_H
#define IT66121_SYS_H

#include <atomic>
#include <mutex>

// System control of the HDMI transmitter board, which also drives the reset line of the
// GS2971 SDI receiver. On the host the line is a model: its level is kept and every change
// is noted in the command log.
// Threads: any thread may reset; resets are serialised by the object's mutex, held over
// the 50 ms pulse and nothing else. The level is atomic.
class it66121_sys
{
public:
    // Drives the receiver's reset line low, waits 50 ms and drives it high.
    void GS2971_Reset();
    // Level of the reset line: true high (receiver running).
    bool gs2971_reset_level() const { return reset_level_; }

private:
    void set_reset_line(bool high);

    std::mutex reset_mutex_;
    std::atomic<bool> reset_level_{true};
};

#endif
