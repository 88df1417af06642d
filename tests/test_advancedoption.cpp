// The advanced settings screen as an operator drives it: what reaches the parameter block,
// the idle globals, the command log and the services, what comes back through the refresh,
// and the command protocol's file events arriving from another thread.
#include "testsupport.h"

#include "advancedoption.h"
#include "agelog.h"
#include "c331_manage.h"
#include "numberkeyboard.h"
#include "fpga_manage.h"
#include "fpga_model_sim.h"
#include "krarampara.h"
#include "lcd_touch.h"
#include "option.h"
#include "pararules.h"
#include "protocol_files.h"
#include "screenkit.h"
#include "q71_wifi_config.h"
#include "QRoundProgressBar.h"
#include "taviksource.h"
#include "utils.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFontInfo>
#include <QFrame>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStackedWidget>
#include <QtTest>
#include <thread>

namespace {

KraRamPara *para() { return KraRamPara::pInstance(); }
u8 *live() { return para()->ram_para; }
std::vector<u8> image() { return std::vector<u8>(live(), live() + Para::IMAGE_SIZE); }

template <typename T = QPushButton> T *child(QObject *screen, const char *name)
{
    return need<T>(screen, QLatin1String(name));
}

bool shows(QPushButton *b, const char *png)
{
    const QSize size = b->iconSize();
    return b->icon().pixmap(size).toImage() == QIcon(QString::fromLatin1(png)).pixmap(size).toImage();
}
bool checkedIcon(QObject *s, const char *name) { return shows(child(s, name), ":/png/checked.png"); }
bool toggleOn(QObject *s, const char *name) { return shows(child(s, name), ":/png/button_on.png"); }

// Both the live image and the shadow, as after a refresh.
void setBlock(std::initializer_list<std::pair<int, u8>> bytes)
{
    {
        ParaWrite w(false);
        for (auto b : bytes)
            w.set8(b.first, b.second);
    }
    memcpy(para()->ram_para_bak, live(), Para::IMAGE_SIZE);
}

void makeFiles(int n)
{
    QDir().mkpath(kra_path(QStringLiteral("/data/rcvrecovery")));
    for (int i = 0; i < n; ++i)
        putFile(kra_path(QStringLiteral("/data/rcvrecovery/card%1.bin").arg(i)), {});
}

bool showsPixmap(QObject *s, const QString &name, const char *png)
{
    const QPixmap p = child<QLabel>(s, name.toLatin1().constData())->pixmap(Qt::ReturnByValue);
    return !p.isNull() && p.toImage() == QPixmap(QString::fromLatin1(png)).toImage();
}

// `n` well-formed ageing records, register 42 of FPGA 0 counting by `step`.
void makeAgeRecords(int n, int step = 1)
{
    clearAgeLog();
    const QDateTime t0(QDate(2024, 3, 9), QTime(8, 0));
    for (int i = 0; i < n; ++i)
        kra_append_age_record(t0.addSecs(180 * i), {u8(i * step), 31, u8(i)}, {u8(i * 25), 31, 7});
}

int shownLines(QObject *s)
{
    const QString text = child<QLabel>(s, "label_log1")->text();
    return text.isEmpty() ? 0 : text.count(QStringLiteral("<br>")) + 1;
}

// Types `code` on the keyboard the ageing button opens; how often the keyboard ran.
int typeAccessCode(QObject *s, const QString &code)
{
    int runs = 0;
    answerKeyboardWith(code);
    NumberKeyboard::runner = [&runs, run = NumberKeyboard::runner](NumberKeyboard *kb) { ++runs, run(kb); };
    child(s, "Button_factory_age")->click();
    NumberKeyboard::runner = nullptr;
    return runs;
}

fpga_manage *fpga() { return fpga_manage::pInstance(); }

// The manager keeps its result between tests: a found card mended by a recovery leaves it
// empty (count and list).
void clearRcvResult()
{
    fpga()->model()->set_rcv_fault(0, 0, 8);
    fpga_manage::start_job(JOB_RCV_CHECK);
    runFpgaJob();
    fpga()->model()->set_rcv_fault(-1, 0, 0);
    fpga_manage::set_send_para_byte(SendPara::WORK, 1);
    fpga_manage::start_job(JOB_RCV_RECOVERY);
    runFpgaJob();
    QCOMPARE(fpga()->rcv_result().entries, QStringList());
}

QString firstEntry(QObject *s)
{
    auto *frame = s->findChild<QFrame *>(QStringLiteral("frame_file"));
    auto *label = frame ? frame->findChild<QLabel *>() : nullptr;
    return label ? label->text() : QString();
}

} // namespace

class TestAdvancedOption : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScreenFixture> dev_;
    AdvancedOption *open() { return dev_->open<AdvancedOption>(Page::Advanced); }

private slots:
    void init()
    {
        dev_ = std::make_unique<ScreenFixture>();
        g_back_to_mainwindow_time = 18000;
        g_auto_lock_time = 30000;
        kra_para_changed = 0;
    }
    void cleanup()
    {
        dev_.reset();
        fpga()->model()->set_rcv_fault(-1, 0, 0);
        fpga_manage::set_send_para_u16(SendPara::JOB, 0);
        g_usb_grade = 0;
    }

    // The label at opening (the slider's minimum emits nothing), while dragging (nothing is
    // stored) and after the release (stored).
    void backToMainSlider_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("text");
        QTest::newRow("3000") << 3000 << "30s";
        QTest::newRow("5999") << 5999 << "59s";
        QTest::newRow("6000") << 6000 << "1m";
        QTest::newRow("9000") << 9000 << "1.5m";
        QTest::newRow("17999") << 17999 << "3.0m";
        QTest::newRow("18000") << 18000 << "3m";
    }
    void backToMainSlider()
    {
        QFETCH(int, ticks);
        QFETCH(QString, text);
        g_back_to_mainwindow_time = u32(ticks);
        AdvancedOption *s = open();
        auto *slider = child<QSlider>(s, "horizontalSlider");
        auto *label = child<QLabel>(s, "label_time");
        QCOMPARE(label->text(), text);
        QCOMPARE(slider->value(), ticks);

        const int other = ticks == 12000 ? 3000 : 12000;
        slider->setSliderDown(true);
        slider->setValue(other);
        QCOMPARE(label->text(), AdvancedOption::idle_time_text(other));
        QCOMPARE(int(g_back_to_mainwindow_time), ticks);
        slider->setValue(ticks);
        slider->setSliderDown(false); // the release
        QCOMPARE(int(g_back_to_mainwindow_time), ticks);
        QCOMPARE(label->text(), text);
        slider->setValue(other); // set, neither dragged nor stepped: shown only
        QCOMPARE(label->text(), AdvancedOption::idle_time_text(other));
        QCOMPARE(int(g_back_to_mainwindow_time), ticks);
    }

    // A tap on the groove moves the value with no release: the time shown is in force.
    void grooveTapStores()
    {
        g_back_to_mainwindow_time = 6000;
        auto *slider = child<QSlider>(open(), "horizontalSlider");
        slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QVERIFY(slider->value() > 6000);
        QCOMPARE(int(g_back_to_mainwindow_time), slider->value());
    }

    void autoLock_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("after");
        QTest::newRow("5 min, press never") << 30000 << "Button_5min" << "Button_never" << 120000;
        QTest::newRow("10 min, press 5 min") << 60000 << "Button_10min" << "Button_5min" << 30000;
        QTest::newRow("never, press 10 min") << 120000 << "Button_never" << "Button_10min" << 60000;
        QTest::newRow("foreign value kept") << 45000 << "Button_5min" << "" << 45000;
    }
    void autoLock()
    {
        QFETCH(int, before);
        QFETCH(QString, marked);
        QFETCH(QString, press);
        g_auto_lock_time = u32(before);
        AdvancedOption *s = open();
        for (int step = 0; step < 2; ++step) {
            const QString shown = step == 0 || press.isEmpty() ? marked : press;
            for (const char *b : {"Button_5min", "Button_10min", "Button_never"})
                QCOMPARE(checkedIcon(s, b), shown == QLatin1String(b));
            if (step == 0 && !press.isEmpty())
                child(s, qPrintable(press))->click();
        }
        QTEST(int(g_auto_lock_time), "after");
    }

    // Only windows that are on are listed; a selected window that is off or out of range is
    // corrected to 0 on open (without the changed flag). An index of -1 (a refill, clear())
    // and the audio button with no entry write nothing.
    void windowList_data()
    {
        QTest::addColumn<QVector<int>>("on");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("1 and 3 on, 3 selected") << QVector<int>{1, 3} << 3 << QStringList{"image2", "image4"} << 1 << 3;
        QTest::newRow("selected window off") << QVector<int>{1, 3} << 2 << QStringList{"image2", "image4"} << -1 << 0;
        QTest::newRow("selected out of range") << QVector<int>{0, 5} << 9 << QStringList{"image1", "image6"} << 0 << 0;
        QTest::newRow("no window on") << QVector<int>{} << 0 << QStringList{} << -1 << 0;
    }
    void windowList()
    {
        QFETCH(QVector<int>, on);
        QFETCH(int, selected);
        for (int w = 0; w < 6; ++w)
            setBlock({{Para::win(w, Para::W_ON), u8(on.contains(w))}, {Para::win(w, Para::W_AUDIO), 0}});
        setBlock({{Para::SELECTED_WINDOW, u8(selected)}});
        AdvancedOption *s = open();
        auto *combo = child<QComboBox>(s, "ImageVolume");
        QStringList listed;
        for (int i = 0; i < combo->count(); ++i)
            listed << combo->itemText(i);
        QTEST(listed, "items");
        QTEST(combo->currentIndex(), "current");
        QTEST(int(para()->live16(Para::SELECTED_WINDOW)), "selectedAfter");
        QCOMPARE(int(kra_para_changed), 0);

        const std::vector<u8> before = image();
        combo->setCurrentIndex(-1);
        child(s, "Button_volume_state")->click();
        QVERIFY(image() == before);
        QVERIFY(!toggleOn(s, "Button_volume_state"));
    }

    // The audio toggle of the listed window: volume, audio and the selected window.
    void audio_data()
    {
        QTest::addColumn<int>("audio");
        QTest::addColumn<int>("volumeAfter");
        QTest::addColumn<int>("audioAfter");
        QTest::newRow("off turns on") << 0x00 << 255 << 0x80;
        QTest::newRow("below 128 reads off") << 0x7F << 255 << 0x80;
        QTest::newRow("on turns off") << 0x80 << 0 << 0;
        QTest::newRow("above 128 reads on") << 0xC0 << 0 << 0;
    }
    void audio()
    {
        QFETCH(int, audio);
        QFETCH(int, audioAfter);
        setBlock({{Para::win(0, Para::W_ON), 1}, {Para::win(4, Para::W_ON), 1}, {Para::win(4, Para::W_AUDIO), u8(audio)},
                  {Para::win(4, Para::W_VOLUME), 7}});
        AdvancedOption *s = open();
        child<QComboBox>(s, "ImageVolume")->setCurrentIndex(1);
        QCOMPARE(toggleOn(s, "Button_volume_state"), audio >= 128);
        child(s, "Button_volume_state")->click();
        QTEST(int(live()[Para::win(4, Para::W_VOLUME)]), "volumeAfter");
        QCOMPARE(int(live()[Para::win(4, Para::W_AUDIO)]), audioAfter);
        QCOMPARE(int(para()->live16(Para::SELECTED_WINDOW)), 4);
        QCOMPARE(int(kra_para_changed), 1);
        QCOMPARE(toggleOn(s, "Button_volume_state"), audioAfter != 0);
    }

    // Fade and seamless, point-to-point on and off: all 16 window records and one save.
    // Fade also writes the 32 fade-time low bytes (seamless leaves them); the high bytes are
    // someone else's.
    void allWindows_data()
    {
        QTest::addColumn<QString>("button");
        for (const char *b : {"Button_fade", "Button_seamless", "Button_DBD_open", "Button_DBD_close"})
            QTest::newRow(b) << b;
    }
    void allWindows()
    {
        QFETCH(QString, button);
        const bool p2p = button.startsWith("Button_DBD"), on = button == "Button_DBD_open" || button == "Button_fade";
        {
            ParaWrite w(false);
            w.set16(Para::SWITCH_EFFECT, on ? 0x0300 : 0x0301);
            w.set8(Para::P2P_ALL, !on);
            for (int k = 0; k < 16; ++k) {
                w.set8(Para::win(k, Para::W_FLAGS), p2p ? 0x04 : on ? 0x03 : 0x07);
                if (p2p)
                    w.set8(Para::win(k, Para::W_FLAGS + 1), !on);
                w.set16(Para::FADE + 4 * k, 0x1111);
                w.set16(Para::FADE + 4 * k + 2, 0x2222);
            }
        }
        memcpy(para()->ram_para_bak, live(), Para::IMAGE_SIZE);
        AdvancedOption *s = open();
        QSignalSpy saves(para(), &KraRamPara::sig_update_para);
        child(s, qPrintable(button))->click();
        const bool fade = on && !p2p;
        QCOMPARE(int(live()[Para::P2P_ALL]), p2p ? int(on) : int(!on));
        if (!p2p)
            QCOMPARE(int(para()->live16(Para::SWITCH_EFFECT)), fade ? 0x0301 : 0x0300);
        for (int k = 0; k < 16; ++k) {
            QCOMPARE(int(live()[Para::win(k, Para::W_FLAGS)]), p2p ? 0x04 : fade ? 0x07 : 0x03);
            if (p2p)
                QCOMPARE(int(live()[Para::win(k, Para::W_FLAGS + 1)]), int(on));
            QCOMPARE(int(para()->live16(Para::FADE + 4 * k)), fade ? 0x113C : 0x1111);
            QCOMPARE(int(para()->live16(Para::FADE + 4 * k + 2)), fade ? 0x223C : 0x2222);
        }
        QCOMPARE(int(kra_para_changed), 1);
        QCOMPARE(saves.count(), 1);
        QCOMPARE(checkedIcon(s, p2p ? "Button_DBD_open" : "Button_fade"), on);
        if (!p2p)
            QCOMPARE(checkedIcon(s, "Button_seamless"), !on);
    }

    // The page buttons keep one text size whatever their state: choosing a page restyles
    // them once the screen is shown, which must not drop a text to the application's size.
    void pageButtonFont_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("en") << 1;
        QTest::newRow("ru, two-line captions") << 2;
        QTest::newRow("zh") << 0;
    }
    void pageButtonFont()
    {
        QFETCH(int, language);
        g_language = u8(language);
        makeFiles(1);
        AdvancedOption *s = open();
        s->show();
        const char *const buttons[] = {"Button_LCDshow", "Button_rcv_recovery", "Button_other", "Button_factory",
                                       "Button_factory_age"};
        const int size = QFontInfo(child(s, buttons[0])->font()).pixelSize();
        QVERIFY(size >= 18);
        for (const char *pressed : {"Button_other", "Button_rcv_recovery", "Button_factory", "Button_LCDshow"}) {
            child(s, pressed)->click();
            for (const char *b : buttons)
                QVERIFY2(QFontInfo(child(s, b)->font()).pixelSize() == size, b);
        }
    }

    // The WLAN switch and the SDI receiver's reset. WLAN off: both daemons stopped (recorded,
    // in order, even if not running); on: the WLAN service asked to restart the access point,
    // no command.
    // Without its service a press runs nothing (the WLAN byte is still written).
    void services_data()
    {
        QTest::addColumn<int>("wlanOff"); // before the press; -1: the SDI reset
        QTest::addColumn<bool>("service");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<bool>("restart"); // the access point's restart asked for
        QTest::newRow("WLAN on to off") << 0 << true
                                        << QStringList{"kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`",
                                                       "kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`"}
                                        << false;
        QTest::newRow("WLAN off to on") << 1 << true << QStringList{} << true;
        QTest::newRow("WLAN off to on, no service") << 1 << false << QStringList{} << false;
        QTest::newRow("SDI reset") << -1 << true
                                   << QStringList{"# gs2971: reset line low", "# gs2971: reset line high"} << false;
        QTest::newRow("SDI reset, no manager") << -1 << false << QStringList{} << false;
    }
    void services()
    {
        QFETCH(int, wlanOff);
        QFETCH(bool, service);
        Q71_WIFI_CONFIG *wifi = Q71_WIFI_CONFIG::pInstance();
        taviksource *sources = taviksource::pInstanceNoThread();
        Q71_WIFI_CONFIG::p_wifi = service ? wifi : nullptr;
        taviksource::p_tavik_source = service ? sources : nullptr;
        const u32 stamp = wifi->wifi_reset_time() + 1;
        G_timeTicks = stamp;
        setBlock({{Para::WLAN_OFF, u8(std::max(wlanOff, 0))}});
        AdvancedOption *s = open();
        QCOMPARE(toggleOn(s, "Button_wifi_state"), wlanOff <= 0);
        child(s, wlanOff < 0 ? "modeButton" : "Button_wifi_state")->click();
        Q71_WIFI_CONFIG::p_wifi = wifi;
        taviksource::p_tavik_source = sources;
        QTEST(TestDevice::commands(), "commands");
        QTEST(wifi->wifi_reset_time() == stamp && wifi->wifi_reset_flag() == 1, "restart");
        QCOMPARE(int(kra_para_changed), wlanOff < 0 ? 0 : 1);
        if (wlanOff >= 0) {
            QCOMPARE(int(live()[Para::WLAN_OFF]), wlanOff ? 0 : 1);
            QCOMPARE(toggleOn(s, "Button_wifi_state"), wlanOff != 0);
        }
    }

    // The same language changes nothing; a language that is not offered shows English and
    // hides its button.
    void language_data()
    {
        QTest::addColumn<int>("offered");
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("title");
        QTest::newRow("English to Russian") << 0x1F << 1 << "Button_ru" << 2 << "Доп.опции";
        QTest::newRow("same language") << 0x1F << 2 << "Button_ru" << 2 << "Доп.опции";
        QTest::newRow("Vietnamese not offered") << 0x17 << 3 << "" << 3 << "Advanced Settings";
        QTest::newRow("to traditional Chinese") << 0x17 << 3 << "Button_tn" << 4 << "高級設置";
    }
    void language()
    {
        QFETCH(int, offered);
        QFETCH(int, before);
        QFETCH(QString, press);
        QFETCH(int, after);
        g_lcd_lang_valid = u8(offered);
        g_language = u8(before);
        setBlock({{Para::LANGUAGE, u8(before)}});
        AdvancedOption *s = open();
        QCOMPARE(!child(s, "Button_vn")->isHidden(), bool(offered & 8));
        QCOMPARE(!child<QLabel>(s, "label_vn")->isHidden(), bool(offered & 8));
        const std::vector<u8> image0 = image();
        if (!press.isEmpty())
            child(s, qPrintable(press))->click();
        QCOMPARE(int(live()[Para::LANGUAGE]), after);
        QCOMPARE(int(g_language), after);
        QCOMPARE(int(kra_para_changed), after != before ? 1 : 0);
        if (after == before)
            QVERIFY(image() == image0);
        QTEST(child<QLabel>(s, "label_title")->text(), "title");
        QCOMPARE(checkedIcon(s, "Button_tn"), after == 4);
    }

    // What each reset button hands to the factory reset (byte ranges, hand-shake, network);
    // the reset itself is checked in the core's tests.
    void factoryResets_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("keepsEdid");
        QTest::addColumn<bool>("network");
        QTest::addColumn<int>("wlanOff"); // byte 774 before; the default turns the WLAN on
        QTest::newRow("keep IP, WLAN off") << "Button_reset1" << true << false << false << 1;
        QTest::newRow("keep IP and EDID, WLAN on") << "Button_reset2" << true << true << false << 0;
        QTest::newRow("reset all, FPGA stopped, WLAN off") << "Button_reset3" << false << false << true << 1;
    }
    void factoryResets()
    {
        QFETCH(QString, button);
        QFETCH(bool, running);
        QFETCH(bool, keepsEdid);
        QFETCH(int, wlanOff);
        g_str_ip = QStringLiteral("10.0.0.9");
        setBlock({{896, 0x5A}, {1375, 0x5B}, {Para::LED_WIDTH, 0x11}, {Para::win(2, Para::W_ON), 1}, {Para::SELECTED_WINDOW, 2},
                  {Para::WLAN_OFF, u8(wlanOff)}});
        Q71_WIFI_CONFIG *wifi = Q71_WIFI_CONFIG::pInstance();
        const u32 stamp = wifi->wifi_reset_time() + 1;
        G_timeTicks = stamp;
        fpga_sim_power(1, running);
        g_set_led_para = 0;
        g_back_to_mainwindow_time = 4000;
        AdvancedOption *s = open();
        child(s, "Button_factory")->click();
        child(s, "Button_reset")->click();
        child(s, qPrintable(button))->click();
        fpga_sim_power(1, true);
        const auto dflt = [](int a) { return int(default_para_ramlist[size_t(2 + a - Para::SAVED_FIRST)]); };
        QCOMPARE(int(live()[896]), keepsEdid ? 0x5A : dflt(896));
        QCOMPARE(int(live()[1375]), keepsEdid ? 0x5B : dflt(1375));
        QCOMPARE(int(live()[Para::LED_WIDTH]), dflt(Para::LED_WIDTH));
        QCOMPARE(int(para()->live16(Para::SELECTED_WINDOW)), 0);
        QCOMPARE(int(g_set_led_para), running ? 1 : 0);
        QTEST(TestDevice::commands().contains(QStringLiteral("sync")), "network");
        QCOMPARE(int(live()[Para::WLAN_OFF]), 0);
        QCOMPARE(wifi->wifi_reset_time() == stamp && wifi->wifi_reset_flag() == 1, wlanOff == 1);
        QVERIFY(!TestDevice::commands().join('\n').contains(QStringLiteral("kill")));
        QCOMPARE(int(g_back_to_mainwindow_time), 4000);
        QCOMPARE(int(kra_para_changed), 1);
    }

    // A change made elsewhere comes back through the refresh; a selected-window value beyond
    // the window table never reads outside it.
    void refreshFollowsBlock()
    {
        AdvancedOption *s = open();
        auto *combo = child<QComboBox>(s, "ImageVolume");
        const int listed = combo->count();
        auto change = [](int addr, u8 value) {
            {
                ParaWrite w;
                w.set8(addr, value);
            }
            TestDevice::settle();
        };
        change(Para::win(listed == 6 ? 0 : 5, Para::W_ON), listed == 6 ? 0 : 1);
        QCOMPARE(combo->count(), listed == 6 ? 5 : listed + 1);
        change(Para::SWITCH_EFFECT, 1);
        QVERIFY(checkedIcon(s, "Button_fade"));
        change(Para::WLAN_OFF, 1);
        QVERIFY(!toggleOn(s, "Button_wifi_state"));
        change(Para::SELECTED_WINDOW + 1, 0x7F);
        QCOMPARE(int(para()->live16(Para::SELECTED_WINDOW) >> 8), 0);
        change(Para::LANGUAGE, 0);
        QCOMPARE(child<QLabel>(s, "label_title")->text(), QString("高级设置"));
        QVERIFY(checkedIcon(s, "Button_chinese"));
    }

    // Back and the idle time-out return through the settings menu (its texts refreshed).
    void closes_data()
    {
        QTest::addColumn<bool>("idle");
        QTest::newRow("back") << false;
        QTest::newRow("idle time-out") << true;
    }
    void closes()
    {
        QFETCH(bool, idle);
        g_back_to_mainwindow_time = 5;
        kra_set_screen_runner([idle](QDialog *screen) {
            g_language = 2;
            if (!idle)
                return child(screen, "Button_back")->click();
            lcd_touch::pInstance()->touched();
            for (int i = 0; i < 10; ++i)
                lcd_touch::pInstance()->auto_timeout_back();
        });
        Option *menu = dev_->open<Option>(Page::Settings);
        QVERIFY(child<QAbstractButton>(menu, "AdvanceButton")->isEnabled());
        menu->on_AdvanceButton_clicked();
        QCOMPARE(g_advancedoption, nullptr);
        QCOMPARE(int(g_page_focus), idle ? int(Page::Main) : int(Page::Settings));
        if (!idle)
            QCOMPARE(child<QLabel>(menu, "label_title")->text(), QString("Настройки"));
    }

    // The file handler's events come from its own thread and act only in the GUI thread:
    // a new or deleted file recounts the files (at most 255); a deletion while the
    // receiving-card page is shown closes the screen; nothing acts on another page.
    void protocolFileEvents_data()
    {
        QTest::addColumn<int>("event");
        QTest::addColumn<bool>("rcvPage");
        QTest::addColumn<int>("focus");
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("closed");
        const int received = int(ProtocolFile::Received), deleted = int(ProtocolFile::Deleted);
        QTest::newRow("received") << received << false << 12 << 3 << 3 << false;
        QTest::newRow("256 files") << received << false << 12 << 256 << 255 << false;
        QTest::newRow("deleted, other page") << deleted << false << 12 << 1 << 1 << false;
        QTest::newRow("deleted, receiving-card page") << deleted << true << 12 << 1 << 0 << true;
        QTest::newRow("transfer ended") << int(ProtocolFile::TransferEnded) << true << 12 << 1 << 0 << false;
        QTest::newRow("another page focused") << deleted << true << 5 << 1 << 0 << false;
    }
    void protocolFileEvents()
    {
        QFETCH(int, event);
        QFETCH(bool, rcvPage);
        QFETCH(int, focus);
        QFETCH(int, files);
        QFETCH(bool, closed);
        dev_->open<Option>(Page::Settings);
        AdvancedOption *s = open();
        QCOMPARE(int(s->rcv_file_count()), 0);
        if (rcvPage)
            s->button_select(child(s, "Button_rcv_recovery"));
        g_page_focus = u8(focus);
        makeFiles(files);
        std::thread carrier([event] { kra_protocol_file_event(ProtocolFile(event), 13); });
        carrier.join();
        QCOMPARE(g_advancedoption, s); // nothing happened in the carrier's thread
        QCOMPARE(int(s->rcv_file_count()), 0);
        QCoreApplication::processEvents();
        QCOMPARE(g_advancedoption == nullptr, closed);
        if (!closed)
            QTEST(int(s->rcv_file_count()), "count");
        else
            QCOMPARE(int(g_page_focus), int(Page::Settings));
    }

    // Each font-present bit lights its pictures on the factory page, and only those.
    void fontGrid_data()
    {
        QTest::addColumn<uint>("bits");
        QTest::addColumn<QStringList>("present");
        QTest::newRow("none") << 0u << QStringList{};
        QTest::newRow("32 CJK") << 1u << QStringList{"label_32CNS"};
        QTest::newRow("32 ASCII") << 2u << QStringList{"label_32ENS"};
        QTest::newRow("64 CJK") << 4u << QStringList{"label_64CNS", "label_128CNS", "label_256CNS"};
        QTest::newRow("64 ASCII") << 8u << QStringList{"label_64ENS", "label_128ENS", "label_256ENS"};
    }
    void fontGrid()
    {
        QFETCH(uint, bits);
        QFETCH(QStringList, present);
        const u32 before = c331_manage::font_present;
        c331_manage::font_present = bits;
        AdvancedOption *s = open();
        child(s, "Button_factory")->click();
        c331_manage::font_present = before;
        for (const char *size : {"32", "64", "128", "256"}) {
            for (const char *kind : {"CN", "EN"}) {
                const QString name = QStringLiteral("label_%1%2S").arg(size, kind);
                QVERIFY2(showsPixmap(s, name, present.contains(name) ? ":/png/osd_yes.bmp" : ":/png/osd_no.bmp"),
                         qPrintable(name));
            }
        }
        QVERIFY(!s->rcv_self_recovery_ornot());
    }

    // Only the exact code, answered to the prompt, opens the ageing page; a value typed for
    // a field, or any answer after the prompt's own, is not taken for the code.
    void accessCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("otherField");
        QTest::addColumn<bool>("opens");
        QTest::newRow("right") << "8627" << false << true;
        QTest::newRow("one digit off") << "8628" << false << false;
        QTest::newRow("five digits") << "86270" << false << false;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("typed for a field") << "8627" << true << false;
    }
    void accessCode()
    {
        QFETCH(QString, code);
        QFETCH(bool, otherField);
        QFETCH(bool, opens);
        makeAgeRecords(0);
        AdvancedOption *s = open();
        auto *stack = child<QStackedWidget>(s, "stackedWidget");
        if (otherField) {
            QLineEdit field;
            g_lineedit = &field;
            emit g_numberkeyboard->sendKeyBoardUIDataToLineEdit(code);
            g_lineedit = nullptr;
            QCOMPARE(stack->currentIndex(), 0);
            return;
        }
        QCOMPARE(typeAccessCode(s, code), 1);
        QCOMPARE(g_lineedit, nullptr);
        QCOMPARE(stack->currentIndex(), opens ? 5 : 0);
        if (!opens) {
            s->confirmString(QStringLiteral("8627")); // an answer no prompt asked for
            emit g_numberkeyboard->sendKeyBoardUIDataToLineEdit(QStringLiteral("8627"));
            QCOMPARE(stack->currentIndex(), 0);
            return;
        }
        QCOMPARE(child<QLabel>(s, "label_page")->text(), QString("0/0"));
        QCOMPARE(child<QLabel>(s, "page_info")->text(), QString("0"));
        QVERIFY(child<QLabel>(s, "label_log1")->text().endsWith(QString("  正在老化中...")));
        QCOMPARE(child<QLabel>(s, "label_3")->text(),
                 QString("OUT1:0<3 0<5 0<10 0<20 0>20    OUT2:0<3 0<5 0<10 0<20 0>20"));
        QCOMPARE(typeAccessCode(s, code), 0); // pressed while shown
        child(s, "Button_other")->click();
        QCOMPARE(typeAccessCode(s, code), 1); // any other page button clears the shown flag
    }

    // Records drawn sixteen a page; Next wraps to the first page, Pre to the last.
    void agePages_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<QStringList>("next");  // label_page after opening, then each Next
        QTest::addColumn<QList<int>>("lines");  // lines drawn at each of them
        QTest::addColumn<QString>("pre");       // label_page after Pre from the first page
        QTest::newRow("0") << 0 << QStringList{"0/0", "0/0"} << QList<int>{1, 1} << "0/0";
        QTest::newRow("16") << 16 << QStringList{"1/1", "1/1"} << QList<int>{16, 16} << "1/1";
        QTest::newRow("17") << 17 << QStringList{"1/2", "2/2", "1/2"} << QList<int>{16, 1, 16} << "2/2";
        QTest::newRow("33") << 33 << QStringList{"1/3", "2/3", "3/3", "1/3"} << QList<int>{16, 16, 1, 16}
                            << "3/3";
    }
    void agePages()
    {
        QFETCH(int, records);
        QFETCH(QStringList, next);
        QFETCH(QList<int>, lines);
        QFETCH(QString, pre);
        makeAgeRecords(records);
        AdvancedOption *s = open();
        typeAccessCode(s, "8627");
        auto *page = child<QLabel>(s, "label_page");
        for (int i = 0; i < next.size(); ++i) {
            if (i)
                child(s, "next")->click();
            QCOMPARE(page->text(), next[i]);
            QCOMPARE(shownLines(s), lines[i]);
        }
        QCOMPARE(child<QLabel>(s, "page_info")->text(), QString::number(records));
        child(s, "pre")->click();
        QCOMPARE(page->text(), pre);
    }

    // One record as drawn: padded counters, lamps by bit, a malformed record left out with
    // no blank line, the summary of the band counters; the tick's hook redraws the page.
    void ageRecordText()
    {
        makeAgeRecords(3, 7); // register 42: 0, 7, 14 (two steps of 5-9); FPGA 1: 0, 25, 50
        factoryage_log[0] = QStringLiteral("03-09 07:57 1 2 3");
        factoryage_log[2] = QStringLiteral("03-09 08:06 014 3 2 050 24 7");
        AdvancedOption *s = open();
        typeAccessCode(s, "8627");
        const QString green = "<font color = #00FF00 >%1</font> ", red = "<font color = #FF0000 >%1</font> ";
        const QString lampsOf31 = green.arg("DDR0") + green.arg("DDR1") + green.arg("DE") + green.arg("HS")
                                  + green.arg("VS");
        const QString lampsOf3 = green.arg("DDR0") + green.arg("DDR1") + red.arg("DE") + red.arg("HS") + red.arg("VS");
        const QString lampsOf24 = red.arg("DDR0") + red.arg("DDR1") + red.arg("DE") + green.arg("HS") + green.arg("VS");
        QCOMPARE(child<QLabel>(s, "label_log1")->text(),
                 "03-09 08:03 007 " + lampsOf31 + "001    ,025 " + lampsOf31 + "007<br>"
                 "03-09 08:06 014 " + lampsOf3 + "002    ,050 " + lampsOf24 + "007");
        QCOMPARE(child<QLabel>(s, "label_3")->text(),
                 QString("OUT1:0<3  0<5  2<10  0<20  0>20     OUT2:0<3  0<5  0<10  0<20  2>20 "));
        QCOMPARE(child<QLabel>(s, "label_page")->text(), QString("1/1"));

        // The 3-minute tick appends and redraws, whichever page is shown.
        child(s, "Button_LCDshow")->click();
        kra_append_age_record(QDateTime::currentDateTime(), {21, 31, 3}, {75, 31, 7});
        kra_agelog_updated();
        QCOMPARE(child<QLabel>(s, "page_info")->text(), QString("4"));
        QCOMPARE(child<QLabel>(s, "label_3")->text(),
                 QString("OUT1:0<3  0<5  3<10  0<20  0>20     OUT2:0<3  0<5  0<10  0<20  3>20 "));
        factoryage_log.clear();
        kra_agelog_updated();
        QCOMPARE(child<QLabel>(s, "label_page")->text(), QString("0/0"));
        delete s;
        kra_agelog_updated(); // no screen: nothing to draw
    }

    // The page button acts only with a pack file found and no bar shown; the other menu
    // buttons leave the page, so a refresh no longer redraws (or shows) its list.
    void rcvPageGate_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("bar");
        QTest::addColumn<bool>("shown");
        QTest::newRow("no pack file") << 0 << false << false;
        QTest::newRow("a pack") << 1 << false << true;
        QTest::newRow("bar shown") << 1 << true << false;
    }
    void rcvPageGate()
    {
        QFETCH(int, files);
        QFETCH(bool, bar);
        QFETCH(bool, shown);
        makeFiles(files);
        AdvancedOption *s = open();
        if (bar)
            QRoundProgressBar::create_qround_bar(s);
        child(s, "Button_rcv_recovery")->click();
        auto *stack = child<QStackedWidget>(s, "stackedWidget");
        QCOMPARE(stack->currentIndex(), shown ? 1 : 0);
        QCOMPARE(s->rcv_self_recovery_ornot(), shown);
        QCOMPARE(child(s, "Button_rcv_recovery")->styleSheet().contains("gray"), files == 0);
        if (!shown)
            return;
        for (const char *other : {"Button_factory", "Button_LCDshow"}) {
            child(s, "Button_rcv_recovery")->click();
            child(s, other)->click();
            QVERIFY(!s->rcv_self_recovery_ornot());
            s->syncUpdate(99);
            QVERIFY(stack->currentIndex() != 1);
        }
    }

    // Check hides the last result at once and starts job 5, only when no job, bar or
    // upgrade is under way; its no-card text follows the language.
    void check_data()
    {
        QTest::addColumn<QString>("busy");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("empty");
        QTest::newRow("idle") << "" << 1 << "No receiving cards that need to be updated!";
        QTest::newRow("idle, zh") << "" << 0 << "暂无接收卡需要更新!";
        QTest::newRow("idle, ru") << "" << 2 << "Обновление принимающих карт не требуется!";
        QTest::newRow("idle, vn") << "" << 3 << "Chưa có thẻ nhận nào để cập nhật!";
        QTest::newRow("idle, tw") << "" << 4 << "暫無接收卡需要更新!";
        QTest::newRow("job running") << "job" << 1 << "";
        QTest::newRow("bar of an ended job") << "bar" << 1 << "";
        QTest::newRow("USB upgrade") << "usb" << 1 << "";
    }
    void check()
    {
        QFETCH(QString, busy);
        QFETCH(int, language);
        makeFiles(1);
        g_language = u8(language);
        fpga()->model()->set_rcv_fault(2, 4, 8);
        fpga_manage::start_job(JOB_RCV_CHECK);
        runFpgaJob();
        AdvancedOption *s = open();
        child(s, "Button_rcv_recovery")->click();
        QVERIFY(firstEntry(s).contains("03"));
        if (busy == "job")
            fpga_manage::set_send_para_u16(SendPara::JOB, JOB_SMART_MAPPING);
        else if (busy == "bar")
            QRoundProgressBar::create_qround_bar(s);
        else if (busy == "usb")
            g_usb_grade = 1;
        const u16 job = fpga_manage::send_para_u16(SendPara::JOB);
        child(s, "Button_check")->click();
        if (!busy.isEmpty()) {
            QCOMPARE(fpga_manage::send_para_u16(SendPara::JOB), job);
            QCOMPARE(fpga()->rcv_result().count, 1u);
            QVERIFY(firstEntry(s).contains("03"));
            return;
        }
        QCOMPARE(fpga_manage::send_para_u16(SendPara::JOB), u16(JOB_RCV_CHECK));
        QCOMPARE(fpga()->rcv_result().count, 0u);
        QTEST(firstEntry(s), "empty");
        QVERIFY(g_qround_bar);
    }

    // What Check finds is drawn (red when the pack holds fewer cards, in the words of the
    // language) and decides whether Self-recovery starts job 6: the 16-bit word (step 0),
    // with 16 blocks a card.
    void rcvEntry_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("pack");
        QTest::addColumn<QString>("text");
        const QString white = "<font color = #FFFFFF >05</font>", red = "<font color = #FF0000 >05</font>";
        QTest::newRow("en, white") << 1 << 5 << "Find Screen01, LED03, Rcv" + white;
        QTest::newRow("en, red") << 1 << 4 << "Find Screen01, LED03, Rcv" + red;
        QTest::newRow("zh, white") << 0 << 9 << "发现 屏幕01, 网口LED03, 接收卡" + white;
        QTest::newRow("tw, red") << 4 << 4 << "髮現 屏幕01, 網口LED03, 接收卡" + red;
        QTest::newRow("ru, white") << 2 << 5 << "Find Screen01, LED03, Rcv" + white;
        QTest::newRow("vn, red") << 3 << 0 << "Find Screen01, LED03, Rcv" + red;
    }
    void rcvEntry()
    {
        QFETCH(int, language);
        QFETCH(int, pack);
        makeFiles(1);
        g_language = u8(language);
        AdvancedOption *s = open();
        child(s, "Button_rcv_recovery")->click();
        fpga()->model()->set_rcv_fault(2, 4, pack);
        child(s, "Button_check")->click();
        runFpgaJob();
        QCOMPARE(g_qround_bar, nullptr);
        QTEST(firstEntry(s), "text");
        const bool red = pack < 5;
        child(s, "Button_self_recovery")->click();
        QCOMPARE(fpga_manage::send_para_u16(SendPara::JOB), red ? u16(0) : u16(JOB_RCV_RECOVERY));
        if (red)
            return;
        QCOMPARE(int(fpga_manage::send_para_byte(SendPara::WORK)), 16);
        QVERIFY(g_qround_bar);
        // Back, the idle time-out and the file handler's close leave the screen while the
        // bar is shown.
        child(s, "Button_back")->click();
        QVERIFY(!ScreenHost::instance()->close_top());
        makeFiles(0);
        kra_protocol_file_event(ProtocolFile::Deleted);
        QCoreApplication::processEvents();
        QCOMPARE(g_advancedoption, s);
        runFpgaJob();
        QCOMPARE(g_qround_bar, nullptr);
        QVERIFY(!firstEntry(s).contains("LED03"));
        QCOMPARE(fpga()->rcv_result().count, 0u);
        QVERIFY(fpga()->model()->rcv_faults().empty());
    }

    // Self-recovery reads the list, not the count: an entry left from an earlier check lets
    // it start though the page shows no card; with no entry it does nothing.
    void recoveryNeedsEntry_data()
    {
        QTest::addColumn<bool>("entry");
        QTest::newRow("entry left") << true;
        QTest::newRow("no entry") << false;
    }
    void recoveryNeedsEntry()
    {
        QFETCH(bool, entry);
        makeFiles(1);
        clearRcvResult();
        if (entry) {
            fpga()->model()->set_rcv_fault(0, 1, 8);
            fpga_manage::start_job(JOB_RCV_CHECK);
            runFpgaJob();
            fpga()->model()->set_rcv_fault(-1, 0, 0);
        }
        AdvancedOption *s = open();
        child(s, "Button_rcv_recovery")->click();
        child(s, "Button_check")->click();
        runFpgaJob();
        QCOMPARE(firstEntry(s), QString("No receiving cards that need to be updated!"));
        child(s, "Button_self_recovery")->click();
        QCOMPARE(fpga_manage::send_para_u16(SendPara::JOB), entry ? u16(JOB_RCV_RECOVERY) : u16(0));
    }

    // A job that could not read a card, or whose restore the card did not take, says so in
    // the page's language and keeps the list (a card not mended stays listed); the next Check
    // takes the line away.
    void rcvJobFailed_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("fails");
        QTest::addColumn<QString>("line");
        QTest::newRow("check cannot read, en")
            << 1 << int(FpgaModelSim::FAILS_READ) << "Reading or restoring a receiving card failed!";
        QTest::newRow("restore not taken, ru")
            << 2 << int(FpgaModelSim::FAILS_RESTORE) << "Ошибка чтения или восстановления карты!";
        QTest::newRow("check cannot read, vn") << 3 << int(FpgaModelSim::FAILS_READ) << "Đọc hoặc phục hồi thẻ nhận thất bại!";
        QTest::newRow("restore not taken, tw") << 4 << int(FpgaModelSim::FAILS_RESTORE) << "接收卡讀取或恢複失敗!";
        QTest::newRow("check cannot read, zh") << 0 << int(FpgaModelSim::FAILS_READ) << "接收卡读取或恢复失败!";
    }
    void rcvJobFailed()
    {
        QFETCH(int, language);
        QFETCH(int, fails);
        QFETCH(QString, line);
        makeFiles(1);
        clearRcvResult();
        g_language = u8(language);
        AdvancedOption *s = open();
        child(s, "Button_rcv_recovery")->click();
        fpga()->model()->set_rcv_fault(2, 4, 8, FpgaModelSim::RcvFaultFails(fails));
        child(s, "Button_check")->click();
        runFpgaJob();
        auto failedLine = [s] { return s->findChild<QLabel *>(QStringLiteral("label_rcv_failed")); };
        if (fails == FpgaModelSim::FAILS_READ) {
            QCOMPARE(firstEntry(s), line); // in place of the no-card text
        } else {
            QVERIFY(!failedLine());
            child(s, "Button_self_recovery")->click();
            runFpgaJob();
            QVERIFY(firstEntry(s).contains(">05</font>"));
            QVERIFY(failedLine());
            QCOMPARE(failedLine()->text(), line);
            QCOMPARE(fpga()->rcv_result().count, 1u);
            QCOMPARE(int(fpga()->model()->rcv_faults().size()), 1);
        }
        fpga()->model()->set_rcv_fault(-1, 0, 0);
        child(s, "Button_check")->click();
        QVERIFY(firstEntry(s) != line);
        runFpgaJob();
        QVERIFY(!failedLine());
        QVERIFY(firstEntry(s) != line);
    }

    // The list follows the refresh only on the check page, for code 99 or a result word
    // naming a card; touching an entry moves the highlight; Next and Previous stay on the
    // single page.
    void rcvRefreshAndSelection()
    {
        makeFiles(1);
        fpga()->model()->set_rcv_fault(1, 0, 8);
        fpga_manage::start_job(JOB_RCV_CHECK);
        runFpgaJob();
        AdvancedOption *s = open();
        child(s, "Button_rcv_recovery")->click();
        auto frame = [s] { return s->findChild<QFrame *>(QStringLiteral("frame_file")); };
        QFrame *drawn = frame();
        QVERIFY(drawn);
        struct Case {
            u16 result;
            int code;
            bool redrawn;
        };
        for (const Case &c : {Case{255, 1, false}, Case{65535, 1, false}, Case{65535, 99, true}, Case{3, 1, true},
                              Case{0x01FF, 1, true}}) {
            fpga_manage::set_send_para_u16(SendPara::RESULT, c.result);
            s->syncUpdate(c.code);
            QCOMPARE(frame() != drawn, c.redrawn);
            drawn = frame();
        }
        QLabel *first = drawn->findChild<QLabel *>();
        QVERIFY(kra_marked(first));
        auto *slot = drawn->findChild<QPushButton *>(QStringLiteral("0"));
        QVERIFY(slot);
        slot->click();
        QVERIFY(kra_marked(first));
        QVERIFY(!drawn->findChild<QPushButton *>(QStringLiteral("Button_previous")));
        QVERIFY(!drawn->findChild<QPushButton *>(QStringLiteral("Button_next")));
    }

    // The real FPGA thread: Check finds the staged card and its entry is drawn; Self-recovery
    // mends it and the list returns to the no-card text; the bar goes with each job's end.
    void rcvEndToEnd()
    {
        makeFiles(1);
        AdvancedOption *s = open();
        child(s, "Button_rcv_recovery")->click();
        fpga()->model()->set_rcv_fault(6, 2, 10);
        fpga()->initialize_start();
        child(s, "Button_check")->click();
        QTRY_COMPARE_WITH_TIMEOUT(firstEntry(s), QString("Find Screen01, LED07, Rcv<font color = #FFFFFF >03</font>"),
                                  5000);
        QTRY_COMPARE_WITH_TIMEOUT(g_qround_bar, nullptr, 5000);
        child(s, "Button_self_recovery")->click();
        QVERIFY(g_qround_bar);
        QTRY_COMPARE_WITH_TIMEOUT(firstEntry(s), QString("No receiving cards that need to be updated!"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(g_qround_bar, nullptr, 5000);
        fpga()->stop_thread();
        QVERIFY(fpga()->model()->rcv_faults().empty());
    }
};

QTEST_MAIN(TestAdvancedOption)
#include "test_advancedoption.moc"
