#ifndef USBSERVER_H
#define USBSERVER_H

#include "global.h"

#include <QObject>
#include <QStringList>
#include <QVector>

class QTimer;

// What the USB update page lists and the USB upgrade installs, by one rule: the update
// files ("KRA", "KRAZK") of the upgrade directory, at most 100; of them the first "KRA"
// file and every "KRAZK" file are installed, which the page highlights.
struct UsbUpgradeFiles {
    static constexpr int MAX = 100;
    QStringList files;     // absolute paths, directory order
    QVector<bool> install; // per file
    int kra = 0;
    int krazk = 0;
};

// The USB stick: the upgrade files on it, and the watcher that notices it come and go.
// On a PC the stick is the folder "mnt/usb1/" under the data root. The watcher runs in the
// GUI thread; it raises change code 100 and then 102 when the stick appears, 101 when it
// goes, through KraRamPara::test_signal like any change.
class UsbServer : public QObject
{
    Q_OBJECT
public:
    static UsbServer *pInstance();

    // The upgrade directory ("/mnt/usb1/" + g_usb_grade_path; " " is the stick's top) with
    // links and ".." resolved, or empty when it is missing or lies outside the stick.
    static QString upgrade_dir();
    static UsbUpgradeFiles upgrade_files();
    // The stick's device path: update packages are read only from inside it.
    static const QString &stick_path();
    // What the update page listed when Load was pressed, for the upgrade it starts: the
    // upgrade installs those files, and reports each one that is no longer a plain file on
    // the stick as not installed. Any thread; the upgrade takes it once.
    static void hand_to_upgrade(const UsbUpgradeFiles &listed);
    static bool take_handed(UsbUpgradeFiles *listed);

    // Polls the stick a few times a second.
    void start();
    // One look at the stick; raises the codes of a change since the last look.
    void poll();
    bool stick_present() const { return present_; }

    static constexpr int POLL_MS = 250;

private:
    UsbServer();
    static bool stick_there();
    QTimer *timer_ = nullptr;
    bool present_ = false;
};

#endif
