// The hand-off from a writer of the parameter block through the video-chip manager's pass
// to the refresh in the GUI thread, which saves the block and the user modes.
#include "c331_manage.h"
#include "c331_model_sim.h"
#include "fpga_manage.h"
#include "krarampara.h"
#include "mainwindow.h"
#include "syncupdate.h"
#include "tavik_model_sim.h"
#include "taviksource.h"
#include "testsupport.h"
#include "tip.h"
#include "utils.h"
#include "wake.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <cstring>
#include <functional>
#include <thread>

namespace {

KraRamPara *para()
{
    return KraRamPara::pInstance();
}

c331_manage *manager()
{
    return c331_manage::p_c331_manage;
}

QByteArray blockFile()
{
    QFile f(KraRamPara::blockPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

u16 fileWord(const QByteArray &file, int addr)
{
    return rd16(reinterpret_cast<const u8 *>(file.constData()) + 2, addr - Para::SAVED_FIRST);
}

bool shadowEqualsLive()
{
    return memcmp(para()->ram_para, para()->ram_para_bak, Para::IMAGE_SIZE) == 0;
}

void writeModeFile(int slot)
{
    QByteArray data(4098, '\0');
    data[0] = char(0xAA);
    data[1] = char(0xAA);
    QFile f(KraRamPara::modePath(slot));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

class TestHandoff : public QObject
{
    Q_OBJECT
private slots:
    void writeApplyRefreshSave_data();
    void writeApplyRefreshSave();
    void refreshBeforeApplyKeepsChange_data();
    void refreshBeforeApplyKeepsChange();
    void changeOutsideSavedRangeIsNotSaved();
    void failedSaveIsRetried();
    void nothingPending();
    void protocolChangeReloadsUserModes_data();
    void protocolChangeReloadsUserModes();
    void pendingUserModeSaveIsStored();
    void refreshWithoutScreens();
    void refreshTips_data();
    void refreshTips();
    void ledHandshake();
    void writersWakeTheirManager_data();
    void writersWakeTheirManager();
    void setCropClampsEachAxis_data();
    void setCropClampsEachAxis();
    void passFitsShownCrops_data();
    void passFitsShownCrops();
};

void TestHandoff::writeApplyRefreshSave_data()
{
    QTest::addColumn<int>("flag");
    QTest::newRow("screen") << 1;
    QTest::newRow("protocol") << 2;
}

void TestHandoff::writeApplyRefreshSave()
{
    QFETCH(int, flag);
    TestDevice dev;
    QSignalSpy spy(para(), &KraRamPara::sig_update_para);
    const u32 sets = manager()->model()->change_sets();
    {
        ParaWrite w;
        w.set16(Para::PICTURE, 80); // brightness 100 -> 80
    }
    QCOMPARE(int(c331_manage::para_changed), 1);
    c331_manage::para_changed = u8(flag);

    QCOMPARE(manager()->run_once(), flag);

    QCOMPARE(int(c331_manage::para_changed), 0);
    QCOMPARE(manager()->model()->change_sets(), sets + 1);
    const std::vector<C331Change> set = manager()->model()->last_change_set();
    QCOMPARE(int(set.size()), 1);
    QCOMPARE(set[0].addr, Para::PICTURE);
    QCOMPARE(int(set[0].before), 100);
    QCOMPARE(int(set[0].after), 80);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), flag);
    QVERIFY(blockFile().isEmpty()); // the refresh is queued into the GUI thread

    QCoreApplication::processEvents();

    const QByteArray file = blockFile();
    QCOMPARE(file.size(), 3330);
    QCOMPARE(fileWord(file, Para::PICTURE), u16(80));
    QVERIFY(shadowEqualsLive());
}

// A block that could not be written is neither reported as saved nor forgotten: the shadow
// keeps the old values and the next refresh writes it.
void TestHandoff::failedSaveIsRetried()
{
    TestDevice dev;
    g_page_focus = 9; // a page that reports "saved"
    g_tip->tip_create(2);
    {
        ParaWrite w;
        w.set16(Para::PICTURE, 70);
    }
    QFile blocker(dev.root() + QStringLiteral("/plainfile"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    kra_set_root(blocker.fileName()); // nothing can be created below a plain file
    TestDevice::settle();                // applied; its refresh cannot save
    QCOMPARE(para()->shadow16(Para::PICTURE), u16(100));
    QVERIFY(!g_tip->isVisible());

    kra_set_root(dev.root());
    SyncUpdate::pInstance()->para_sync(1);
    QCOMPARE(fileWord(blockFile(), Para::PICTURE), u16(70));
    QVERIFY(shadowEqualsLive());
    QCOMPARE(g_tip->kind(), 1);
    g_tip->tip_create(2);
    g_page_focus = 1;
}

void TestHandoff::refreshBeforeApplyKeepsChange_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("saveRequest"); // a screen's explicit save right after its write
    QTest::newRow("inputs") << 12 << false;
    QTest::newRow("job") << 1 << false;
    QTest::newRow("save request") << 1 << true;
}

// A refresh queued before the manager's pass saves the change but leaves it to be applied.
void TestHandoff::refreshBeforeApplyKeepsChange()
{
    QFETCH(int, code);
    QFETCH(bool, saveRequest);
    TestDevice dev;
    {
        ParaWrite w;
        w.set16(Para::PICTURE, 80);
    }
    if (saveRequest)
        para()->ram_para_save();
    else
        para()->test_signal(code);
    QCoreApplication::processEvents();
    QCOMPARE(fileWord(blockFile(), Para::PICTURE), u16(80));

    QCOMPARE(manager()->run_once(), 1);
    const std::vector<C331Change> set = manager()->model()->last_change_set();
    QCOMPARE(int(set.size()), 1);
    QCOMPARE(set[0].addr, Para::PICTURE);
    QCOMPARE(int(set[0].before), 100);
    QCOMPARE(int(set[0].after), 80);
    QCoreApplication::processEvents();
    QVERIFY(shadowEqualsLive());
}

void TestHandoff::changeOutsideSavedRangeIsNotSaved()
{
    TestDevice dev;
    {
        ParaWrite w;
        w.set16(Para::TIMING + 6 * 2, 1920); // a measured timing, not kept in the file
    }
    TestDevice::settle();
    QCOMPARE(manager()->model()->last_change_set().size(), size_t(2)); // both bytes of 1920
    QVERIFY(!QFile::exists(KraRamPara::blockPath()));
    QCOMPARE(para()->shadow16(Para::TIMING + 12), u16(0));
}

void TestHandoff::nothingPending()
{
    TestDevice dev;
    QSignalSpy spy(para(), &KraRamPara::sig_update_para);
    const u32 sets = manager()->model()->change_sets();
    QCOMPARE(manager()->run_once(), 0);
    QCOMPARE(manager()->model()->change_sets(), sets);
    QCOMPARE(spy.count(), 0);
}

void TestHandoff::protocolChangeReloadsUserModes_data()
{
    QTest::addColumn<int>("flag");
    QTest::addColumn<int>("saved");
    QTest::newRow("protocol change reloads") << 2 << 1;
    QTest::newRow("screen change does not") << 1 << 0;
}

void TestHandoff::protocolChangeReloadsUserModes()
{
    QFETCH(int, flag);
    QFETCH(int, saved);
    TestDevice dev;
    writeModeFile(6); // a user mode written by the protocol's file handler
    QCOMPARE(para()->KraUserModeSaved(6), 0);
    c331_manage::para_changed = u8(flag);
    TestDevice::settle();
    QCOMPARE(para()->KraUserModeSaved(6), saved);
}

void TestHandoff::pendingUserModeSaveIsStored()
{
    TestDevice dev;
    MainWindow window;
    {
        ParaWrite w(false);
        w.set16(Para::PICTURE + 2, 33); // contrast, to be found in the mode
    }
    window.save_user_mode(3);
    QCOMPARE(int(g_save_mode_request), 4);
    QCOMPARE(para()->live16(Para::CURRENT_MODE), u16(4));
    QCOMPARE(int(c331_manage::para_changed), 1);

    TestDevice::settle();

    QCOMPARE(int(g_save_mode_request), 0);
    QCOMPARE(para()->KraUserModeSaved(3), 1);
    QFile mode(KraRamPara::modePath(3));
    QVERIFY(mode.open(QIODevice::ReadOnly));
    const QByteArray data = mode.readAll();
    QCOMPARE(data.size(), 4098);
    QCOMPARE(rd16(reinterpret_cast<const u8 *>(data.constData()) + 2, Para::PICTURE + 2 - Para::MODE_FIRST),
             u16(33));
    QCOMPARE(fileWord(blockFile(), Para::CURRENT_MODE), u16(4));
}

void TestHandoff::refreshWithoutScreens()
{
    TestDevice dev;
    for (int page = 0; page <= 32; ++page) {
        g_page_focus = u8(page);
        {
            ParaWrite w(false);
            w.set16(Para::PICTURE, u16(page));
        }
        for (int code : {1, 2, 11, 12, 99, 100, 101, 102, 103, 104})
            SyncUpdate::pInstance()->para_sync(code);
        QCOMPARE(fileWord(blockFile(), Para::PICTURE), u16(page));
        QVERIFY(shadowEqualsLive());
    }
    g_page_focus = 1;
}

void TestHandoff::refreshTips_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("tip"); // 2: none shown
    QTest::newRow("communication, stick in") << 10 << 100 << 3;
    QTest::newRow("communication, stick out") << 10 << 101 << 4;
    QTest::newRow("communication, storage ready") << 10 << 102 << 5;
    QTest::newRow("communication, change") << 10 << 1 << 1;
    QTest::newRow("communication, upgrade over") << 10 << 104 << 2;
    QTest::newRow("mapping, stick in") << 24 << 100 << 3;
    QTest::newRow("mapping, change") << 24 << 1 << 2;
    QTest::newRow("main window, stick in") << 1 << 100 << 2;
    QTest::newRow("user modes") << 4 << 12 << 1;
    QTest::newRow("output") << 6 << 1 << 1;
    QTest::newRow("layout") << 9 << 1 << 1;
    QTest::newRow("advanced") << 12 << 99 << 1;
    QTest::newRow("quality") << 11 << 1 << 2;
}

void TestHandoff::refreshTips()
{
    QFETCH(int, page);
    QFETCH(int, code);
    QFETCH(int, tip);
    TestDevice dev;
    g_tip->tip_create(2);
    g_page_focus = u8(page);
    SyncUpdate::pInstance()->para_sync(code);
    QCOMPARE(g_tip->kind(), tip);
    QCOMPARE(g_tip->isVisible(), tip != 2);
    g_tip->tip_create(2);
    g_page_focus = 1;
}

void TestHandoff::ledHandshake()
{
    TestDevice dev;
    const u32 inits = manager()->model()->panel_inits();

    manager()->run_once(); // idle: nothing happens
    QCOMPARE(manager()->model()->panel_inits(), inits);
    QCOMPARE(int(g_set_led_para), 0);

    g_set_led_para = 1; // a screen asks for new LED geometry
    manager()->run_once();
    manager()->run_once();
    QCOMPARE(int(g_set_led_para), 1); // waits for the FPGA side
    QCOMPARE(manager()->model()->panel_inits(), inits);

    g_set_led_para = 0; // the FPGA manager has blanked the output
    manager()->run_once();
    QCOMPARE(manager()->model()->panel_inits(), inits + 1);
    QCOMPARE(int(g_set_led_para), 2);

    g_set_led_para = 0; // the FPGA manager brings the FPGAs up again
    manager()->run_once();
    QCOMPARE(manager()->model()->panel_inits(), inits + 1);
    QCOMPARE(int(g_set_led_para), 0);
}

void TestHandoff::writersWakeTheirManager_data()
{
    QTest::addColumn<int>("writer");
    QTest::addColumn<bool>("video"); // the video-chip manager's thread is woken
    QTest::addColumn<bool>("fpga");  // the FPGA manager's thread is woken
    QTest::newRow("parameter write") << 0 << true << false;
    QTest::newRow("write without the changed flag") << 1 << false << false;
    QTest::newRow("LED hand-shake flag") << 2 << true << true;
    QTest::newRow("job word") << 3 << false << true;
    QTest::newRow("USB upgrade") << 4 << false << true;
}

// The managers' threads sleep up to a tick between passes: every writer of the flags they
// check must wake them, or the change would wait for the time-out.
void TestHandoff::writersWakeTheirManager()
{
    QFETCH(int, writer);
    QFETCH(bool, video);
    QFETCH(bool, fpga);
    TestDevice dev;
    kra_video_wake.wait(0);
    kra_fpga_wake.wait(0);
    const std::function<void()> writers[] = {
        [] { ParaWrite w; w.set16(Para::PICTURE + 2, 40); },
        [] { ParaWrite w(false); w.set16(Para::PICTURE + 2, 41); },
        [] {
            MutexLocker lock(&Utils::_led_para_init_mutex);
            kra_set_led_para(1);
        },
        [] { fpga_manage::start_job(JOB_SAVE_PARA); },
        [] { fpga_manage::start_usb_upgrade(); },
    };
    writers[writer]();
    QCOMPARE(kra_video_wake.wait(0), video);
    QCOMPARE(kra_fpga_wake.wait(0), fpga);
    fpga_manage::set_send_para_u16(SendPara::JOB, 0);
    g_usb_grade = 0;
    g_set_led_para = 0;

    // A waiting thread is woken at once, not at its time-out.
    QElapsedTimer timer;
    timer.start();
    std::thread waiter([] { kra_fpga_wake.wait(60000); });
    QTest::qWait(20);
    writers[3]();
    waiter.join();
    QVERIFY(timer.elapsed() < 30000);
    fpga_manage::set_send_para_u16(SendPara::JOB, 0);
}

void TestHandoff::setCropClampsEachAxis_data()
{
    QTest::addColumn<int>("enable");
    QTest::addColumn<int>("sourceWord");
    QTest::addColumn<QRect>("in");
    QTest::addColumn<QRect>("out");
    QTest::newRow("inside") << 1 << 2 << QRect(100, 100, 800, 600) << QRect(100, 100, 800, 600);
    QTest::newRow("at the edges") << 1 << 2 << QRect(1120, 480, 800, 600) << QRect(1120, 480, 800, 600);
    QTest::newRow("x beyond") << 1 << 2 << QRect(1500, 100, 800, 600) << QRect(0, 100, 1920, 600);
    QTest::newRow("y beyond") << 1 << 2 << QRect(100, 900, 800, 600) << QRect(100, 0, 800, 1080);
    QTest::newRow("both beyond") << 1 << 2 << QRect(1500, 900, 800, 600) << QRect(0, 0, 1920, 1080);
    QTest::newRow("crop of another input") << 1 << 0x8003 << QRect(0, 0, 1920, 1080) << QRect(0, 0, 1280, 720);
    QTest::newRow("not enabled") << 0 << 2 << QRect(1500, 900, 800, 600) << QRect(1500, 900, 800, 600);
}

void TestHandoff::setCropClampsEachAxis()
{
    QFETCH(int, enable);
    QFETCH(int, sourceWord);
    QFETCH(QRect, in);
    QFETCH(QRect, out);
    TestDevice dev;
    {
        ParaWrite w(false);
        w.set16(Para::TIMING + 6 * 2, 1920); // HDMI1
        w.set16(Para::TIMING + 6 * 2 + 2, 1080);
        w.set16(Para::TIMING + 6 * 2 + 4, 60);
        w.set16(Para::TIMING + 6 * 4, 1280); // HDMI3
        w.set16(Para::TIMING + 6 * 4 + 2, 720);
        w.set16(Para::TIMING + 6 * 4 + 4, 60);
        w.set8(Para::crop(3, 0), 4);
        w.set8(Para::crop(3, 1), 0x80);
        w.set16(Para::win(0, Para::W_SOURCE), u16(sourceWord));
    }
    ST_RECT r{in.x(), in.y(), in.width(), in.height()};
    {
        MutexLocker lock(&c331_manage::manage_mutex);
        manager()->c331_SetCrop(0, char(enable), &r);
    }
    QCOMPARE(QRect(r.x, r.y, r.width, r.height), out);
    const C331ModelSim::Crop chip = manager()->model()->crop(0);
    QCOMPARE(chip.enable, enable != 0);
    QCOMPARE(QRect(chip.rect.x, chip.rect.y, chip.rect.width, chip.rect.height), out);
}

void TestHandoff::passFitsShownCrops_data()
{
    QTest::addColumn<QRect>("crop");
    QTest::addColumn<QRect>("fitted"); // to HDMI1's 1280 x 720
    QTest::newRow("wider than its input") << QRect(100, 50, 1920, 600) << QRect(0, 50, 1280, 600);
    QTest::newRow("higher than its input") << QRect(100, 300, 640, 720) << QRect(100, 0, 640, 720);
    QTest::newRow("fits") << QRect(640, 360, 640, 360) << QRect(640, 360, 640, 360);
}

// The pass fits the crop of every shown window to its input when a window's source or the
// crop table changed, and again when the input's timing changed; the table keeps the
// operator's values.
void TestHandoff::passFitsShownCrops()
{
    QFETCH(QRect, crop);
    QFETCH(QRect, fitted);
    TestDevice dev;
    const auto plug = [](const QByteArray &hdmi1) {
        QDir().mkpath(QFileInfo(TavikModelSim::file_path()).path());
        QCOMPARE(Utils::write_file_safely(TavikModelSim::file_path(), "\n\n" + hdmi1 + "\n"), 0);
        QCOMPARE(taviksource::p_tavik_source->run_once(), 12);
    };
    const auto chipCrop = [](int window) {
        const C331ModelSim::Crop c = manager()->model()->crop(window);
        return qMakePair(c.enable, QRect(c.rect.x, c.rect.y, c.rect.width, c.rect.height));
    };
    plug("1280x720@60");
    TestDevice::settle();
    {
        ParaWrite w;
        w.set8(Para::crop(0, 0), 2);
        w.set8(Para::crop(0, 1), 0x80);
        w.set16(Para::crop(0, 2), u16(crop.x()));
        w.set16(Para::crop(0, 4), u16(crop.y()));
        w.set16(Para::crop(0, 6), u16(crop.width()));
        w.set16(Para::crop(0, 8), u16(crop.height()));
        w.set16(Para::win(2, Para::W_SOURCE), 0x8000);
        w.set16(Para::win(1, Para::W_SOURCE), 2);
    }
    TestDevice::settle();
    QCOMPARE(chipCrop(2), qMakePair(true, fitted));
    QCOMPARE(chipCrop(1).first, false);
    QCOMPARE(int(para()->live16(Para::crop(0, 6))), crop.width());

    // A change that touches no source and no crop sets no crop.
    const u32 sets = manager()->model()->crop_sets();
    {
        ParaWrite w;
        w.set16(Para::PICTURE, 80);
    }
    TestDevice::settle();
    QCOMPARE(manager()->model()->crop_sets(), sets);

    plug("3840x2160@30"); // the input's timing alone changes: no changed flag
    QCOMPARE(int(c331_manage::para_changed), 0);
    manager()->run_once();
    QCOMPARE(chipCrop(2), qMakePair(true, crop));

    para()->KraCropSourceInit();
    para()->KraDeleteCrop(2, 1); // the window falls back to the whole input
    TestDevice::settle();
    QCOMPARE(chipCrop(2).first, false);
    QCOMPARE(para()->live16(Para::win(2, Para::W_SOURCE)), u16(2));
}

QTEST_MAIN(TestHandoff)
#include "test_handoff.moc"
