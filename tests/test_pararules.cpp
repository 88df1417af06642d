// Rules of the parameter block without a screen: the LED split and Apply with its
// hand-shake, the factory resets, the window-record writes, the picture reset and the window
// source query.
#include "config_engine.h"
#include "krarampara.h"
#include "pararules.h"
#include "testsupport.h"
#include "utils.h"

#include <QDir>
#include <QtTest>
#include <cstring>
#include <memory>
#include <thread>

namespace {

KraRamPara *para()
{
    return KraRamPara::pInstance();
}

u16 live(int addr)
{
    return para()->live16(addr);
}

// Live and shadow alike, the changed flag down.
void store(std::initializer_list<std::pair<int, int>> words)
{
    {
        ParaWrite w(false);
        for (const auto &aw : words)
            w.set16(aw.first, u16(aw.second));
    }
    memcpy(para()->ram_para_bak, para()->ram_para, Para::IMAGE_SIZE);
    kra_para_changed = 0;
}

u8 handshake()
{
    MutexLocker lock(&Utils::_led_para_init_mutex);
    return g_set_led_para;
}

// Mode, width, height, output 1 width and height, output 2 width and height.
QVector<int> layout(const LedLayout &l)
{
    return {l.mode, l.width, l.height, l.out1_width, l.out1_height, l.out2_width, l.out2_height};
}

LedLayout makeLayout(const QVector<int> &v)
{
    LedLayout l;
    l.mode = v[0], l.width = v[1], l.height = v[2];
    l.out1_width = v[3], l.out1_height = v[4], l.out2_width = v[5], l.out2_height = v[6];
    return l;
}

} // namespace

class TestParaRules : public QObject
{
    Q_OBJECT
private slots:
    void init() { dev_.reset(new TestDevice()); }
    void cleanup() { dev_.reset(); }
    void ledEdit_data()
    {
        QTest::addColumn<QVector<int>>("start");  // as `layout`
        QTest::addColumn<QString>("edit");        // "mode", "width" or "height"
        QTest::addColumn<int>("value");
        QTest::addColumn<QVector<int>>("result");
        const QVector<int> v1920 = {SPLICE_VERTICAL, 1920, 1081, 1920, 541, 1920, 540};
        QTest::newRow("horizontal 1921") << QVector<int>{SPLICE_VERTICAL, 1921, 1080, 0, 0, 0, 0} << "mode"
                                         << int(SPLICE_HORIZONTAL)
                                         << QVector<int>{SPLICE_HORIZONTAL, 1921, 1080, 968, 1080, 953, 1080};
        QTest::newRow("horizontal 10000") << QVector<int>{SPLICE_COPY, 10000, 1080, 0, 0, 0, 0} << "mode"
                                          << int(SPLICE_HORIZONTAL)
                                          << QVector<int>{SPLICE_HORIZONTAL, 10000, 1080, 5024, 1080, 4992, 1080};
        QTest::newRow("vertical 1081") << QVector<int>{SPLICE_HORIZONTAL, 1920, 1081, 0, 0, 0, 0} << "mode"
                                       << int(SPLICE_VERTICAL) << v1920;
        QTest::newRow("copy caps the width") << QVector<int>{SPLICE_HORIZONTAL, 10000, 1080, 0, 0, 0, 0} << "mode"
                                             << int(SPLICE_COPY)
                                             << QVector<int>{SPLICE_COPY, 8188, 1080, 8188, 1080, 8188, 1080};
        QTest::newRow("unknown mode changes nothing") << v1920 << "mode" << 7 << v1920;
        QTest::newRow("width above one output turns horizontal, heights kept")
            << QVector<int>{SPLICE_VERTICAL, 10000, 1081, 10000, 541, 10000, 540} << "width" << 10000
            << QVector<int>{SPLICE_HORIZONTAL, 10000, 1081, 8192, 541, 1824, 540};
        QTest::newRow("vertical width follows") << v1920 << "width" << 1000
                                                << QVector<int>{SPLICE_VERTICAL, 1920, 1081, 1000, 541, 1000, 540};
        QTest::newRow("vertical height beyond the screen") << v1920 << "height" << 5000
                                                           << QVector<int>{SPLICE_VERTICAL, 1920, 1081, 1920, 5000, 1920, -3919};
        QTest::newRow("negative height") << v1920 << "height" << -3
                                         << QVector<int>{SPLICE_VERTICAL, 1920, 1081, 1920, -3, 1920, 1084};
        QTest::newRow("horizontal width beyond the screen")
            << QVector<int>{SPLICE_HORIZONTAL, 1920, 1080, 960, 1080, 960, 1080} << "width" << 10000
            << QVector<int>{SPLICE_HORIZONTAL, 1920, 1080, 8188, 1080, -6268, 1080};
    }

    // Editing is local: nothing reaches the block before Apply.
    void ledEdit()
    {
        QFETCH(QVector<int>, start);
        QFETCH(QString, edit);
        QFETCH(int, value);
        u8 before[Para::IMAGE_SIZE];
        memcpy(before, para()->ram_para, sizeof before);
        LedLayout l = makeLayout(start);
        if (edit == QLatin1String("mode"))
            kra_led_choose_mode(l, value);
        else if (edit == QLatin1String("width"))
            kra_led_type_out1_width(l, value);
        else
            kra_led_type_out1_height(l, value);
        QTEST(layout(l), "result");
        QVERIFY(memcmp(before, para()->ram_para, sizeof before) == 0);
        QCOMPARE(int(kra_para_changed), 0);
    }

    void ledApply_data()
    {
        QTest::addColumn<QVector<int>>("apply");   // as `layout`
        QTest::addColumn<bool>("running");         // both FPGAs
        QTest::addColumn<QVector<int>>("written"); // 0x560, 0x562, 0x564, 0x584..0x58E; empty: refused
        QTest::addColumn<bool>("reset");
        // The block holds horizontal 1920 x 1080, outputs 960 x 1080 twice.
        const QVector<int> stored = {SPLICE_HORIZONTAL, 1920, 1080, 960, 1080, 960, 0, 960, 1080};
        const QVector<int> wide = {SPLICE_HORIZONTAL, 10000, 1080, 8192, 1080, 8192, 0, 1808, 1080};
        const QVector<int> vertical = {SPLICE_VERTICAL, 1920, 1081, 1920, 541, 0, 541, 1920, 540};
        QTest::newRow("horizontal: output 2 is the rest, not the 1824 shown")
            << QVector<int>{SPLICE_HORIZONTAL, 10000, 1080, 8192, 1080, 1824, 1080} << true << wide << true;
        QTest::newRow("output 2 shown as 0 is not read")
            << QVector<int>{SPLICE_HORIZONTAL, 1920, 1080, 1000, 1080, 0, 1080} << true
            << QVector<int>{SPLICE_HORIZONTAL, 1920, 1080, 1000, 1080, 1000, 0, 920, 1080} << false;
        QTest::newRow("FPGA down: written and reset, no hand-shake")
            << QVector<int>{SPLICE_HORIZONTAL, 10000, 1080, 8192, 1080, 1824, 1080} << false << wide << true;
        QTest::newRow("unchanged size and mode") << QVector<int>{SPLICE_HORIZONTAL, 1920, 1080, 960, 1080, 960, 1080}
                                                 << true << stored << false;
        QTest::newRow("unchanged, FPGA down") << QVector<int>{SPLICE_HORIZONTAL, 1920, 1080, 960, 1080, 960, 1080}
                                              << false << stored << false;
        QTest::newRow("vertical") << QVector<int>{SPLICE_VERTICAL, 1920, 1081, 1920, 541, 1920, 540} << true
                                  << vertical << true;
        QTest::newRow("copy") << QVector<int>{SPLICE_COPY, 8188, 720, 1, 1, 1, 1} << true
                              << QVector<int>{SPLICE_COPY, 8188, 720, 8188, 720, 0, 0, 8188, 720} << true;
        QTest::newRow("unknown mode applies as copy") << QVector<int>{9, 1920, 1080, 0, 0, 0, 0} << true
                                                      << QVector<int>{SPLICE_COPY, 1920, 1080, 1920, 1080, 0, 0, 1920, 1080}
                                                      << true;
        QTest::newRow("refused: output 1 takes the screen")
            << QVector<int>{SPLICE_HORIZONTAL, 1920, 1080, 1920, 1080, 0, 1080} << true << QVector<int>{} << false;
        QTest::newRow("refused: output 1 width 0")
            << QVector<int>{SPLICE_HORIZONTAL, 1920, 1080, 0, 1080, 1920, 1080} << true << QVector<int>{} << false;
        QTest::newRow("horizontal: output 2 height is output 1's, its own field unread")
            << QVector<int>{SPLICE_HORIZONTAL, 1920, 1080, 960, 1080, 960, 0} << true << stored << false;
        QTest::newRow("vertical: output 2 width is output 1's, its own field unread")
            << QVector<int>{SPLICE_VERTICAL, 1920, 1081, 1920, 541, 0, 540} << true << vertical << true;
        QTest::newRow("refused: vertical output 1 takes the screen")
            << QVector<int>{SPLICE_VERTICAL, 1920, 1, 1920, 1, 1920, 0} << true << QVector<int>{} << false;
        QTest::newRow("vertical: output 1 as high as the screen, output 2 as shown")
            << QVector<int>{SPLICE_VERTICAL, 1920, 1080, 1920, 1080, 1920, 540} << true
            << QVector<int>{SPLICE_VERTICAL, 1920, 1080, 1920, 1080, 0, 1080, 1920, 540} << true;
        QTest::newRow("refused: copy of nothing, FPGA down")
            << QVector<int>{SPLICE_COPY, 0, 1080, 0, 1080, 0, 1080} << false << QVector<int>{} << false;
    }
    void ledApply()
    {
        QFETCH(QVector<int>, apply);
        QFETCH(bool, running);
        QFETCH(QVector<int>, written);
        QFETCH(bool, reset);
        store({{Para::SPLICE_MODE, SPLICE_HORIZONTAL}, {Para::LED_WIDTH, 1920}, {Para::LED_HEIGHT, 1080},
               {Para::OUT1_WIDTH, 960}, {Para::OUT1_HEIGHT, 1080}, {Para::OUT2_X, 960}, {Para::OUT2_Y, 0},
               {Para::OUT2_WIDTH, 960}, {Para::OUT2_HEIGHT, 1080},
               {Para::win(0, Para::W_X), 100}, {Para::win(0, Para::W_Y), 7}, {Para::win(0, Para::W_WIDTH), 50},
               {Para::win(0, Para::W_HEIGHT), 30}, {Para::win(4, Para::W_ON), 0x0201}});
        g_set_led_setup = 1;
        u8 before[Para::IMAGE_SIZE];
        memcpy(before, para()->ram_para, sizeof before);

        const LedApplied r = kra_led_apply(makeLayout(apply), running);

        QCOMPARE(r.written, !written.isEmpty());
        QCOMPARE(r.reset, reset);
        QCOMPARE(r.handshake, reset && running);
        QCOMPARE(int(handshake()), reset && running ? 1 : 0);
        QCOMPARE(int(g_set_led_setup), reset && running ? 0 : 1);
        if (written.isEmpty()) {
            QVERIFY(memcmp(before, para()->ram_para, sizeof before) == 0);
            QCOMPARE(int(kra_para_changed), 0);
            return;
        }
        QCOMPARE(int(kra_para_changed), 1);
        QVector<int> got = {live(Para::SPLICE_MODE), live(Para::LED_WIDTH), live(Para::LED_HEIGHT)};
        for (int i = 0; i < 6; ++i)
            got << live(Para::OUT1_WIDTH + 2 * i);
        QCOMPARE(got, written);
        const QVector<int> window0 = {live(Para::win(0, Para::W_X)), live(Para::win(0, Para::W_Y)),
                                      live(Para::win(0, Para::W_WIDTH)), live(Para::win(0, Para::W_HEIGHT))};
        QCOMPARE(window0, (reset ? QVector<int>{0, 0, written[1], written[2]} : QVector<int>{100, 7, 50, 30}));
        QCOMPARE(live(Para::win(4, Para::W_ON)), u16(reset ? 0 : 0x0201));
    }

    // The hand-shake lock is taken while the manager's mutex is held, never the other way.
    void handshakeLockOrder()
    {
        store({{Para::SPLICE_MODE, SPLICE_HORIZONTAL}, {Para::LED_WIDTH, 1920}, {Para::LED_HEIGHT, 1080}});
        pthread_mutex_lock(&Utils::_led_para_init_mutex);
        std::thread apply([] { kra_led_apply(makeLayout({SPLICE_VERTICAL, 1920, 1081, 1920, 541, 1920, 540}), true); });
        bool managerHeld = false; // by the apply, waiting for the hand-shake lock
        for (int i = 0; i < 2000 && !managerHeld; ++i) {
            managerHeld = pthread_mutex_trylock(&kra_manage_mutex) != 0;
            if (!managerHeld) {
                pthread_mutex_unlock(&kra_manage_mutex);
                QThread::usleep(500);
            }
        }
        pthread_mutex_unlock(&Utils::_led_para_init_mutex);
        apply.join();
        QVERIFY(managerHeld);
        QCOMPARE(int(handshake()), 1);
    }

    void factoryReset_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVector<int>>("geometry"); // splicing, LED width, height before the press
        QTest::addColumn<bool>("running");          // both FPGAs
        QTest::addColumn<QString>("ip");            // address before the press
        QTest::addColumn<int>("presses");
        QTest::addColumn<bool>("raised");
        QTest::addColumn<bool>("network");
        const QVector<int> defaults = {3, 1920, 1080};
        QTest::newRow("1 geometry changed") << 1 << QVector<int>{2, 3840, 1080} << true << "10.0.0.5" << 1 << true << false;
        QTest::newRow("1 geometry at defaults") << 1 << defaults << true << "10.0.0.5" << 1 << false << false;
        QTest::newRow("2 keeps 896..1375, FPGA stopped") << 2 << QVector<int>{4, 1920, 1080} << false << "10.0.0.5" << 1
                                                         << false << false;
        QTest::newRow("2 width only") << 2 << QVector<int>{3, 1921, 1080} << true << "10.0.0.5" << 1 << true << false;
        QTest::newRow("3 other address") << 3 << QVector<int>{3, 1920, 1081} << true << "10.0.0.5" << 1 << true << true;
        QTest::newRow("3 default address, own mask and gateway") << 3 << defaults << true << "192.168.1.199" << 1 << false
                                                                 << false;
        QTest::newRow("3 pressed twice") << 3 << QVector<int>{2, 1920, 1080} << true << "192.168.1.2" << 2 << true << true;
        QTest::newRow("unknown kind") << 4 << QVector<int>{2, 1920, 1080} << true << "10.0.0.5" << 1 << false << false;
    }

    // What reaches the live image, shadow, hand-shake, INI file, command log and user modes.
    void factoryReset()
    {
        QFETCH(int, kind);
        QFETCH(QVector<int>, geometry);
        QFETCH(bool, running);
        QFETCH(QString, ip);
        QFETCH(int, presses);
        QFETCH(bool, raised);
        QFETCH(bool, network);

        ConfigEngine *config = ConfigEngine::pInstance();
        config->write_config_variant(ConfigItem::IPAddress, ip);
        config->write_config_variant(ConfigItem::SubNetMask, QStringLiteral("255.255.0.0"));
        config->write_config_variant(ConfigItem::GateWay, QStringLiteral("10.0.0.1"));
        config->write_config_variant(ConfigItem::TcpPort, 6000);
        config->write_config_variant(ConfigItem::UsbUpgradeDir, QStringLiteral("up"));
        config->read_all_to_globals();
        QFile ini(config->fileName());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray iniBefore = ini.readAll();
        ini.close();

        {
            ParaWrite w(false);
            for (int a = 0; a < Para::IMAGE_SIZE; ++a)
                w.set8(a, u8(a * 7 + 3));
            w.set16(Para::SPLICE_MODE, u16(geometry[0]));
            w.set16(Para::LED_WIDTH, u16(geometry[1]));
            w.set16(Para::LED_HEIGHT, u16(geometry[2]));
            w.set16(Para::SELECTED_WINDOW, 3);
        }
        memcpy(para()->ram_para_bak, para()->ram_para, Para::IMAGE_SIZE);
        QCOMPARE(para()->user_mode_save(0), 0);
        std::vector<u8> modesBefore(&para()->user_mode[0][0], &para()->user_mode[0][0] + sizeof para()->user_mode);
        const QStringList modeFiles = QDir(kra_path(QStringLiteral("/data/modes"))).entryList(QDir::Files);
        QVERIFY(!modeFiles.isEmpty());
        std::vector<u8> before(para()->ram_para, para()->ram_para + Para::IMAGE_SIZE);
        g_back_to_mainwindow_time = 4000;
        g_auto_lock_time = 120000;
        kra_para_changed = 0;

        FactoryResetDone done;
        for (int i = 0; i < presses; ++i) {
            g_set_led_para = 0;
            g_set_led_setup = 7;
            done = kra_factory_reset(kind, running);
        }

        std::vector<u8> expected = before;
        if (kind >= 1 && kind <= 3) {
            for (int a = Para::SAVED_FIRST; a < Para::IMAGE_SIZE; ++a) {
                if (kind != 2 || a < 896 || a > 1375)
                    expected[size_t(a)] = default_para_ramlist[size_t(2 + a - Para::SAVED_FIRST)];
            }
            if (done.geometry)
                wr16(expected.data(), Para::SELECTED_WINDOW, 0);
        }
        std::vector<u8> got(para()->ram_para, para()->ram_para + Para::IMAGE_SIZE);
        for (int a = 0; a < Para::IMAGE_SIZE; ++a)
            QVERIFY2(got[size_t(a)] == expected[size_t(a)], qPrintable(QStringLiteral("live byte %1").arg(a)));
        QVERIFY(std::equal(before.begin(), before.end(), para()->ram_para_bak));
        QCOMPARE(done.geometry, kind <= 3 && geometry != QVector<int>({3, 1920, 1080}));
        QCOMPARE(done.handshake, raised);
        QCOMPARE(int(handshake()), raised ? 1 : 0);
        QCOMPARE(int(g_set_led_setup), raised ? 0 : 7);
        QCOMPARE(int(kra_para_changed), kind <= 3 ? 1 : 0);

        const QStringList restore = {QStringLiteral("sync"),
                                     QStringLiteral("ifconfig eth0 >/dev/null 2>&1"),
                                     QStringLiteral("route del default wlan0"),
                                     QStringLiteral("ifconfig eth0 192.168.1.199 netmask 255.255.255.0"),
                                     QStringLiteral("route add -host 192.168.1.199 dev eth0"),
                                     QStringLiteral("route add default gw 192.168.1.1 metric 100"),
                                     QStringLiteral("route add -host 255.255.255.255 eth0"),
                                     QStringLiteral("route del 255.255.255.255 wlan1")};
        QCOMPARE(TestDevice::commands(), network ? restore : QStringList());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        if (network) {
            const QStringList items = {config->read_config_variant(ConfigItem::IPAddress).toString(),
                                       config->read_config_variant(ConfigItem::SubNetMask).toString(),
                                       config->read_config_variant(ConfigItem::GateWay).toString(),
                                       config->read_config_variant(ConfigItem::TcpPort).toString(),
                                       config->read_config_variant(ConfigItem::UsbUpgradeDir).toString(), g_str_ip};
            QCOMPARE(items, (QStringList{"192.168.1.199", "255.255.255.0", "192.168.1.1", "6000", "up", "192.168.1.199"}));
        } else {
            QCOMPARE(ini.readAll(), iniBefore);
            QCOMPARE(g_str_ip, ip);
        }

        QVERIFY(std::equal(modesBefore.begin(), modesBefore.end(), &para()->user_mode[0][0]));
        QCOMPARE(QDir(kra_path(QStringLiteral("/data/modes"))).entryList(QDir::Files), modeFiles);
        QCOMPARE(g_back_to_mainwindow_time, u32(4000));
        QCOMPARE(g_auto_lock_time, u32(120000));
    }

    void windowWrites()
    {
        const int w = 2;
        store({{Para::win(w, Para::W_ON), 0x0701}, {Para::win(w, Para::W_MIRROR), 0x0502},
               {Para::win(w, Para::W_BACKUP), 0x0903}, {Para::win(w, Para::W_FLAGS), 0x0004},
               {Para::win(w, Para::W_P2P_MODE), 9}});

        kra_window_set_on(w, false); // the high byte is someone else's
        QCOMPARE(live(Para::win(w, Para::W_ON)), u16(0x0700));
        QCOMPARE(int(kra_para_changed), 1);

        kra_para_changed = 0;
        QVERIFY(!kra_window_set_mirror(w, 2)); // already stored
        QCOMPARE(int(kra_para_changed), 0);
        QVERIFY(kra_window_set_mirror(w, 3));
        QCOMPARE(live(Para::win(w, Para::W_MIRROR)), u16(0x0503));
        QCOMPARE(int(kra_para_changed), 1);

        kra_para_changed = 0;
        QVERIFY(!kra_window_set_p2p(w, 0)); // already off
        QVERIFY(!kra_window_set_p2p(w, 4));
        QCOMPARE(int(kra_para_changed), 0);
        QVERIFY(kra_window_set_p2p(w, 3));
        QCOMPARE(live(Para::win(w, Para::W_FLAGS)), u16(0x0104));
        QCOMPARE(live(Para::win(w, Para::W_P2P_MODE)), u16(9));
        QVERIFY(kra_window_set_p2p(w, 0)); // off keeps the mode word
        QCOMPARE(live(Para::win(w, Para::W_FLAGS)), u16(0x0004));
        QCOMPARE(live(Para::win(w, Para::W_P2P_MODE)), u16(9));
        QVERIFY(kra_window_set_p2p(w, 1)); // on again: mode 0
        QCOMPARE(live(Para::win(w, Para::W_P2P_MODE)), u16(0));

        kra_para_changed = 0;
        kra_window_set_backup(w, 5); // stored, but not applied on its own
        QCOMPARE(live(Para::win(w, Para::W_BACKUP)), u16(0x0905));
        QCOMPARE(int(kra_para_changed), 0);

        kra_window_set_rect(w, 1, 2, 3, 4);
        const QVector<int> rect = {live(Para::win(w, Para::W_X)), live(Para::win(w, Para::W_Y)),
                                   live(Para::win(w, Para::W_WIDTH)), live(Para::win(w, Para::W_HEIGHT))};
        QCOMPARE(rect, (QVector<int>{1, 2, 3, 4}));
        QCOMPARE(int(kra_para_changed), 1);

        // No window beyond the six: nothing is written.
        u8 before[Para::IMAGE_SIZE];
        memcpy(before, para()->ram_para, sizeof before);
        kra_para_changed = 0;
        for (int bad : {-1, Para::WINDOWS_SHOWN}) {
            kra_window_set_on(bad, true);
            kra_window_set_rect(bad, 1, 1, 1, 1);
            QVERIFY(!kra_window_set_mirror(bad, 1));
            QVERIFY(!kra_window_set_p2p(bad, 1));
            kra_window_set_backup(bad, 1);
        }
        QVERIFY(memcmp(before, para()->ram_para, sizeof before) == 0);
        QCOMPARE(int(kra_para_changed), 0);
    }

    void windowSpan_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<bool>("fits");
        QTest::newRow("ends at the width") << 1000 << 920 << false << true;
        QTest::newRow("one past the width") << 1000 << 921 << false << false;
        QTest::newRow("ends at the height") << 80 << 1000 << true << true;
        QTest::newRow("one past the height") << 81 << 1000 << true << false;
        QTest::newRow("negative start") << -1 << 0 << false << false;
        QTest::newRow("nothing") << 0 << 0 << true << true;
    }
    void windowSpan()
    {
        QFETCH(int, start);
        QFETCH(int, size);
        QFETCH(bool, vertical);
        store({{Para::LED_WIDTH, 1920}, {Para::LED_HEIGHT, 1080}});
        QTEST(kra_window_span_fits(start, size, vertical), "fits");
    }

    void pictureReset()
    {
        store({{Para::PICTURE - 2, 0x1234}, {Para::PICTURE + 16, 0x5678}});
        {
            ParaWrite w(false);
            for (int a = Para::PICTURE; a < Para::PICTURE + 16; ++a)
                w.set8(a, 0xEE);
        }
        kra_picture_reset();
        QVector<int> got;
        for (int i = 0; i < 8; ++i)
            got << int16_t(live(Para::PICTURE + 2 * i));
        QCOMPARE(got, (QVector<int>{100, 50, 10, 50, 2, 64, 64, 64}));
        QCOMPARE(live(Para::PICTURE - 2), u16(0x1234));
        QCOMPARE(live(Para::PICTURE + 16), u16(0x5678));
        QCOMPARE(int(kra_para_changed), 1);
    }

    void windowSource_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<QVector<int>>("source"); // input, crop, entry, number, position
        QTest::newRow("whole input") << 0x0003 << QVector<int>{3, 0, -1, 0, 0};
        QTest::newRow("no such input") << 0x0009 << QVector<int>{9, 0, -1, 0, -1};
        QTest::newRow("second crop of HDMI1, entry 7") << 0x8007 << QVector<int>{2, 1, 7, 5, 2};
        QTest::newRow("deleted crop") << 0x8004 << QVector<int>{2, 1, 4, 0, -1};
        QTest::newRow("entry beyond the table") << 0x8050 << QVector<int>{0xFF, 1, 0x50, 0, -1};
    }
    void windowSource()
    {
        QFETCH(int, word);
        {
            ParaWrite w(false); // HDMI1 crops number 2 (entry 3) and 5 (entry 7); entry 4 deleted
            w.set8(Para::crop(3, 0), 2);
            w.set8(Para::crop(3, 1), 0x80 + 1);
            w.set8(Para::crop(7, 0), 2);
            w.set8(Para::crop(7, 1), 0x80 + 4);
            w.set8(Para::crop(4, 0), 2);
            w.set8(Para::crop(4, 1), 0x02);
            w.set16(Para::win(1, Para::W_SOURCE), u16(word));
        }
        para()->KraCropSourceInit();
        const KraWindowSource s = kra_window_source(1);
        QTEST((QVector<int>{s.input, s.crop, s.entry, s.number, s.position}), "source");
        QCOMPARE(kra_source_count(2), 3);
    }

private:
    std::unique_ptr<TestDevice> dev_;
};

QTEST_MAIN(TestParaRules)
#include "test_pararules.moc"
