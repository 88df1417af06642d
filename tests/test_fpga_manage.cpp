// The FPGA manager: net-port areas, the LED-geometry hand-shake with the video-chip manager,
// the jobs of the job block, the USB upgrade, the receiving-card file reader and the
// simulation file.
#include "c331_manage.h"
#include "c331_model_sim.h"
#include "fpga_manage.h"
#include "fpga_model_sim.h"
#include "krarampara.h"
#include "outputset.h"
#include "routing.h"
#include "screens.h"
#include "testsupport.h"
#include "utils.h"
#include "wake.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

fpga_manage *fpga()
{
    return fpga_manage::pInstance();
}

u8 handshakeFlag(u8 *setup = nullptr)
{
    MutexLocker lock(&Utils::_led_para_init_mutex);
    if (setup)
        *setup = g_set_led_setup;
    return g_set_led_para;
}

void requestHandshake()
{
    ParaWrite w(false);
    MutexLocker lock(&Utils::_led_para_init_mutex);
    kra_set_led_para(1);
    g_set_led_setup = 0;
}

void writeFile(const QString &devicePath, int size)
{
    QDir().mkpath(QFileInfo(kra_path(devicePath)).path());
    QFile f(kra_path(devicePath));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(size, 'k'));
}

// Collects what the manager reports, from whichever thread reports it.
struct Progress : KraShell {
    std::mutex m;
    std::vector<int> values[3];
    QStringList notices;
    void job_progress(int sink, int percent) override
    {
        std::lock_guard<std::mutex> l(m);
        values[sink].push_back(percent);
    }
    void update_notice(bool shown) override
    {
        std::lock_guard<std::mutex> l(m);
        notices << (shown ? "start" : "over");
    }
    std::vector<int> of(int sink)
    {
        std::lock_guard<std::mutex> l(m);
        return values[sink];
    }
};

// Runs passes until the job word is 0 again.
void runJob(int maxPasses = 5000)
{
    for (int i = 0; i < maxPasses && fpga_manage::send_para_byte(SendPara::JOB) != 0; ++i)
        fpga()->run_once();
    QCOMPARE(int(fpga_manage::send_para_byte(SendPara::JOB)), 0);
}

// What a pass of the manager's thread does when the model's poll time has come.
void pollSimulationFile()
{
    if (fpga()->model()->poll_file())
        fpga()->update_running_state();
}

void verifyProgress(const std::vector<int> &v)
{
    QVERIFY(!v.empty());
    QCOMPARE(v.front(), 0);
    QCOMPARE(v.back(), 100);
    for (size_t i = 1; i < v.size(); ++i)
        QVERIFY2(v[i] > v[i - 1], "progress goes up, each value once");
}

void setOutputs(u16 o1w, u16 o1h, u16 x, u16 y, u16 o2w, u16 o2h)
{
    ParaWrite w(false);
    const u16 v[6] = {o1w, o1h, x, y, o2w, o2h};
    for (int i = 0; i < 6; ++i)
        w.set16(Para::OUT1_WIDTH + 2 * i, v[i]);
}

struct Area {
    int x, y, w, h;
};

Area portArea(int f, int index)
{
    unsigned short a[4];
    fpga_manage::get_eth_param_addr(u8(index), &a[0], &a[1], &a[2], &a[3]);
    const u8 *img = fpga_manage::MCU_RAM_PARA_func[f];
    return {rd16(img, a[0]), rd16(img, a[1]), rd16(img, a[2]), rd16(img, a[3])};
}

} // namespace

class TestFpgaManage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void ethParamAddr();
    void netPortAreas_data();
    void netPortAreas();
    void handshake_data();
    void handshake();
    void handshakeThroughThreads();
    void jobsThroughThread_data();
    void jobsThroughThread();
    void routing_data();
    void routing();
    void checkAndRecovery_data();
    void checkAndRecovery();
    void loadScanMissingFile();
    void jobKeepsItsGrid_data();
    void jobKeepsItsGrid();
    void usbUpgrade_data();
    void usbUpgrade();
    void dirFiles_data();
    void dirFiles();
    void simulationFile();

private:
    std::unique_ptr<TestDevice> dev_;
    Progress progress_;
};

void TestFpgaManage::init()
{
    dev_.reset(new TestDevice());
    memset(g_send_para, 0, sizeof g_send_para);
    g_usb_grade = 0;
    g_usb_grade_path = QStringLiteral(" ");
    g_ztfile_name.clear();
    fpga()->model()->set_rcv_fault(-1, 0, 0);
    fpga()->configure_net_ports();
    progress_.values[0].clear();
    progress_.values[1].clear();
    progress_.values[2].clear();
    progress_.notices.clear();
    ScreenHost::install(&progress_);
}

void TestFpgaManage::cleanup()
{
    fpga()->stop_thread();
    kra_register_screens();
    dev_.reset();
}

void TestFpgaManage::ethParamAddr()
{
    QSet<int> seen;
    for (int i = 0; i < 16; ++i) {
        unsigned short x, y, w, h;
        QCOMPARE(fpga_manage::get_eth_param_addr(u8(i), &x, &y, &w, &h), 0);
        QCOMPARE(int(y), x + 2);
        QCOMPARE(int(w), x + 4);
        QCOMPARE(int(h), x + 6);
        QVERIFY(h + 2 <= fpga_manage::RAM_PARA_SIZE);
        for (int b = x; b < x + 8; ++b)
            QVERIFY2(!seen.contains(b), "net ports do not overlap");
        for (int b = x; b < x + 8; ++b)
            seen.insert(b);
    }
    unsigned short x0, x;
    fpga_manage::get_eth_param_addr(0, &x0, nullptr, nullptr, nullptr);
    for (int i : {16, 24, 255}) {
        fpga_manage::get_eth_param_addr(u8(i), &x, nullptr, nullptr, nullptr);
        QCOMPARE(x, x0);
    }
}

void TestFpgaManage::netPortAreas_data()
{
    QTest::addColumn<QVector<int>>("outputs"); // out1 w, h; out2 x, y, w, h
    QTest::newRow("horizontal 1920x1080") << QVector<int>{960, 1080, 960, 0, 960, 1080};
    QTest::newRow("vertical 1920x1081") << QVector<int>{1920, 541, 0, 541, 1920, 540};
    QTest::newRow("copy") << QVector<int>{1920, 1080, 0, 0, 1920, 1080};
    QTest::newRow("five rows: ports left over") << QVector<int>{64, 5, 64, 0, 64, 5};
    QTest::newRow("rows not a multiple of 12") << QVector<int>{1000, 1001, 1000, 0, 24, 1001};
}

// The ports of each FPGA cover its output's area from top to bottom, without gaps.
void TestFpgaManage::netPortAreas()
{
    QFETCH(QVector<int>, outputs);
    setOutputs(u16(outputs[0]), u16(outputs[1]), u16(outputs[2]), u16(outputs[3]), u16(outputs[4]),
               u16(outputs[5]));
    fpga()->configure_net_ports();
    const Area out[2] = {{0, 0, outputs[0], outputs[1]}, {outputs[2], outputs[3], outputs[4], outputs[5]}};
    for (int f = 0; f < 2; ++f) {
        int nextY = out[f].y;
        for (int i = 0; i < fpga_manage::ETH_PORTS; ++i) {
            const Area a = portArea(f, i);
            if (a.h == 0) {
                QCOMPARE(a.w, 0);
                continue;
            }
            QCOMPARE(a.x, out[f].x);
            QCOMPARE(a.w, out[f].w);
            QCOMPARE(a.y, nextY);
            nextY += a.h;
        }
        QCOMPARE(nextY, out[f].y + out[f].h);
    }
}

void TestFpgaManage::handshake_data()
{
    QTest::addColumn<int>("stopFpga"); // stopped during the blank, -1 none
    QTest::newRow("both run") << -1;
    QTest::newRow("FPGA 1 stopped meanwhile") << 1;
}

// Requested -> blanked -> 0 -> panel re-initialised (2) -> 0 with both FPGAs up again,
// one pass of each manager at a time.
void TestFpgaManage::handshake()
{
    QFETCH(int, stopFpga);
    c331_manage *video = c331_manage::p_c331_manage;
    setOutputs(1920, 540, 0, 540, 1920, 540);
    requestHandshake();
    const u32 inits = video->model()->panel_inits();

    fpga()->run_once();
    QVERIFY(fpga()->model()->output_blank());
    if (stopFpga >= 0)
        fpga_sim_power(stopFpga, false);

    bool sawDown = false, sawTwo = false;
    int pass = 0;
    for (; pass < 1000; ++pass) {
        video->run_once();
        u8 setup;
        const u8 flag = handshakeFlag(&setup);
        if (flag == 1)
            QCOMPARE(video->model()->panel_inits(), inits); // the panel waits while the output blanks
        sawTwo |= flag == 2;
        if (flag == 0 && setup == 0)
            break;
        fpga()->run_once();
        sawDown |= fpga_manage::MCU_REG_func[0][80] != 3;
    }
    QVERIFY(pass < 1000);
    QVERIFY(sawTwo);
    QVERIFY2(sawDown, "the FPGAs are reset during the bring-up");
    QCOMPARE(video->model()->panel_inits(), inits + 1);
    QVERIFY(!fpga()->model()->output_blank());
    QCOMPARE(int(fpga_manage::MCU_REG_func[0][80]), 3);
    QCOMPARE(int(fpga_manage::MCU_REG_func[1][80]), stopFpga == 1 ? 0 : 3);
    QCOMPARE(portArea(1, 0).y, 540); // net ports follow the new output areas
}

// The real threads: Apply on the output screen starts it, both managers' threads finish it.
void TestFpgaManage::handshakeThroughThreads()
{
    c331_manage *video = c331_manage::p_c331_manage;
    const u32 inits = video->model()->panel_inits();
    std::atomic<bool> stop{false};
    std::thread videoThread([&] {
        while (!stop) {
            video->run_once();
            usleep(500);
        }
    });
    fpga()->initialize_start();

    OutputSet screen;
    screen.on_comboBox_activated(1); // vertical: the splice mode changes
    screen.on_Button_apply1_clicked();
    QTRY_VERIFY_WITH_TIMEOUT(video->model()->panel_inits() == inits + 1, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(handshakeFlag() == 0 && fpga_manage::both_running(), 10000);
    u8 setup = 0xFF;
    QTRY_VERIFY_WITH_TIMEOUT((handshakeFlag(&setup), setup == 0), 10000);
    stop = true;
    videoThread.join();
    fpga()->stop_thread();
    QCOMPARE(portArea(1, 0).y, 540); // 1080 rows split 540 / 540
}

void TestFpgaManage::jobsThroughThread_data()
{
    QTest::addColumn<int>("job");
    QTest::addColumn<int>("sink");
    QTest::newRow("1 smart mapping") << 1 << int(PROGRESS_SMARTMAPPING);
    QTest::newRow("2 load scan") << 2 << int(PROGRESS_SMARTMAPPING);
    QTest::newRow("3 save parameters") << 3 << int(PROGRESS_SMARTMAPPING);
    QTest::newRow("4 mapping on") << 4 << int(PROGRESS_SMARTMAPPING);
    QTest::newRow("5 check") << 5 << int(PROGRESS_ADVANCED);
    QTest::newRow("6 recovery") << 6 << int(PROGRESS_ADVANCED);
}

void TestFpgaManage::jobsThroughThread()
{
    QFETCH(int, job);
    QFETCH(int, sink);
    const u32 saves = fpga()->model()->saves();
    line_type = {128, 96, 10, 20, 5, 2, 3, 1};
    writeFile(QStringLiteral("/data/smartmapping/wall.ztfile"), 3000);
    g_ztfile_name = kra_path(QStringLiteral("/data/smartmapping/wall.ztfile"));
    writeFile(QStringLiteral("/data/rcvrecovery/screen1.rcv"), 100);
    fpga()->model()->set_rcv_fault(4, 2, 8);
    fpga_manage::set_send_para_u32(SendPara::MAP_ARG, 9);
    fpga_manage::set_send_para_byte(SendPara::WORK, 16);

    fpga()->initialize_start();
    fpga_manage::start_job(u16(job));
    QTRY_VERIFY_WITH_TIMEOUT(fpga_manage::send_para_byte(SendPara::JOB) == 0
                                 && !progress_.of(sink).empty() && progress_.of(sink).back() == 100,
                             10000);
    fpga()->stop_thread();

    verifyProgress(progress_.of(sink));
    for (int other = 0; other < 3; ++other) {
        if (other != sink)
            QVERIFY(progress_.of(other).empty());
    }
    switch (job) {
    case 1:
        QCOMPARE(int(fpga()->model()->cards(5).size()), 6);
        break;
    case 2:
        QCOMPARE(fpga()->model()->scan_file(5), QStringLiteral("wall.ztfile"));
        break;
    case 3:
        QCOMPARE(fpga()->model()->saves(), saves + 1);
        break;
    case 4:
        QCOMPARE(fpga()->model()->mapping_arg(), 9u);
        break;
    case 5:
        QCOMPARE(fpga_manage::send_para_u16(SendPara::RESULT), u16(2));
        break;
    case 6:
        QCOMPARE(fpga_manage::send_para_u16(SendPara::RESULT), u16(255));
        break;
    }
}

void TestFpgaManage::routing_data()
{
    QTest::addColumn<int>("pattern");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QVector<QPoint>>("cells"); // (column, row) in chaining order
    QTest::newRow("1 rows from top left, serpentine")
        << 1 << 2 << 3 << QVector<QPoint>{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}};
    QTest::newRow("2 from top right") << 2 << 2 << 2 << QVector<QPoint>{{1, 0}, {0, 0}, {0, 1}, {1, 1}};
    QTest::newRow("4 from bottom right") << 4 << 2 << 2 << QVector<QPoint>{{1, 1}, {0, 1}, {0, 0}, {1, 0}};
    QTest::newRow("5 columns, serpentine")
        << 5 << 2 << 2 << QVector<QPoint>{{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    QTest::newRow("9 rows, same direction")
        << 9 << 2 << 2 << QVector<QPoint>{{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    QTest::newRow("16 columns from bottom right, same direction")
        << 16 << 2 << 2 << QVector<QPoint>{{1, 1}, {1, 0}, {0, 1}, {0, 0}};
    QTest::newRow("pattern 0 is ignored") << 0 << 2 << 2 << QVector<QPoint>{};
    QTest::newRow("pattern 17 is ignored") << 17 << 2 << 2 << QVector<QPoint>{};
    QTest::newRow("no rows") << 1 << 0 << 4 << QVector<QPoint>{};
}

void TestFpgaManage::routing()
{
    QFETCH(int, pattern);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QVector<QPoint>, cells);
    line_type = {100, 50, 7, 3, 9, u8(rows), u8(columns), u8(pattern)};
    fpga_manage::start_job(JOB_SMART_MAPPING);
    runJob();
    verifyProgress(progress_.of(PROGRESS_SMARTMAPPING));
    const std::vector<RcvCardPos> cards = fpga()->model()->cards(9);
    QCOMPARE(int(cards.size()), cells.size());
    for (int i = 0; i < cells.size(); ++i) {
        QCOMPARE(int(cards[size_t(i)].x), 7 + 100 * cells[i].x());
        QCOMPARE(int(cards[size_t(i)].y), 3 + 50 * cells[i].y());
        // The routing pictures are drawn from the same order.
        const KraCell c = kra_routing_cell(pattern, rows, columns, i);
        QCOMPARE(QPoint(c.column, c.row), cells[i]);
    }
}

void TestFpgaManage::checkAndRecovery_data()
{
    QTest::addColumn<bool>("pack");      // a parameter pack is stored
    QTest::addColumn<int>("faultCard");  // card of net port 4 that lost its parameters, -1 none
    QTest::addColumn<bool>("checkFirst"); // a check left its entry before the job
    QTest::addColumn<int>("job");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("entry"); // the list afterwards ("" empty)
    QTest::addColumn<int>("code");      // change code raised by the job, 0 none
    QTest::newRow("check finds card 3") << true << 2 << false << 5 << 2 << "01/05/03/08" << 1;
    QTest::newRow("check without a pack") << false << 2 << false << 5 << 65535 << "" << 0;
    QTest::newRow("check, nothing lost") << true << -1 << false << 5 << 255 << "" << 0;
    QTest::newRow("recovery restores") << true << 2 << true << 6 << 255 << "" << 99;
    QTest::newRow("recovery, card beyond the pack") << true << 8 << true << 6 << 8 << "01/05/09/08" << 1;
    QTest::newRow("recovery, nothing listed or lost") << true << -1 << false << 6 << 255 << "" << 0;
    // Card 256 must not read as "no card".
    QTest::newRow("check finds card 256") << true << 255 << false << 5 << 0x01FF << "01/05/256/08" << 1;
}

void TestFpgaManage::checkAndRecovery()
{
    QFETCH(bool, pack);
    QFETCH(int, faultCard);
    QFETCH(bool, checkFirst);
    QFETCH(int, job);
    QFETCH(int, result);
    QFETCH(QString, entry);
    QFETCH(int, code);
    if (pack)
        writeFile(QStringLiteral("/data/rcvrecovery/screen1.rcv"), 100);
    fpga()->model()->set_rcv_fault(faultCard >= 0 ? 4 : -1, faultCard, 8);
    if (checkFirst) {
        fpga_manage::start_job(JOB_RCV_CHECK);
        runJob();
        QCOMPARE(fpga()->rcv_result().count, 1u);
    } else {
        // No entry from an earlier row: a recovery that finds nothing lost keeps the list.
        fpga()->model()->set_rcv_fault(-1, 0, 0);
        fpga_manage::set_send_para_byte(SendPara::WORK, 0);
        fpga_manage::start_job(JOB_RCV_RECOVERY);
        runJob();
        fpga()->clear_rcv_result_count();
        fpga()->model()->set_rcv_fault(faultCard >= 0 ? 4 : -1, faultCard, 8);
    }
    progress_.values[PROGRESS_ADVANCED].clear();
    const QStringList before = fpga()->rcv_result().entries;

    QSignalSpy spy(KraRamPara::pInstance(), &KraRamPara::sig_update_para);
    fpga_manage::set_send_para_byte(SendPara::WORK, 16);
    fpga_manage::start_job(u16(job));
    runJob();
    verifyProgress(progress_.of(PROGRESS_ADVANCED));
    QCOMPARE(int(fpga_manage::send_para_u16(SendPara::RESULT)), result);
    if (code) {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), code);
    } else {
        QCOMPARE(spy.count(), 0);
    }
    if (code == 0)
        QCOMPARE(fpga()->rcv_result().entries, before); // nothing to report leaves the list
    else if (entry.isEmpty())
        QVERIFY(fpga()->rcv_result().entries.isEmpty());
    else
        QCOMPARE(fpga()->rcv_result().entries, QStringList{entry});
    if (code)
        QCOMPARE(fpga()->rcv_result().count, entry.isEmpty() ? 0u : 1u);
}

void TestFpgaManage::loadScanMissingFile()
{
    g_ztfile_name = kra_path(QStringLiteral("/data/smartmapping/gone.ztfile"));
    line_type.net_port = 3;
    fpga_manage::start_job(JOB_LOAD_SCAN);
    runJob();
    verifyProgress(progress_.of(PROGRESS_SMARTMAPPING)); // the bar still closes
    QVERIFY(fpga()->model()->scan_file(3).isEmpty());
}

// The screen may rewrite line_type while a job runs: the job goes on with the record it
// started with (a net port of 200 would index past the 24 ports).
void TestFpgaManage::jobKeepsItsGrid_data()
{
    QTest::addColumn<int>("job");
    QTest::addColumn<int>("changeAfter"); // passes run before line_type changes
    QTest::newRow("smart mapping, after the first step") << int(JOB_SMART_MAPPING) << 1;
    QTest::newRow("smart mapping, half placed") << int(JOB_SMART_MAPPING) << 2;
    QTest::newRow("load scan, after the first step") << int(JOB_LOAD_SCAN) << 1;
    QTest::newRow("load scan, half sent") << int(JOB_LOAD_SCAN) << 2;
}

void TestFpgaManage::jobKeepsItsGrid()
{
    QFETCH(int, job);
    QFETCH(int, changeAfter);
    writeFile(QStringLiteral("/data/smartmapping/kept.ztfile"), 3000);
    g_ztfile_name = kra_path(QStringLiteral("/data/smartmapping/kept.ztfile"));
    const LINE_TYPE grid = {100, 50, 7, 3, 9, 4, 5, 1}; // 20 cards: more than one pass
    line_type = grid;
    fpga_manage::start_job(JOB_SMART_MAPPING);
    runJob();
    const std::vector<RcvCardPos> expected = fpga()->model()->cards(9);
    QCOMPARE(int(expected.size()), 20);

    line_type = grid;
    fpga_manage::start_job(u16(job));
    for (int i = 0; i < changeAfter; ++i)
        fpga()->run_once();
    QVERIFY(fpga_manage::send_para_byte(SendPara::JOB) != 0);
    line_type = {30, 20, 1, 1, 200, 2, 2, 4};
    runJob();

    if (job == JOB_SMART_MAPPING) {
        const std::vector<RcvCardPos> cards = fpga()->model()->cards(9);
        QCOMPARE(int(cards.size()), int(expected.size()));
        for (size_t i = 0; i < cards.size(); ++i) {
            QCOMPARE(cards[i].x, expected[i].x);
            QCOMPARE(cards[i].y, expected[i].y);
        }
    } else {
        QCOMPARE(fpga()->model()->scan_file(9), QStringLiteral("kept.ztfile"));
    }
}

void TestFpgaManage::usbUpgrade_data()
{
    QTest::addColumn<QString>("gradePath");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<int>("result");
    QTest::newRow("top directory") << " " << QStringList{"a.KRA", "b.KRAZK"}
                                   << int(fpga_manage::USB_UPGRADE_REFUSED);
    QTest::newRow("upgrade directory") << "KRA-Q53" << QStringList{"e.KRA"}
                                       << int(fpga_manage::USB_UPGRADE_INSTALLED);
}

void TestFpgaManage::usbUpgrade()
{
    QFETCH(QString, gradePath);
    QFETCH(QStringList, installed);
    QFETCH(int, result);
    writeFile(QStringLiteral("/mnt/usb1/a.KRA"), 200);
    writeFile(QStringLiteral("/mnt/usb1/b.KRAZK"), 200);
    writeFile(QStringLiteral("/mnt/usb1/c.kra"), 200);    // suffix is case-sensitive
    writeFile(QStringLiteral("/mnt/usb1/d.KRA.bak"), 200);
    writeFile(QStringLiteral("/mnt/usb1/short.KRAZK"), 10); // shorter than the head: refused
    writeFile(QStringLiteral("/mnt/usb1/KRA-Q53/e.KRA"), 200);
    g_usb_grade_path = gradePath;

    QSignalSpy spy(KraRamPara::pInstance(), &KraRamPara::sig_update_para);
    fpga()->initialize_start();
    fpga_manage::start_usb_upgrade();
    QTRY_VERIFY_WITH_TIMEOUT(g_usb_grade == 0, 10000);
    fpga()->stop_thread();

    QCOMPARE(progress_.notices, (QStringList{"start", "over"}));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 104);
    QCOMPARE(int(fpga_manage::send_para_byte(SendPara::STEP)), 0);
    verifyProgress(progress_.of(PROGRESS_USB));
    QStringList names;
    for (const QString &path : fpga()->model()->installed())
        names << QFileInfo(path).fileName();
    names.sort();
    QCOMPARE(names, installed);
    QCOMPARE(fpga()->upgrade_result.load(), result);
    static const QRegularExpression log(QStringLiteral("^\\d{1,2}:\\d{1,2}:\\d{1,2}    \\d{1,2}:\\d{1,2}:\\d{1,2}$"));
    QVERIFY2(log.match(fpga()->upgrade_log).hasMatch(), qPrintable(fpga()->upgrade_log));
}

void TestFpgaManage::dirFiles_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<int>("ret");
    QTest::addColumn<int>("list"); // 0 recovery list, 1 shared list, -1 none kept
    QTest::newRow("recovery packs") << "/data/rcvrecovery" << 0 << 0;
    QTest::newRow("smart mapping") << "/data/smartmapping" << 0 << 1;
    QTest::newRow("USB stick") << "/mnt/usb1/" << 0 << 1;
    QTest::newRow("other directory") << "/data/configs" << 0 << -1;
    QTest::newRow("missing directory") << "/data/nothing" << 1 << -1;
}

void TestFpgaManage::dirFiles()
{
    QFETCH(QString, dir);
    QFETCH(int, ret);
    QFETCH(int, list);
    rcvRecovery reader;
    for (const QString &d : {QStringLiteral("/data/rcvrecovery"), QStringLiteral("/data/smartmapping"),
                             QStringLiteral("/mnt/usb1"), QStringLiteral("/data/configs")}) {
        writeFile(d + QStringLiteral("/one.ztfile"), 4);
        writeFile(d + QStringLiteral("/two.bin"), 4);
        QDir().mkpath(kra_path(d + QStringLiteral("/sub"))); // not a plain file
    }
    QCOMPARE(reader.get_dir_file(dir), ret);
    QStringList got[2] = {reader.rcv_files(), reader.smart_files()};
    got[0].sort();
    got[1].sort();
    for (int l = 0; l < 2; ++l)
        QCOMPARE(got[l], l == list ? (QStringList{"one.ztfile", "two.bin"}) : QStringList());
}

void TestFpgaManage::simulationFile()
{
    const QString path = kra_path(QStringLiteral("/sim/fpga.txt"));
    QDir().mkpath(QFileInfo(path).path());
    struct Case {
        const char *content; // nullptr: file removed
        bool run0, run1;
    };
    const Case cases[] = {
        {"0 1\n", false, true},
        {"1 0 # FPGA 1 stopped\n", true, false},
        {"# both\n1\n1\n", true, true},
        {"0\n", false, true},
        {nullptr, true, true},
    };
    for (const Case &c : cases) {
        if (c.content) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(c.content);
        } else {
            QFile::remove(path);
        }
        pollSimulationFile();
        QCOMPARE(fpga_manage::MCU_REG_func[0][80] == 3, c.run0);
        QCOMPARE(fpga_manage::MCU_REG_func[1][80] == 3, c.run1);
    }
    // An unchanged file does not undo a stop made meanwhile.
    fpga_sim_power(0, false);
    pollSimulationFile();
    QVERIFY(!fpga_manage::both_running());
}

QTEST_MAIN(TestFpgaManage)
#include "test_fpga_manage.moc"
