// Builds every screen of the build and fails when an auto-connected slot lost its widget
// (a renamed object leaves "on_<object>_<signal>" silently unhooked).
#include "QRoundProgressBar.h"
#include "firmwareupdate.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "numberkeyboard.h"
#include "screens.h"
#include "testsupport.h"
#include "tip.h"

#include <QDialog>
#include <QPointer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// Shell screens by negative id; the screens table's pages by their own id.
enum Shell { MainWin = -1, Lock = -3, Keyboard = -4, Tip = -5, Update = -6, Bar = -7 };

std::unique_ptr<QWidget> build(int id, QDialog *holder)
{
    switch (id) {
    case MainWin: return std::make_unique<MainWindow>(nullptr);
    case Lock: return std::make_unique<LockWindow>(nullptr);
    case Keyboard: return std::make_unique<NumberKeyboard>(nullptr);
    case Tip: return std::make_unique<TIP>(nullptr);
    case Update: return std::make_unique<FirmwareUpdate>(nullptr);
    case Bar:
        QRoundProgressBar::create_qround_bar(holder);
        return nullptr; // owned by its screen
    default: return std::unique_ptr<QWidget>(kra_construct_screen(id));
    }
}

} // namespace

class TestAllScreens : public QObject
{
    Q_OBJECT
private slots:
    void everyScreenHooksItsSlots_data();
    void everyScreenHooksItsSlots();
};

void TestAllScreens::everyScreenHooksItsSlots_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("language");
    const char *langs[2] = {"zh-CN", "en"};
    for (int lang = 0; lang < 2; ++lang) {
        const QList<QPair<const char *, int>> shell = {
            {"MainWindow", MainWin}, {"LockWindow", Lock},
            {"NumberKeyboard", Keyboard}, {"TIP", Tip}, {"FirmwareUpdate", Update},
            {"QRoundProgressBar", Bar}};
        for (const auto &s : shell)
            QTest::addRow("%s, %s", s.first, langs[lang]) << s.second << lang;
        for (int page = 0; page <= 255; ++page) {
            if (kra_screen_built(page))
                QTest::addRow("page %d, %s", page, langs[lang]) << page << lang;
        }
    }
}

void TestAllScreens::everyScreenHooksItsSlots()
{
    QFETCH(int, id);
    QFETCH(int, language);
    TestDevice dev;
    takeWarnings();
    g_language = u8(language);
    QDialog holder;
    std::unique_ptr<QWidget> screen = build(id, &holder);
    if (id >= 0) {
        QVERIFY2(screen, "the table names a screen that kra_construct_screen does not build");
        QCOMPARE(screen->size(), QSize(800, 480));
    }
    if (screen) {
        screen->show();
        QCoreApplication::processEvents();
    }
    const QStringList unhooked = unhookedSlots(takeWarnings());
    QVERIFY2(unhooked.isEmpty(), qPrintable(unhooked.join(QLatin1Char('\n'))));
    screen.reset();
    g_qround_bar = nullptr;
    g_language = 1;
}

QTEST_MAIN(TestAllScreens)
#include "test_all_screens.moc"
