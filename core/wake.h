#ifndef WAKE_H
#define WAKE_H

#include "global.h"
#include <condition_variable>
#include <mutex>

// Lets a manager's thread sleep between passes until a writer of one of the flags it checks
// signals, or a time-out passes. A signal given while the thread runs its pass is kept, so
// the next wait returns at once: a change never waits for the time-out.
// Thread rule: signal() from any thread, holding any lock (the wake's own lock is taken last
// and never held while taking another); wait() from the manager's thread only.
class KraWake
{
public:
    void signal();
    // Returns at the first signal (consuming it; true) or after `ms` milliseconds (false).
    bool wait(int ms);

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool pending_ = false;
};

// Never destroyed: the managers' threads wait on them until the process ends.
// The video-chip manager's thread: c331_manage::para_changed and g_set_led_para.
extern KraWake &kra_video_wake;
// The FPGA manager's thread: g_set_led_para, the job word of g_send_para and g_usb_grade.
extern KraWake &kra_fpga_wake;

// The one way to write the LED-geometry hand-shake flag: the caller holds
// Utils::_led_para_init_mutex. Both managers' threads are woken, since each waits on the
// other's step.
void kra_set_led_para(u8 value);

#endif
