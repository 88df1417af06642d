#include "testsupport.h"

#include "c331_manage.h"
#include "c331_model_sim.h"
#include "edidset.h"
#include "imagelayout.h"
#include "inputchoose.h"
#include "krarampara.h"
#include "my_lineedit.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <cstring>
#include <vector>

namespace {

KraRamPara *para() { return KraRamPara::pInstance(); }
int edid(int record, int offset) { return para()->live16(Para::EDID + 6 * record + offset); }

void writeRecord(int record, int width, int height, int rate)
{
    ParaWrite w;
    w.set16(Para::EDID + 6 * record, u16(width));
    w.set16(Para::EDID + 6 * record + 2, u16(height));
    w.set16(Para::EDID + 6 * record + 4, u16(rate));
}

std::vector<u8> image() { return std::vector<u8>(para()->ram_para, para()->ram_para + Para::IMAGE_SIZE); }

} // namespace

class TestEDIDset : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScreenFixture> dev_;
    EDIDset *screen_ = nullptr;

    void open()
    {
        screen_ = dev_->open<EDIDset>(Page::Edid);
    }
    template <typename T> T *child(const QString &name)
    {
        return screen_->findChild<T *>(name);
    }
    QFrame *container() { return screen_->findChild<QFrame *>("frame_source", Qt::FindDirectChildrenOnly); }
    QString tileText(const char *label) { return container()->findChild<QLabel *>(label)->text(); }
    void chooseInput(int position)
    {
        screen_->findChild<QPushButton *>(QString::number(position), Qt::FindDirectChildrenOnly)->click();
    }
    void openEditor() { container()->findChild<QPushButton *>("button_source")->click(); }
    My_lineEdit *field(const QString &wh) { return child<My_lineEdit>("lineEdit_" + wh); }
    void type(My_lineEdit *f, const QString &digits)
    {
        answerKeyboardWith(digits);
        QTest::mouseClick(f, Qt::LeftButton);
    }
    QString rateShown() { return child<QLabel>("label_rate")->text(); }
    bool editorOpen()
    {
        const bool open = !child<QFrame>("frame_add")->isHidden();
        for (const char *b : {"button_delete", "button_cancel", "button_ok"})
            if (child<QPushButton>(b)->isHidden() == open)
                return false; // frame and buttons disagree: fail the caller's check
        return open;
    }
    void save() { child<QPushButton>("button_ok")->click(); }

private slots:
    void init()
    {
        dev_.reset(new ScreenFixture);
        screen_ = nullptr;
    }
    void cleanup() { dev_.reset(); }

    void opensOnHdmi1()
    {
        open();
        QVERIFY2(unhookedSlots(dev_->buildWarnings()).isEmpty(), qPrintable(dev_->buildWarnings().join('\n')));
        QCOMPARE(screen_->selected_record(), u8(2));
        QVERIFY(!editorOpen());
        QCOMPARE(child<QFrame>("frame_select")->geometry(), QRect(20, 68, 120, 85));
        QCOMPARE(tileText("label_source_name"), QString("HDMI1"));
        QCOMPARE(tileText("label_source_value"), QString("1920x1080@60Hz"));
    }

    // Each tab writes its own record, and only those bytes reach the video side.
    void saveWritesTheInputsRecord_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("addr");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<bool>("pressRate");
        QTest::newRow("HDMI1") << 0 << 908 << "1280" << "720" << false;
        QTest::newRow("HDMI2") << 1 << 914 << "1024" << "768" << false;
        QTest::newRow("HDMI3") << 2 << 920 << "3840" << "2160" << true;
        QTest::newRow("HDMI4") << 3 << 926 << "2560" << "1080" << false;
        QTest::newRow("DVI") << 4 << 902 << "1600" << "1200" << true;
        QTest::newRow("EXT") << 5 << 896 << "800" << "600" << false;
    }
    void saveWritesTheInputsRecord()
    {
        QFETCH(int, position);
        QFETCH(int, addr);
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(bool, pressRate);
        open();
        const std::vector<u8> before = image();
        chooseInput(position);
        QCOMPARE(Para::EDID + 6 * screen_->selected_record(), addr);
        openEditor();
        QVERIFY(editorOpen());
        type(field("W"), width);
        type(field("H"), height);
        if (pressRate)
            child<QPushButton>("Button_left")->click();
        const int rate = pressRate ? 30 : 60;
        c331_manage::para_changed = 0;
        save();
        QCOMPARE(int(c331_manage::para_changed), 1);
        QVERIFY(!editorOpen());
        QCOMPARE(para()->live16(addr), u16(width.toInt()));
        QCOMPARE(para()->live16(addr + 2), u16(height.toInt()));
        QCOMPARE(para()->live16(addr + 4), u16(rate));
        const std::vector<u8> after = image();
        std::vector<int> changed;
        for (int a = 0; a < Para::IMAGE_SIZE; ++a) {
            if (before[a] != after[a]) {
                QVERIFY2(a >= addr && a < addr + 6, qPrintable(QString("byte %1 changed").arg(a)));
                changed.push_back(a);
            }
        }
        QCOMPARE(tileText("label_source_value"), QString("%1x%2@%3Hz").arg(width, height).arg(rate));

        const u32 sets = c331_manage::p_c331_manage->model()->change_sets();
        TestDevice::settle();
        QCOMPARE(c331_manage::p_c331_manage->model()->change_sets(), sets + 1);
        std::vector<int> applied;
        for (const C331Change &c : c331_manage::p_c331_manage->model()->last_change_set())
            applied.push_back(c.addr);
        QCOMPARE(applied, changed);
        QCOMPARE(c331_manage::p_c331_manage->run_once(), 0);
    }

    void tilePicture_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("picture");
        QTest::newRow("HDMI2") << 1 << ":/png/HDMI.png";
        QTest::newRow("DVI") << 4 << ":/png/DVI.png";
        QTest::newRow("EXT") << 5 << ":/png/HDMI.png";
    }
    void tilePicture()
    {
        QFETCH(int, position);
        QFETCH(QString, picture);
        QVERIFY(QPixmap(":/png/DVI.png").toImage() != QPixmap(":/png/HDMI.png").toImage());
        open();
        chooseInput(position);
        const QLabel *l = container()->findChild<QLabel *>("label_input");
        // As drawn: the label scales its picture to its contents.
        const QSize shown = l->contentsRect().size();
        auto drawn = [shown](const QPixmap &p) {
            return p.toImage().scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        };
        QCOMPARE(drawn(l->pixmap(Qt::ReturnByValue)), drawn(QPixmap(picture)));
    }

    // A typed width or height that does not fit a signed 16-bit word is refused (the field
    // keeps its text); a text that is no such number (set from code) leaves the record's word
    // as it was (1920 x 1080). Nothing else is refused.
    void sizeLimits_data()
    {
        QTest::addColumn<QString>("wh");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("byCode");
        QTest::addColumn<int>("stored");
        for (const char *wh : {"W", "H"}) {
            const int was = QString(wh) == "W" ? 1920 : 1080;
            QTest::addRow("%s 0", wh) << wh << "0" << false << 0;
            QTest::addRow("%s 4096", wh) << wh << "4096" << false << 4096;
            QTest::addRow("%s 40000 refused", wh) << wh << "40000" << false << was;
            QTest::addRow("%s 32768 refused", wh) << wh << "32768" << false << was;
            QTest::addRow("%s 1", wh) << wh << "1" << false << 1;
            QTest::addRow("%s 32767", wh) << wh << "32767" << false << 32767;
            QTest::addRow("%s empty", wh) << wh << "" << true << was;
            QTest::addRow("%s not a number", wh) << wh << "12a" << true << was;
            QTest::addRow("%s 40000 set", wh) << wh << "40000" << true << was;
            QTest::addRow("%s -1", wh) << wh << "-1" << true << 0xFFFF;
        }
    }
    void sizeLimits()
    {
        QFETCH(QString, wh);
        QFETCH(QString, text);
        QFETCH(bool, byCode);
        QFETCH(int, stored);
        open();
        openEditor();
        const QString before = field(wh)->text();
        if (byCode)
            field(wh)->setText(text);
        else
            type(field(wh), text);
        QCOMPARE(field(wh)->text(), byCode || text.toInt() < 32768 ? text : before);
        c331_manage::para_changed = 0;
        save();
        QVERIFY(!editorOpen());
        QCOMPARE(int(c331_manage::para_changed), 1);
        QCOMPARE(edid(2, wh == "W" ? 0 : 2), stored);
        QCOMPARE(edid(2, wh == "W" ? 2 : 0), wh == "W" ? 1080 : 1920);
        QCOMPARE(edid(2, 4), 60);
        QCOMPARE(tileText("label_source_value"), wh == "W" ? QString("%1x1080@60Hz").arg(stored)
                                                           : QString("1920x%1@60Hz").arg(stored));
    }

    // The buttons flip the rate shown; a rate nobody touched is saved as the record held it.
    void rate_data()
    {
        QTest::addColumn<int>("recordRate");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("30 Hz record") << 30 << QStringList{"60", "30"};
        QTest::newRow("30 Hz record, one press") << 30 << QStringList{"60"};
        QTest::newRow("60 Hz record") << 60 << QStringList{"30", "60", "30"};
        QTest::newRow("50 Hz untouched") << 50 << QStringList{};
        QTest::newRow("50 Hz pressed") << 50 << QStringList{"30"};
        QTest::newRow("40000 untouched") << 40000 << QStringList{};
    }
    void rate()
    {
        QFETCH(int, recordRate);
        QFETCH(QStringList, shown);
        writeRecord(3, 1920, 1080, recordRate);
        TestDevice::settle();
        open();
        chooseInput(1);
        openEditor();
        QCOMPARE(rateShown(), QString::number(recordRate));
        for (int i = 0; i < shown.size(); ++i) {
            child<QPushButton>(i % 2 ? "Button_right" : "Button_left")->click();
            QCOMPARE(rateShown(), shown[i]);
        }
        save();
        QCOMPARE(edid(3, 4), shown.isEmpty() ? recordRate : shown.last().toInt());
    }

    void editorClosesWithoutSaving_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("other input") << "input";
        QTest::newRow("Cancel") << "button_cancel";
        QTest::newRow("Delete") << "button_delete";
    }
    void editorClosesWithoutSaving()
    {
        QFETCH(QString, action);
        open();
        openEditor();
        type(field("W"), "1234");
        child<QPushButton>("Button_right")->click();
        const std::vector<u8> before = image();
        c331_manage::para_changed = 0;
        if (action == "input")
            chooseInput(3);
        else
            child<QPushButton>(action)->click();
        QVERIFY(!editorOpen());
        QVERIFY(image() == before);
        QCOMPARE(int(c331_manage::para_changed), 0);
        openEditor(); // opens on the record again, not on what was typed
        QCOMPARE(field("W")->text(), QString("1920"));
        QCOMPARE(rateShown(), QString("60"));
        QCOMPARE(child<QLabel>("label_edid_source")->text(),
                 QString("EDID source:") + (action == "input" ? "HDMI4" : "HDMI1"));
    }

    // Another client's write reaches the screen through the refresh path.
    void refreshFollowsTheSelectedRecord_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("value");
        QTest::newRow("selected input") << 2 << "1366x768@30Hz";
        QTest::newRow("other input") << 4 << "1920x1080@60Hz";
    }
    void refreshFollowsTheSelectedRecord()
    {
        QFETCH(int, record);
        QFETCH(QString, value);
        open();
        QFrame *old = container();
        writeRecord(record, 1366, 768, 30);
        TestDevice::settle();
        QCOMPARE(container() != old, record == 2);
        QCOMPARE(tileText("label_source_value"), value);
    }

    void languageChange_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("freq");
        QTest::addColumn<QString>("save");
        QTest::addColumn<int>("freqEnd");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("right");
        QTest::newRow("zh-CN") << 0 << "设置EDID" << "刷新率" << "保存" << 429 << 440 << 484 << 576;
        QTest::newRow("en") << 1 << "EDID Settings" << "Refresh rate" << "SAVE" << 489 << 500 << 544 << 636;
        QTest::newRow("ru") << 2 << "Настройка EDID" << "Частота" << "Сохранить" << 489 << 500 << 544 << 636;
        QTest::newRow("vi") << 3 << "Cài đặt EDID" << "Tần số" << "lưu" << 489 << 500 << 544 << 616;
        QTest::newRow("zh-TW") << 4 << "设置EDID" << "刷新率" << "保存" << 429 << 440 << 484 << 576;
    }
    void languageChange()
    {
        QFETCH(int, language);
        QFETCH(QString, title);
        QFETCH(QString, freq);
        QFETCH(QString, save);
        QFETCH(int, freqEnd);
        QFETCH(int, left);
        QFETCH(int, rate);
        QFETCH(int, right);
        g_language = 1;
        open();
        {
            ParaWrite w;
            w.set8(Para::LANGUAGE, u8(language));
        }
        TestDevice::settle();
        QCOMPARE(child<QLabel>("label_title")->text(), title);
        QCOMPARE(child<QLabel>("label_freq")->text(), freq);
        QCOMPARE(child<QPushButton>("button_ok")->text(), save);
        QCOMPARE(child<QLabel>("label_freq")->geometry().right(), freqEnd);
        QCOMPARE(child<QPushButton>("Button_left")->geometry(), QRect(left, 72, 44, 50));
        QCOMPARE(child<QLabel>("label_rate")->geometry(), QRect(rate, 72, right - rate, 50));
        QCOMPARE(child<QPushButton>("Button_right")->geometry(), QRect(right, 72, 44, 50));
    }

    void back_data()
    {
        QTest::addColumn<bool>("inputChooseOpen");
        QTest::addColumn<int>("page");
        QTest::newRow("to the input selection") << true << 3;
        QTest::newRow("nothing below") << false << 1;
    }
    void back()
    {
        QFETCH(bool, inputChooseOpen);
        QFETCH(int, page);
        QPointer<InputChoose> below = inputChooseOpen ? dev_->open<InputChoose>(Page::InputSelect) : nullptr;
        QFrame *tiles = below ? below->findChild<QFrame *>("frame", Qt::FindDirectChildrenOnly) : nullptr;
        open();
        openEditor();
        type(field("W"), "1280"); // leaves the keyboard pointing at this screen's field
        QPointer<EDIDset> guard(screen_);
        child<QPushButton>("Button_back")->click();
        screen_ = nullptr;
        QCOMPARE(g_edidset, nullptr);
        QCOMPARE(int(g_page_focus), page);
        if (below)
            QVERIFY(below->findChild<QFrame *>("frame", Qt::FindDirectChildrenOnly) != tiles);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard.isNull());
        QCOMPARE(g_lineedit, nullptr);
    }

    // Both screens listen to the keyboard with fields named alike: each keeps to its own.
    void keyboardValueBelongsToItsScreen()
    {
        auto layout = std::make_unique<ImageLayout>(nullptr);
        g_imagelayout = layout.get();
        const QString layoutW = layout->findChild<QLineEdit *>("lineEdit_W")->text();
        open();
        openEditor();
        c331_manage::para_changed = 0;
        type(field("W"), "2000");
        QCOMPARE(field("W")->text(), QString("2000"));
        QCOMPARE(layout->findChild<QLineEdit *>("lineEdit_W")->text(), layoutW);
        QCOMPARE(int(c331_manage::para_changed), 0);

        // A value the layout refuses stays out of its field: this screen must not put it there.
        My_lineEdit *layoutX = layout->findChild<My_lineEdit *>("lineEdit_X");
        const QString x = layoutX->text();
        answerKeyboardWith("60000");
        QTest::mouseClick(layoutX, Qt::LeftButton);
        QCOMPARE(g_lineedit, layoutX);
        QCOMPARE(layoutX->text(), x);
        QCOMPARE(field("W")->text(), QString("2000"));
        QCOMPARE(field("H")->text(), QString("1080"));
        g_imagelayout = nullptr;
    }
};

QTEST_MAIN(TestEDIDset)
#include "test_edidset.moc"
