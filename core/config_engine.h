#ifndef CONFIG_ENGINE_H
#define CONFIG_ENGINE_H

#include <QMutex>
#include <QPair>
#include <QVector>
#include <QString>
#include <QVariant>

namespace ConfigItem {
// INI items by number ("config/<key>" in "/data/configs/tcpip.ini").
enum ConfigName {
    TcpPort = 0,
    LcdLanguage = 1,
    IPAddress = 2,
    SubNetMask = 3,
    GateWay = 4,
    UsbUpgradeDir = 16,
    ItemCount = 18
};
} // namespace ConfigItem

// The INI settings store. Thread-safe: every access holds the store's mutex.
class ConfigEngine
{
public:
    static ConfigEngine *p_config;
    static ConfigEngine *pInstance();

    QVariant read_config_variant(ConfigItem::ConfigName item);
    // Stores one item and syncs the file (Qt writes INI files through a temporary file
    // renamed over the old one; the folder is synced after). Qt's lock file beside the INI,
    // left by a kill during a write, is removed at start-up by Utils::clear_save_leftovers.
    // False when the file was not written (a full disk): then the store reads as before.
    bool write_config_variant(ConfigItem::ConfigName item, const QVariant &value);
    // Stores several items in one write of the file: all of them or none.
    bool write_config_items(const QVector<QPair<ConfigItem::ConfigName, QVariant>> &items);
    // Reads every item into its global (g_str_ip, g_srt_mask, ...).
    void read_all_to_globals();

    static QString key(ConfigItem::ConfigName item);
    static QVariant defaultValue(ConfigItem::ConfigName item);
    QString fileName() const;

private:
    ConfigEngine() = default;
    QMutex mutex_;
};

#endif
