#include "custommode.h"
#include "c331_manage.h"
#include "krarampara.h"
#include "testsupport.h"
#include "utils.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <cstring>
#include <functional>
#include <memory>

namespace {
KraRamPara *para() { return KraRamPara::pInstance(); }

// Stores a user mode file for `slot` from the live image, edited by `edit` (data offsets are
// image address - 896), and loads it into the slot.
void writeSlot(int slot, const std::function<void(u8 *)> &edit = {}, bool marker = true)
{
    QByteArray bytes(Para::SLOT_SIZE, '\0');
    u8 *s = reinterpret_cast<u8 *>(bytes.data());
    s[0] = s[1] = marker ? 0xAA : 0xFF;
    memcpy(s + 2, para()->ram_para + Para::MODE_FIRST, Para::MODE_BYTES);
    if (edit)
        edit(s + 2);
    QVERIFY(Utils::write_file_safely(KraRamPara::modePath(slot), bytes) == 0);
    para()->user_mode_load(slot);
}

void set16(u8 *data, int addr, u16 v) { wr16(data, addr - Para::MODE_FIRST, v); }

void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// The look of mode tile i: "normal", "current" or "touched".
QString look(int i)
{
    return g_frame[i]->property("look").toString();
}

QString text(CustomMode &m, const char *name)
{
    auto *l = m.findChild<QLabel *>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<none>");
}
} // namespace

class TestCustomMode : public QObject
{
    Q_OBJECT
private slots:
    void opening_data();
    void opening();
    void tileTouchMovesSelection();
    void invokeCopiesSlot_data();
    void invokeCopiesSlot();
    void invokeRefreshesScreen();
    void deleteRemovesFiles_data();
    void deleteRemovesFiles();
    void details_data();
    void details();
    void sourceLine_data();
    void sourceLine();
    void corruptSlotStaysInside();
    void osd_data();
    void osd();
};

void TestCustomMode::opening_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("selected");
    QTest::newRow("no mode") << 0 << 0;
    QTest::newRow("out of range") << 17 << 0;
    QTest::newRow("mode 3") << 3 << 2;
}

void TestCustomMode::opening()
{
    QFETCH(int, current);
    QFETCH(int, selected);
    TestDevice dev;
    {
        ParaWrite w(false);
        w.set16(Para::CURRENT_MODE, u16(current));
    }
    takeWarnings();
    CustomMode m;
    const QStringList unhooked = unhookedSlots(takeWarnings());
    QVERIFY2(unhooked.isEmpty(), qPrintable(unhooked.join(QLatin1Char('\n'))));

    QCOMPARE(int(g_mode_select), selected);
    QCOMPARE(text(m, "label_ID"), QStringLiteral("ID:%1").arg(selected + 1));
    const bool hasMode = current >= 1 && current <= 16;
    QCOMPARE(!m.findChild<QLabel *>(QStringLiteral("label_using"))->isHidden(), hasMode);
    for (int i = 0; i < 16; ++i) {
        QCOMPARE(look(i), hasMode && i == selected ? QString("current") : QString("normal"));
    }
    auto *badge = m.findChild<QLabel *>(QStringLiteral("label_badge"));
    QCOMPARE(badge->text(), hasMode ? QStringLiteral("Using") : QString());
    if (hasMode)
        QCOMPARE(badge->geometry(), QRect(96, 90 * selected + 2, 56, 30));
    QCOMPARE(g_button_focus, m.findChild<QPushButton *>(QStringLiteral("Button_use")));
}

void TestCustomMode::tileTouchMovesSelection()
{
    TestDevice dev;
    writeFile(kra_path(QStringLiteral("/data/configs/alias.json")),
              R"({"namelist":{"usermode":[{"id":4,"valid":"on","name":"A very long evening concert"}]}})");
    {
        ParaWrite w(false);
        w.set16(Para::CURRENT_MODE, 1);
    }
    CustomMode m;
    m.findChild<QPushButton *>(QStringLiteral("4"))->click();
    QCOMPARE(int(g_mode_select), 4);
    QCOMPARE(text(m, "label_ID"), QStringLiteral("ID:5"));
    QCOMPARE(look(0), QString("normal")); // was current
    QCOMPARE(look(4), QString("touched"));
    QVERIFY(text(m, "label_name").startsWith(QLatin1String("Name:A very")));
    QVERIFY(text(m, "label_name").endsWith(QChar(0x2026)));
    QVERIFY(m.findChild<QLabel *>(QStringLiteral("label_using"))->isHidden());
    QVERIFY(!m.findChild<QLabel *>(QStringLiteral("label_blank"))->isHidden()); // slot 4 unsaved
    m.findChild<QPushButton *>(QStringLiteral("15"))->click(); // every row is made with the list
    QCOMPARE(look(15), QString("touched"));
    QCOMPARE(look(4), QString("normal"));
}

void TestCustomMode::invokeCopiesSlot_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("saved");
    QTest::newRow("first") << 0 << true;
    QTest::newRow("last") << 15 << true;
    QTest::newRow("unsaved") << 7 << false;
}

void TestCustomMode::invokeCopiesSlot()
{
    QFETCH(int, slot);
    QFETCH(bool, saved);
    TestDevice dev;
    if (saved)
        writeSlot(slot, [](u8 *d) { for (int k = 0; k < Para::MODE_BYTES; ++k) d[k] = u8(k * 7 + 3); });
    CustomMode m;
    m.select_mode(slot);
    u8 before[Para::IMAGE_SIZE];
    {
        ParaWrite w(false);
        for (int k = 0; k < Para::IMAGE_SIZE; ++k)
            w.image()[k] = u8(0xA5 ^ k);
        memcpy(before, w.image(), sizeof before);
    }
    c331_manage::para_changed = 0;
    m.findChild<QPushButton *>(QStringLiteral("Button_use"))->click();

    const u8 *img = para()->ram_para;
    QCOMPARE(int(c331_manage::para_changed), saved ? 1 : 0);
    if (!saved) {
        QVERIFY(memcmp(img, before, sizeof before) == 0);
        return;
    }
    QCOMPARE(int(rd16(img, Para::CURRENT_MODE)), slot + 1);
    QVERIFY(memcmp(img, before, Para::CURRENT_MODE) == 0);
    QVERIFY(memcmp(img + 868, before + 868, Para::MODE_FIRST - 868) == 0);
    QVERIFY(memcmp(img + Para::MODE_FIRST, para()->user_mode[slot] + 2, Para::MODE_BYTES) == 0);
}

void TestCustomMode::invokeRefreshesScreen()
{
    TestDevice dev;
    writeSlot(2, [](u8 *d) { set16(d, Para::LED_WIDTH, 1234); });
    g_page_focus = 4;
    g_custommode = new CustomMode;
    g_custommode->select_mode(2);
    g_custommode->use_mode();
    TestDevice::settle();
    QCOMPARE(int(para()->live16(Para::LED_WIDTH)), 1234);
    QCOMPARE(int(para()->shadow16(Para::CURRENT_MODE)), 3);
    QCOMPARE(look(2), QString("current"));
    QCOMPARE(text(*g_custommode, "label_badge"), QStringLiteral("Using"));
    QVERIFY(!g_custommode->findChild<QLabel *>(QStringLiteral("label_using"))->isHidden());
    g_custommode->on_Button_back_clicked();
    QCOMPARE(g_custommode, nullptr);
    QCOMPARE(int(g_page_focus), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(g_frame[2], nullptr); // no tile pointer outlives the screen
    QCOMPARE(g_button_focus, nullptr);
}

void TestCustomMode::deleteRemovesFiles_data()
{
    QTest::addColumn<int>("osdWord");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("osdCopyRemoved");
    QTest::newRow("with OSD copy") << 1 << true << true;
    QTest::newRow("OSD word 2 keeps the file") << 2 << true << false;
    QTest::newRow("no OSD") << 0 << true << false;
    QTest::newRow("unsaved slot") << 1 << false << false;
}

void TestCustomMode::deleteRemovesFiles()
{
    QFETCH(int, osdWord);
    QFETCH(bool, saved);
    QFETCH(bool, osdCopyRemoved);
    TestDevice dev;
    const int slot = 10, other = 11;
    auto edit = [osdWord](u8 *d) { set16(d, Para::OSD_ON, u16(osdWord)); };
    writeSlot(slot, edit, saved);
    writeSlot(other, edit);
    for (int s : {slot, other})
        writeFile(KraRamPara::modeOsdPath(s), "{}");
    CustomMode m;
    m.select_mode(slot);
    m.findChild<QPushButton *>(QStringLiteral("Button_delete"))->click();

    QCOMPARE(g_button_focus, m.findChild<QPushButton *>(QStringLiteral("Button_delete")));
    QCOMPARE(QFile::exists(KraRamPara::modePath(slot)), !saved);
    QCOMPARE(QFile::exists(KraRamPara::modeOsdPath(slot)), !osdCopyRemoved);
    QVERIFY(QFile::exists(KraRamPara::modePath(other)));
    QVERIFY(QFile::exists(KraRamPara::modeOsdPath(other)));
    QVERIFY(para()->KraUserModeSaved(other));
    QVERIFY(!para()->KraUserModeSaved(slot));
    QCOMPARE(TestDevice::commands().contains(QStringLiteral("sync")), saved);
    QVERIFY(!m.findChild<QLabel *>(QStringLiteral("label_blank"))->isHidden());
    QVERIFY(m.findChild<QLabel *>(QStringLiteral("label_LED"))->isHidden());
    QCOMPARE(m.findChild<QWidget *>(QStringLiteral("widget_preview")), nullptr);
}

void TestCustomMode::details_data()
{
    QTest::addColumn<int>("selectedWindow");
    QTest::addColumn<int>("audioWindow");
    QTest::addColumn<QString>("line3");
    QTest::newRow("window 0 on") << 0 << 0 << "Bri:-5 CTRST:50 Volume:ON";
    QTest::newRow("window 5 on") << 5 << 5 << "Bri:-5 CTRST:50 Volume:ON";
    QTest::newRow("other window on") << 2 << 1 << "Bri:-5 CTRST:50 Volume:OFF";
    QTest::newRow("window 6") << 6 << 6 << "Bri:-5 CTRST:50 Volume:ON";
    QTest::newRow("window 15") << 15 << 15 << "Bri:-5 CTRST:50 Volume:ON";
    QTest::newRow("window 16") << 16 << 15 << "Bri:-5 CTRST:50 Volume:OFF";
    QTest::newRow("deleted value") << 0xFFFF << 0 << "Bri:-5 CTRST:50 Volume:OFF";
}

void TestCustomMode::details()
{
    QFETCH(int, selectedWindow);
    QFETCH(int, audioWindow);
    QFETCH(QString, line3);
    TestDevice dev;
    // Slot 15: a read past its end leaves the block.
    writeSlot(15, [&](u8 *d) {
        set16(d, Para::SELECTED_WINDOW, u16(selectedWindow));
        set16(d, Para::PICTURE, u16(-5));
        set16(d, Para::LED_WIDTH, 3840);
        set16(d, Para::LED_HEIGHT, 2160);
        for (int w = 0; w < 16; ++w)
            set16(d, Para::win(w, Para::W_VOLUME), w == audioWindow ? 0x8032 : 0x0032);
    });
    CustomMode m;
    m.select_mode(15);
    QCOMPARE(text(m, "label_name"), QStringLiteral("Name:Mode16"));
    QCOMPARE(text(m, "label_LED"), QStringLiteral("LED size:3840x2160"));
    QCOMPARE(text(m, "label_brightness"), line3);
}

void TestCustomMode::sourceLine_data()
{
    QTest::addColumn<int>("sourceWord");
    QTest::addColumn<int>("onWord");
    QTest::addColumn<QString>("line");
    QTest::newRow("input") << 0x0002 << 1 << "HDMI1 ON";
    QTest::newRow("window off") << 0x0001 << 0 << "DVI OFF";
    QTest::newRow("crop") << 0x8003 << 1 << "HDMI3_Crop4 ON";
    QTest::newRow("last crop entry") << 0x8027 << 1 << "HDMI3_Crop40 ON";
    QTest::newRow("entry past the table") << 0x8028 << 1 << "--- ON";
    QTest::newRow("entry 255") << 0x80FF << 1 << "--- ON";
    QTest::newRow("unknown input") << 0x0009 << 1 << "--- ON";
}

void TestCustomMode::sourceLine()
{
    QFETCH(int, sourceWord);
    QFETCH(int, onWord);
    QFETCH(QString, line);
    TestDevice dev;
    writeSlot(15, [&](u8 *d) {
        for (int e = 0; e < Para::CROP_ENTRIES; ++e)
            d[Para::crop(e, 0) - Para::MODE_FIRST] = 4;
        set16(d, Para::win(4, Para::W_ON), u16(onWord));
        set16(d, Para::win(4, Para::W_SOURCE), u16(sourceWord));
        set16(d, Para::win(4, Para::W_WIDTH), 1920);
        set16(d, Para::win(4, Para::W_HEIGHT), 1080);
        set16(d, Para::win(4, Para::W_X), 0);
        set16(d, Para::win(4, Para::W_Y), 0);
    });
    CustomMode m;
    m.select_mode(15);
    QCOMPARE(text(m, "label_source_4"), line);
    QCOMPARE(text(m, "label_geometry_4"), QStringLiteral("[0,0]1920x1080"));
}

void TestCustomMode::corruptSlotStaysInside()
{
    TestDevice dev;
    writeSlot(15, [](u8 *d) { memset(d, 0xFF, Para::MODE_BYTES); });
    CustomMode m;
    m.select_mode(15);
    QCOMPARE(text(m, "label_LED"), QStringLiteral("LED size:-1x-1"));
    QCOMPARE(text(m, "label_brightness"), QStringLiteral("Bri:-1 CTRST:-1 Volume:OFF"));
    for (int w = 0; w < 6; ++w)
        QCOMPARE(text(m, qPrintable(QStringLiteral("label_source_%1").arg(w))), QStringLiteral("--- ON"));
    QCOMPARE(text(m, "label_osd"), QStringLiteral("OSD menu file not available"));
    QCOMPARE(m.findChild<QLabel *>(QStringLiteral("label_osd_info")), nullptr);
}

void TestCustomMode::osd_data()
{
    QTest::addColumn<QString>("menuText");
    QTest::addColumn<QString>("bg");
    QTest::addColumn<QString>("fg");
    QTest::addColumn<int>("effect");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("effectWord");
    const QString ok = QStringLiteral("background-color:#102030;color:#A0b0C0;");
    const QString dflt = QStringLiteral("background-color:#000000;color:#FFFFFF;");
    QTest::newRow("five lines") << "1\n2\n3\n4\n5" << "0x102030" << "0xA0b0C0" << 4 << "1\n2\n3" << ok
                                << "effect:move left";
    QTest::newRow("three lines") << "a\nb\nc" << "0x102030" << "0xA0b0C0" << 2 << "a\nb\nc" << ok
                                 << "effect:move up";
    QTest::newRow("unknown effect") << "a" << "0x102030" << "0xA0b0C0" << 9 << "a" << ok << "effect:static";
    QTest::newRow("short colours") << "a" << "102030" << "" << 0 << "a" << dflt << "effect:static";
    QTest::newRow("not hexadecimal") << "a" << "0x1020G0" << "0x12345678" << 5 << "a" << dflt
                                     << "effect:move right";
    QTest::newRow("style breaking")
        << "a" << "0x;}*{ab" << "0xA0b0C0" << 3 << "a"
        << "background-color:#000000;color:#A0b0C0;" << "effect:move down";
}

void TestCustomMode::osd()
{
    QFETCH(QString, menuText);
    QFETCH(QString, bg);
    QFETCH(QString, fg);
    QFETCH(int, effect);
    QFETCH(QString, shown);
    QFETCH(QString, style);
    QFETCH(QString, effectWord);
    TestDevice dev;
    writeSlot(3, [](u8 *d) { set16(d, Para::OSD_ON, 1); });
    QJsonObject entry{{"x", 10}, {"y", 20}, {"w", 300}, {"h", 64}, {"effect", effect}, {"speed", 3},
                      {"bgcolor", bg}, {"fontcolor", fg}, {"fontx", 1}, {"fonty", 2}, {"fontw", 16},
                      {"fonth", 32}, {"wordspace", 0}, {"linespace", 2}, {"text", menuText}};
    QJsonObject root{{"name", "menu"}, {"osdcount", 1}, {"oactcount", 1}, {"menu", QJsonArray{entry}}};
    writeFile(KraRamPara::modeOsdPath(3), QJsonDocument(root).toJson());
    CustomMode m;
    m.select_mode(3);
    auto *sample = m.findChild<QLabel *>(QStringLiteral("label_osd"));
    QVERIFY(sample);
    QCOMPARE(sample->text(), shown);
    QCOMPARE(sample->styleSheet(), style);
    QCOMPARE(text(m, "label_osd_info"),
             QStringLiteral("osd [x:10,y:20,w:300,h:64] font size:16*32\nspace [h:0,v:2] char[x:1,y:2] speed:3,")
                 + effectWord);
}

QTEST_MAIN(TestCustomMode)
#include "test_custommode.moc"
