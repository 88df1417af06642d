#include "utils.h"
#include "config_engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool Utils::records_commands()
{
    return s_record_commands;
}

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
        // A FIFO there would hang every command, a link would append outside the data root.
        const QString path = commandLogPath();
        set_aside_unless_regular(path);
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
        if (fd >= 0) {
            struct stat st;
            if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
                const QByteArray line = command.toUtf8() + '\n';
                for (qint64 done = 0; done < line.size();) {
                    const ssize_t n = ::write(fd, line.constData() + done, size_t(line.size() - done));
                    if (n < 0 && errno == EINTR)
                        continue;
                    if (n <= 0)
                        break;
                    done += n;
                }
            }
            ::close(fd);
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
    if (system_mutex(QStringLiteral("ifconfig eth0 >/dev/null 2>&1"), &status) != 0)
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
    // QSaveFile writes to the target of a link, wherever that is.
    if (set_aside_unless_regular(path) != 0)
        return 1;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    // QSaveFile::commit() renames even when its final flush fails (a full disk), so a
    // short write must be caught here or it would replace the good file.
    if (file.write(data) != data.size() || !file.flush()) {
        file.cancelWriting();
        return 1;
    }
    if (!file.commit())
        return 1;
    return sync_folder(path);
}

int Utils::set_file_aside(const QString &path)
{
    const QString aside = path + QStringLiteral(".bad");
    QFile::remove(aside);
    if (!QFile::rename(path, aside))
        return 1;
    return sync_folder(path);
}

int Utils::set_aside_unless_regular(const QString &path, qint64 limit)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT ? 0 : 1;
    if (S_ISREG(st.st_mode) && (limit < 0 || st.st_size <= limit))
        return 0;
    writeLogMsg(LOG_ERROR, QStringLiteral("%1 set aside: no regular file, or too large").arg(path));
    return set_file_aside(path);
}

int Utils::sync_folder(const QString &path)
{
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 1;
    const int r = ::fsync(fd);
    ::close(fd);
    return r == 0 ? 0 : 1;
}

namespace {
// True when the file open at `fd` lies inside the folder `within` (a device path), both taken
// by their real paths. Links at the folder or above it are the device's own and followed; a
// link inside it (on a stick, say) that leads out is seen through and refused.
bool openedWithin(int fd, const QString &within)
{
    char target[4096];
    const ssize_t n = ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), target,
                                 sizeof target - 1);
    if (n <= 0)
        return false;
    QString folder = QDir(kra_path(within)).canonicalPath();
    if (folder.isEmpty())
        return false;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return QFile::decodeName(QByteArray(target, int(n))).startsWith(folder);
}
} // namespace

int Utils::open_regular(const QString &path, qint64 *size, const QString &within)
{
    const bool confined = !within.isEmpty();
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if ((confined ? ::lstat(name.constData(), &st) : ::stat(name.constData(), &st)) != 0)
        return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (confined ? O_NOFOLLOW : 0));
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    if (confined && !openedWithin(fd, within)) {
        ::close(fd);
        errno = EACCES;
        return -1;
    }
    if (size)
        *size = st.st_size;
    return fd;
}

int Utils::read_file_guarded(const QString &path, qint64 limit, QByteArray *out, const QString &within)
{
    out->clear();
    qint64 size = 0;
    const int fd = open_regular(path, &size, within);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? READ_MISSING : READ_REFUSED;
    int result = size > limit ? READ_REFUSED : READ_OK;
    if (result == READ_OK) {
        // One byte past the limit tells a file that grew since the check.
        QByteArray data;
        data.reserve(int(size));
        char buf[16 * 1024];
        while (data.size() <= limit) {
            const ssize_t n = ::read(fd, buf, size_t(std::min<qint64>(sizeof buf, limit + 1 - data.size())));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                result = READ_REFUSED;
            if (n <= 0)
                break;
            data.append(buf, int(n));
        }
        if (data.size() > limit)
            result = READ_REFUSED;
        if (result == READ_OK)
            *out = data;
    }
    ::close(fd);
    return result;
}

void Utils::clear_save_leftovers()
{
    // QSaveFile names its temporary "<final name>." and six letters or digits.
    static const struct {
        const char *folder;
        const char *pattern;
    } kLeftovers[] = {
        {"/data", "^ram_device_info\\.[A-Za-z0-9]{6}\\z"},
        {"/data/modes", "^(custom_mode[0-9]+|MO[0-9a-f]{2}\\.json)\\.[A-Za-z0-9]{6}\\z"},
        {"/data/configs", "^([^/]+\\.json|tcpip\\.ini)\\.[A-Za-z0-9]{6}\\z|^tcpip\\.ini\\.lock\\z"},
    };
    MutexLocker lock(&_file_deal_mutex);
    for (const auto &l : kLeftovers) {
        const QRegularExpression re(QString::fromLatin1(l.pattern));
        QDir dir(kra_path(QString::fromLatin1(l.folder)));
        QString removed;
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
            if (re.match(name).hasMatch() && QFile::remove(dir.filePath(name)))
                removed = dir.filePath(name);
        }
        if (!removed.isEmpty())
            sync_folder(removed);
    }
}
