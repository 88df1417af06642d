#include "c331_manage.h"
#include "imagelayout.h"
#include "krarampara.h"
#include "my_lineedit.h"
#include "numberkeyboard.h"
#include "option.h"
#include "testsupport.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <cstring>
#include <memory>

using Para::win;

namespace {

KraRamPara *para() { return KraRamPara::pInstance(); }
u16 live(int addr) { return para()->live16(addr); }

// Sets words as a PC command would and runs the refresh path.
void pcWrite(std::initializer_list<std::pair<int, u16>> words)
{
    {
        ParaWrite w(false);
        for (const auto &aw : words)
            w.set16(aw.first, aw.second);
        c331_manage::para_changed = 2;
    }
    TestDevice::settle();
}

// Sets words as the stored state before the screen opens (live and shadow alike).
void preset(std::initializer_list<std::pair<int, u16>> words)
{
    ParaWrite w(false);
    for (const auto &aw : words)
        w.set16(aw.first, aw.second);
    memcpy(para()->ram_para_bak, para()->ram_para, Para::IMAGE_SIZE);
}

// Nothing was written from now on: the flag stays 0 and the live image keeps its bytes.
class NoWrite
{
public:
    NoWrite()
    {
        c331_manage::para_changed = 0;
        memcpy(before_, para()->ram_para, sizeof before_);
    }
    bool held() const
    {
        return c331_manage::para_changed == 0 && memcmp(before_, para()->ram_para, sizeof before_) == 0;
    }

private:
    u8 before_[Para::IMAGE_SIZE];
};

struct Screen {
    std::unique_ptr<ImageLayout> s{new ImageLayout(nullptr)};
    Screen()
    {
        g_imagelayout = s.get();
        g_page_focus = 9;
        s->show();
    }
    template <typename T = QWidget> T *w(const char *name) const
    {
        return s->findChild<T *>(QLatin1String(name));
    }
    QString text(const char *name) const { return w<QLabel>(name)->text(); }
    My_lineEdit *field(const QString &n) const { return w<My_lineEdit>(qPrintable("lineEdit_" + n)); }
    void tile(int window) const
    {
        QTest::mouseClick(w<QPushButton>(qPrintable(QString::number(window))), Qt::LeftButton);
    }
    void click(const char *name) const { QTest::mouseClick(w<QPushButton>(name), Qt::LeftButton); }
};

} // namespace

class TestImageLayout : public QObject
{
    Q_OBJECT
private slots:
    void buildsWithoutSlotWarnings();
    void rectangleLimits_data();
    void rectangleLimits();
    void acceptedFieldWritesAllFour();
    void keyboardValueForAnotherScreenIgnored();
    void lowByteWritesKeepHighByte();
    void refillsDoNotWrite_data();
    void refillsDoNotWrite();
    void windowOneAlwaysOn();
    void onWordTwoShowsClosedTileButOnState();
    void tileTouchAndCurrentChoicesWriteNothing();
    void pointToPointOffKeepsMode();
    void listOpensInStyledView();
    void tileRebuild_data();
    void tileRebuild();
    void cropSourceShowsItsInput_data();
    void cropSourceShowsItsInput();
    void backToMenu();
};

void TestImageLayout::buildsWithoutSlotWarnings()
{
    TestDevice dev;
    takeWarnings();
    Screen sc;
    const QStringList unhooked = unhookedSlots(takeWarnings());
    QVERIFY2(unhooked.isEmpty(), qPrintable(unhooked.join('\n')));
    for (const char *n : {"X", "Y", "W", "H"})
        QVERIFY(sc.field(QLatin1String(n)));
    for (const char *hidden : {"label_backup", "comboBox", "Button_ok", "Button_cancel"})
        QVERIFY(sc.w(hidden)->isHidden());
}

void TestImageLayout::rectangleLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("partner");
    QTest::addColumn<QString>("partnerText");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    // LED screen 1920 x 1080 (defaults).
    QTest::newRow("X+W equal to width") << "X" << "W" << "960" << "960" << true;
    QTest::newRow("X+W one over") << "X" << "W" << "960" << "961" << false;
    QTest::newRow("W against X") << "W" << "X" << "100" << "1820" << true;
    QTest::newRow("W against X, one over") << "W" << "X" << "100" << "1821" << false;
    QTest::newRow("Y+H equal to height") << "Y" << "H" << "540" << "540" << true;
    QTest::newRow("H against Y, one over") << "H" << "Y" << "1" << "1080" << false;
    // The stored width of window 2 is 960; the field's text counts.
    QTest::newRow("partner text above the stored value") << "X" << "W" << "1900" << "21" << false;
    QTest::newRow("partner text below the stored value") << "X" << "W" << "100" << "1820" << true;
    QTest::newRow("unreadable partner counts as 0") << "X" << "W" << "abc" << "1920" << true;
    QTest::newRow("zero size accepted") << "H" << "Y" << "0" << "0" << true;
}

void TestImageLayout::rectangleLimits()
{
    QFETCH(QString, field);
    QFETCH(QString, partner);
    QFETCH(QString, partnerText);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    TestDevice dev;
    Screen sc;
    sc.tile(1);
    sc.field(partner)->setText(partnerText);
    const QString old = sc.field(field)->text();
    NoWrite nothing;
    answerKeyboardWith(typed);
    QTest::mouseClick(sc.field(field), Qt::LeftButton);
    QCOMPARE(g_lineedit, static_cast<QLineEdit *>(sc.field(field)));
    if (accepted) {
        QCOMPARE(sc.field(field)->text(), typed);
        QCOMPARE(int(c331_manage::para_changed), 1);
        const int offset = QStringLiteral("XYWH").indexOf(field);
        QCOMPARE(int(live(win(1, Para::W_X + 2 * offset))), typed.toInt());
    } else {
        QCOMPARE(sc.field(field)->text(), old);
        QVERIFY(nothing.held());
    }
}

void TestImageLayout::acceptedFieldWritesAllFour()
{
    TestDevice dev;
    Screen sc;
    sc.tile(2);
    sc.field("Y")->setText("7");
    sc.field("W")->setText("100");
    sc.field("H")->setText("9");
    answerKeyboardWith("300");
    QTest::mouseClick(sc.field("X"), Qt::LeftButton);
    QCOMPARE(live(win(2, Para::W_X)), u16(300));
    QCOMPARE(live(win(2, Para::W_Y)), u16(7));
    QCOMPARE(live(win(2, Para::W_WIDTH)), u16(100));
    QCOMPARE(live(win(2, Para::W_HEIGHT)), u16(9));
    QCOMPARE(live(win(1, Para::W_X)), u16(0)); // only the selected window
}

void TestImageLayout::keyboardValueForAnotherScreenIgnored()
{
    TestDevice dev;
    Screen sc;
    sc.tile(1); // 100 would fit beside window 2's width
    QDialog above;
    auto *other = new My_lineEdit(&above);
    other->setObjectName(QStringLiteral("lineEdit_X"));
    const QString old = sc.field("X")->text();
    g_lineedit = other;
    NoWrite nothing;
    emit g_numberkeyboard->sendKeyBoardUIDataToLineEdit(QStringLiteral("100"));
    QCOMPARE(sc.field("X")->text(), old);
    QVERIFY(nothing.held());
}

void TestImageLayout::lowByteWritesKeepHighByte()
{
    TestDevice dev;
    preset({{win(2, Para::W_ON), 0xAB01}, {win(2, Para::W_MIRROR), 0x5A00}});
    Screen sc;
    sc.tile(2);
    sc.click("button_state");
    QCOMPARE(live(win(2, Para::W_ON)), u16(0xAB00));
    QCOMPARE(sc.text("label_source2"), QStringLiteral("Close"));
    QCOMPARE(sc.text("image_state"), QStringLiteral("Image state:OFF"));
    sc.click("button_state");
    QCOMPARE(live(win(2, Para::W_ON)), u16(0xAB01));
    QCOMPARE(sc.text("label_source2"), QStringLiteral("HDMI1"));
    sc.click("mirror3");
    QCOMPARE(live(win(2, Para::W_MIRROR)), u16(0x5A02));
    QCOMPARE(int(c331_manage::para_changed), 1);
}

void TestImageLayout::refillsDoNotWrite_data()
{
    QTest::addColumn<int>("addr");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("p2pShown");
    QTest::addColumn<int>("backupShown");
    // Window 2 is selected, stored with point-to-point on in mode 8.
    QTest::newRow("language change") << Para::LANGUAGE << 0 << 2 << 0;
    QTest::newRow("point-to-point mode from a PC") << win(1, Para::W_P2P_MODE) << 9 << 3 << 0;
    QTest::newRow("unknown mode keeps the shown entry") << win(1, Para::W_P2P_MODE) << 5 << 2 << 0;
    QTest::newRow("point-to-point off from a PC") << win(1, Para::W_FLAGS) << 0x0004 << 0 << 0;
    QTest::newRow("hot backup above 6") << win(1, Para::W_BACKUP) << 9 << 2 << -1;
    QTest::newRow("hot backup 4") << win(1, Para::W_BACKUP) << 4 << 2 << 4;
}

void TestImageLayout::refillsDoNotWrite()
{
    QFETCH(int, addr);
    QFETCH(int, value);
    QFETCH(int, p2pShown);
    QFETCH(int, backupShown);
    TestDevice dev;
    preset({{win(1, Para::W_FLAGS), 0x0104}, {win(1, Para::W_P2P_MODE), 8}});
    Screen sc;
    sc.tile(1);
    QCOMPARE(sc.w<QComboBox>("comboBox_P2P")->currentIndex(), 2);
    {
        ParaWrite w(false);
        w.set16(addr, u16(value));
    }
    NoWrite nothing;
    c331_manage::para_changed = 2;
    TestDevice::settle();
    QVERIFY(nothing.held());
    QCOMPARE(sc.w<QComboBox>("comboBox_P2P")->currentIndex(), p2pShown);
    QCOMPARE(sc.w<QComboBox>("comboBox")->currentIndex(), backupShown);
    sc.s->language_changed(); // a refill of its own, as the input selection's return does
    QVERIFY(nothing.held());
    QCOMPARE(sc.w<QComboBox>("comboBox_P2P")->currentIndex(), p2pShown);
}

void TestImageLayout::windowOneAlwaysOn()
{
    TestDevice dev;
    preset({{win(0, Para::W_ON), 0}});
    Screen sc;
    QVERIFY(sc.w("button_state")->isHidden());
    QCOMPARE(sc.text("image_state"), QStringLiteral("Image state:ON"));
    QCOMPARE(sc.text("label_source0"), QStringLiteral("HDMI1"));
    NoWrite nothing;
    sc.s->on_button_state_clicked();
    QVERIFY(nothing.held());
    sc.tile(1);
    QVERIFY(!sc.w("button_state")->isHidden());
    QCOMPARE(sc.text("image_state"), QStringLiteral("Image state:OFF"));
}

void TestImageLayout::onWordTwoShowsClosedTileButOnState()
{
    TestDevice dev;
    preset({{win(3, Para::W_ON), 2}});
    Screen sc;
    QCOMPARE(sc.text("label_source3"), QStringLiteral("Close"));
    sc.tile(3);
    QCOMPARE(sc.text("image_state"), QStringLiteral("Image state:ON"));
}

void TestImageLayout::tileTouchAndCurrentChoicesWriteNothing()
{
    TestDevice dev;
    Screen sc;
    NoWrite nothing;
    for (int w = 5; w >= 0; --w)
        sc.tile(w);
    sc.tile(4);
    QCOMPARE(sc.text("image_name"), QStringLiteral("Name:image5"));
    QCOMPARE(sc.w("frame_select")->x(), 20 + 130 * 4 - 3);
    sc.click("mirror1"); // mode 0 is stored
    sc.w<QComboBox>("comboBox_P2P")->setCurrentIndex(0);
    QVERIFY(nothing.held());
}

void TestImageLayout::pointToPointOffKeepsMode()
{
    TestDevice dev;
    preset({{win(1, Para::W_FLAGS), 0x0104}, {win(1, Para::W_P2P_MODE), 9}});
    Screen sc;
    sc.tile(1);
    auto *p2p = sc.w<QComboBox>("comboBox_P2P");
    QCOMPARE(p2p->currentIndex(), 3);
    p2p->setCurrentIndex(0);
    QCOMPARE(live(win(1, Para::W_FLAGS)), u16(0x0004));
    QCOMPARE(live(win(1, Para::W_P2P_MODE)), u16(9));
    p2p->setCurrentIndex(1);
    QCOMPARE(live(win(1, Para::W_FLAGS)), u16(0x0104));
    QCOMPARE(live(win(1, Para::W_P2P_MODE)), u16(0));
    QCOMPARE(int(c331_manage::para_changed), 1);
}

void TestImageLayout::listOpensInStyledView()
{
    // The sheet's entry rule reaches a plain list view only; the list gets it as it opens.
    TestDevice dev;
    Screen sc;
    for (const char *name : {"comboBox_P2P", "comboBox"}) {
        auto *combo = sc.w<QComboBox>(name);
        QTest::mouseClick(combo, Qt::LeftButton);
        QVERIFY(combo->view()->metaObject() == &QListView::staticMetaObject);
        QCOMPARE(combo->view()->model(), combo->model());
        combo->hidePopup();
    }
    QCOMPARE(sc.w<QComboBox>("comboBox_P2P")->view()->model()->rowCount(), 4);
}

void TestImageLayout::tileRebuild_data()
{
    QTest::addColumn<int>("addr");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("rebuilt");
    QTest::newRow("on word of another window") << win(4, Para::W_ON) << 1 << true;
    QTest::newRow("source word of another window") << win(5, Para::W_SOURCE) << 4 << true;
    QTest::newRow("language") << Para::LANGUAGE << 4 << true;
    QTest::newRow("rectangle of another window") << win(4, Para::W_WIDTH) << 77 << false;
    QTest::newRow("mirror of another window") << win(4, Para::W_MIRROR) << 2 << false;
    QTest::newRow("rectangle of the selected window") << win(2, Para::W_X) << 33 << false;
}

void TestImageLayout::tileRebuild()
{
    QFETCH(int, addr);
    QFETCH(int, value);
    QFETCH(bool, rebuilt);
    TestDevice dev;
    Screen sc;
    sc.tile(2);
    QPointer<QWidget> frame = sc.w("frame_image");
    QVERIFY(frame);
    pcWrite({{addr, u16(value)}});
    QCOMPARE(frame.isNull(), rebuilt);
    QCOMPARE(sc.w("frame_select")->x(), 20 + 130 * 2 - 3); // the selection survives
    QCOMPARE(sc.field("X")->text(), QString::number(live(win(2, Para::W_X))));
    if (addr == win(4, Para::W_ON))
        QCOMPARE(sc.text("label_source4"), QStringLiteral("HDMI1"));
    if (addr == Para::LANGUAGE)
        QCOMPARE(sc.text("label_title"), QStringLiteral("畫麵佈局"));
}

void TestImageLayout::cropSourceShowsItsInput_data()
{
    QTest::addColumn<int>("sourceWord");
    QTest::addColumn<QString>("name");
    QTest::newRow("crop of HDMI2") << 0x8004 << "HDMI2";
    QTest::newRow("whole DVI") << 0x0001 << "DVI";
    QTest::newRow("crop entry outside the table") << 0x8030 << "";
    QTest::newRow("input number outside 0..5") << 0x0009 << "";
}

void TestImageLayout::cropSourceShowsItsInput()
{
    QFETCH(int, sourceWord);
    QFETCH(QString, name);
    TestDevice dev;
    preset({{Para::crop(4, 0), 0x8003}, {win(1, Para::W_ON), 1}, {win(1, Para::W_SOURCE), u16(sourceWord)}});
    Screen sc;
    sc.tile(1);
    QCOMPARE(sc.text("label_source1"), name);
    QCOMPARE(sc.text("image_source"), QStringLiteral("Source:") + name);
}

void TestImageLayout::backToMenu()
{
    TestDevice dev;
    QFile names(dev.root() + "/data/configs/alias.json");
    QVERIFY(names.open(QIODevice::WriteOnly));
    names.write(R"({"namelist":{"win":[{"id":0,"valid":"on","name":"Main stage left wall"}]}})");
    names.close();
    std::unique_ptr<Option> menu(new Option(nullptr));
    g_option = menu.get();
    auto *sc = new ImageLayout(nullptr);
    g_imagelayout = sc;
    g_page_focus = 9;
    const QString name = sc->findChild<QLabel *>("image_name")->text();
    QVERIFY2(name.startsWith("Name:M") && name.endsWith(QChar(0x2026)), qPrintable(name));
    QPointer<ImageLayout> alive(sc);
    g_language = 0;
    sc->on_Button_back_clicked();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(alive.isNull());
    QVERIFY(!g_imagelayout);
    QCOMPARE(int(g_page_focus), 5);
    QCOMPARE(menu->findChild<QLabel *>("label_title")->text(), QStringLiteral("设置"));
    g_option = nullptr;
}

QTEST_MAIN(TestImageLayout)
#include "test_imagelayout.moc"
