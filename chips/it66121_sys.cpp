#include "it66121_sys.h"
#include "utils.h"

#include <QFile>
#include <unistd.h>

void it66121_sys::GS2971_Reset()
{
    std::lock_guard<std::mutex> lock(reset_mutex_);
    set_reset_line(false);
    usleep(50000);
    set_reset_line(true);
}

void it66121_sys::set_reset_line(bool high)
{
    reset_level_ = high;
    if (Utils::records_commands()) {
        // A comment line: the log records commands, and this is the line model's trace.
        Utils::system_mutex(high ? QStringLiteral("# gs2971: reset line high") : QStringLiteral("# gs2971: reset line low"),
                            nullptr);
        return;
    }
    // The board exports the receiver's reset GPIO under this name.
    QFile line(kra_path(QStringLiteral("/sys/class/gpio/gs2971_reset/value")));
    if (!line.open(QIODevice::WriteOnly) || line.write(high ? "1" : "0") != 1)
        writeLogMsg(LOG_ERROR, QStringLiteral("GS2971 reset line not driven"));
}
