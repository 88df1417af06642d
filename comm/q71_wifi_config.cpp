#include "q71_wifi_config.h"

Q71_WIFI_CONFIG *Q71_WIFI_CONFIG::p_wifi = nullptr;

Q71_WIFI_CONFIG *Q71_WIFI_CONFIG::pInstance()
{
    if (!p_wifi)
        p_wifi = new Q71_WIFI_CONFIG();
    return p_wifi;
}

void Q71_WIFI_CONFIG::set_wifi_reset_flag()
{
    const u32 now = G_timeTicks.load();
    // The stamp goes first: a reader that sees the flag sees its stamp.
    reset_time_ = now;
    reset_flag_ = 1;
}
