#ifndef TAVIKSOURCE_H
#define TAVIKSOURCE_H

#include "global.h"
#include "it66121_sys.h"
#include "tavik_access.h"
#include <QString>
#include <memory>
#include <pthread.h>

// The input-source manager: measures the six inputs and publishes each one's width, height
// and frame rate into the live image (256 + 6 x input), raising change code 12 when any of
// them changed. Its thread polls the inputs one after the other. It reaches the receivers
// through one TavikAccess: the device's, or on the PC the model (a text file under the data
// root; chosen by the build kind, see chip_access.h).
// Thread rule: the timings are written under the video-chip manager's mutex (without its
// changed flag) and Utils::_source_hdminfo_mutex; the signal is raised with no lock held.
class taviksource
{
public:
    static taviksource *p_tavik_source;
    // Creates the manager (no thread yet).
    static taviksource *pInstanceNoThread();
    // Creates the manager when needed and starts its thread once.
    static taviksource *pInstance();

    // One pass over the six inputs without sleeping; returns 12 when a timing changed and
    // the code was raised, else 0.
    int run_once();

    // The receivers' access; replacing it is for tests, while the thread is not running.
    TavikAccess *access() const { return access_.get(); }
    void set_access(std::unique_ptr<TavikAccess> access) { access_ = std::move(access); }

    it66121_sys it66121; // its reset of the SDI receiver may be called from any thread

private:
    taviksource();
    static void *thread_main(void *arg);
    bool poll_port(int port);
    void measure_all();

    pthread_t thread_{};
    bool thread_started_ = false;
    std::unique_ptr<TavikAccess> access_;
    u16 measured_[6][3] = {}; // owned by whoever runs the passes (the thread, or a test)
};

#endif
