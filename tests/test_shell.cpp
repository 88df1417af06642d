// The touch shell: idle time-out and auto-lock, the number keyboard, the ageing records of
// the tick, the tip and the round progress bar.
#include "QRoundProgressBar.h"
#include "fpga_manage.h"
#include "fpga_model_sim.h"
#include "krarampara.h"
#include "lcd_touch.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "numberkeyboard.h"
#include "screens.h"
#include "testsupport.h"
#include "tip.h"
#include "utils.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>
#include <thread>
#include <unistd.h>

namespace {

// The screens' host, recording which pages the idle time-out closed and counting the locks
// instead of showing the home screen.
struct RecordedActions : KraShell {
    QList<int> backs;
    int locks = 0;
    RecordedActions() { ScreenHost::install(this); }
    ~RecordedActions() override
    {
        kra_delete_screens();
        kra_register_screens();
    }
    bool close_top() override
    {
        const int page = g_page_focus;
        const bool closed = KraShell::close_top();
        if (closed)
            backs << page;
        return closed;
    }
    void lock() override { ++locks; }
};

// Builds the screens of `pages` (top first) as their openers leave them and focuses the top
// one; the pointers follow each screen's deletion.
QList<QPointer<QDialog>> openChain(const QList<int> &pages)
{
    QList<QPointer<QDialog>> open;
    for (int i = pages.size() - 1; i >= 0; --i)
        open.prepend(kra_construct_screen(pages[i]));
    g_page_focus = pages.isEmpty() ? u8(Page::Main) : u8(pages.first());
    return open;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void idleTicks(u32 n)
{
    for (u32 i = 0; i < n; ++i)
        lcd_touch::pInstance()->auto_timeout_back();
}

void resetAgeLog()
{
    factoryage_log.clear();
    factoryage_log_diff3 = factoryage_log_diff5 = factoryage_log_diff10 = 0;
    factoryage_log_diff20 = factoryage_log_diffmore = 0;
    factoryage_log2_diff3 = factoryage_log2_diff5 = factoryage_log2_diff10 = 0;
    factoryage_log2_diff20 = factoryage_log2_diffmore = 0;
}

void setAgeRegisters(int fpga, int r42, int r40, int r43)
{
    FpgaModelSim *chip = fpga_manage::pInstance()->model();
    chip->set_chip_register(fpga, 42, u8(r42));
    chip->set_chip_register(fpga, 40, u8(r40));
    chip->set_chip_register(fpga, 43, u8(r43));
}

// A screen with one number field that takes the keyboard's text by the house rule.
struct NumberScreen {
    QLineEdit field;
    QStringList received;
    void confirmString(const QString &text)
    {
        if (g_lineedit != &field)
            return;
        field.setText(text);
        received << text;
    }
    void show_numberkeyboard_ui(const QString &text)
    {
        g_lineedit = &field;
        g_numberkeyboard->label_show(QStringLiteral("Width"), text);
        g_numberkeyboard->run();
    }
};

QPushButton *key(const QString &name)
{
    return g_numberkeyboard->findChild<QPushButton *>(name);
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void idleClosesScreensInOrder_data();
    void idleClosesScreensInOrder();
    void idleStandsStill_data();
    void idleStandsStill();
    void autoLock_data();
    void autoLock();
    void lockAndReturn();
    void homeShowsWholeTimings();
    void touchRestartsIdleCount();
    void modePanelButtons_data();
    void modePanelButtons();

    void keyboardValueGoesToItsScreen();
    void keyboardKeys_data();
    void keyboardKeys();
    void keyboardCaptionFont_data();
    void keyboardCaptionFont();

    void ageRecordFormat();
    void ageCounters_data();
    void ageCounters();
    void ageLogLimit();
    void tickWritesAgeRecord_data();
    void tickWritesAgeRecord();

    void tipKinds_data();
    void tipKinds();
    void tipHidesAfter300Ticks_data();
    void tipHidesAfter300Ticks();

    void roundBar();
    void roundBarGoesWithItsScreen();
};

void TestShell::init()
{
    g_back_to_mainwindow_time = 18000;
    g_auto_lock_time = 30000;
    g_qround_bar = nullptr;
    pc_cmd_valid = 0;
    lcd_touch::pInstance()->touched();
}

void TestShell::idleClosesScreensInOrder_data()
{
    QTest::addColumn<QList<int>>("open"); // top first
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("crop editor") << QList<int>{7, 3, 9, 5} << QList<int>{7, 3, 9, 5};
    QTest::newRow("crop editor from the menu") << QList<int>{7, 5} << QList<int>{7, 5};
    QTest::newRow("EDID settings") << QList<int>{8, 3, 9, 5} << QList<int>{8, 3, 9, 5};
    QTest::newRow("input selection") << QList<int>{3, 9, 5} << QList<int>{3, 9, 5};
    QTest::newRow("input selection from the main window") << QList<int>{3} << QList<int>{3};
    QTest::newRow("window layout") << QList<int>{9, 5} << QList<int>{9, 5};
    QTest::newRow("user modes") << QList<int>{4} << QList<int>{4};
    QTest::newRow("advanced") << QList<int>{12, 5} << QList<int>{12, 5};
    QTest::newRow("smart mapping") << QList<int>{24, 5} << QList<int>{24, 5};
    QTest::newRow("settings menu") << QList<int>{5} << QList<int>{5};
    QTest::newRow("test patterns stay") << QList<int>{16, 5} << QList<int>{};
    QTest::newRow("main window") << QList<int>{} << QList<int>{};
}

void TestShell::idleClosesScreensInOrder()
{
    QFETCH(QList<int>, open);
    QFETCH(QList<int>, order);
    for (int page : open) {
        if (!kra_screen_built(page))
            QSKIP("a screen of this chain is not in this build");
    }
    TestDevice dev;
    RecordedActions rec;
    const QList<QPointer<QDialog>> screens = openChain(open);
    const int top = g_page_focus;
    g_numberkeyboard->show();

    idleTicks(g_back_to_mainwindow_time);
    QCOMPARE(rec.backs, QList<int>{});
    QVERIFY(g_numberkeyboard->isVisible());

    idleTicks(1);
    QCOMPARE(rec.backs, order);
    QVERIFY(!g_numberkeyboard->isVisible());
    QCOMPARE(int(g_page_focus), order.isEmpty() ? top : int(Page::Main));
    flushDeletes();
    for (int i = 0; i < open.size(); ++i)
        QCOMPARE(screens[i].isNull(), order.contains(open[i]));

    idleTicks(100); // it happens once per idle period
    QCOMPARE(rec.backs, order);
    QCOMPARE(rec.locks, 0);
}

void TestShell::idleStandsStill_data()
{
    QTest::addColumn<QString>("reason");
    QTest::newRow("progress bar") << "bar";
    QTest::newRow("never lock") << "never";
    QTest::newRow("update notice") << "update";
}

void TestShell::idleStandsStill()
{
    QFETCH(QString, reason);
    TestDevice dev;
    RecordedActions rec;
    QDialog screen;
    MainWindow window;
    g_mainwindow = &window;
    if (reason == QLatin1String("bar"))
        QRoundProgressBar::create_qround_bar(&screen);
    else if (reason == QLatin1String("never"))
        g_auto_lock_time = 120000;
    else
        window.update_start();
    openChain({Page::WindowLayout, Page::Settings});

    idleTicks(g_back_to_mainwindow_time + 1000);
    QCOMPARE(lcd_touch::pInstance()->idle_count(), u32(0));
    QCOMPARE(rec.backs, QList<int>{});

    // Once the reason is gone the count runs again.
    if (reason == QLatin1String("bar"))
        g_qround_bar->para_sync(100);
    else if (reason == QLatin1String("never"))
        g_auto_lock_time = 30000;
    else
        window.update_over();
    idleTicks(g_back_to_mainwindow_time + 1);
    QCOMPARE(rec.backs, (QList<int>{9, 5}));
    g_mainwindow = nullptr;
}

void TestShell::autoLock_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("locks");
    QTest::newRow("home screen") << 0 << 0;
    QTest::newRow("main window") << 1 << 1;
    QTest::newRow("test patterns") << 16 << 1;
}

void TestShell::autoLock()
{
    QFETCH(int, page);
    QFETCH(int, locks);
    TestDevice dev;
    RecordedActions rec;
    g_page_focus = u8(page);
    idleTicks(g_auto_lock_time);
    QCOMPARE(rec.locks, 0);
    idleTicks(1);
    QCOMPARE(rec.locks, locks);
    idleTicks(10);
    QCOMPARE(rec.locks, locks);
    g_page_focus = 1;
}

void TestShell::lockAndReturn()
{
    TestDevice dev;
    MainWindow window;
    g_mainwindow = &window;
    g_page_focus = 1;
    idleTicks(g_auto_lock_time + 1);
    QVERIFY(g_lockwindow);
    QVERIFY(g_lockwindow->isVisible());
    QCOMPARE(int(g_page_focus), 0);

    QTest::mouseClick(g_lockwindow, Qt::LeftButton);
    QVERIFY(!g_lockwindow->isVisible());
    QCOMPARE(int(g_page_focus), 1);
    g_mainwindow = nullptr;
}

// The input-source manager writes a timing record word by word under its lock: the home
// screen waits for the whole record instead of showing a new width with the old height.
void TestShell::homeShowsWholeTimings()
{
    TestDevice dev;
    const int hdmi1 = Para::TIMING + 6 * 2;
    {
        ParaWrite w(false);
        MutexLocker lock(&Utils::_source_hdminfo_mutex);
        w.set16(hdmi1, 1280);
        w.set16(hdmi1 + 2, 720);
        w.set16(hdmi1 + 4, 60);
    }
    LockWindow home(nullptr);
    std::atomic<bool> halfWritten{false}, shown{false};
    std::thread source([&] {
        ParaWrite w(false);
        MutexLocker lock(&Utils::_source_hdminfo_mutex);
        w.set16(hdmi1, 1920);
        halfWritten = true;
        for (int i = 0; i < 200 && !shown; ++i) // a reader that waits for the lock never shows
            usleep(1000);
        w.set16(hdmi1 + 2, 1080);
    });
    while (!halfWritten)
        usleep(100);
    home.syncUpdate();
    shown = true;
    source.join();
    QCOMPARE(home.findChild<QLabel *>(QStringLiteral("label_state_2"))->text(),
             QStringLiteral("1920x1080@60"));
}

void TestShell::touchRestartsIdleCount()
{
    TestDevice dev;
    RecordedActions rec;
    openChain({Page::WindowLayout, Page::Settings});
    g_numberkeyboard->show();
    idleTicks(g_back_to_mainwindow_time - 10);
    QTest::mouseClick(key(QStringLiteral("key_cancel")), Qt::LeftButton);
    QCOMPARE(lcd_touch::pInstance()->idle_count(), u32(0));
    idleTicks(g_back_to_mainwindow_time);
    QCOMPARE(rec.backs, QList<int>{});
    idleTicks(1);
    QCOMPARE(rec.backs, (QList<int>{9, 5}));
}

// The mode panel is built when first opened; its buttons are wired there.
void TestShell::modePanelButtons_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("stored"); // user mode asked for, 0 for none
    QTest::newRow("save slot 6") << 5 << "Button_mode_save" << 6;
    QTest::newRow("save slot 16") << 15 << "Button_mode_save" << 16;
    QTest::newRow("close") << 5 << "Button_mode_close" << 0;
}

void TestShell::modePanelButtons()
{
    QFETCH(int, slot);
    QFETCH(QString, button);
    QFETCH(int, stored);
    TestDevice dev;
    KraRamPara *p = KraRamPara::pInstance();
    const int before = p->live16(Para::CURRENT_MODE);
    MainWindow window;
    window.show();
    window.language_changed(); // before the panel exists
    window.on_Button_mode_panel_clicked();
    auto *panel = window.findChild<QWidget *>(QStringLiteral("frame_mode_panel"));
    QVERIFY(panel && panel->isVisible());
    QTest::mouseClick(window.findChild<QPushButton *>(QString::number(slot)), Qt::LeftButton);
    QCOMPARE(window.mode_panel_slot(), slot);
    QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
    QVERIFY(!panel->isVisible());
    QCOMPARE(int(g_save_mode_request), stored);
    QCOMPARE(int(p->live16(Para::CURRENT_MODE)), stored ? stored : before);
    g_save_mode_request = 0;
}

void TestShell::keyboardValueGoesToItsScreen()
{
    TestDevice dev;
    NumberScreen below, top;
    below.field.setText(QStringLiteral("5"));
    QObject connections; // both screens are connected while they exist
    QObject::connect(g_numberkeyboard, &NumberKeyboard::sendKeyBoardUIDataToLineEdit, &connections,
                     [&below](const QString &t) { below.confirmString(t); });
    QObject::connect(g_numberkeyboard, &NumberKeyboard::sendKeyBoardUIDataToLineEdit, &connections,
                     [&top](const QString &t) { top.confirmString(t); });

    answerKeyboardWith(QStringLiteral("1280"));
    top.show_numberkeyboard_ui(top.field.text());
    QCOMPARE(top.received, QStringList{QStringLiteral("1280")});
    QCOMPARE(top.field.text(), QStringLiteral("1280"));
    QCOMPARE(below.received, QStringList{});
    QCOMPARE(below.field.text(), QStringLiteral("5"));

    answerKeyboardWith(QStringLiteral("64"));
    below.show_numberkeyboard_ui(below.field.text());
    QCOMPARE(below.received, QStringList{QStringLiteral("64")});
    QCOMPARE(top.received.size(), 1);
    g_lineedit = nullptr;
}

void TestShell::keyboardKeys_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("emitted");
    QTest::newRow("digits and OK") << QStringList{"1", "9", "2", "0", "key_ok"} << QStringList{"1920"};
    QTest::newRow("delete") << QStringList{"1", "9", "key_delete", "8", "key_ok"} << QStringList{"18"};
    QTest::newRow("delete everything") << QStringList{"7", "key_delete", "key_delete", "0", "key_ok"}
                                       << QStringList{"0"};
    QTest::newRow("cancel") << QStringList{"1", "2", "key_cancel"} << QStringList{};
    QTest::newRow("OK without digits") << QStringList{"key_ok"} << QStringList{};
    QTest::newRow("at most five digits") << QStringList{"1", "2", "3", "4", "5", "6", "key_ok"}
                                         << QStringList{"12345"};
}

void TestShell::keyboardKeys()
{
    QFETCH(QStringList, keys);
    QFETCH(QStringList, emitted);
    TestDevice dev;
    NumberKeyboard *kb = g_numberkeyboard;
    kb->label_show(QStringLiteral("Width"), QStringLiteral("77"));
    kb->press_digit(3); // typed digits of an earlier run are cleared by the next label_show
    kb->label_show(QStringLiteral("Width"), QStringLiteral("77"));
    QVERIFY(kb->typed().isEmpty());
    kb->show();
    QSignalSpy spy(kb, &NumberKeyboard::sendKeyBoardUIDataToLineEdit);
    for (const QString &k : keys)
        QTest::mouseClick(key(k.startsWith(QLatin1String("key_")) ? k : QStringLiteral("key_") + k),
                          Qt::LeftButton);
    QStringList got;
    for (const auto &args : spy)
        got << args.at(0).toString();
    QCOMPARE(got, emitted);
    QVERIFY(!kb->isVisible());
}

void TestShell::keyboardCaptionFont_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("font");
    QTest::newRow("four characters") << "Wide" << "font: 18px";
    QTest::newRow("four Chinese characters") << QString::fromUtf8("水平位置") << "font: 18px";
    QTest::newRow("two Chinese characters") << QString::fromUtf8("宽度") << "font: 25px";
    QTest::newRow("five characters") << "Width" << "font: 25px";
    QTest::newRow("three characters") << "Red" << "font: 25px";
}

void TestShell::keyboardCaptionFont()
{
    QFETCH(QString, caption);
    QFETCH(QString, font);
    TestDevice dev;
    g_numberkeyboard->label_show(caption, QStringLiteral("1"));
    auto *label = g_numberkeyboard->findChild<QLabel *>(QStringLiteral("label_caption"));
    QVERIFY(label);
    QCOMPARE(label->text(), caption);
    QVERIFY2(label->styleSheet().contains(font), qPrintable(label->styleSheet()));
}

void TestShell::ageRecordFormat()
{
    TestDevice dev;
    resetAgeLog();
    MainWindow window;
    setAgeRegisters(0, 10, 20, 30);
    setAgeRegisters(1, 40, 50, 255);
    window.getagelog();
    QCOMPARE(factoryage_log.size(), 1);
    const QRegularExpression re(QStringLiteral("^\\d\\d-\\d\\d \\d\\d:\\d\\d 10 20 30 40 50 255$"));
    QVERIFY2(re.match(factoryage_log.first()).hasMatch(), qPrintable(factoryage_log.first()));
    QCOMPARE(factoryage_log_diff3 + factoryage_log_diff5 + factoryage_log_diffmore, u32(0));
}

void TestShell::ageCounters_data()
{
    QTest::addColumn<QList<int>>("fpga0");
    QTest::addColumn<QList<int>>("fpga1");
    QTest::addColumn<QList<int>>("counts0"); // 1-2, 3-4, 5-9, 10-19, 20 and more
    QTest::addColumn<QList<int>>("counts1");
    QTest::newRow("each band once")
        << QList<int>{0, 2, 6, 11, 21, 41}
        << QList<int>{0, 1, 4, 9, 19, 39}
        << QList<int>{1, 1, 1, 1, 1} << QList<int>{1, 1, 1, 1, 1};
    QTest::newRow("no advance counts nowhere")
        << QList<int>{7, 7, 7} << QList<int>{100, 100, 101}
        << QList<int>{0, 0, 0, 0, 0} << QList<int>{1, 0, 0, 0, 0};
    QTest::newRow("wrap at 256")
        << QList<int>{250, 2, 5} << QList<int>{255, 0, 200}
        << QList<int>{0, 1, 1, 0, 0} << QList<int>{1, 0, 0, 0, 1};
    QTest::newRow("band edges")
        << QList<int>{0, 3, 8, 18, 38} << QList<int>{0, 2, 6, 15, 34}
        << QList<int>{0, 1, 1, 1, 1} << QList<int>{1, 1, 1, 1, 0};
}

void TestShell::ageCounters()
{
    QFETCH(QList<int>, fpga0);
    QFETCH(QList<int>, fpga1);
    QFETCH(QList<int>, counts0);
    QFETCH(QList<int>, counts1);
    TestDevice dev;
    resetAgeLog();
    MainWindow window;
    for (int i = 0; i < fpga0.size(); ++i) {
        setAgeRegisters(0, fpga0[i], 1, 2);
        setAgeRegisters(1, fpga1[i], 3, 4);
        window.getagelog();
    }
    const QList<int> got0{int(factoryage_log_diff3), int(factoryage_log_diff5), int(factoryage_log_diff10),
                          int(factoryage_log_diff20), int(factoryage_log_diffmore)};
    const QList<int> got1{int(factoryage_log2_diff3), int(factoryage_log2_diff5), int(factoryage_log2_diff10),
                          int(factoryage_log2_diff20), int(factoryage_log2_diffmore)};
    QCOMPARE(got0, counts0);
    QCOMPARE(got1, counts1);
}

void TestShell::ageLogLimit()
{
    TestDevice dev;
    resetAgeLog();
    MainWindow window;
    setAgeRegisters(1, 0, 0, 0);
    for (int i = 0; i < 3365; ++i) {
        setAgeRegisters(0, 0, i & 0xFF, (i >> 8) & 0xFF);
        window.getagelog();
    }
    QCOMPARE(factoryage_log.size(), 3360);
    QVERIFY(factoryage_log.first().endsWith(QStringLiteral(" 0 5 0 0 0 0")));
    QVERIFY(factoryage_log.last().endsWith(QStringLiteral(" 0 36 13 0 0 0"))); // 3364 = 13 x 256 + 36
}

void TestShell::tickWritesAgeRecord_data()
{
    QTest::addColumn<quint32>("before");
    QTest::addColumn<bool>("pcCommand");
    QTest::addColumn<bool>("fpga1Runs");
    QTest::addColumn<int>("records");
    QTest::newRow("due") << 17999u << false << true << 1;
    QTest::newRow("due again") << 35999u << false << true << 1;
    QTest::newRow("not due") << 18000u << false << true << 0;
    QTest::newRow("PC command active") << 17999u << true << true << 0;
    QTest::newRow("FPGA 1 stopped") << 17999u << false << false << 0;
}

void TestShell::tickWritesAgeRecord()
{
    QFETCH(quint32, before);
    QFETCH(bool, pcCommand);
    QFETCH(bool, fpga1Runs);
    QFETCH(int, records);
    TestDevice dev;
    resetAgeLog();
    MainWindow window;
    pc_cmd_valid = pcCommand ? 1 : 0;
    fpga_sim_power(1, fpga1Runs);
    G_timeTicks = before;
    window.slot_update_timer_ticks();
    QCOMPARE(G_timeTicks.load(), before + 1);
    QCOMPARE(factoryage_log.size(), records);
    pc_cmd_valid = 0;
    fpga_sim_power(1, true);
}

void TestShell::tipKinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("offered");
    QTest::addColumn<QString>("text"); // empty: nothing shown
    QTest::newRow("saved") << 1 << 1 << 0x1F << "Saved";
    QTest::newRow("saved, Chinese") << 1 << 0 << 0x1F << QString::fromUtf8("保存成功");
    QTest::newRow("saved, Russian not offered") << 1 << 2 << 0x03 << "Saved";
    QTest::newRow("clear") << 2 << 1 << 0x1F << "";
    QTest::newRow("stick in") << 3 << 1 << 0x1F << "USB stick connected";
    QTest::newRow("stick out") << 4 << 1 << 0x1F << "USB stick removed";
    QTest::newRow("reading") << 5 << 1 << 0x1F << "Reading data...";
    QTest::newRow("unknown kind") << 6 << 1 << 0x1F << "";
}

void TestShell::tipKinds()
{
    QFETCH(int, kind);
    QFETCH(int, language);
    QFETCH(int, offered);
    QFETCH(QString, text);
    TestDevice dev;
    g_language = u8(language);
    g_lcd_lang_valid = u8(offered);
    g_tip->tip_create(4); // an earlier tip is replaced
    g_tip->tip_create(kind);
    QCOMPARE(g_tip->text(), text);
    QCOMPARE(g_tip->isVisible(), !text.isEmpty());
    g_tip->tip_create(2);
}

void TestShell::tipHidesAfter300Ticks_data()
{
    QTest::addColumn<quint32>("shownAt");
    QTest::newRow("plain") << 1000u;
    QTest::newRow("across the wrap") << 0xFFFFFF00u;
}

void TestShell::tipHidesAfter300Ticks()
{
    QFETCH(quint32, shownAt);
    TestDevice dev;
    G_timeTicks = shownAt;
    g_tip->tip_create(1);
    G_timeTicks = shownAt + 299;
    g_tip->tick();
    QVERIFY(g_tip->isVisible());
    G_timeTicks = shownAt + 300;
    g_tip->tick();
    QVERIFY(!g_tip->isVisible());
    G_timeTicks = 0;
}

void TestShell::roundBar()
{
    TestDevice dev;
    QDialog screen;
    QRoundProgressBar::create_qround_bar(&screen);
    QPointer<QRoundProgressBar> bar = g_qround_bar;
    QVERIFY(bar);
    QCOMPARE(bar->parentWidget(), static_cast<QWidget *>(&screen));
    QCOMPARE(bar->geometry(), QRect(300, 140, 200, 200));
    QCOMPARE(bar->value(), 0);

    QDialog other;
    QRoundProgressBar::create_qround_bar(&other); // one bar at a time
    QCOMPARE(g_qround_bar, bar.data());
    QVERIFY(other.findChildren<QRoundProgressBar *>().isEmpty());

    bar->para_sync(42);
    QCOMPARE(bar->value(), 42);
    bar->para_sync(99);
    QCOMPARE(bar->value(), 99);
    QCOMPARE(g_qround_bar, bar.data());

    bar->para_sync(100);
    QVERIFY(!g_qround_bar);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(bar.isNull());

    QRoundProgressBar::create_qround_bar(&screen); // a later job gets a new bar
    QVERIFY(g_qround_bar);
    g_qround_bar->para_sync(250);
    QVERIFY(!g_qround_bar);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestShell::roundBarGoesWithItsScreen()
{
    TestDevice dev;
    auto *screen = new QDialog;
    QRoundProgressBar::create_qround_bar(screen);
    QVERIFY(g_qround_bar);
    delete screen;
    QVERIFY(!g_qround_bar);
    idleTicks(5); // the idle count runs again
    QCOMPARE(lcd_touch::pInstance()->idle_count(), u32(5));
}

QTEST_MAIN(TestShell)
#include "test_shell.moc"
