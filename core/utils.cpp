#include "utils.h"
#include "config_engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

pthread_mutex_t Utils::_system_mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t Utils::_usleep_mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t Utils::_file_deal_mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t Utils::_test_signal_mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t Utils::_led_para_init_mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t Utils::_bri_set_mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t Utils::_spi_mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t Utils::_fpga_multicast_mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t Utils::_c331_bnk_mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t Utils::_source_init_mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t Utils::_source_hdminfo_mutex = PTHREAD_MUTEX_INITIALIZER;

namespace {
#ifdef KRA_DEVICE
QString s_root = QStringLiteral("/");
std::atomic<bool> s_record_commands{false};
#else
QString s_root = QDir::currentPath() + QStringLiteral("/run-data");
std::atomic<bool> s_record_commands{true};
#endif
} // namespace

void Utils::set_record_commands(bool record)
{
#ifdef KRA_DEVICE
    s_record_commands = record;
#else
    (void)record;
#endif
}

void kra_set_root(const QString &root)
{
    s_root = QDir(root).absolutePath();
}

QString kra_root()
{
    return s_root;
}

QString kra_path(const QString &devicePath)
{
    if (!devicePath.startsWith(QLatin1Char('/')))
        return devicePath;
    if (s_root == QLatin1String("/"))
        return devicePath;
    return s_root + devicePath;
}

QString Utils::commandLogPath()
{
    return kra_path(QStringLiteral("/commands.log"));
}

int Utils::system_mutex(const QString &command, int *status)
{
    MutexLocker lock(&_system_mutex);
    int r = 0;
    if (s_record_commands) {
        QFile log(commandLogPath());
        if (log.open(QIODevice::WriteOnly | QIODevice::Append)) {
            log.write(command.toUtf8());
            log.write("\n");
        }
    } else {
        r = system(command.toLocal8Bit().constData());
    }
    if (status)
        *status = r;
    return r;
}

u32 Utils::getTimeSpace(u32 since, u32 now)
{
    return now - since; // unsigned arithmetic wraps with the counter
}

u32 Utils::getTimeSpace(u32 since)
{
    return getTimeSpace(since, G_timeTicks.load());
}

bool Utils::isDottedQuad(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])"
                       "(\\.(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])){3}\\z"));
    // \z, not $: "$" also accepts a trailing newline, which a shell runs as a second command.
    return re.match(text).hasMatch();
}

void Utils::initIPAddress()
{
    int status = 0;
    if (system_mutex(QStringLiteral("ifconfig eth0 &>/dev/null"), &status) != 0)
        return;
    if (ConfigEngine::p_config)
        ConfigEngine::p_config->read_all_to_globals();
    // Only well-formed addresses ever reach a command line.
    if (!isDottedQuad(g_str_ip) || !isDottedQuad(g_srt_mask) || !isDottedQuad(g_str_gateway)) {
        writeLogMsg(LOG_ERROR, QStringLiteral("initIPAddress: refused malformed address"));
        return;
    }
    system_mutex(QStringLiteral("route del default wlan0"), nullptr);
    system_mutex(QStringLiteral("ifconfig eth0 %1 netmask %2").arg(g_str_ip, g_srt_mask), nullptr);
    system_mutex(QStringLiteral("route add -host %1 dev eth0").arg(g_str_ip), nullptr);
    system_mutex(QStringLiteral("route add default gw %1 metric 100").arg(g_str_gateway), nullptr);
    system_mutex(QStringLiteral("route add -host 255.255.255.255 eth0"), nullptr);
    system_mutex(QStringLiteral("route del 255.255.255.255 wlan1"), nullptr);
}

void kra_debug(const char *fmt, ...)
{
    if (g_debugSwitch != 254)
        return;
    va_list ap;
    va_start(ap, fmt);
    vprintf(fmt, ap);
    va_end(ap);
}

void writeLogMsg(_LogType, const QString &)
{
}

int Utils::write_file_safely(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    // QSaveFile::commit() renames even when its final flush fails (a full disk), so a
    // short write must be caught here or it would replace the good file.
    if (file.write(data) != data.size() || !file.flush()) {
        file.cancelWriting();
        return 1;
    }
    return file.commit() ? 0 : 1;
}

int Utils::set_file_aside(const QString &path)
{
    const QString aside = path + QStringLiteral(".bad");
    QFile::remove(aside);
    return QFile::rename(path, aside) ? 0 : 1;
}
