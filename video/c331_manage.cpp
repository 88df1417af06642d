#include "c331_manage.h"
#include "c331_model_sim.h"
#include "chip_access.h"
#include "utils.h"
#include "wake.h"

#include <cstring>

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
        // The thread reads the parameter block on every pass: it is never made there.
        KraRamPara::pInstance();
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
// protocol may change. Only the saved range and the input timings are watched. Returns true
// when the set touches what the windows' crops depend on: a shown window's source or the
// crop table.
bool c331_manage::apply_changes()
{
    KraRamPara *p = KraRamPara::pInstance();
    std::vector<C331Change> set;
    bool crops = false;
    for (int a = Para::TIMING; a < Para::IMAGE_SIZE; ++a) {
        if (a == Para::TIMING + 36)
            a = Para::SAVED_FIRST; // skip to the saved range after the six timing records
        if (p->ram_para[a] == p->ram_para_bak[a])
            continue;
        set.push_back({a, p->ram_para_bak[a], p->ram_para[a]});
        const int inWindow = (a - Para::WINDOW) % Para::WINDOW_SIZE;
        if ((a >= Para::CROP && a < Para::CROP_END)
            || (a >= Para::WINDOW && a < Para::win(Para::WINDOWS_SHOWN, 0)
                && (inWindow == Para::W_SOURCE || inWindow == Para::W_SOURCE + 1)))
            crops = true;
    }
    if (!access_->apply(set))
        writeLogMsg(LOG_ERROR, QStringLiteral("c331_manage: change set not applied"));
    return crops;
}

// The input-source manager writes the timings under manage_mutex, which the pass holds. The
// shadow copy cannot tell a new timing: it follows the live image only when the block is saved.
bool c331_manage::timings_changed()
{
    const u8 *now = KraRamPara::pInstance()->ram_para + Para::TIMING;
    if (memcmp(now, fitted_timings_, sizeof fitted_timings_) == 0)
        return false;
    memcpy(fitted_timings_, now, sizeof fitted_timings_);
    return true;
}

void c331_manage::fit_crops()
{
    KraRamPara *p = KraRamPara::pInstance();
    for (int w = 0; w < Para::WINDOWS_SHOWN; ++w) {
        short isCrop = 0;
        char entry = 0;
        p->KraGetImageSource(p->ram_para, u8(w), &isCrop, &entry, 0);
        const int e = u8(entry);
        const bool crop = isCrop && e < Para::CROP_ENTRIES && (p->ram_para[Para::crop(e, 1)] & 0x80);
        ST_RECT rect{0, 0, 0, 0};
        if (crop)
            rect = {p->live16(Para::crop(e, 2)), p->live16(Para::crop(e, 4)), p->live16(Para::crop(e, 6)),
                    p->live16(Para::crop(e, 8))};
        c331_SetCrop(char(w), char(crop), &rect);
    }
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
        bool refit = timings_changed();
        if (para_changed != 0) {
            if (apply_changes())
                refit = true;
            code = para_changed;
            para_changed = 0;
        }
        if (refit)
            fit_crops();
    }
    // Raised outside the mutex: the receiver runs queued in the GUI thread.
    if (code)
        KraRamPara::pInstance()->test_signal(code);
    return code;
}

void c331_manage::c331_SetCrop(char window, char enable, ST_RECT *rect)
{
    const u8 w = u8(window);
    if (w >= Para::WINDOWS_SHOWN || !rect)
        return;
    if (enable) {
        KraRamPara *p = KraRamPara::pInstance();
        const u8 input = p->KraGetImageSource(p->ram_para, w, nullptr, nullptr, 0);
        if (input > 5) {
            enable = 0; // no picture to fit the crop to
        } else {
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
    }
    if (!access_->set_crop(w, enable != 0, *rect))
        writeLogMsg(LOG_ERROR, QStringLiteral("c331_manage: crop of window %1 not set").arg(w));
}
