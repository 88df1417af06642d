// The communication settings screen: address entry and Apply (INI, commands, change code),
// the USB update page's listing, Load and result, and the simulated stick's watcher.
#include "testsupport.h"

#include "config_engine.h"
#include "fpga_manage.h"
#include "fpga_model_sim.h"
#include "krarampara.h"
#include "linkoption.h"
#include "my_lineedit.h"
#include "numberkeyboard.h"
#include "option.h"
#include "screenkit.h"
#include "tip.h"
#include "usbserver.h"
#include "utils.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
const QString kStick = QStringLiteral("/mnt/usb1/");

void writeFile(const QString &devicePath, int size = 200)
{
    putFile(kra_path(devicePath), QByteArray(size, 'k'));
}

QList<int> codesOf(const QSignalSpy &spy)
{
    QList<int> out;
    for (const QList<QVariant> &c : spy)
        out << c.at(0).toInt();
    return out;
}
} // namespace

class TestLinkOption : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScreenFixture> dev_;
    LinkOption *screen_ = nullptr;

    void open() { screen_ = dev_->open<LinkOption>(Page::Communication); }
    template <typename T = QPushButton> T *child(const QString &name) { return screen_->findChild<T *>(name); }
    void click(const char *button) { child(button)->click(); }
    My_lineEdit *field(const QString &name) { return child<My_lineEdit>("lineEdit" + name); }
    void type(const QString &name, const QString &digits)
    {
        answerKeyboardWith(digits);
        QTest::mouseClick(field(name), Qt::LeftButton);
    }
    QString row(const QString &stem)
    {
        QStringList parts;
        for (int k = 1; k <= 4; ++k)
            parts << field(stem + QString::number(k))->text();
        return parts.join('.');
    }
    QString logText() { return child<QLabel>("label_log")->text(); }
    QLabel *slot(int s) { return child<QFrame>("frame_file")->findChildren<QLabel *>().value(s); }

private slots:
    void init()
    {
        dev_.reset(new ScreenFixture);
        g_usb_grade = 0;
        g_usb_grade_path = QStringLiteral(" ");
        fpga_manage::set_send_para_u16(SendPara::JOB, 0);
        fpga_manage::pInstance()->upgrade_result = fpga_manage::USB_UPGRADE_NONE;
    }
    void cleanup()
    {
        fpga_manage::pInstance()->stop_thread();
        g_usb_grade = 0;
        g_language = 1;
        dev_.reset();
    }

    // Only a plain octet is taken; the first three IP octets are copied to the gateway.
    void octetEntry_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("gateway");
        QTest::newRow("255 accepted") << "Mask4" << "255" << "255" << "192.168.1.1";
        QTest::newRow("0 accepted") << "Mask1" << "0" << "0" << "192.168.1.1";
        QTest::newRow("256 refused") << "Mask4" << "256" << "0" << "192.168.1.1";
        for (const char *bad : {"010", "", "1a", "1234", "-1"})
            QTest::addRow("'%s' refused", bad) << "Ip2" << bad << "168" << "192.168.1.1";
        QTest::newRow("ip 1 copied") << "Ip1" << "10" << "10" << "10.168.1.1";
        QTest::newRow("ip 2 copied") << "Ip2" << "20" << "20" << "192.20.1.1";
        QTest::newRow("ip 3 copied") << "Ip3" << "30" << "30" << "192.168.30.1";
        QTest::newRow("ip 4 not copied") << "Ip4" << "40" << "40" << "192.168.1.1";
    }
    void octetEntry()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        open();
        type(field, QString()); // the keyboard runs for the field; its answer is below
        QCOMPARE(g_lineedit, static_cast<QLineEdit *>(this->field(field)));
        screen_->confirmString(typed);
        QTEST(this->field(field)->text(), "shown");
        QTEST(row("Gate"), "gateway");
    }

    void keyboardCaptions()
    {
        const QStringList expected[5] = {{"IP", "掩码", "网关"}, {"IP", "mask", "gateway"}, {"IP", "mask", "gateway"},
                                         {"IP", "mask", "gateway"}, {"IP", "掩碼", "網關"}};
        g_lcd_lang_valid = 0x1F;
        for (int language = 0; language < 5; ++language) {
            g_language = u8(language);
            open();
            QStringList seen;
            for (const char *f : {"Ip4", "Mask4", "Gate4"}) {
                type(f, "1");
                seen << g_numberkeyboard->findChild<QLabel *>("label_caption")->text();
            }
            QCOMPARE(seen, expected[language]);
        }
    }

    // Apply writes the three INI items, records the commands and raises code 1 only for a
    // complete, changed address.
    void apply_data()
    {
        QTest::addColumn<QString>("stored"); // g_str_ip when the screen opens
        QTest::addColumn<QString>("typed");  // into the last mask octet, then Apply
        QTest::addColumn<bool>("written");
        QTest::newRow("nothing changed") << "192.168.1.199" << "" << false;
        QTest::newRow("typed the same") << "192.168.1.199" << "0" << false;
        QTest::newRow("mask changed") << "192.168.1.199" << "128" << true;
        QTest::newRow("empty octet") << "192.168.1" << "128" << false;
        QTest::newRow("malformed octet") << "192.x.1.5" << "128" << false;
    }
    void apply()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, written);
        g_str_ip = stored;
        open();
        if (!typed.isEmpty())
            type("Mask4", typed);
        QSignalSpy codes(KraRamPara::pInstance(), &KraRamPara::sig_update_para);
        const QString ini = ConfigEngine::pInstance()->fileName();
        const bool iniBefore = QFile::exists(ini);
        click("Button_net_apply");
        QCOMPARE(codesOf(codes), written ? QList<int>{1} : QList<int>{});
        if (!written) {
            QCOMPARE(TestDevice::commands(), QStringList());
            QCOMPARE(QFile::exists(ini), iniBefore);
            return;
        }
        QSettings s(ini, QSettings::IniFormat);
        QCOMPARE(QStringList({s.value("config/IPAddress").toString(), s.value("config/SubNetMask").toString(),
                              s.value("config/GateWay").toString(), g_srt_mask}),
                 QStringList({"192.168.1.199", "255.255.255.128", "192.168.1.1", "255.255.255.128"}));
        const QStringList cmds = TestDevice::commands();
        QCOMPARE(cmds.value(0), QString("sync"));
        QVERIFY2(cmds.contains("ifconfig eth0 192.168.1.199 netmask 255.255.255.128"), qPrintable(cmds.join('\n')));
        TestDevice::settle();
        QCOMPARE(g_tip->text(), QString("Saved"));
    }

    // Another program left the INI with a section header Qt cannot parse: the write still
    // reaches the file, so one Apply stores what was typed and says so. Qt reports that
    // parse error over a failed write too, which must still count as failed.
    void applyOverFormatError_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("written") << false;
        QTest::newRow("disk full") << true;
    }
    void applyOverFormatError()
    {
        QFETCH(bool, diskFull);
        open();
        type("Mask4", "128");
        const QString ini = ConfigEngine::pInstance()->fileName();
        const QByteArray broken = "[config\nIPAddress=192.168.1.199\nSubNetMask=255.255.255.0\nGateWay=192.168.1.1\n";
        putFile(ini, broken);
        QSignalSpy codes(KraRamPara::pInstance(), &KraRamPara::sig_update_para);
        struct rlimit was;
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &was), 0);
        if (diskFull) {
            // Every file write past a few bytes fails, as on a full disk.
            ::signal(SIGXFSZ, SIG_IGN);
            struct rlimit tiny = was;
            tiny.rlim_cur = 8;
            QCOMPARE(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
        }
        click("Button_net_apply");
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &was), 0);
        TestDevice::settle();
        QCOMPARE(codesOf(codes), diskFull ? QList<int>{} : QList<int>{1});
        if (diskFull) {
            QCOMPARE(readBytes(ini), broken);
            QCOMPARE(g_srt_mask, QString("255.255.255.0"));
            QCOMPARE(TestDevice::commands(), QStringList());
            return;
        }
        QVERIFY2(readBytes(ini).contains("SubNetMask=255.255.255.128"), readBytes(ini).constData());
        QCOMPARE(g_srt_mask, QString("255.255.255.128"));
        QCOMPARE(g_tip->text(), QString("Saved"));
    }

    // The INI cannot be written (its folder is a file, as a full disk fails the write): no
    // saved tip, no command, and the settings and the mask global read what the file holds.
    void applyNotWritten()
    {
        open();
        type("Mask4", "128");
        const QString configs = kra_path("/data/configs");
        QVERIFY(QDir(configs).removeRecursively());
        putFile(configs, "not a folder");
        QSignalSpy codes(KraRamPara::pInstance(), &KraRamPara::sig_update_para);
        click("Button_net_apply");
        TestDevice::settle();
        QCOMPARE(codesOf(codes), QList<int>{});
        QCOMPARE(TestDevice::commands(), QStringList());
        QCOMPARE(g_srt_mask, QString("255.255.255.0"));
        ConfigEngine *config = ConfigEngine::pInstance();
        QCOMPARE(config->read_config_variant(ConfigItem::SubNetMask).toString(), QString("255.255.255.0"));
        // Nor does a later write carry the refused values into the file.
        QVERIFY(QFile::remove(configs));
        QVERIFY(config->write_config_variant(ConfigItem::TcpPort, 6001));
        QSettings later(config->fileName(), QSettings::IniFormat);
        QCOMPARE(later.value("config/SubNetMask", "none").toString(), QString("none"));
        QCOMPARE(later.value("config/TcpPort").toInt(), 6001);
    }

    void cancelKeepsBackDiscards()
    {
        open();
        type("Ip4", "77");
        click("Button_net_cancel");
        QCOMPARE(field("Ip4")->text(), QString("77"));
        click("Button_back");
        QVERIFY(!g_linkoption);
        QCOMPARE(int(g_page_focus), int(Page::Settings));
        open();
        QCOMPARE(QStringList({row("Ip"), row("Mask"), row("Gate")}), QStringList({g_str_ip, g_srt_mask, g_str_gateway}));
        QCOMPARE(TestDevice::commands(), QStringList());
    }

    // The page lists, and highlights, what the upgrade takes.
    void listing_data()
    {
        QTest::addColumn<QString>("gradePath");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("listed"); // sorted
        QTest::addColumn<int>("highlighted");
        QTest::newRow("blank: top of the stick") << " " << QStringList{"a.KRA", "b.KRAZK", "c.kra", "d.KRA.bak", "KRA-Q53/e.KRA"}
                                                 << QStringList{"a.KRA", "b.KRAZK"} << 2;
        QTest::newRow("named directory") << "KRA-Q53" << QStringList{"a.KRA", "KRA-Q53/e.KRA", "KRA-Q53/f.krazk"}
                                         << QStringList{"e.KRA"} << 1;
        QTest::newRow("first KRA and every KRAZK") << " " << QStringList{"x.KRA", "y.KRA", "z.KRAZK"}
                                                   << QStringList{"x.KRA", "y.KRA", "z.KRAZK"} << 2;
        QTest::newRow("name shown as written") << " " << QStringList{"<b>&amp;.KRAZK"} << QStringList{"<b>&amp;.KRAZK"} << 1;
        QTest::newRow("directory off the stick") << "../../data" << QStringList{"a.KRA"} << QStringList{} << 0;
    }
    void listing()
    {
        QFETCH(QString, gradePath);
        QFETCH(QStringList, files);
        QFETCH(QStringList, listed);
        for (const QString &f : files)
            writeFile(kStick + f);
        writeFile("/data/a.KRA");
        g_usb_grade_path = gradePath;
        open();
        click("Button_usb");
        const UsbUpgradeFiles &u = screen_->usb_files();
        QCOMPARE(fileNamesOf(u.files, true), listed);
        QTEST(int(u.install.count(true)), "highlighted");
        bool kraSeen = false;
        for (int i = 0; i < u.files.size(); ++i) {
            const QString name = fileNamesOf(u.files).at(i);
            QCOMPARE(slot(i)->text(), "<font color = #FFFFFF >" + name.toHtmlEscaped() + "</font>");
            QCOMPARE(slot(i)->textFormat(), Qt::RichText);
            QCOMPARE(kra_marked(slot(i)), bool(u.install[i]));
            QCOMPARE(bool(u.install[i]), !name.endsWith(".KRA") || !kraSeen);
            kraSeen = kraSeen || name.endsWith(".KRA");
        }
        if (listed.isEmpty())
            QCOMPARE(slot(0)->text(), QString("No loaded file!"));
    }

    void hundredOfMany()
    {
        for (int i = 0; i < 120; ++i)
            writeFile(kStick + QString("f%1.KRAZK").arg(i), 1);
        open();
        click("Button_usb");
        QCOMPARE(screen_->usb_files().files.size(), 100);
        QCOMPARE(child<QFrame>("frame_file")->findChildren<QLabel *>().size(), 5);
    }

    // One Load per stick; never while an upgrade or a job runs.
    void loadGuards()
    {
        writeFile(kStick + "a.KRA");
        open();
        click("Button_usb");
        fpga_manage::set_send_para_u16(SendPara::JOB, JOB_RCV_CHECK);
        click("Button_ok");
        QCOMPARE(g_usb_grade.load(), 0);
        fpga_manage::set_send_para_u16(SendPara::JOB, 0);
        click("Button_ok");
        QCOMPARE(g_usb_grade.load(), 1);
        fpga_manage::pInstance()->run_once();
        fpga_manage::pInstance()->run_once();
        const int step = fpga_manage::send_para_byte(SendPara::STEP);
        click("Button_ok");
        screen_->syncUpdate(101); // stick out and in while the upgrade still runs
        screen_->syncUpdate(102);
        click("Button_ok");
        QCOMPARE(int(fpga_manage::send_para_byte(SendPara::STEP)), step);
        runUsbUpgrade();
        click("Button_ok"); // the stick that came back, once the upgrade ended
        QCOMPARE(g_usb_grade.load(), 1);
        runUsbUpgrade();
        click("Button_ok");
        QCOMPARE(g_usb_grade.load(), 0);
        screen_->syncUpdate(101);
        click("Button_ok");
        QCOMPARE(g_usb_grade.load(), 1);
    }

    // From Load to the result text with the FPGA manager's own thread.
    void wholeUpgrade_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("linked"); // the stick's folder a link to where it is mounted
        QTest::newRow("good package") << QStringList{"app.KRA"} << 200 << "downing over" << false;
        QTest::newRow("bad package") << QStringList{"app.KRA"} << 10 << "Update failed: package refused" << false;
        QTest::newRow("no file") << QStringList{} << 200 << "Nothing installed" << false;
        QTest::newRow("linked stick") << QStringList{"app.KRA"} << 200 << "downing over" << true;
    }
    void wholeUpgrade()
    {
        QFETCH(QStringList, files);
        QFETCH(int, size);
        QFETCH(QString, result);
        QFETCH(bool, linked);
        if (linked) {
            QDir().mkpath(dev_->root() + "/media/sda1");
            QDir().mkpath(kra_path("/mnt"));
            QVERIFY(QFile::link(dev_->root() + "/media/sda1", kra_path("/mnt/usb1")));
        }
        QDir().mkpath(kra_path(kStick));
        for (const QString &f : files)
            writeFile(kStick + f, size);
        open();
        click("Button_usb");
        fpga_manage::pInstance()->initialize_start();
        click("Button_ok");
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(result), 10000);
        QCOMPARE(logText().contains("downing over"), result == "downing over");
        QVERIFY(logText().contains("<br>" + fpga_manage::pInstance()->upgrade_log + "</font>"));
    }

    // A highlighted package that went or was swapped between the listing and the install is
    // reported not installed, and the result is the failure.
    void packageSwappedAfterListing_data()
    {
        QTest::addColumn<QString>("swap");
        QTest::newRow("removed") << "";
        QTest::newRow("a FIFO") << "fifo";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a link off the stick") << "link";
    }
    void packageSwappedAfterListing()
    {
        QFETCH(QString, swap);
        writeFile(kStick + "a.KRA");
        writeFile(kStick + "b.KRAZK");
        writeFile("/data/b.KRAZK");
        open();
        click("Button_usb");
        const QString b = kra_path(kStick + "b.KRAZK");
        QVERIFY(QFile::remove(b));
        if (swap == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(b).constData(), 0600), 0);
        else if (swap == "folder")
            QVERIFY(QDir().mkpath(b));
        else if (swap == "link")
            QVERIFY(QFile::link(kra_path("/data/b.KRAZK"), b));
        click("Button_ok");
        runUsbUpgrade();
        TestDevice::settle();
        FpgaModelSim *model = fpga_manage::pInstance()->model();
        QCOMPARE(fileNamesOf(model->installed()), QStringList{"a.KRA"});
        QCOMPARE(model->not_installed(), QStringList{b});
        QVERIFY2(logText().contains("Update failed: package refused"), qPrintable(logText()));
        QVERIFY(!logText().contains("downing over"));
    }

    void resultOnlyOnTheUsbPage()
    {
        open();
        fpga_manage::pInstance()->upgrade_result = fpga_manage::USB_UPGRADE_INSTALLED;
        screen_->syncUpdate(104);
        QCOMPARE(logText(), QString());
        click("Button_usb");
        fpga_manage *f = fpga_manage::p_fpga_manage;
        fpga_manage::p_fpga_manage = nullptr;
        screen_->syncUpdate(104);
        fpga_manage::p_fpga_manage = f;
        QCOMPARE(logText(), QString());
        screen_->syncUpdate(104);
        QVERIFY(logText().contains("downing over"));
    }

    // The simulated stick raises 100 and 102 when its folder appears, 101 when it goes; the
    // settings menu stays, the update page follows.
    void watcher()
    {
        UsbServer *usb = UsbServer::pInstance();
        QDir(kra_path(kStick)).removeRecursively();
        usb->poll();
        dev_->open<Option>(Page::Settings);
        QSignalSpy codes(KraRamPara::pInstance(), &KraRamPara::sig_update_para);
        writeFile(kStick + "a.KRA");
        usb->poll();
        usb->poll();
        TestDevice::settle();
        QVERIFY(g_option);
        QCOMPARE(int(g_page_focus), int(Page::Settings));
        open();
        QVERIFY(QDir(kra_path(kStick)).removeRecursively());
        usb->poll();
        TestDevice::settle();
        QCOMPARE(g_tip->text(), QString("USB stick removed"));
        writeFile(kStick + "b.KRAZK");
        usb->poll();
        TestDevice::settle();
        QCOMPARE(g_tip->text(), QString("Reading data..."));
        QCOMPARE(fileNamesOf(screen_->usb_files().files), QStringList{"b.KRAZK"});
        QCOMPARE(codesOf(codes), (QList<int>{100, 102, 101, 100, 102}));
    }
};

QTEST_MAIN(TestLinkOption)
#include "test_linkoption.moc"
