#include "testsupport.h"
#include "screenkit.h"

#include "c331_manage.h"
#include "krarampara.h"
#include "lcd_touch.h"
#include "test_chart.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {


u8 *live() { return KraRamPara::pInstance()->ram_para; }

} // namespace

class TestTestChart : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScreenFixture> dev_;
    test_chart *screen_ = nullptr;

    QPushButton *patternButton(int i) { return screen_->findChild<QPushButton *>(QString::number(i)); }
    QLabel *picture(int i) { return screen_->findChild<QLabel *>(QString("label_test%1").arg(i + 1)); }
    int markedCount()
    {
        int n = 0;
        for (int i = 0; i < test_chart::kPatternCount; ++i)
            n += kra_marked(picture(i));
        return n;
    }
    void touch(int i)
    {
        c331_manage::para_changed = 0;
        QTest::mouseClick(patternButton(i), Qt::LeftButton);
    }

private slots:
    void init()
    {
        dev_.reset(new ScreenFixture);
        screen_ = dev_->open<test_chart>(Page::TestPatterns);
        g_back_to_mainwindow_time = 18000;
        g_auto_lock_time = 30000;
    }
    void cleanup() { dev_.reset(); }

    void buildsWithPicturesAndNoSlotWarnings()
    {
        QVERIFY2(unhookedSlots(dev_->buildWarnings()).isEmpty(), qPrintable(dev_->buildWarnings().join('\n')));
        for (int i = 0; i < test_chart::kPatternCount; ++i) {
            QVERIFY(patternButton(i));
            QVERIFY2(!picture(i)->pixmap(Qt::ReturnByValue).isNull(), "pattern picture missing");
            QVERIFY(!kra_marked(picture(i)));
        }
        QCOMPARE(screen_->selection(), test_chart::kNoSelection);
    }

    void touchingPatternWritesItsNumberEveryTime_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < test_chart::kPatternCount; ++i)
            QTest::addRow("button %d", i) << i;
    }
    void touchingPatternWritesItsNumberEveryTime()
    {
        QFETCH(int, index);
        {
            ParaWrite w;
            w.set16(Para::TEST_PATTERN, 0x5A00);
        }
        TestDevice::settle();
        for (int round = 0; round < 2; ++round) {
            touch(index);
            QCOMPARE(int(live()[Para::TEST_PATTERN]), index + 1);
            QCOMPARE(int(live()[Para::TEST_PATTERN + 1]), 0x5A);
            QCOMPARE(c331_manage::para_changed.load(), u8(1));
            QVERIFY(kra_marked(picture(index)));
            QCOMPARE(markedCount(), 1);
            TestDevice::settle();
        }
    }

    void anotherPatternMovesTheMark()
    {
        touch(2);
        touch(5);
        QCOMPARE(int(live()[Para::TEST_PATTERN]), 6);
        QVERIFY(!kra_marked(picture(2)));
        QVERIFY(kra_marked(picture(5)));
        QCOMPARE(markedCount(), 1);
        QCOMPARE(int(screen_->selection()), 5);
    }

    void closeWritesZeroAlways_data()
    {
        QTest::addColumn<int>("chosen"); // -1: nothing chosen on this screen
        QTest::newRow("nothing chosen") << -1;
        QTest::newRow("pattern running") << 7;
    }
    void closeWritesZeroAlways()
    {
        QFETCH(int, chosen);
        {
            ParaWrite w;
            w.set16(Para::TEST_PATTERN, 0x0104); // high byte set, a pattern from elsewhere
        }
        TestDevice::settle();
        if (chosen >= 0)
            touch(chosen);
        c331_manage::para_changed = 0;
        QTest::mouseClick(screen_->findChild<QPushButton *>("Button_closetest"), Qt::LeftButton);
        QCOMPARE(int(live()[Para::TEST_PATTERN]), 0);
        QCOMPARE(int(live()[Para::TEST_PATTERN + 1]), 1);
        QCOMPARE(c331_manage::para_changed.load(), u8(1));
        QCOMPARE(markedCount(), 0);
        QCOMPARE(screen_->selection(), test_chart::kNoSelection);
    }

    void backLeavesPatternRunning()
    {
        touch(3);
        TestDevice::settle();
        QPointer<test_chart> old(screen_);
        screen_->on_Button_back_clicked();
        QCOMPARE(g_test_chart, nullptr);
        QCOMPARE(int(g_page_focus), 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(old.isNull());
        QCOMPARE(int(live()[Para::TEST_PATTERN]), 4);

        screen_ = dev_->open<test_chart>(Page::TestPatterns);
        QCOMPARE(markedCount(), 0);
        QCOMPARE(screen_->selection(), test_chart::kNoSelection);
    }

    void idleTimeoutLeavesScreenOpen()
    {
        g_back_to_mainwindow_time = 5;
        lcd_touch::pInstance()->touched();
        for (int i = 0; i < 10; ++i)
            lcd_touch::pInstance()->auto_timeout_back();
        QCOMPARE(g_test_chart, screen_);
        QCOMPARE(int(g_page_focus), 16);
    }

    void languageChangeRetranslates_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("close");
        QTest::newRow("zh-CN") << 0
                               << QStringList{"红色", "绿色", "蓝色", "白色", "黑色", "色带", "横线", "竖线"}
                               << "关闭测试图";
        QTest::newRow("ru") << 2
                            << QStringList{"Тест 1", "Тест 2", "Тест 3", "Тест 4", "Тест 5", "Тест 6",
                                           "Тест 7", "Тест 8"}
                            << "Закрыть";
        QTest::newRow("vi") << 3
                            << QStringList{"Kiểm tra 1", "Kiểm tra 2", "Kiểm tra 3", "Kiểm tra 4",
                                           "Kiểm tra 5", "Kiểm tra 6", "Kiểm tra 7", "Kiểm tra 8"}
                            << "Đóng";
    }
    void languageChangeRetranslates()
    {
        QFETCH(int, language);
        QFETCH(QStringList, names);
        QFETCH(QString, close);
        {
            ParaWrite w;
            w.set8(Para::LANGUAGE, u8(language));
        }
        TestDevice::settle();
        const char *labels[] = {"label_red",   "label_green",  "label_blue",  "label_white",
                                "label_black", "label_colour", "label_hline", "label_wline"};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(screen_->findChild<QLabel *>(labels[i])->text(), names.at(i));
        QCOMPARE(screen_->findChild<QPushButton *>("Button_closetest")->text(), close);
        QCOMPARE(c331_manage::para_changed.load(), u8(0));
    }
};

QTEST_MAIN(TestTestChart)
#include "test_test_chart.moc"
