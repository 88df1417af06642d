// How the screens open one another and come back: every opener of the crop editor and the
// EDID screen, the refresh of the screen below on back, and the idle time-out that closes
// a whole chain. The modal runs are replaced by scripted ones.
#include "testsupport.h"

#include "edidset.h"
#include "imagelayout.h"
#include "inputchoose.h"
#include "inputcut.h"
#include "krarampara.h"
#include "lcd_touch.h"
#include "option.h"
#include "screens.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <map>

namespace {

// What a scripted run does with a screen, by its class; the run records the page focus
// the screen was opened with.
struct ScriptedRuns {
    std::map<QString, std::function<void(QDialog *)>> scripts;
    QList<QPair<QString, int>> opened;

    ScriptedRuns()
    {
        kra_set_screen_runner([this](QDialog *screen) {
            const QString cls = QString::fromLatin1(screen->metaObject()->className());
            opened << qMakePair(cls, int(g_page_focus));
            auto it = scripts.find(cls);
            if (it != scripts.end())
                it->second(screen);
        });
    }
    ~ScriptedRuns() { kra_set_screen_runner({}); }
};

void clickBack(QDialog *screen)
{
    screen->findChild<QPushButton *>("Button_back")->click();
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString hdmi1Count(InputChoose *screen)
{
    return screen->findChild<QLabel *>("label_HDMI1_num")->text();
}

void openMenu(InputChoose *screen)
{
    screen->findChild<QFrame *>("frame", Qt::FindDirectChildrenOnly)
        ->findChild<QPushButton *>("Button_menu")
        ->click();
}

} // namespace

class TestScreenOpeners : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScreenFixture> dev_;

private slots:
    void init() { dev_ = std::make_unique<ScreenFixture>(); }
    void cleanup() { dev_.reset(); }

    void opensAndReturns_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("backTo");
        QTest::newRow("crop editor from the input selection")
            << false << "button_inputcut" << "InputCut" << 7 << 3;
        QTest::newRow("EDID screen from the input selection")
            << false << "button_EDID" << "EDIDset" << 8 << 3;
        QTest::newRow("crop editor from the settings menu")
            << true << "input_cut" << "InputCut" << 7 << 5;
    }
    void opensAndReturns()
    {
        QFETCH(bool, fromMenu);
        QFETCH(QString, button);
        QFETCH(QString, screen);
        QFETCH(int, page);
        QFETCH(int, backTo);

        ScriptedRuns runs;
        QPointer<QDialog> seen;
        bool globalSet = false;
        RaiseCounter raises;
        bool raisedOnShow = false;
        runs.scripts[screen] = [&](QDialog *d) {
            seen = d;
            globalSet = d == static_cast<QDialog *>(g_inputcut) || d == static_cast<QDialog *>(g_edidset);
            d->installEventFilter(&raises);
            d->show();
            raisedOnShow = raises.n > 0;
            clickBack(d);
        };
        if (fromMenu) {
            dev_->open<Option>(Page::Settings);
            QToolButton *entry = g_option->findChild<QToolButton *>(button);
            QVERIFY(entry->isEnabled());
            entry->click();
        } else {
            openMenu(dev_->open<InputChoose>(Page::InputSelect));
            g_inputchoose->findChild<QPushButton *>(button)->click();
        }
        QCOMPARE(runs.opened.size(), 1);
        QCOMPARE(runs.opened[0], qMakePair(screen, page));
        QVERIFY(globalSet);
        QVERIFY(raisedOnShow);
        QCOMPARE(int(g_page_focus), backTo);
        QVERIFY(!g_inputcut && !g_edidset);
        flushDeletes();
        QVERIFY(seen.isNull());
    }

    // From the window layout through the input selection to the crop editor and back: each
    // screen below is refreshed by the one that closes over it.
    void chainFromTheWindowLayout()
    {
        ScriptedRuns runs;
        QString countAfterCrop;
        runs.scripts["InputCut"] = [](QDialog *d) {
            CROP_PARA crop{0, 0, 0, 640, 480};
            KraRamPara::pInstance()->KraAddNewCrop(2, &crop); // as the editor's OK does
            clickBack(d);
        };
        runs.scripts["InputChoose"] = [&](QDialog *d) {
            auto *choose = qobject_cast<InputChoose *>(d);
            QCOMPARE(hdmi1Count(choose), QString("(1)"));
            openMenu(choose);
            choose->findChild<QPushButton *>("button_inputcut")->click();
            QCOMPARE(int(g_page_focus), 3);
            countAfterCrop = hdmi1Count(choose);
            clickBack(d);
        };
        dev_->open<ImageLayout>(Page::WindowLayout)->on_Button_source_select_clicked();

        QCOMPARE(runs.opened.size(), 2);
        QCOMPARE(runs.opened[0], qMakePair(QString("InputChoose"), 3));
        QCOMPARE(runs.opened[1], qMakePair(QString("InputCut"), 7));
        QCOMPARE(countAfterCrop, QString("(2)"));
        QCOMPARE(int(g_page_focus), 9);
        QVERIFY(!g_inputchoose && !g_inputcut);
    }

    void idleTimeoutClosesTheChain_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("screen");
        QTest::newRow("crop editor") << "button_inputcut" << "InputCut";
        QTest::newRow("EDID screen") << "button_EDID" << "EDIDset";
    }
    void idleTimeoutClosesTheChain()
    {
        QFETCH(QString, button);
        QFETCH(QString, screen);
        ScriptedRuns runs;
        runs.scripts[screen] = [](QDialog *) {
            lcd_touch::pInstance()->touched();
            for (u32 i = 0; i <= g_back_to_mainwindow_time; ++i)
                lcd_touch::pInstance()->auto_timeout_back();
        };
        dev_->open<Option>(Page::Settings);
        openMenu(dev_->open<InputChoose>(Page::InputSelect));
        g_inputchoose->findChild<QPushButton *>(button)->click();
        QCOMPARE(runs.opened.size(), 1);
        QVERIFY(!g_inputcut && !g_edidset && !g_inputchoose && !g_option);
        QCOMPARE(int(g_page_focus), 1);
    }
};

QTEST_MAIN(TestScreenOpeners)
#include "test_screen_openers.moc"
