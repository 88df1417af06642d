// What a person stages in the simulated device reaches the jobs and pages: lost receiving
// cards (sim/cards.txt) through Check and Self-recovery, the fonts (sim/fonts.txt), and the
// running outputs' registers into the ageing records.
#include "agelog.h"
#include "c331_manage.h"
#include "c331_model_sim.h"
#include "fpga_manage.h"
#include "fpga_model_sim.h"
#include "krarampara.h"
#include "testsupport.h"
#include "utils.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
fpga_manage *fpga()
{
    return fpga_manage::pInstance();
}

void writeFile(const QString &devicePath, const QByteArray &content)
{
    putFile(kra_path(devicePath), content);
}
} // namespace

class TestSimDevice : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        dev_.reset(new TestDevice());
        memset(g_send_para, 0, sizeof g_send_para);
        fpga()->set_access(std::make_unique<FpgaModelSim>());
        fpga()->clear_rcv_result_count();
    }

    void cleanup()
    {
        fpga()->stop_thread();
        dev_.reset();
    }

    // Steps: "<job>=<entry>" runs job 5 (after Check's zeroing, as the screen does) or 6 and
    // expects that one entry afterwards ("" none), "<job>=!read" or "!restore" a job that
    // failed so and kept the list; "save" saves the file again, "rm" removes it.
    void cardsFile_data()
    {
        QTest::addColumn<QByteArray>("cards");
        QTest::addColumn<bool>("pack"); // a file lies in data/rcvrecovery
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("pack holds the card: found, mended, staged again, removed")
            << QByteArray("3 5\n") << true
            << QStringList{"5=01/03/05/05", "6=", "5=", "save", "5=01/03/05/05", "rm", "5="};
        QTest::newRow("pack too small: red entry, recovery refused")
            << QByteArray("3 5 4\n") << true << QStringList{"5=01/03/05/04", "6=01/03/05/04", "5=01/03/05/04"};
        QTest::newRow("lowest port's lowest card first, one mend each")
            << QByteArray("# the fleet\n7 2 8\n3 9, 12  # port 3\n3 11\n") << true
            << QStringList{"5=01/03/09/12", "6=", "5=01/03/11/11", "6=", "5=01/07/02/08", "6=", "5="};
        QTest::newRow("malformed lines stage nothing")
            << QByteArray("0 5\n25 1\n3\n3 0\n3 257\n3 4 257\n3 4 -1\nx 2\n3 4 5 6\n3 4 read 5\n") << true
            << QStringList{"5="};
        QTest::newRow("card 256, the pack holds it; junk and a NUL drop only their line")
            << QByteArray("3 5\0 9\n\xff\xfe 1\n3 256\n4 1 2\n", 24) << true
            << QStringList{"5=01/03/256/256", "6=", "5=01/04/01/02"};
        QTest::newRow("a card that cannot be read fails the check at its port")
            << QByteArray("3 5\n7 1 read\n9 2\n") << true << QStringList{"5=01/03/05/05", "6=", "5=!read", "6=!read"};
        QTest::newRow("a restore not taken, also with the card on another line: it stays listed and lost")
            << QByteArray("3 5\n3 5, restore\n") << true << QStringList{"5=01/03/05/05", "6=!restore", "5=01/03/05/05"};
        QTest::newRow("no pack: nothing to check against") << QByteArray("3 5\n") << false << QStringList{"5="};
    }
    void cardsFile()
    {
        QFETCH(QByteArray, cards);
        QFETCH(bool, pack);
        QFETCH(QStringList, steps);
        if (pack)
            writeFile(QStringLiteral("/data/rcvrecovery/screen1.rcv"), "pack");
        const QString path = kra_path(QStringLiteral("/sim/cards.txt"));
        writeFile(QStringLiteral("/sim/cards.txt"), cards);
        fpga()->model()->poll_file();
        for (const QString &step : steps) {
            if (step == QLatin1String("save") || step == QLatin1String("rm")) {
                QFile f(path);
                QVERIFY(step == QLatin1String("rm") ? f.remove()
                                                     : f.open(QIODevice::ReadWrite)
                                                           && f.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                                                            QFileDevice::FileModificationTime));
                f.close();
                fpga()->model()->poll_file();
                continue;
            }
            const int job = step.section(QLatin1Char('='), 0, 0).toInt();
            const QString entry = step.section(QLatin1Char('='), 1);
            const QStringList before = fpga()->rcv_result().entries;
            if (job == JOB_RCV_CHECK)
                fpga()->clear_rcv_result_count();
            const u32 countBefore = fpga()->rcv_result().count;
            fpga_manage::set_send_para_byte(SendPara::WORK, 16);
            QSignalSpy spy(KraRamPara::pInstance(), &KraRamPara::sig_update_para);
            fpga_manage::start_job(u16(job));
            for (int i = 0; i < 5000 && fpga_manage::send_para_byte(SendPara::JOB) != 0; ++i)
                fpga()->run_once();
            const fpga_manage::RcvResult got = fpga()->rcv_result();
            if (entry.startsWith(QLatin1Char('!'))) {
                // Failed: the list as it was, no card named, the page told (99 redraws it).
                QCOMPARE(int(fpga()->rcv_failure), entry == QLatin1String("!read") ? int(fpga_manage::RCV_JOB_READ_FAILED)
                                                                                    : int(fpga_manage::RCV_JOB_RESTORE_FAILED));
                QCOMPARE(got.entries, before);
                QCOMPARE(got.count, countBefore);
                QCOMPARE(int(fpga_manage::send_para_u16(SendPara::RESULT)), 65535);
                QCOMPARE(spy.count() ? spy.at(0).at(0).toInt() : 0, 99);
                continue;
            }
            QCOMPARE(int(fpga()->rcv_failure), int(fpga_manage::RCV_JOB_OK));
            // An entry raises 1; a mended card empties the list and raises 99; nothing found
            // after a check leaves the list.
            const int code = !entry.isEmpty() ? 1 : job == JOB_RCV_RECOVERY ? 99 : 0;
            QCOMPARE(int(fpga_manage::send_para_u16(SendPara::JOB)), 0);
            QCOMPARE(got.entries, entry.isEmpty() ? (code ? QStringList() : before) : QStringList{entry});
            QCOMPARE(got.count, entry.isEmpty() ? 0u : 1u);
            const int card = entry.section(QLatin1Char('/'), 2, 2).toInt() - 1; // card 256 reads 0x01FF
            QCOMPARE(int(fpga_manage::send_para_u16(SendPara::RESULT)),
                     !entry.isEmpty() ? (card == 255 ? 0x01FF : card) : pack || job == JOB_RCV_RECOVERY ? 255 : 65535);
            QCOMPARE(spy.count() ? spy.at(0).at(0).toInt() : 0, code);
        }
    }

    // The running manager takes the file up by itself; Check finds the card, Self-recovery
    // mends it. A fault staged by a test is left alone while no file was seen.
    void cardsFileThroughThread()
    {
        writeFile(QStringLiteral("/data/rcvrecovery/screen1.rcv"), "pack");
        fpga()->model()->set_rcv_fault(4, 2, 8);
        fpga()->initialize_start();
        QTest::qWait(150);
        QCOMPARE(int(fpga()->model()->rcv_faults().size()), 1);
        writeFile(QStringLiteral("/sim/cards.txt"), "12 3 6\n");
        QTRY_VERIFY_WITH_TIMEOUT(fpga()->model()->rcv_faults().size() == 1
                                     && fpga()->model()->rcv_faults()[0].port == 11, 5000);
        const QStringList expected[2] = {{"01/12/03/06"}, {}};
        for (int job : {JOB_RCV_CHECK, JOB_RCV_RECOVERY}) {
            fpga_manage::set_send_para_byte(SendPara::WORK, 16);
            fpga_manage::start_job(u16(job));
            QTRY_VERIFY_WITH_TIMEOUT(fpga_manage::send_para_byte(SendPara::JOB) == 0, 5000);
            QCOMPARE(fpga()->rcv_result().entries, expected[job - JOB_RCV_CHECK]);
        }
        QVERIFY(fpga()->model()->rcv_faults().empty());
    }

    // A record every three minutes, as the main window's tick writes them.
    void ageingRegisters_data()
    {
        QTest::addColumn<bool>("fpga1Runs");
        QTest::addColumn<int>("pinned42"); // register 42 of FPGA 0 set from outside, -1 not
        QTest::addColumn<int>("pieceMs");  // the model is aged in pieces of this length
        QTest::newRow("both run") << true << -1 << 180000;
        QTest::newRow("in poll-sized pieces") << true << -1 << 100;
        QTest::newRow("FPGA 1 stopped") << false << -1 << 180000;
        QTest::newRow("register set from outside") << true << 7 << 180000;
    }
    void ageingRegisters()
    {
        QFETCH(bool, fpga1Runs);
        QFETCH(int, pinned42);
        QFETCH(int, pieceMs);
        FpgaModelSim model;
        model.set_power(1, fpga1Runs);
        if (pinned42 >= 0)
            model.set_chip_register(0, 42, u8(pinned42));
        clearAgeLog();
        u32 *bands[2][5] = {{&factoryage_log_diff3, &factoryage_log_diff5, &factoryage_log_diff10,
                             &factoryage_log_diff20, &factoryage_log_diffmore},
                            {&factoryage_log2_diff3, &factoryage_log2_diff5, &factoryage_log2_diff10,
                             &factoryage_log2_diff20, &factoryage_log2_diffmore}};
        constexpr int kRecords = 120; // six hours
        int green[2] = {0, 0};
        for (int rec = 1; rec <= kRecords; ++rec) {
            for (int ms = 0; ms < 180000; ms += pieceMs)
                model.age(std::chrono::milliseconds(pieceMs));
            AgeRegisters r[2];
            for (int f = 0; f < 2; ++f) {
                model.read_register(f, 42, &r[f].r42);
                model.read_register(f, 40, &r[f].r40);
                model.read_register(f, 43, &r[f].r43);
                QCOMPARE(r[f].r40 & ~0x1F, 0);
                green[f] += r[f].r40 == 0x1F;
            }
            QCOMPARE(int(r[0].r43), (3 * rec) % 256); // minutes run
            QCOMPARE(int(r[1].r43), fpga1Runs ? (3 * rec) % 256 : 0);
            if (pinned42 >= 0)
                QCOMPARE(int(r[0].r42), pinned42);
            kra_append_age_record(QDateTime(QDate(2024, 3, 9), QTime(8, 0)).addSecs(180 * rec), r[0], r[1]);
        }
        QCOMPARE(factoryage_log.size(), kRecords);
        QCOMPARE(factoryage_log.at(1).left(11), QStringLiteral("03-09 08:06"));
        // A running output's counter fills every band of the summary now and then, and its lamps
        // are mostly green with a red one sometimes; a stopped output's are all red.
        for (int f = 0; f < 2; ++f) {
            const bool runs = f == 0 || fpga1Runs;
            const bool moves = f == 0 ? pinned42 < 0 : fpga1Runs;
            for (u32 *c : bands[f])
                QVERIFY2((*c > 0) == moves && *c < u32(kRecords) / 2, qPrintable(QString::number(f)));
            QVERIFY(runs ? green[f] > kRecords * 8 / 10 && green[f] < kRecords : green[f] == 0);
        }
    }

    void fontsFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // "-" no file
        QTest::addColumn<int>("bits");
        QTest::newRow("no file: all four") << QByteArray("-") << 0x0F;
        QTest::newRow("hexadecimal, after a comment") << QByteArray("# ASCII\n0x0A # 32 and 64\n") << 0x0A;
        QTest::newRow("leading zero is decimal") << QByteArray("08") << 0x08;
        QTest::newRow("none") << QByteArray("0") << 0;
        QTest::newRow("no number: all four") << QByteArray("fonts\n") << 0x0F;
    }
    void fontsFile()
    {
        QFETCH(QByteArray, content);
        if (content != "-")
            writeFile(QStringLiteral("/sim/fonts.txt"), content);
        c331_manage::pInstanceNoThread()->set_access(std::make_unique<C331ModelSim>());
        QTEST(int(c331_manage::font_present), "bits");
    }

private:
    std::unique_ptr<TestDevice> dev_;
};

QTEST_MAIN(TestSimDevice)
#include "test_sim_device.moc"
