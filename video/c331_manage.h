#ifndef C331_MANAGE_H
#define C331_MANAGE_H

#include "global.h"
#include "krarampara.h"
#include <QString>
#include <QStringList>
#include <atomic>
#include <pthread.h>
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

// The video-chip manager. Its thread polls para_changed; every writer of the live image
// takes manage_mutex, writes, sets para_changed and releases it. On the host the chip is
// a model: a change set is recorded instead of being written over SPI.
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

    // Clamps a crop shown by `window` to the measured picture of the window's input.
    void c331_SetCrop(char window, char enable, ST_RECT *rect);

    // Host model: the last applied change set, the number of sets and of panel re-inits.
    std::vector<C331Change> last_change_set() const;
    u32 change_sets() const { return change_sets_; }
    u32 panel_inits() const { return panel_inits_; }

private:
    c331_manage() = default;
    static void *thread_main(void *arg);
    void apply_changes();
    void led_handshake_pass();

    pthread_t thread_{};
    mutable pthread_mutex_t record_mutex_ = PTHREAD_MUTEX_INITIALIZER;
    std::vector<C331Change> last_;
    std::atomic<u32> change_sets_{0};
    std::atomic<u32> panel_inits_{0};
    bool led_reinit_pending_ = false; // thread-only
};

#endif
