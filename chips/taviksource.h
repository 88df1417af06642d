#ifndef TAVIKSOURCE_H
#define TAVIKSOURCE_H

#include "global.h"
#include "it66121_sys.h"
#include <QString>
#include <pthread.h>

// The input-source manager: measures the six inputs and publishes each one's width, height
// and frame rate into the live image (256 + 6 x input), raising change code 12 when any of
// them changed. Its thread polls the inputs one after the other. On the host the inputs are
// simulated by a text file under the data root that is re-read on every pass.
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

    // The simulation file: line k (k = input code 0 EXT, 1 DVI, 2..5 HDMI1..HDMI4) holds
    // "width height rate" (blanks, commas, 'x' or '@' between them, '#' starts a comment);
    // an empty or unreadable line means no signal.
    static QString sim_file_path();

    it66121_sys it66121; // its reset of the SDI receiver may be called from any thread

private:
    taviksource() = default;
    static void *thread_main(void *arg);
    int run_pass(bool sleepAfterPort);
    bool poll_port(int port);
    void measure_all();

    pthread_t thread_{};
    bool thread_started_ = false;
    u16 measured_[6][3] = {}; // owned by whoever runs the passes (the thread, or a test)
};

#endif
