// The hand-off with the video-chip manager's real thread. A program of its own: once the
// thread runs it takes every change, so no other test could run the passes itself.
#include "c331_manage.h"
#include "c331_model_sim.h"
#include "krarampara.h"
#include "testsupport.h"

#include <QFile>
#include <QtTest>
#include <cstring>

class TestHandoffThread : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void writeIsAppliedAndSaved_data();
    void writeIsAppliedAndSaved();
};

void TestHandoffThread::initTestCase()
{
    c331_manage::pInstance(); // before any TestDevice, so the manager is made with its thread
}

void TestHandoffThread::writeIsAppliedAndSaved_data()
{
    QTest::addColumn<int>("contrast");
    QTest::newRow("first change") << 31;
    QTest::newRow("second change") << 47;
}

void TestHandoffThread::writeIsAppliedAndSaved()
{
    QFETCH(int, contrast);
    TestDevice dev;
    KraRamPara *p = KraRamPara::pInstance();
    const u32 sets = c331_manage::p_c331_manage->model()->change_sets();
    {
        ParaWrite w;
        w.set16(Para::PICTURE + 2, u16(contrast));
    }
    auto savedContrast = [] {
        QFile f(KraRamPara::blockPath());
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray d = f.readAll();
        if (d.size() != 3330)
            return -2;
        return int(rd16(reinterpret_cast<const u8 *>(d.constData()) + 2,
                        Para::PICTURE + 2 - Para::SAVED_FIRST));
    };
    QTRY_COMPARE_WITH_TIMEOUT(savedContrast(), contrast, 5000);
    QVERIFY(c331_manage::p_c331_manage->model()->change_sets() > sets);
    QCOMPARE(int(c331_manage::para_changed), 0);
    QCOMPARE(p->shadow16(Para::PICTURE + 2), u16(contrast));
}

QTEST_MAIN(TestHandoffThread)
#include "test_handoff_thread.moc"
