// The LED output settings screen: splitting, typed sizes, Apply (what it writes, when it
// refuses, when it starts the geometry hand-shake), refresh and the net-port page.
#include "c331_manage.h"
#include "fpga_manage.h"
#include "fpga_model_sim.h"
#include "screenkit.h"
#include "krarampara.h"
#include "numberkeyboard.h"
#include "outputset.h"
#include "screens.h"
#include "testsupport.h"
#include "utils.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {


// Sets the splice mode and the LED size in the live image and the shadow copy.
void setBlock(int mode, int width, int height)
{
    KraRamPara *p = KraRamPara::pInstance();
    ParaWrite w(false);
    w.set16(Para::SPLICE_MODE, u16(mode));
    w.set16(Para::LED_WIDTH, u16(width));
    w.set16(Para::LED_HEIGHT, u16(height));
    memcpy(p->ram_para_bak, p->ram_para, sizeof p->ram_para);
}

u16 live(int addr)
{
    return KraRamPara::pInstance()->live16(addr);
}

u8 handshakeFlag()
{
    MutexLocker lock(&Utils::_led_para_init_mutex);
    return g_set_led_para;
}

struct Screen {
    OutputSet s;
    QLineEdit *field(const char *name) { return s.findChild<QLineEdit *>(QLatin1String(name)); }
    int value(const char *name) { return field(name)->text().toInt(); }
    QComboBox *combo() { return s.findChild<QComboBox *>(QStringLiteral("comboBox")); }
    QPushButton *button(const char *name) { return s.findChild<QPushButton *>(QLatin1String(name)); }
    // Output 1 width, output 1 height, output 2 width, output 2 height as shown.
    QVector<int> outputs()
    {
        return {value("lineEdit_out1_width"), value("lineEdit_out1_height"),
                value("lineEdit_out2_width"), value("lineEdit_out2_height")};
    }
    // Types `text` into a field on the number keyboard, as an operator does.
    void type(const char *name, const QString &text)
    {
        answerKeyboardWith(text);
        QTest::mouseClick(field(name), Qt::LeftButton);
    }
};

} // namespace

class TestOutputSet : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void split_data();
    void split();
    void typing_data();
    void typing();
    void apply_data();
    void apply();
    void applyRefused_data();
    void applyRefused();
    void refreshDropsTypedValues();
    void keyboardOfAnotherScreen();
    void netPorts_data();
    void netPorts();
    void openAndBack();

private:
    std::unique_ptr<TestDevice> dev_;
};

void TestOutputSet::init()
{
    dev_.reset(new TestDevice());
}

void TestOutputSet::cleanup()
{
    dev_.reset();
}

void TestOutputSet::split_data()
{
    QTest::addColumn<int>("index"); // 0 horizontal, 1 vertical, 2 copy
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("widthShown");
    QTest::addColumn<QVector<int>>("outputs");
    QTest::newRow("horizontal 1920") << 0 << 1920 << 1080 << 1920 << QVector<int>{960, 1080, 960, 1080};
    QTest::newRow("horizontal 1921") << 0 << 1921 << 1080 << 1921 << QVector<int>{968, 1080, 953, 1080};
    QTest::newRow("horizontal 10000") << 0 << 10000 << 1080 << 10000 << QVector<int>{5024, 1080, 4992, 1080};
    // Rounding output 1 up to 8 would leave output 2 below 0 on a narrow screen.
    for (int w = 1; w <= 7; ++w)
        QTest::newRow(qPrintable(QStringLiteral("horizontal %1").arg(w))) << 0 << w << 64 << w
                                                                         << QVector<int>{w, 64, 0, 64};
    QTest::newRow("horizontal 9") << 0 << 9 << 64 << 9 << QVector<int>{8, 64, 1, 64};
    QTest::newRow("vertical 1081") << 1 << 1920 << 1081 << 1920 << QVector<int>{1920, 541, 1920, 540};
    QTest::newRow("copy 10000") << 2 << 10000 << 1080 << 8188 << QVector<int>{8188, 1080, 8188, 1080};
    QTest::newRow("copy 8188 kept") << 2 << 8188 << 720 << 8188 << QVector<int>{8188, 720, 8188, 720};
}

void TestOutputSet::split()
{
    QFETCH(int, index);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, widthShown);
    QFETCH(QVector<int>, outputs);
    setBlock(index == 0 ? 2 : 3, width, height); // start from another mode
    Screen sc;
    sc.s.on_comboBox_activated(index);
    QCOMPARE(sc.combo()->currentIndex(), index);
    QCOMPARE(sc.value("lineEdit_width"), widthShown);
    QCOMPARE(sc.outputs(), outputs);
    QCOMPARE(live(Para::LED_WIDTH), u16(width)); // nothing written before Apply
    QCOMPARE(int(c331_manage::para_changed), 0);
}

void TestOutputSet::typing_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("index");
    QTest::addColumn<QVector<int>>("outputs");
    // The block's outputs are 960 x 1080 and 960 x 1080 (defaults).
    QTest::newRow("10000 forces horizontal, heights kept")
        << 2 << 10000 << 1081 << "lineEdit_out1_width" << "10000" << 0 << QVector<int>{8192, 1080, 1824, 1080};
    QTest::newRow("vertical, 10000 on a 1920 screen forces horizontal")
        << 2 << 1920 << 1080 << "lineEdit_out1_width" << "10000" << 0 << QVector<int>{8188, 1080, -6268, 1080};
    QTest::newRow("horizontal, above the screen")
        << 3 << 1920 << 1080 << "lineEdit_out1_width" << "2000" << 0 << QVector<int>{2000, 1080, -80, 1080};
    QTest::newRow("horizontal, 10000 on a 1920 screen")
        << 3 << 1920 << 1080 << "lineEdit_out1_width" << "10000" << 0 << QVector<int>{8188, 1080, -6268, 1080};
    QTest::newRow("horizontal 1000")
        << 3 << 1920 << 1080 << "lineEdit_out1_width" << "1000" << 0 << QVector<int>{1000, 1080, 920, 1080};
    QTest::newRow("horizontal, wide screen rounds to 32")
        << 3 << 10000 << 1080 << "lineEdit_out1_width" << "5000" << 0 << QVector<int>{5024, 1080, 4992, 1080};
    QTest::newRow("wide screen, rounding up to 32 beyond the screen")
        << 3 << 8190 << 1080 << "lineEdit_out1_width" << "8188" << 0 << QVector<int>{8192, 1080, 0, 1080};
    QTest::newRow("vertical, wide screen")
        << 2 << 10000 << 1080 << "lineEdit_out1_width" << "5000" << 1 << QVector<int>{5024, 1080, 5024, 1080};
    QTest::newRow("vertical height 500")
        << 2 << 1920 << 1080 << "lineEdit_out1_height" << "500" << 1 << QVector<int>{960, 500, 960, 580};
    QTest::newRow("vertical height above the screen")
        << 2 << 1920 << 1080 << "lineEdit_out1_height" << "2000" << 1 << QVector<int>{960, 2000, 960, -920};
    QTest::newRow("horizontal height 500")
        << 3 << 1920 << 1080 << "lineEdit_out1_height" << "500" << 0 << QVector<int>{960, 500, 960, 500};
    QTest::newRow("more digits than fit")
        << 2 << 1920 << 1080 << "lineEdit_out1_height" << "99999999999999" << 1 << QVector<int>{960, 8188, 960, -7108};
}

void TestOutputSet::typing()
{
    QFETCH(int, mode);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(int, index);
    QFETCH(QVector<int>, outputs);
    setBlock(mode, width, height);
    Screen sc;
    sc.type(qPrintable(field), typed);
    QCOMPARE(sc.combo()->currentIndex(), index);
    QCOMPARE(sc.outputs(), outputs);
    QCOMPARE(int(c331_manage::para_changed), 0);
}

void TestOutputSet::apply_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("choose"); // combo index chosen, -1 none
    QTest::addColumn<QString>("typed"); // typed into output 1 width, "" none
    QTest::addColumn<QVector<int>>("written"); // 0x562, 0x564, 0x560, then 0x584..0x58E
    QTest::addColumn<bool>("reset");   // windows reset (and, both FPGAs running, hand-shake started)
    QTest::addColumn<int>("stopped");  // FPGA not running, -1 none
    // Output 2 width is W minus output 1 width, not the 1824 the field shows.
    QTest::newRow("horizontal, output 2 from W")
        << 3 << 10000 << 1080 << -1 << "10000"
        << QVector<int>{10000, 1080, 3, 8192, 1080, 8192, 0, 1808, 1080} << false << -1;
    QTest::newRow("horizontal, unchanged")
        << 3 << 1920 << 1080 << -1 << ""
        << QVector<int>{1920, 1080, 3, 960, 1080, 960, 0, 960, 1080} << false << -1;
    QTest::newRow("vertical chosen")
        << 3 << 1920 << 1081 << 1 << ""
        << QVector<int>{1920, 1081, 2, 1920, 541, 0, 541, 1920, 540} << true << -1;
    QTest::newRow("copy caps the width")
        << 4 << 10000 << 1080 << 2 << ""
        << QVector<int>{8188, 1080, 4, 8188, 1080, 0, 0, 8188, 1080} << true << -1;
    QTest::newRow("width typed in vertical forces horizontal")
        << 2 << 10000 << 1080 << -1 << "9000"
        << QVector<int>{10000, 1080, 3, 8192, 1080, 8192, 0, 1808, 1080} << true << -1;
    QTest::newRow("FPGA 0 stopped")
        << 3 << 1920 << 1080 << 2 << ""
        << QVector<int>{1920, 1080, 4, 1920, 1080, 0, 0, 1920, 1080} << true << 0;
    QTest::newRow("FPGA 1 stopped")
        << 3 << 1920 << 1081 << 1 << ""
        << QVector<int>{1920, 1081, 2, 1920, 541, 0, 541, 1920, 540} << true << 1;
    QTest::newRow("FPGA 1 stopped, size unchanged")
        << 3 << 1920 << 1080 << -1 << "1000"
        << QVector<int>{1920, 1080, 3, 1000, 1080, 1000, 0, 920, 1080} << false << 1;
}

void TestOutputSet::apply()
{
    QFETCH(int, mode);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, choose);
    QFETCH(QString, typed);
    QFETCH(QVector<int>, written);
    QFETCH(bool, reset);
    QFETCH(int, stopped);
    setBlock(mode, width, height);
    fpga_manage::pInstance()->configure_net_ports();
    if (stopped >= 0)
        fpga_sim_power(stopped, false);
    {
        ParaWrite w(false); // window 0 somewhere else, the others on
        w.set16(Para::win(0, Para::W_X), 100);
        w.set16(Para::win(0, Para::W_WIDTH), 50);
        for (int win = 1; win < 6; ++win)
            w.set16(Para::win(win, Para::W_ON), 1);
        KraRamPara *p = KraRamPara::pInstance();
        memcpy(p->ram_para_bak, p->ram_para, sizeof p->ram_para);
    }
    Screen sc;
    if (choose >= 0)
        sc.s.on_comboBox_activated(choose);
    if (!typed.isEmpty())
        sc.type("lineEdit_out1_width", typed);
    QTest::mouseClick(sc.button("Button_apply1"), Qt::LeftButton);

    QVector<int> got = {live(Para::LED_WIDTH), live(Para::LED_HEIGHT), live(Para::SPLICE_MODE)};
    for (int i = 0; i < 6; ++i)
        got << live(Para::OUT1_WIDTH + 2 * i);
    QCOMPARE(got, written);
    QCOMPARE(int(c331_manage::para_changed), 1);
    QVERIFY(kra_marked(sc.button("Button_apply1")));
    QCOMPARE(int(handshakeFlag()), reset && stopped < 0 ? 1 : 0);
    if (reset) {
        QCOMPARE(int(g_set_led_setup), 0);
        QCOMPARE(live(Para::win(0, Para::W_X)), u16(0));
        QCOMPARE(int(live(Para::win(0, Para::W_WIDTH))), written[0]);
        QCOMPARE(int(live(Para::win(0, Para::W_HEIGHT))), written[1]);
        for (int win = 1; win < 6; ++win)
            QCOMPARE(live(Para::win(win, Para::W_ON)), u16(0));
    } else {
        QCOMPARE(live(Para::win(0, Para::W_X)), u16(100));
        QCOMPARE(live(Para::win(0, Para::W_WIDTH)), u16(50));
        QCOMPARE(live(Para::win(3, Para::W_ON)), u16(1));
    }
    if (stopped >= 0) {
        // Started again, the FPGA drives its net ports with the size applied meanwhile.
        fpga_sim_power(stopped, true);
        unsigned short x, w;
        fpga_manage::get_eth_param_addr(0, &x, nullptr, &w, nullptr);
        const u8 *img = fpga_manage::MCU_RAM_PARA_func[stopped];
        QCOMPARE(int(rd16(img, x)), stopped == 0 ? 0 : written[5]);
        QCOMPARE(int(rd16(img, w)), stopped == 0 ? written[3] : written[7]);
    }
}

void TestOutputSet::applyRefused_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("choose");
    QTest::addColumn<QString>("typed");
    QTest::newRow("horizontal, output 1 takes the screen") << 1920 << 1080 << -1 << "1920";
    QTest::newRow("horizontal, 10000 typed on 1920") << 1920 << 1080 << -1 << "10000";
    QTest::newRow("horizontal 5 wide") << 5 << 1080 << 0 << "";
    QTest::newRow("vertical 1 high") << 1920 << 1 << 1 << "";
    QTest::newRow("horizontal, output 1 width 0") << 1920 << 1080 << -1 << "0";
}

// Nothing is written, the changed flag stays down and Apply is not marked.
void TestOutputSet::applyRefused()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, choose);
    QFETCH(QString, typed);
    setBlock(3, width, height);
    Screen sc;
    if (choose >= 0)
        sc.s.on_comboBox_activated(choose);
    if (!typed.isEmpty())
        sc.type("lineEdit_out1_width", typed);
    u8 before[Para::IMAGE_SIZE];
    memcpy(before, KraRamPara::pInstance()->ram_para, sizeof before);
    QTest::mouseClick(sc.button("Button_apply1"), Qt::LeftButton);
    QVERIFY(memcmp(before, KraRamPara::pInstance()->ram_para, sizeof before) == 0);
    QCOMPARE(int(c331_manage::para_changed), 0);
    QCOMPARE(int(handshakeFlag()), 0);
    QVERIFY(!kra_marked(sc.button("Button_apply1")));
    QVERIFY(kra_marked(sc.button("Button_cancel1")));
}

// A refresh raised by anyone reloads the page from the block.
void TestOutputSet::refreshDropsTypedValues()
{
    g_outputset = new OutputSet(nullptr);
    g_page_focus = 6;
    auto *s = g_outputset;
    answerKeyboardWith(QStringLiteral("500"));
    QTest::mouseClick(s->findChild<QLineEdit *>(QStringLiteral("lineEdit_out1_height")), Qt::LeftButton);
    s->on_comboBox_activated(1);
    {
        ParaWrite w; // another writer changes something else
        w.set16(Para::TEST_PATTERN, 2);
    }
    TestDevice::settle();
    QCOMPARE(s->findChild<QComboBox *>(QStringLiteral("comboBox"))->currentIndex(), 0);
    QCOMPARE(s->findChild<QLineEdit *>(QStringLiteral("lineEdit_out1_height"))->text(), QStringLiteral("1080"));
    QCOMPARE(s->findChild<QLineEdit *>(QStringLiteral("lineEdit_out2_width"))->text(), QStringLiteral("960"));
    s->on_Button_back_clicked();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestOutputSet::keyboardOfAnotherScreen()
{
    Screen sc;
    QLineEdit other;
    g_lineedit = &other;
    emit g_numberkeyboard->sendKeyBoardUIDataToLineEdit(QStringLiteral("500"));
    QCOMPARE(sc.outputs(), (QVector<int>{960, 1080, 960, 1080}));
    QVERIFY(other.text().isEmpty());
    g_lineedit = nullptr;
}

void TestOutputSet::netPorts_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("tile");
    QTest::addColumn<int>("fpga");
    QTest::addColumn<int>("index");
    QTest::newRow("LED1") << 1 << 0 << 0 << 0;
    QTest::newRow("LED12") << 2 << 3 << 0 << 11;
    QTest::newRow("LED13") << 2 << 4 << 1 << 0;
    QTest::newRow("LED20") << 3 << 3 << 1 << 7;
    QTest::newRow("LED24") << 3 << 7 << 1 << 11;
    QTest::newRow("LED25, above 23") << 4 << 0 << 0 << 0;
    QTest::newRow("LED32, above 23") << 4 << 7 << 0 << 0;
}

void TestOutputSet::netPorts()
{
    QFETCH(int, tab);
    QFETCH(int, tile);
    QFETCH(int, fpga);
    QFETCH(int, index);
    // Each port of each FPGA gets its own numbers.
    for (int f = 0; f < 2; ++f) {
        for (int i = 0; i < 16; ++i) {
            unsigned short a[4];
            fpga_manage::get_eth_param_addr(u8(i), &a[0], &a[1], &a[2], &a[3]);
            for (int k = 0; k < 4; ++k)
                wr16(fpga_manage::MCU_RAM_PARA_func[f], a[k], u16(1000 * f + 100 * k + i));
        }
    }
    Screen sc;
    QTest::mouseClick(sc.button("Button_lanset"), Qt::LeftButton);
    switch (tab) {
    case 1: sc.s.on_Button_wlan1_clicked(); break;
    case 2: sc.s.on_Button_wlan2_clicked(); break;
    case 3: sc.s.on_Button_wlan3_clicked(); break;
    default: sc.s.on_Button_wlan4_clicked(); break;
    }
    QPushButton *b = sc.button(qPrintable(QString::number(tile)));
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
    const char *fields[4] = {"lineEdit_X", "lineEdit_Y", "lineEdit_W", "lineEdit_H"};
    for (int k = 0; k < 4; ++k)
        QCOMPARE(sc.value(fields[k]), 1000 * fpga + 100 * k + index);
    // Exactly one tile is marked: the one pressed.
    int marked = 0;
    for (QFrame *f : b->parentWidget()->findChildren<QFrame *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (kra_marked(f))
            ++marked;
    }
    QCOMPARE(marked, 1);
}

void TestOutputSet::openAndBack()
{
    QVERIFY(kra_screen_built(6));
    g_outputset = new OutputSet(nullptr);
    g_page_focus = 6;
    QCOMPARE(g_set_focus, g_outputset->findChild<QPushButton *>(QStringLiteral("Button_ledset")));
    QCOMPARE(g_wlan_focus, g_outputset->findChild<QPushButton *>(QStringLiteral("Button_wlan1")));
    QVERIFY(g_apply_focus1 && g_apply_focus2 && g_wlan_frame[7]);
    g_outputset->on_Button_back_clicked();
    QVERIFY(!g_outputset);
    QCOMPARE(int(g_page_focus), 5);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The closed screen leaves no highlight pointing at its widgets.
    QVERIFY(!g_set_focus && !g_apply_focus1 && !g_apply_focus2 && !g_wlan_focus);
    for (QFrame *f : g_wlan_frame)
        QVERIFY(!f);
}

QTEST_MAIN(TestOutputSet)
#include "test_outputset.moc"
