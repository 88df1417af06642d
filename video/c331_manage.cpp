#include "c331_manage.h"
#include "c331_model_sim.h"
#include "chip_access.h"
#include "utils.h"
#include "wake.h"

namespace {
// Between passes: every writer of the flags wakes the thread (see wake.h), so the time-out
// is only a back-stop; ten ticks keep the idle thread to ten wakes a second.
constexpr int kIdleWaitMs = 100;
} // namespace

c331_manage *c331_manage::p_c331_manage = nullptr;
pthread_mutex_t &c331_manage::manage_mutex = kra_manage_mutex;
std::atomic<u8> &c331_manage::para_changed = kra_para_changed;
std::atomic<u32> c331_manage::font_present{0};

c331_manage::c331_manage()
{
    set_access(kra_chip_access<C331Access, C331ModelSim, C331Device>());
}

void c331_manage::set_access(std::unique_ptr<C331Access> access)
{
    // Read before it is shared: the read may touch files, which is not done under the mutex.
    font_present = access->read_font_present();
    MutexLocker lock(&manage_mutex);
    access_ = std::move(access);
}

C331ModelSim *c331_manage::model() const
{
    return dynamic_cast<C331ModelSim *>(access_.get());
}

c331_manage *c331_manage::pInstanceNoThread()
{
    if (!p_c331_manage)
        p_c331_manage = new c331_manage();
    return p_c331_manage;
}

c331_manage *c331_manage::pInstance()
{
    if (!p_c331_manage) {
        pInstanceNoThread();
        pthread_create(&p_c331_manage->thread_, nullptr, &c331_manage::thread_main, p_c331_manage);
    }
    return p_c331_manage;
}

void *c331_manage::thread_main(void *arg)
{
    auto *self = static_cast<c331_manage *>(arg);
    for (;;) {
        self->run_once();
        kra_video_wake.wait(kIdleWaitMs);
    }
    return nullptr;
}

// Registers the chip follows: everything of the image that the user interface or the
// protocol may change. Only the saved range and the input timings are watched.
void c331_manage::apply_changes()
{
    KraRamPara *p = KraRamPara::pInstance();
    std::vector<C331Change> set;
    for (int a = Para::TIMING; a < Para::IMAGE_SIZE; ++a) {
        if (a == Para::TIMING + 36)
            a = Para::SAVED_FIRST; // skip to the saved range after the six timing records
        if (p->ram_para[a] != p->ram_para_bak[a])
            set.push_back({a, p->ram_para_bak[a], p->ram_para[a]});
    }
    if (!access_->apply(set))
        writeLogMsg(LOG_ERROR, QStringLiteral("c331_manage: change set not applied"));
}

// The video chip's side of the LED-geometry hand-shake: while the flag is 1 it waits; once
// the FPGA manager has returned it to 0 it re-initialises the panel timing and sets 2.
void c331_manage::led_handshake_pass()
{
    MutexLocker lock(&Utils::_led_para_init_mutex);
    if (g_set_led_para == 1) {
        led_reinit_pending_ = true;
        return;
    }
    if (led_reinit_pending_ && g_set_led_para == 0) {
        if (!access_->init_panel())
            writeLogMsg(LOG_ERROR, QStringLiteral("c331_manage: panel not re-initialised"));
        kra_set_led_para(2);
        led_reinit_pending_ = false;
    }
}

int c331_manage::run_once()
{
    int code = 0;
    {
        MutexLocker lock(&manage_mutex);
        led_handshake_pass();
        if (para_changed != 0) {
            apply_changes();
            code = para_changed;
            para_changed = 0;
        }
    }
    // Raised outside the mutex: the receiver runs queued in the GUI thread.
    if (code)
        KraRamPara::pInstance()->test_signal(code);
    return code;
}

void c331_manage::c331_SetCrop(char window, char enable, ST_RECT *rect)
{
    if (!enable || !rect)
        return;
    KraRamPara *p = KraRamPara::pInstance();
    const u8 w = u8(window);
    if (w >= Para::WINDOWS_SHOWN)
        return;
    const u8 input = p->KraGetImageSource(p->ram_para, w, nullptr, nullptr, 0);
    if (input > 5)
        return;
    int inW, inH;
    {
        MutexLocker lock(&Utils::_source_hdminfo_mutex);
        inW = p->live16(Para::TIMING + 6 * input);
        inH = p->live16(Para::TIMING + 6 * input + 2);
    }
    if (rect->x + rect->width > inW) {
        rect->x = 0;
        rect->width = inW;
    }
    if (rect->y + rect->height > inH) {
        rect->y = 0;
        rect->height = inH;
    }
}
