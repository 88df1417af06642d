#include "taviksource.h"
#include "krarampara.h"
#include "utils.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <unistd.h>

taviksource *taviksource::p_tavik_source = nullptr;

namespace {
constexpr int kPorts = 6;

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

QString taviksource::sim_file_path()
{
    return kra_path(QStringLiteral("/sim/inputs.txt"));
}

void *taviksource::thread_main(void *arg)
{
    auto *self = static_cast<taviksource *>(arg);
    for (;;)
        self->run_pass(true);
    return nullptr;
}

int taviksource::run_once()
{
    return run_pass(false);
}

int taviksource::run_pass(bool sleepAfterPort)
{
    measure_all();
    bool changed = false;
    for (int port = 0; port < kPorts; ++port) {
        if (poll_port(port))
            changed = true;
        if (sleepAfterPort)
            usleep(10000);
    }
    if (!changed)
        return 0;
    KraRamPara::pInstance()->test_signal(12);
    return 12;
}

// Host model of the receivers: one text line per input. A missing file unplugs them all.
void taviksource::measure_all()
{
    QByteArray data;
    QFile file(sim_file_path());
    if (file.open(QIODevice::ReadOnly))
        data = file.read(64 * 1024);
    const QStringList lines = QString::fromUtf8(data).split(QLatin1Char('\n'));
    for (int port = 0; port < kPorts; ++port) {
        if (port < lines.size())
            parseLine(lines[port], measured_[port]);
        else
            measured_[port][0] = measured_[port][1] = measured_[port][2] = 0;
    }
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
