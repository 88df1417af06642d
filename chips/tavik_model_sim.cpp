#include "tavik_model_sim.h"
#include "utils.h"

#include <QRegularExpression>
#include <QStringList>

namespace {
constexpr int kPorts = 6;
constexpr qint64 kSimFileMax = 64 * 1024;

// "1920 1080 60", "1920,1080,60" or "1920x1080@60"; anything else is no signal.
void parseLine(QString line, u16 out[3])
{
    out[0] = out[1] = out[2] = 0;
    const int hash = line.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        line.truncate(hash);
    static const QRegularExpression sep(QStringLiteral("[\\s,xX@]+"));
    const QStringList parts = line.split(sep, Qt::SkipEmptyParts);
    if (parts.size() != 3)
        return;
    u16 v[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const uint n = parts[i].toUInt(&ok, 10);
        if (!ok || n > 0xFFFF)
            return;
        v[i] = u16(n);
    }
    for (int i = 0; i < 3; ++i)
        out[i] = v[i];
}
} // namespace

QString TavikModelSim::file_path()
{
    return kra_path(QStringLiteral("/sim/inputs.txt"));
}

void TavikModelSim::begin_pass()
{
    const QString path = file_path();
    if (!file_.changed(path))
        return;
    // Only a regular file: a FIFO there would hang the input-source thread. Anything else, or
    // a larger file, unplugs every input.
    QByteArray data;
    Utils::read_file_guarded(path, kSimFileMax, &data);
    const QStringList lines = QString::fromUtf8(data).split(QLatin1Char('\n'));
    for (int port = 0; port < kPorts; ++port) {
        if (port < lines.size())
            parseLine(lines[port], measured_[port]);
        else
            measured_[port][0] = measured_[port][1] = measured_[port][2] = 0;
    }
}

bool TavikModelSim::measure(int input, u16 timing[3])
{
    if (input < 0 || input >= kPorts)
        return false;
    for (int i = 0; i < 3; ++i)
        timing[i] = measured_[input][i];
    return true;
}
