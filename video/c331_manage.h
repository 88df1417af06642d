#ifndef C331_MANAGE_H
#define C331_MANAGE_H

#include "c331_access.h"
#include "global.h"
#include "krarampara.h"
#include <QString>
#include <QStringList>
#include <atomic>
#include <pthread.h>
#include <memory>
#include <vector>

class C331ModelSim;

// The video-chip manager. Its thread checks para_changed on every pass; every writer of the
// live image takes manage_mutex, writes, sets para_changed and releases it (ParaWrite), which
// wakes the thread (kra_video_wake); between passes the thread waits for that signal (ten ticks at most). It
// reaches the chip through one C331Access: the device's, or on the PC the model (chosen by
// the build kind, see chip_access.h).
class c331_manage
{
public:
    static c331_manage *p_c331_manage;
    // Creates the manager and starts its thread.
    static c331_manage *pInstance();
    // Creates the manager without a thread, for tests that run its passes themselves.
    static c331_manage *pInstanceNoThread();

    static pthread_mutex_t &manage_mutex;
    static std::atomic<u8> &para_changed;
    static std::atomic<u32> font_present;

    // One pass of the thread's loop; returns the change code raised, or 0.
    int run_once();

    // Fits a crop shown by window 0..5 to the measured picture of the window's input (each
    // axis apart: a crop reaching beyond the picture takes its whole width or height) and
    // sets it in the chip; `enable` 0: the window shows its whole input. Called under
    // manage_mutex: the manager's pass calls it whenever a window's source, the crop table or
    // an input's timing changed.
    void c331_SetCrop(char window, char enable, ST_RECT *rect);

    // The chip access; replacing it (under manage_mutex) is for tests.
    void set_access(std::unique_ptr<C331Access> access);
    // The PC model when that is the access, else null.
    C331ModelSim *model() const;

private:
    c331_manage();
    static void *thread_main(void *arg);
    bool apply_changes();
    bool timings_changed();
    void fit_crops();
    void led_handshake_pass();

    pthread_t thread_{};
    std::unique_ptr<C331Access> access_; // used under manage_mutex
    bool led_reinit_pending_ = false;    // thread-only
    u8 fitted_timings_[6 * 6] = {};      // input timings the crops were fitted to; under manage_mutex
};

#endif
