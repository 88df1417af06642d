#include "testsupport.h"

#include "c331_manage.h"
#include "c331_model_sim.h"
#include "imagelayout.h"
#include "inputchoose.h"
#include "inputcut.h"
#include "krarampara.h"
#include "lcd_touch.h"
#include "numberkeyboard.h"
#include "option.h"
#include "utils.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {

KraRamPara *para() { return KraRamPara::pInstance(); }

// Writes a crop-table entry as another client (the PC protocol) would.
void putCrop(int entry, int input, int number, int width, int height)
{
    ParaWrite w;
    w.set8(Para::crop(entry, 0), u8(input));
    w.set8(Para::crop(entry, 1), u8(0x80 + number - 1));
    w.set16(Para::crop(entry, 2), 0);
    w.set16(Para::crop(entry, 4), 0);
    w.set16(Para::crop(entry, 6), u16(width));
    w.set16(Para::crop(entry, 8), u16(height));
}
void clearCrop(int entry)
{
    ParaWrite w;
    w.set8(Para::crop(entry, 0), 0);
    w.set8(Para::crop(entry, 1), 0);
}
QByteArray cropTable()
{
    return QByteArray(reinterpret_cast<const char *>(para()->ram_para) + Para::CROP,
                      Para::CROP_END - Para::CROP);
}
int entryWidth(int entry) { return para()->live16(Para::crop(entry, 6)); }

} // namespace

class TestInputCut : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScreenFixture> dev_;
    InputCut *screen_ = nullptr;

    void open()
    {
        screen_ = dev_->open<InputCut>(Page::CropEditor);
    }
    QFrame *tiles() { return screen_->findChild<QFrame *>("frame_source", Qt::FindDirectChildrenOnly); }
    QPushButton *tile(int i) { return tiles()->findChild<QPushButton *>(QString::number(i)); }
    int tileCount() { return tiles()->findChildren<QFrame *>("source_frame").size(); }
    QString tileText(int i, const char *label)
    {
        return tile(i)->parentWidget()->findChild<QLabel *>(label)->text();
    }
    QPushButton *button(const char *name) { return screen_->findChild<QPushButton *>(name); }
    QPushButton *tab(int k)
    {
        return screen_->findChild<QPushButton *>(QString::number(k), Qt::FindDirectChildrenOnly);
    }
    QLineEdit *field(const QString &name) { return screen_->findChild<QLineEdit *>("lineEdit_" + name); }
    QString label(const char *name) { return screen_->findChild<QLabel *>(name)->text(); }
    QString count(const char *tabName) { return label(qPrintable(QString("%1_num").arg(tabName))); }
    void type(const QString &name, const QString &text)
    {
        answerKeyboardWith(text);
        QTest::mouseClick(field(name), Qt::LeftButton);
    }
    QStringList fields()
    {
        return {field("X")->text(), field("Y")->text(), field("W")->text(), field("H")->text()};
    }

private slots:
    void init()
    {
        dev_.reset(new ScreenFixture);
        screen_ = nullptr;
    }
    void cleanup() { dev_.reset(); }

    void buildsClosedOnHdmi1()
    {
        open();
        QCOMPARE(screen_->input(), u8(2));
        QVERIFY(!screen_->editor_open());
        QVERIFY(button("Button_ok")->isHidden() && button("Button_delete")->isHidden());
        QVERIFY(!button("Button_add")->isHidden());
        QCOMPARE(tileCount(), 1);
        QCOMPARE(tileText(0, "label_source_name"), QString("HDMI1"));
        QCOMPARE(tileText(0, "label_source_value"), QString("No signal"));
        QCOMPARE(count("EXT"), QString("(1)"));
    }

    // A new crop takes its input's lowest free number and the first free entry; the
    // editor's caption counts the crops instead, so with crops 1 and 3 it proposes 3.
    void addTakesLowestFreeNumber_data()
    {
        QTest::addColumn<bool>("entry0Taken");
        QTest::addColumn<int>("entry");
        QTest::newRow("entry 0 free") << false << 0;
        QTest::newRow("entry 0 taken") << true << 3;
    }
    void addTakesLowestFreeNumber()
    {
        QFETCH(bool, entry0Taken);
        QFETCH(int, entry);
        if (entry0Taken)
            putCrop(0, 3, 1, 10, 10); // HDMI2's
        putCrop(1, 2, 1, 100, 10);
        putCrop(2, 2, 3, 300, 30);
        TestDevice::settle();
        open();
        QCOMPARE(count("HDMI1"), QString("(3)"));
        button("Button_add")->click();
        QCOMPARE(label("label_change_source"), QString("Name:HDMI1-Crop-3"));
        QCOMPARE(fields(), QStringList({"0", "0", "1920", "1080"}));
        QVERIFY(button("Button_delete")->isHidden() && button("Button_add")->isHidden());
        QCOMPARE(button("Button_cancel")->pos(), QPoint(195, 406));
        QCOMPARE(button("Button_ok")->pos(), QPoint(425, 406));
        button("Button_ok")->click();
        QCOMPARE(para()->ram_para[Para::crop(entry, 0)], u8(2));
        QCOMPARE(para()->ram_para[Para::crop(entry, 1)], u8(0x81));
        QCOMPARE(entryWidth(entry), 1920);
        QVERIFY(!screen_->editor_open());
        QCOMPARE(count("HDMI1"), QString("(4)"));
        QCOMPARE(tileText(2, "label_source_name"), QString("HDMI1_crop2"));
        QCOMPARE(tileText(2, "label_source_value"), QString("1920x1080"));
    }

    void fullTableStoresNothing()
    {
        for (int e = 0; e < Para::CROP_ENTRIES; ++e)
            putCrop(e, 2 + e % 2, e / 2 + 1, 100, 100);
        TestDevice::settle();
        open();
        tab(2)->click(); // HDMI3 has no crop
        button("Button_add")->click();
        QCOMPARE(label("label_change_source"), QString("Name:HDMI3-Crop-1"));
        const QByteArray before = cropTable();
        c331_manage::para_changed = 0;
        button("Button_ok")->click();
        QCOMPARE(cropTable(), before);
        QCOMPARE(int(c331_manage::para_changed), 0);
        QVERIFY(!screen_->editor_open());
        QCOMPARE(tileCount(), 1);
        int sources = 0;
        for (const char *t : {"HDMI1", "HDMI2", "HDMI3", "HDMI4", "DVI", "EXT"})
            sources += count(t).mid(1).chopped(1).toInt();
        QCOMPARE(sources, 46);
    }

    // OK and Delete reach the crop that was touched, whatever other clients did meanwhile.
    void actsOnTouchedCrop_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("refreshed");
        QTest::addColumn<int>("target"); // entry written or deleted, -1 none
        for (const char *action : {"ok", "delete"}) {
            for (bool refreshed : {true, false}) {
                const QString suffix = QString(" (%1, %2)").arg(action, refreshed ? "refreshed" : "not refreshed");
                QTest::newRow(qPrintable("lower crop deleted" + suffix)) << action << "lower deleted" << refreshed << 1;
                QTest::newRow(qPrintable("lower crop added" + suffix)) << action << "lower added" << refreshed << 1;
                QTest::newRow(qPrintable("touched crop deleted" + suffix)) << action << "touched deleted" << refreshed << -1;
            }
        }
    }
    void actsOnTouchedCrop()
    {
        QFETCH(QString, action);
        QFETCH(QString, change);
        QFETCH(bool, refreshed);
        QFETCH(int, target);
        putCrop(0, 2, 2, 200, 20);
        putCrop(1, 2, 3, 300, 30); // the touched crop: tile 2
        putCrop(2, 2, 4, 400, 40);
        TestDevice::settle();
        open();
        tile(2)->click();
        QCOMPARE(label("label_change_source"), QString("Name:HDMI1-Crop-2"));
        QCOMPARE(fields(), QStringList({"0", "0", "300", "30"}));
        QCOMPARE(screen_->edited_number(), 3);
        if (change == "lower deleted")
            clearCrop(0);
        else if (change == "lower added")
            putCrop(3, 2, 1, 100, 10);
        else
            clearCrop(1);
        if (refreshed) {
            TestDevice::settle();
            QVERIFY(screen_->editor_open());
        }
        type("W", "555");
        QByteArray expected = cropTable();
        auto set = [&expected](int entry, int offset, int value) {
            expected[Para::crop(entry, offset) - Para::CROP] = char(value);
        };
        if (target >= 0 && action == "ok") {
            set(target, 6, 555 & 0xFF);
            set(target, 7, 555 >> 8);
        } else if (target >= 0) {
            set(target, 0, 0);
            set(target, 1, 0);
        }
        button(action == "ok" ? "Button_ok" : "Button_delete")->click();
        QCOMPARE(cropTable(), expected);
        QVERIFY(!screen_->editor_open());
        QCOMPARE(count("HDMI1"), QString::asprintf("(%d)", para()->KraGetSourceNum(2, 40) + 1));
        QCOMPARE(tileCount(), para()->KraGetSourceNum(2, 40) + 1);
    }

    // Windows that show the deleted crop show its whole input; others keep their source.
    void deleteRepointsWindows()
    {
        putCrop(0, 3, 1, 100, 10);
        putCrop(1, 3, 2, 200, 20);
        {
            ParaWrite w;
            w.set16(Para::win(0, Para::W_SOURCE), 0x8001);
            w.set16(Para::win(3, Para::W_SOURCE), 0x8001);
            w.set16(Para::win(1, Para::W_SOURCE), 0x8000);
        }
        TestDevice::settle();
        open();
        tab(1)->click();
        tile(2)->click();
        QCOMPARE(button("Button_delete")->pos(), QPoint(80, 406));
        button("Button_delete")->click();
        QCOMPARE(para()->ram_para[Para::crop(1, 1)], u8(0));
        QCOMPARE(para()->live16(Para::win(0, Para::W_SOURCE)), u16(3));
        QCOMPARE(para()->live16(Para::win(3, Para::W_SOURCE)), u16(3));
        QCOMPARE(para()->live16(Para::win(1, Para::W_SOURCE)), u16(0x8000));
        QCOMPARE(count("HDMI2"), QString("(2)"));
    }

    // A typed value that does not fit a signed 16-bit word is refused (the field keeps its
    // text); a text that is no such number (set from code) leaves the crop's value as it was.
    // Nothing else is refused. `stored` -1: the value the crop had (or a new crop starts with).
    void valuesThatDoNotFit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("byCode");
        QTest::addColumn<int>("stored");
        for (bool adding : {false, true}) {
            const char *mode = adding ? "new crop, " : "edited crop, ";
            QTest::newRow(qPrintable(mode + QString("zero width"))) << "W" << "0" << false << 0;
            QTest::newRow(qPrintable(mode + QString("zero height"))) << "H" << "0" << false << 0;
            QTest::newRow(qPrintable(mode + QString("40000 refused"))) << "X" << "40000" << false << -1;
            QTest::newRow(qPrintable(mode + QString("32768 refused"))) << "W" << "32768" << false << -1;
            QTest::newRow(qPrintable(mode + QString("beyond the input"))) << "H" << "32767" << false << 32767;
            QTest::newRow(qPrintable(mode + QString("empty"))) << "Y" << "" << true << -1;
            QTest::newRow(qPrintable(mode + QString("not a number"))) << "W" << "12a" << true << -1;
            QTest::newRow(qPrintable(mode + QString("40000 set"))) << "H" << "40000" << true << -1;
            QTest::newRow(qPrintable(mode + QString("negative"))) << "X" << "-5" << true << 0xFFFB;
        }
    }
    void valuesThatDoNotFit()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(bool, byCode);
        QFETCH(int, stored);
        const bool adding = QString(QTest::currentDataTag()).startsWith("new");
        putCrop(0, 2, 1, 100, 10);
        TestDevice::settle();
        open();
        if (adding)
            button("Button_add")->click();
        else
            tile(1)->click();
        const QString before = field(name)->text();
        if (byCode)
            field(name)->setText(text);
        else
            type(name, text);
        QCOMPARE(field(name)->text(), byCode || stored >= 0 ? text : before);
        c331_manage::para_changed = 0;
        button("Button_ok")->click();

        const int entry = adding ? 1 : 0;
        QVector<int> expected = adding ? QVector<int>{0, 0, 1920, 1080} : QVector<int>{0, 0, 100, 10};
        if (stored >= 0)
            expected[QStringLiteral("XYWH").indexOf(name)] = stored;
        QCOMPARE(para()->ram_para[Para::crop(entry, 0)], u8(2));
        QCOMPARE(para()->ram_para[Para::crop(entry, 1)], u8(adding ? 0x81 : 0x80));
        QVector<int> values;
        for (int offset = 2; offset <= 8; offset += 2)
            values << para()->live16(Para::crop(entry, offset));
        QCOMPARE(values, expected);
        QCOMPARE(int(c331_manage::para_changed), 1);
        QVERIFY(!screen_->editor_open());
        QCOMPARE(count("HDMI1"), QString(adding ? "(3)" : "(2)"));
    }

    void acceptedValuesWriteOnce()
    {
        putCrop(0, 2, 1, 100, 10);
        TestDevice::settle();
        open();
        tile(1)->click();
        type("X", "32767");
        type("H", "720");
        QCOMPARE(fields(), QStringList({"32767", "0", "100", "720"}));
        QCOMPARE(int(c331_manage::para_changed), 0); // typing stores nothing
        const u32 sets = c331_manage::pInstance()->model()->change_sets();
        button("Button_ok")->click();
        QCOMPARE(int(c331_manage::para_changed), 1);
        QCOMPARE(para()->live16(Para::crop(0, 2)), u16(32767));
        QCOMPARE(para()->live16(Para::crop(0, 8)), u16(720));
        QCOMPARE(para()->ram_para[Para::crop(0, 1)], u8(0x80));
        TestDevice::settle();
        TestDevice::settle();
        QCOMPARE(c331_manage::pInstance()->model()->change_sets(), sets + 1);
        QVERIFY(!para()->differs(Para::CROP, Para::CROP_END - Para::CROP)); // saved
    }

    void keyboardCaptions_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("zh-CN W") << 0 << "W" << "宽";
        QTest::newRow("zh-CN H") << 0 << "H" << "高";
        QTest::newRow("zh-TW W") << 4 << "W" << "寬";
        QTest::newRow("zh-TW H") << 4 << "H" << "H";
        QTest::newRow("en Y") << 1 << "Y" << "Y";
    }
    void keyboardCaptions()
    {
        QFETCH(int, language);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        g_language = u8(language);
        open();
        button("Button_add")->click();
        QString shown;
        NumberKeyboard::runner = [&shown](NumberKeyboard *kb) {
            shown = kb->findChild<QLabel *>("label_caption")->text();
            kb->press_digit(7);
            kb->press_ok();
        };
        QTest::mouseClick(field(name), Qt::LeftButton);
        QCOMPARE(shown, caption);
        QCOMPARE(field(name)->text(), QString("7"));
    }

    // The keyboard, built before the screen, runs raised and active over it.
    void keyboardOnTop()
    {
        open();
        screen_->show();
        screen_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(screen_));
        button("Button_add")->click();
        NumberKeyboard *kb = g_numberkeyboard;
        RaiseCounter raises;
        kb->installEventFilter(&raises);
        NumberKeyboard::runner = nullptr;
        bool onTop = false;
        QTimer poll;
        int polls = 0;
        QObject::connect(&poll, &QTimer::timeout, kb, [&] {
            onTop = raises.n > 0 && QApplication::activeWindow() == kb;
            if (onTop || ++polls > 200) {
                kb->press_digit(7);
                kb->press_ok();
            }
        });
        poll.start(10);
        QTest::mouseClick(field("W"), Qt::LeftButton);
        poll.stop();
        QVERIFY(onTop);
        QVERIFY(kb->isHidden());
        QCOMPARE(field("W")->text(), QString("7"));
    }

    // A value typed on the shared keyboard belongs to the screen whose field asked for it.
    void keyboardValueStaysWithItsScreen()
    {
        auto *layout = dev_->open<ImageLayout>(Page::WindowLayout);
        open();
        button("Button_add")->click();
        QLineEdit *layoutW = layout->findChild<QLineEdit *>("lineEdit_W");
        const QString layoutBefore = layoutW->text();
        const u16 windowWidth = para()->live16(Para::win(0, Para::W_WIDTH));
        type("W", "1234");
        QCOMPARE(field("W")->text(), QString("1234"));
        QCOMPARE(layoutW->text(), layoutBefore);
        QCOMPARE(para()->live16(Para::win(0, Para::W_WIDTH)), windowWidth);

        // The window layout refuses a width beyond the LED screen; nobody else may take it.
        answerKeyboardWith("5000");
        QTest::mouseClick(layoutW, Qt::LeftButton);
        QCOMPARE(layoutW->text(), layoutBefore);
        QCOMPARE(fields(), QStringList({"0", "0", "1234", "1080"}));
    }

    void paging()
    {
        for (int e = 0; e < 7; ++e)
            putCrop(e, 2, e + 1, 100 + e, 10 + e);
        TestDevice::settle();
        open();
        QCOMPARE(screen_->last_page(), u8(1));
        QCOMPARE(tileCount(), 6);
        QVERIFY(!button("Button_previous"));
        button("Button_next")->click();
        QCOMPARE(screen_->page(), u8(1));
        QCOMPARE(tileCount(), 2);
        QVERIFY(!button("Button_next"));
        QCOMPARE(button("Button_previous")->geometry(), QRect(715, 110, 50, 50));
        tile(1)->click(); // source 7
        QCOMPARE(screen_->edited_crop(), u8(7));
        QCOMPARE(label("label_change_source"), QString("Name:HDMI1-Crop-7"));
        QCOMPARE(fields(), QStringList({"0", "0", "106", "16"}));
        type("W", "999");
        button("Button_ok")->click();
        QCOMPARE(entryWidth(6), 999);

        // Deleting the page's last crop leaves an empty page until previous.
        tile(1)->click();
        button("Button_delete")->click();
        QCOMPARE(screen_->page(), u8(1));
        QCOMPARE(tileCount(), 1);
        tile(0)->click();
        button("Button_delete")->click();
        QCOMPARE(screen_->page(), u8(1));
        QCOMPARE(tileCount(), 0);
        QCOMPARE(screen_->last_page(), u8(0));
        button("Button_previous")->click();
        QCOMPARE(tileCount(), 6);
        QVERIFY(!button("Button_next"));
    }

    void wholeInputAndTabsCloseEditor()
    {
        putCrop(0, 2, 1, 100, 10);
        TestDevice::settle();
        open();
        tile(1)->click();
        QVERIFY(screen_->editor_open());
        tile(0)->click();
        QVERIFY(!screen_->editor_open());
        QVERIFY(!button("Button_add")->isHidden());
        button("Button_add")->click();
        tab(4)->click();
        QVERIFY(!screen_->editor_open());
        QCOMPARE(screen_->input(), u8(1));
        QCOMPARE(tileText(0, "label_source_name"), QString("DVI"));
        QCOMPARE(screen_->findChild<QFrame *>("frame_input_select")->geometry(), QRect(540, 68, 120, 85));
    }

    void refreshKeepsEditorOpen()
    {
        putCrop(0, 2, 1, 100, 10);
        TestDevice::settle();
        open();
        button("Button_add")->click();
        type("W", "640");
        putCrop(1, 2, 2, 200, 20); // another client takes number 2
        TestDevice::settle();
        QVERIFY(screen_->editor_open());
        QCOMPARE(label("label_change_source"), QString("Name:HDMI1-Crop-2")); // as proposed
        QCOMPARE(field("W")->text(), QString("640"));
        QCOMPARE(tileCount(), 3);
        QCOMPARE(count("HDMI1"), QString("(3)"));

        // Code 103: the names file arrived; the tiles take its names.
        QFile f(kra_path("/data/configs/alias.json"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(R"({"namelist":{"crop":[{"id":1,"valid":"on","name":"Stage left"}]}})");
        f.close();
        para()->test_signal(103);
        TestDevice::settle();
        QCOMPARE(tileText(2, "label_source_name"), QString("Stage left"));
        QVERIFY(screen_->editor_open());
    }

    void languages_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("offered");
        QTest::addColumn<QStringList>("texts"); // title, crop, W, H, cancel, ok, delete, caption
        QTest::newRow("zh-CN") << 0 << 0x1F << QStringList{"输入截取", "截取:", "宽", "高", "取消", "确定", "删除", "名称:HDMI1-Crop-1"};
        QTest::newRow("en") << 1 << 0x1F << QStringList{"Input intercept", "Crop:", "W", "H", "Cancle", "OK", "Delete", "Name:HDMI1-Crop-1"};
        QTest::newRow("ru") << 2 << 0x1F << QStringList{"Источник", "Обрезать:", "Ширина", "Высота", "Отмена", "OK", "Удалить", "Название:HDMI1-Crop-1"};
        QTest::newRow("vi") << 3 << 0x1F << QStringList{"Chặn nguồn vào", "Cắt:", "Rộng", "Cao", "Hủy bỏ", "Đồng ý", "Xoá bỏ", "Tên:HDMI1-Crop-1"};
        QTest::newRow("zh-TW") << 4 << 0x1F << QStringList{"輸入截取", "截取:", "寬", "高", "取消", "確定", "删除", "名稱:HDMI1-Crop-1"};
        QTest::newRow("not offered") << 3 << 0x02 << QStringList{"Input intercept", "Crop:", "W", "H", "Cancle", "OK", "Delete", "Name:HDMI1-Crop-1"};
    }
    // The language arrives while the editor is open: everything is re-texted.
    void languages()
    {
        QFETCH(int, language);
        QFETCH(int, offered);
        QFETCH(QStringList, texts);
        g_lcd_lang_valid = u8(offered);
        putCrop(0, 2, 1, 100, 10);
        TestDevice::settle();
        open();
        tile(1)->click();
        {
            ParaWrite w;
            w.set8(Para::LANGUAGE, u8(language));
        }
        TestDevice::settle();
        const QStringList shown = {label("label_title"), label("label_crop"), label("label_W"),
                                   label("label_H"), button("Button_cancel")->text(),
                                   button("Button_ok")->text(), button("Button_delete")->text(),
                                   label("label_change_source")};
        QCOMPARE(shown, texts);
        QVERIFY(screen_->editor_open());
    }

    void back_data()
    {
        QTest::addColumn<bool>("fromInputChoose");
        QTest::addColumn<int>("page");
        QTest::newRow("to the input selection") << true << 3;
        QTest::newRow("to the settings menu") << false << 5;
    }
    void back()
    {
        QFETCH(bool, fromInputChoose);
        QFETCH(int, page);
        dev_->open<Option>(Page::Settings);
        QPointer<InputChoose> choose = fromInputChoose ? dev_->open<InputChoose>(Page::InputSelect) : nullptr;
        open();
        button("Button_add")->click();
        button("Button_ok")->click();
        QPointer<InputCut> guard(screen_);
        button("Button_back")->click();
        screen_ = nullptr;
        QCOMPARE(g_inputcut, nullptr);
        QCOMPARE(int(g_page_focus), page);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard.isNull());
        if (choose) {
            QCOMPARE(choose->findChild<QLabel *>("label_HDMI1_num")->text(), QString("(2)"));
            QFrame *frame = choose->findChild<QFrame *>("frame", Qt::FindDirectChildrenOnly);
            QCOMPARE(frame->findChildren<QFrame *>("source_frame").size(), 2);
        }
    }

    // The idle time-out closes the editor, then the input selection below it.
    void idleClosesEditorFirst()
    {
        QPointer<InputChoose> chooseGuard = dev_->open<InputChoose>(Page::InputSelect);
        open();
        QPointer<InputCut> guard(screen_);
        screen_ = nullptr;
        lcd_touch::pInstance()->touched();
        for (u32 i = 0; i <= g_back_to_mainwindow_time; ++i)
            lcd_touch::pInstance()->auto_timeout_back();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard.isNull() && chooseGuard.isNull());
        QCOMPARE(g_inputcut, nullptr);
        QCOMPARE(g_inputchoose, nullptr);
        QCOMPARE(int(g_page_focus), 1);
    }
};

QTEST_MAIN(TestInputCut)
#include "test_inputcut.moc"
