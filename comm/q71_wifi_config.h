#ifndef Q71_WIFI_CONFIG_H
#define Q71_WIFI_CONFIG_H

#include "global.h"
#include <atomic>

// The WLAN service: its thread keeps the device's access point up and brings it up again
// when asked to. The screens only ask (set_wifi_reset_flag). On the host there is no access
// point: a request is kept, readable below.
// Threads: any thread may raise the request; the flag and its stamp are atomic.
class Q71_WIFI_CONFIG
{
public:
    static Q71_WIFI_CONFIG *p_wifi; // 0 before start-up creates it
    static Q71_WIFI_CONFIG *pInstance();

    // Raises the restart request: flag 1, stamped with G_timeTicks.
    void set_wifi_reset_flag();

    u8 wifi_reset_flag() const { return reset_flag_; }
    u32 wifi_reset_time() const { return reset_time_; }

private:
    Q71_WIFI_CONFIG() = default;
    std::atomic<u8> reset_flag_{0};
    std::atomic<u32> reset_time_{0};
};

#endif
