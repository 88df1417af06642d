#include "testsupport.h"

#include "c331_manage.h"
#include "krarampara.h"
#include "tavik_model_sim.h"
#include "taviksource.h"
#include "utils.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QtTest>

namespace {
void writeSimFile(const QByteArray &text)
{
    QDir().mkpath(QFileInfo(TavikModelSim::file_path()).path());
    QCOMPARE(Utils::write_file_safely(TavikModelSim::file_path(), text), 0);
}

QList<int> timing(int input)
{
    const KraRamPara *p = KraRamPara::pInstance();
    const int a = Para::TIMING + 6 * input;
    return {p->live16(a), p->live16(a + 2), p->live16(a + 4)};
}
} // namespace

class TestTavikSource : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDevice> dev_;
    taviksource *source_ = nullptr;

private slots:
    void init()
    {
        dev_.reset(new TestDevice);
        source_ = taviksource::pInstanceNoThread();
    }
    void cleanup() { dev_.reset(); }

    void readsOneLinePerInput_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QList<int>>("expected");
        const QList<int> none{0, 0, 0};
        QTest::newRow("blanks") << QByteArray("1920 1080 60") << QList<int>{1920, 1080, 60};
        QTest::newRow("x and @") << QByteArray("3840x2160@30") << QList<int>{3840, 2160, 30};
        QTest::newRow("commas, comment") << QByteArray("1280, 720, 50  # camera") << QList<int>{1280, 720, 50};
        QTest::newRow("CR LF") << QByteArray("1024X768@75\r") << QList<int>{1024, 768, 75};
        QTest::newRow("empty") << QByteArray("") << none;
        QTest::newRow("comment only") << QByteArray("# unplugged") << none;
        QTest::newRow("two numbers") << QByteArray("1920 1080") << none;
        QTest::newRow("four numbers") << QByteArray("1920 1080 60 1") << none;
        QTest::newRow("negative") << QByteArray("-1920 1080 60") << none;
        QTest::newRow("beyond 16 bits") << QByteArray("70000 1080 60") << none;
        QTest::newRow("words") << QByteArray("full hd") << none;
    }
    void readsOneLinePerInput()
    {
        QFETCH(QByteArray, line);
        QFETCH(QList<int>, expected);
        // Line 5 is input code 4 (HDMI3).
        writeSimFile("\n\n\n\n" + line + "\n");
        c331_manage::para_changed = 0;
        const bool plugged = expected != QList<int>{0, 0, 0};
        QCOMPARE(source_->run_once(), plugged ? 12 : 0);
        QCOMPARE(timing(4), expected);
        for (int input : {0, 1, 2, 3, 5})
            QCOMPARE(timing(input), (QList<int>{0, 0, 0}));
        // Measured timings are no operator change: nothing for the video-chip manager.
        QCOMPARE(int(c331_manage::para_changed), 0);
    }

    void raisesCodeOnlyOnChange()
    {
        QSignalSpy spy(KraRamPara::pInstance(), &KraRamPara::sig_update_para);
        writeSimFile("720 576 50\n\n1920 1080 60\n");
        QCOMPARE(source_->run_once(), 12);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 12);
        QCOMPARE(source_->run_once(), 0);
        QCOMPARE(spy.count(), 1);
        // Another writer's value is measured over at the next pass.
        {
            ParaWrite w(false);
            w.set16(Para::TIMING + 12, 1);
        }
        QCOMPARE(source_->run_once(), 12);
        QCOMPARE(timing(2), (QList<int>{1920, 1080, 60}));
        QCOMPARE(spy.count(), 2);
    }

    void missingFileUnplugsEveryInput()
    {
        writeSimFile("1 2 3\n4 5 6\n7 8 9\n10 11 12\n13 14 15\n16 17 18\n19 20 21\n");
        QCOMPARE(source_->run_once(), 12);
        QCOMPARE(timing(5), (QList<int>{16, 17, 18}));
        // The seventh line has no input: the image after the six records stays untouched.
        QCOMPARE(KraRamPara::pInstance()->live16(Para::TIMING + 36), u16(0));
        QVERIFY(QFile::remove(TavikModelSim::file_path()));
        QCOMPARE(source_->run_once(), 12);
        for (int input = 0; input < 6; ++input)
            QCOMPARE(timing(input), (QList<int>{0, 0, 0}));
    }
};

QTEST_MAIN(TestTavikSource)
#include "test_taviksource.moc"
