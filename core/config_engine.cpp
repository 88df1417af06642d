#include "config_engine.h"
#include "global.h"
#include "utils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSettings>
#include <sys/stat.h>

ConfigEngine *ConfigEngine::p_config = nullptr;

namespace {
constexpr qint64 kIniFileMax = 64 * 1024; // a real file holds a few hundred bytes

// QSettings reads whatever sits at the path (a FIFO or device there would hang it) and
// writes through a link to its target, wherever that is.
void setAsideUnlessRegular(const QString &path)
{
    MutexLocker lock(&Utils::_file_deal_mutex);
    Utils::set_aside_unless_regular(path, kIniFileMax);
}
// What tells a file renamed into place from the one it replaced: a new inode, whatever
// the clock's resolution.
struct FileStamp {
    dev_t dev = 0;
    ino_t ino = 0;
    bool exists = false;
    bool operator!=(const FileStamp &o) const { return exists != o.exists || dev != o.dev || ino != o.ino; }
};

FileStamp stampOf(const QString &path)
{
    FileStamp f;
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0) {
        f.exists = true;
        f.dev = st.st_dev;
        f.ino = st.st_ino;
    }
    return f;
}
} // namespace

ConfigEngine *ConfigEngine::pInstance()
{
    if (!p_config)
        p_config = new ConfigEngine();
    return p_config;
}

QString ConfigEngine::fileName() const
{
    return kra_path(QStringLiteral("/data/configs/tcpip.ini"));
}

QString ConfigEngine::key(ConfigItem::ConfigName item)
{
    switch (item) {
    case ConfigItem::TcpPort: return QStringLiteral("config/TcpPort");
    case ConfigItem::LcdLanguage: return QStringLiteral("config/LcdLanguage");
    case ConfigItem::IPAddress: return QStringLiteral("config/IPAddress");
    case ConfigItem::SubNetMask: return QStringLiteral("config/SubNetMask");
    case ConfigItem::GateWay: return QStringLiteral("config/GateWay");
    case ConfigItem::UsbUpgradeDir: return QStringLiteral("config/usbupgradedir");
    default: return QStringLiteral("config/item%1").arg(int(item));
    }
}

QVariant ConfigEngine::defaultValue(ConfigItem::ConfigName item)
{
    switch (item) {
    case ConfigItem::TcpPort: return 5005;
    case ConfigItem::LcdLanguage: return 0x1F; // all five languages offered
    case ConfigItem::IPAddress: return QStringLiteral("192.168.1.199");
    case ConfigItem::SubNetMask: return QStringLiteral("255.255.255.0");
    case ConfigItem::GateWay: return QStringLiteral("192.168.1.1");
    case ConfigItem::UsbUpgradeDir: return QString::fromLatin1(kra_default_usb_upgrade_dir);
    default: return QVariant();
    }
}

QVariant ConfigEngine::read_config_variant(ConfigItem::ConfigName item)
{
    QMutexLocker lock(&mutex_);
    setAsideUnlessRegular(fileName());
    QSettings s(fileName(), QSettings::IniFormat);
    return s.value(key(item), defaultValue(item));
}

bool ConfigEngine::write_config_variant(ConfigItem::ConfigName item, const QVariant &value)
{
    return write_config_items({{item, value}});
}

bool ConfigEngine::write_config_items(const QVector<QPair<ConfigItem::ConfigName, QVariant>> &items)
{
    QMutexLocker lock(&mutex_);
    QDir().mkpath(QFileInfo(fileName()).absolutePath());
    setAsideUnlessRegular(fileName());
    bool written;
    {
        QSettings s(fileName(), QSettings::IniFormat);
        QVector<QPair<QString, QVariant>> before; // a null value: the item was not in the file
        for (const auto &item : items) {
            const QString k = key(item.first);
            before.append({k, s.contains(k) ? s.value(k) : QVariant()});
            s.setValue(k, item.second);
        }
        const FileStamp stamp = stampOf(fileName());
        s.sync();
        written = s.status() == QSettings::NoError;
        if (s.status() == QSettings::FormatError) {
            // Only the reading of the old file failed (another program left a line Qt cannot
            // parse), and Qt then keeps that status over a failed write: tell the two apart by
            // whether a new file was renamed into place.
            written = stampOf(fileName()) != stamp;
            if (written)
                writeLogMsg(LOG_WARN, QStringLiteral("INI file did not parse; written anew"));
        }
        if (!written) {
            // Qt keeps unwritten values in its in-process cache, where every later read would
            // find them: put back what the file holds.
            for (auto it = before.crbegin(); it != before.crend(); ++it) {
                if (it->second.isNull())
                    s.remove(it->first);
                else
                    s.setValue(it->first, it->second);
            }
            writeLogMsg(LOG_ERROR, QStringLiteral("INI file not written"));
        }
    }
    if (written)
        Utils::sync_folder(fileName());
    return written;
}

void ConfigEngine::read_all_to_globals()
{
    bool ok = false;
    int port = read_config_variant(ConfigItem::TcpPort).toInt(&ok);
    g_tcp_port = (ok && port > 0 && port < 65536) ? port : 5005;
    int mask = read_config_variant(ConfigItem::LcdLanguage).toInt(&ok);
    g_lcd_lang_valid = (ok && (mask & 0x1F)) ? u8(mask & 0x1F) : u8(0x1F);
    g_str_ip = read_config_variant(ConfigItem::IPAddress).toString();
    g_srt_mask = read_config_variant(ConfigItem::SubNetMask).toString();
    g_str_gateway = read_config_variant(ConfigItem::GateWay).toString();
    g_usb_grade_path = read_config_variant(ConfigItem::UsbUpgradeDir).toString();
    if (g_usb_grade_path.isEmpty())
        g_usb_grade_path = QStringLiteral(" ");
}
