#include "wake.h"

#include <chrono>

KraWake &kra_video_wake = *new KraWake;
KraWake &kra_fpga_wake = *new KraWake;

void KraWake::signal()
{
    {
        std::lock_guard<std::mutex> lock(m_);
        pending_ = true;
    }
    cv_.notify_one();
}

bool KraWake::wait(int ms)
{
    std::unique_lock<std::mutex> lock(m_);
    const bool signalled = cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return pending_; });
    pending_ = false;
    return signalled;
}

void kra_set_led_para(u8 value)
{
    g_set_led_para = value;
    kra_video_wake.signal();
    kra_fpga_wake.signal();
}
