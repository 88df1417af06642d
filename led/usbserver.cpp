#include "usbserver.h"
#include "krarampara.h"
#include "suffixlist.h"
#include "utils.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QTimer>

namespace {
UsbServer *s_instance = nullptr;
const QString kStick = QStringLiteral("/mnt/usb1");
QMutex s_handed_mutex;
bool s_handed = false;
UsbUpgradeFiles s_handed_files; // guarded by s_handed_mutex
} // namespace

const QString &UsbServer::stick_path()
{
    return kStick;
}

void UsbServer::hand_to_upgrade(const UsbUpgradeFiles &listed)
{
    QMutexLocker lock(&s_handed_mutex);
    s_handed_files = listed;
    s_handed = true;
}

bool UsbServer::take_handed(UsbUpgradeFiles *listed)
{
    QMutexLocker lock(&s_handed_mutex);
    if (!s_handed)
        return false;
    *listed = s_handed_files;
    s_handed_files = UsbUpgradeFiles();
    s_handed = false;
    return true;
}

UsbServer *UsbServer::pInstance()
{
    if (!s_instance)
        s_instance = new UsbServer();
    return s_instance;
}

UsbServer::UsbServer() : present_(stick_there())
{
}

bool UsbServer::stick_there()
{
    return QFileInfo(kra_path(kStick)).isDir();
}

QString UsbServer::upgrade_dir()
{
    QString dir = kStick + QLatin1Char('/');
    if (g_usb_grade_path != QLatin1String(" "))
        dir += g_usb_grade_path;
    const QString stick = QDir(kra_path(kStick)).canonicalPath();
    const QString real = QDir(kra_path(dir)).canonicalPath();
    if (stick.isEmpty() || real.isEmpty())
        return QString();
    if (real != stick && !real.startsWith(stick + QLatin1Char('/')))
        return QString();
    return real;
}

UsbUpgradeFiles UsbServer::upgrade_files()
{
    static const QString kra = QStringLiteral("KRA");
    UsbUpgradeFiles list;
    list.files = kra_list_suffix(upgrade_dir(), {kra, QStringLiteral("KRAZK")}, UsbUpgradeFiles::MAX);
    for (const QString &path : list.files) {
        const bool isKra = QFileInfo(path).suffix() == kra;
        list.install << (!isKra || list.kra == 0);
        ++(isKra ? list.kra : list.krazk);
    }
    return list;
}

void UsbServer::start()
{
    if (timer_)
        return;
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &UsbServer::poll);
    timer_->start(POLL_MS);
}

void UsbServer::poll()
{
    const bool now = stick_there();
    if (now == present_)
        return;
    present_ = now;
    KraRamPara *para = KraRamPara::pInstance();
    if (now) {
        para->test_signal(100); // stick added
        para->test_signal(102); // its storage is mounted and readable
    } else {
        para->test_signal(101);
    }
}
