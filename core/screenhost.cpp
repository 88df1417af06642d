#include "screenhost.h"

#include <atomic>

namespace {
std::atomic<ScreenHost *> s_host{nullptr};
} // namespace

ScreenHost *ScreenHost::instance()
{
    return s_host.load();
}

void ScreenHost::install(ScreenHost *host)
{
    s_host.store(host);
}
