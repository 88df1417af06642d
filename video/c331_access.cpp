#include "c331_access.h"
#include "utils.h"

bool C331Device::missing(const char *what)
{
    if (!logged_) {
        logged_ = true;
        writeLogMsg(LOG_ERROR, QStringLiteral("c331: no device access written (%1)").arg(QLatin1String(what)));
    }
    return false;
}

bool C331Device::apply(const std::vector<C331Change> &) { return missing("change set"); }
bool C331Device::set_crop(int, bool, const ST_RECT &) { return missing("crop"); }
bool C331Device::init_panel() { return missing("panel init"); }

u32 C331Device::read_font_present()
{
    missing("font headers");
    return 0;
}
