// Builds every screen of the build and fails when an auto-connected slot lost its widget
// (a renamed object leaves "on_<object>_<signal>" silently unhooked), or when a label's or
// button's text, in any language, does not fit its rectangle.
#include "QRoundProgressBar.h"
#include "firmwareupdate.h"
#include "krarampara.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "numberkeyboard.h"
#include "screens.h"
#include "tavik_model_sim.h"
#include "taviksource.h"
#include "testsupport.h"
#include "tip.h"

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyleOptionButton>
#include <QTextDocument>
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

const KraText kCaption = {{"宽度", "Width", "Ширина", "Chiều rộng", "寬度"}};

// What each visible label or button of `root` draws beyond its rectangle, by font metrics.
void collectCutTexts(QWidget *root, QStringList *cut)
{
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(root) && w != root)
            continue;
        QRect room;
        QRect need;
        QString text;
        if (auto *l = qobject_cast<QLabel *>(w)) {
            text = l->text();
            if (text.isEmpty() || l->textFormat() == Qt::RichText || Qt::mightBeRichText(text))
                continue;
            room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
            const int flags = int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
            need = l->fontMetrics().boundingRect(room, flags, text);
        } else if (auto *b = qobject_cast<QPushButton *>(w)) {
            text = b->text();
            if (text.isEmpty())
                continue;
            QStyleOptionButton opt;
            opt.initFrom(b);
            opt.text = text;
            opt.icon = b->icon();
            opt.iconSize = b->iconSize();
            if (b->isFlat())
                opt.features |= QStyleOptionButton::Flat;
            room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
            need = b->fontMetrics().boundingRect(room, Qt::AlignCenter | Qt::TextShowMnemonic, text);
            if (!b->icon().isNull())
                need.setWidth(need.width() + b->iconSize().width() + 4);
        } else {
            continue;
        }
        // Qt draws a soft hyphen that ends a text as a visible "-".
        if (need.width() > room.width() || need.height() > room.height() || text.endsWith(QChar(0x00AD)))
            *cut << QStringLiteral("%1 \"%2\": needs %3x%4, has %5x%6")
                        .arg(w->objectName(), text)
                        .arg(need.width()).arg(need.height()).arg(room.width()).arg(room.height());
    }
}

// Every page of every stacked widget, each as it is shown.
QStringList cutTexts(QWidget *screen)
{
    QStringList cut;
    collectCutTexts(screen, &cut);
    for (QStackedWidget *stack : screen->findChildren<QStackedWidget *>()) {
        const int shown = stack->currentIndex();
        for (int i = 0; i < stack->count(); ++i) {
            stack->setCurrentIndex(i);
            collectCutTexts(stack->currentWidget(), &cut);
        }
        stack->setCurrentIndex(shown);
    }
    cut.removeDuplicates();
    return cut;
}

// Every input live, user mode 1 saved and in use: the tiles, badges and timings show.
void putDeviceInUse()
{
    QFile f(TavikModelSim::file_path());
    QVERIFY(QDir().mkpath(QFileInfo(f).path()));
    QVERIFY(f.open(QIODevice::WriteOnly));
    for (int input = 0; input < 6; ++input)
        f.write("1920x1080@60\n");
    f.close();
    taviksource::pInstanceNoThread()->run_once();
    KraRamPara *p = KraRamPara::pInstance();
    QCOMPARE(p->user_mode_save(0), 0);
    ParaWrite w(false);
    w.set16(Para::CURRENT_MODE, 1);
    memcpy(p->ram_para_bak, p->ram_para, sizeof p->ram_para);
}

} // namespace

class TestAllScreens : public QObject
{
    Q_OBJECT
private slots:
    void everyScreenHooksItsSlots_data();
    void everyScreenHooksItsSlots();
    void everyTextFits_data();
    void everyTextFits();
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
    const QStringList warnings = takeWarnings();
    const QStringList unhooked = unhookedSlots(warnings);
    QVERIFY2(unhooked.isEmpty(), qPrintable(unhooked.join(QLatin1Char('\n'))));
    QVERIFY2(warnings.filter(QStringLiteral("QFont")).isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
    screen.reset();
    g_qround_bar = nullptr;
    g_language = 1;
}

void TestAllScreens::everyTextFits_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("inUse");
    const char *langs[5] = {"zh-CN", "en", "ru", "vi", "zh-TW"};
    const QList<QPair<const char *, int>> shell = {
        {"MainWindow", MainWin}, {"LockWindow", Lock},
        {"NumberKeyboard", Keyboard}, {"TIP", Tip}, {"FirmwareUpdate", Update}};
    for (int inUse = 0; inUse < 2; ++inUse) {
        const char *state = inUse ? "in use" : "first run";
        for (int lang = 0; lang < 5; ++lang) {
            for (const auto &s : shell)
                QTest::addRow("%s, %s, %s", s.first, langs[lang], state) << s.second << lang << bool(inUse);
            for (int page = 0; page <= 255; ++page) {
                if (kra_screen_built(page))
                    QTest::addRow("page %d, %s, %s", page, langs[lang], state) << page << lang << bool(inUse);
            }
        }
    }
}

void TestAllScreens::everyTextFits()
{
    QFETCH(int, id);
    QFETCH(int, language);
    QFETCH(bool, inUse);
    TestDevice dev;
    if (inUse)
        putDeviceInUse();
    if (QTest::currentTestFailed())
        return;
    g_language = u8(language);
    {
        ParaWrite w(false); // live and shadow agree: no refresh resets the language
        w.set16(Para::LANGUAGE, u16(language));
        memcpy(KraRamPara::pInstance()->ram_para_bak, w.image(), Para::IMAGE_SIZE);
    }
    QDialog holder;
    std::unique_ptr<QWidget> screen = build(id, &holder);
    QVERIFY(screen);
    if (id == Keyboard)
        static_cast<NumberKeyboard *>(screen.get())->label_show(kra_text(kCaption), QStringLiteral("1920"));
    if (id == Tip)
        static_cast<TIP *>(screen.get())->tip_create(1);
    screen->show();
    QCoreApplication::processEvents();
    QStringList cut = cutTexts(screen.get());
    if (id == MainWin) {
        static_cast<MainWindow *>(screen.get())->on_Button_mode_panel_clicked();
        QCoreApplication::processEvents();
        cut << cutTexts(screen.get());
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    screen.reset();
    g_language = 1;
}

QTEST_MAIN(TestAllScreens)
#include "test_all_screens.moc"
