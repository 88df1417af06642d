#include "taviksource.h"
#include "chip_access.h"
#include "krarampara.h"
#include "tavik_model_sim.h"
#include "utils.h"

#include <unistd.h>

taviksource *taviksource::p_tavik_source = nullptr;

namespace {
constexpr int kPorts = 6;
// A pass measures every port at once, so the thread rests once per pass for the time the
// ports would take one after the other (10 ms each) rather than waking after each port.
constexpr useconds_t kPassRestUs = kPorts * 10000;
} // namespace

taviksource::taviksource() : access_(kra_chip_access<TavikAccess, TavikModelSim, TavikDevice>()) {}

taviksource *taviksource::pInstanceNoThread()
{
    if (!p_tavik_source)
        p_tavik_source = new taviksource();
    return p_tavik_source;
}

taviksource *taviksource::pInstance()
{
    taviksource *self = pInstanceNoThread();
    if (!self->thread_started_) {
        if (pthread_create(&self->thread_, nullptr, &taviksource::thread_main, self) == 0)
            self->thread_started_ = true;
        else
            writeLogMsg(LOG_ERROR, QStringLiteral("input-source manager: thread not started"));
    }
    return self;
}

void *taviksource::thread_main(void *arg)
{
    auto *self = static_cast<taviksource *>(arg);
    for (;;) {
        self->run_once();
        usleep(kPassRestUs);
    }
    return nullptr;
}

int taviksource::run_once()
{
    measure_all();
    bool changed = false;
    for (int port = 0; port < kPorts; ++port) {
        if (poll_port(port))
            changed = true;
    }
    if (!changed)
        return 0;
    KraRamPara::pInstance()->test_signal(12);
    return 12;
}

void taviksource::measure_all()
{
    access_->begin_pass();
    for (int port = 0; port < kPorts; ++port)
        access_->measure(port, measured_[port]);
}

bool taviksource::poll_port(int port)
{
    KraRamPara *para = KraRamPara::pInstance();
    const int addr = Para::TIMING + 6 * port;
    const u16 *m = measured_[port];
    ParaWrite write(false);
    MutexLocker lock(&Utils::_source_hdminfo_mutex);
    if (para->live16(addr) == m[0] && para->live16(addr + 2) == m[1] && para->live16(addr + 4) == m[2])
        return false;
    write.set16(addr, m[0]);
    write.set16(addr + 2, m[1]);
    write.set16(addr + 4, m[2]);
    return true;
}
