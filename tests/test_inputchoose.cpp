#include "testsupport.h"

#include "c331_manage.h"
#include "imagelayout.h"
#include "inputchoose.h"
#include "krarampara.h"
#include "tavik_model_sim.h"
#include "taviksource.h"
#include "tip.h"
#include "utils.h"

#include <QFile>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {

KraRamPara *para() { return KraRamPara::pInstance(); }

void addCrop(int input, int width, int height)
{
    CROP_PARA c{0, 0, 0, width, height};
    para()->KraAddNewCrop(input, &c);
}

void writeWindow(int record, int offset, u16 value)
{
    ParaWrite w;
    w.set16(Para::win(record, offset), value);
}

void writeSimFile(const QByteArray &text)
{
    QDir().mkpath(QFileInfo(TavikModelSim::file_path()).path());
    QCOMPARE(Utils::write_file_safely(TavikModelSim::file_path(), text), 0);
}

QImage picture(const QString &path) { return QPixmap(path).toImage(); }

} // namespace

class TestInputChoose : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScreenFixture> dev_;
    InputChoose *screen_ = nullptr;

    void open()
    {
        screen_ = dev_->open<InputChoose>(Page::InputSelect);
    }
    QFrame *sourceFrame() { return screen_->findChild<QFrame *>("frame", Qt::FindDirectChildrenOnly); }
    QFrame *strip() { return screen_->findChild<QFrame *>("frame_image", Qt::FindDirectChildrenOnly); }
    QPushButton *tile(int i) { return sourceFrame()->findChild<QPushButton *>(QString::number(i)); }
    int tileCount() { return sourceFrame()->findChildren<QFrame *>("source_frame").size(); }
    QString tileText(int i, const char *label)
    {
        return tile(i)->parentWidget()->findChild<QLabel *>(label)->text();
    }
    // The page position of the tile marked in use, -1 for none; fails on two marks.
    int badgeTile()
    {
        const QList<QLabel *> badges = sourceFrame()->findChildren<QLabel *>("label_using");
        if (badges.isEmpty())
            return -1;
        if (badges.size() > 1)
            return -2;
        return badges[0]->parentWidget()->findChild<QPushButton *>()->objectName().toInt();
    }
    QString stripName(int record)
    {
        QLabel *l = strip()->findChild<QLabel *>(QString("label_image_name%1").arg(record));
        return l ? l->text() : QString("<none>");
    }
    void chooseTab(const char *name)
    {
        screen_->findChild<QPushButton *>(QString("Button_%1").arg(name))->click();
    }

private slots:
    void init()
    {
        dev_.reset(new ScreenFixture);
        screen_ = nullptr;
    }
    void cleanup() { dev_.reset(); }

    void buildsWithoutSlotWarnings()
    {
        open();
        QVERIFY2(unhookedSlots(dev_->buildWarnings()).isEmpty(), qPrintable(dev_->buildWarnings().join('\n')));
        QCOMPARE(screen_->selected_window(), u8(0));
        QCOMPARE(screen_->selected_input(), u8(2));
        QVERIFY(screen_->findChild<QLabel *>("label_12")->isHidden());
        QVERIFY(screen_->findChild<QLabel *>("label_15")->isHidden());
    }

    void paging_data()
    {
        QTest::addColumn<int>("crops");
        QTest::addColumn<int>("lastPage");
        QTest::addColumn<int>("tilesOnLast");
        QTest::newRow("1 source") << 0 << 0 << 1;
        QTest::newRow("6 sources") << 5 << 0 << 6;
        QTest::newRow("7 sources") << 6 << 1 << 1;
        QTest::newRow("12 sources") << 11 << 1 << 6;
        QTest::newRow("13 sources") << 12 << 2 << 1;
    }
    void paging()
    {
        QFETCH(int, crops);
        QFETCH(int, lastPage);
        QFETCH(int, tilesOnLast);
        for (int i = 0; i < crops; ++i)
            addCrop(2, 100 + i, 50);
        TestDevice::settle();
        open();
        QCOMPARE(screen_->last_page(), u8(lastPage));
        for (int page = 0; page <= lastPage; ++page) {
            QCOMPARE(screen_->page(), u8(page));
            QCOMPARE(tileCount(), page == lastPage ? tilesOnLast : 6);
            QCOMPARE(sourceFrame()->findChild<QPushButton *>("Button_previous") != nullptr, page > 0);
            QPushButton *next = sourceFrame()->findChild<QPushButton *>("Button_next");
            QCOMPARE(next != nullptr, page < lastPage);
            QVERIFY(sourceFrame()->findChild<QPushButton *>("Button_menu"));
            if (next)
                next->click();
        }
        // Back to the first page, and a tab always starts there.
        while (QPushButton *prev = sourceFrame()->findChild<QPushButton *>("Button_previous"))
            prev->click();
        QCOMPARE(screen_->page(), u8(0));
        QCOMPARE(tileText(0, "label_source_name"), QString("HDMI1"));
    }

    void secondPageAssignsSixthCrop()
    {
        for (int i = 0; i < 6; ++i)
            addCrop(2, 100 + i, 50 + i);
        TestDevice::settle();
        open();
        sourceFrame()->findChild<QPushButton *>("Button_next")->click();
        QCOMPARE(tileCount(), 1);
        QCOMPARE(tileText(0, "label_source_name"), QString("HDMI1_crop6"));
        QCOMPARE(tileText(0, "label_source_value"), QString("105x55"));
        tile(0)->click();
        QCOMPARE(para()->live16(Para::win(0, Para::W_SOURCE)), u16(0x8000 + 5));
        QCOMPARE(badgeTile(), 0);
        QCOMPARE(screen_->page(), u8(1));
    }

    void assign_data()
    {
        QTest::addColumn<int>("tile");
        QTest::addColumn<bool>("modePending");
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("strip");
        QTest::newRow("whole input") << 0 << false << 3 << 0 << "HDMI2";
        QTest::newRow("crop") << 2 << false << 0x8002 << 0 << "HDMI2_Crop2";
        QTest::newRow("whole input, mode write pending") << 0 << true << 3 << 7 << "HDMI2";
        QTest::newRow("crop, mode write pending") << 2 << true << 0x8002 << 7 << "HDMI2_Crop2";
    }
    void assign()
    {
        QFETCH(int, tile);
        QFETCH(bool, modePending);
        QFETCH(int, word);
        QFETCH(int, mode);
        QFETCH(QString, strip);
        addCrop(5, 640, 480); // entry 0 belongs to another input
        addCrop(3, 320, 240);
        addCrop(3, 800, 600);
        {
            ParaWrite w;
            w.set16(Para::CURRENT_MODE, 5);
        }
        TestDevice::settle(); // saved: the shadow holds mode 5
        open();
        if (modePending) {
            ParaWrite w;
            w.set16(Para::CURRENT_MODE, 7); // another writer's change, not yet applied
        }
        chooseTab("HDMI2");
        QCOMPARE(badgeTile(), -1); // window 1 shows HDMI1
        c331_manage::para_changed = 0;
        this->tile(tile)->click();
        QCOMPARE(int(para()->live16(Para::win(0, Para::W_SOURCE))), word);
        QCOMPARE(int(para()->live16(Para::CURRENT_MODE)), mode);
        QCOMPARE(int(c331_manage::para_changed), 1);
        QCOMPARE(badgeTile(), tile);
        QCOMPARE(stripName(0), strip);
        QCOMPARE(g_tip->kind(), 2);
        TestDevice::settle();
        QCOMPARE(badgeTile(), tile);
        QCOMPARE(stripName(0), strip);
        // The mark belongs to the window's own input only.
        chooseTab("HDMI1");
        QCOMPARE(badgeTile(), -1);
    }

    void stripPacksShownWindows()
    {
        writeWindow(2, Para::W_ON, 1);
        writeWindow(3, Para::W_ON, 2); // on, but the strip needs exactly 1
        writeWindow(5, Para::W_ON, 1);
        writeWindow(5, Para::W_SOURCE, 1);
        TestDevice::settle();
        open();
        const int records[] = {0, 2, 5};
        const char *colours[] = {"#867AE9", "#39A9CB", "#D5E5FF"};
        for (int p = 0; p < 3; ++p) {
            const int w = records[p];
            QLabel *t = strip()->findChild<QLabel *>(QString("label_image%1").arg(w));
            QVERIFY(t);
            QCOMPARE(t->geometry(), QRect(20 + 130 * p, 3, 120, 90));
            // In its window's colour, below the mark
            QCOMPARE(t->grab().toImage().pixelColor(110, 80), QColor(colours[p]));
            QCOMPARE(t->text(), QString::number(w + 1));
            QPushButton *b = strip()->findChild<QPushButton *>(QString::number(w));
            QCOMPARE(b->geometry(), QRect(17 + 130 * p, 0, 126, 96));
        }
        for (int w : {1, 3, 4})
            QVERIFY(!strip()->findChild<QPushButton *>(QString::number(w)));
        QCOMPARE(stripName(5), QString("DVI"));
        QCOMPARE(strip()->findChild<QFrame *>("frame_image_select")->geometry(), QRect(17, 0, 126, 96));

        strip()->findChild<QPushButton *>("5")->click();
        QCOMPARE(screen_->selected_window(), u8(5));
        QCOMPARE(screen_->selected_input(), u8(1));
        QCOMPARE(screen_->findChild<QFrame *>("frame1")->x(), 540);
        QCOMPARE(strip()->findChild<QFrame *>("frame_image_select")->geometry(), QRect(277, 0, 126, 96));
    }

    void selectedWindowSwitchedOffElsewhere()
    {
        writeWindow(2, Para::W_ON, 1);
        writeWindow(2, Para::W_SOURCE, 0);
        TestDevice::settle();
        open();
        strip()->findChild<QPushButton *>("2")->click();
        QCOMPARE(screen_->selected_input(), u8(0));
        writeWindow(2, Para::W_ON, 0);
        TestDevice::settle();
        QCOMPARE(screen_->selected_window(), u8(0));
        QCOMPARE(screen_->selected_input(), u8(2));
        QCOMPARE(screen_->findChild<QFrame *>("frame1")->x(), 20);
        QVERIFY(!strip()->findChild<QPushButton *>("2"));
        QCOMPARE(strip()->findChild<QFrame *>("frame_image_select")->geometry(), QRect(17, 0, 126, 96));
        QCOMPARE(badgeTile(), 0);
    }

    // A window that lost its tile keeps no label: later source changes leave the strip be.
    void sourceChangeOfHiddenWindow()
    {
        writeWindow(1, Para::W_ON, 1);
        TestDevice::settle();
        open();
        QCOMPARE(stripName(1), QString("HDMI1"));
        writeWindow(1, Para::W_ON, 0);
        TestDevice::settle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        addCrop(2, 10, 10);
        writeWindow(1, Para::W_SOURCE, 0x8000);
        TestDevice::settle();
        QCOMPARE(stripName(1), QString("<none>"));
        QCOMPARE(stripName(0), QString("HDMI1"));
    }

    void pcChangeNamesCrop()
    {
        addCrop(2, 10, 10);
        addCrop(2, 20, 20);
        writeWindow(0, Para::W_SOURCE, 0x8001);
        TestDevice::settle();
        open();
        QCOMPARE(stripName(0), QString("HDMI1")); // a fresh strip names the input only
        QCOMPARE(badgeTile(), 2);
        writeWindow(0, Para::W_SOURCE, 0x8000);
        TestDevice::settle();
        QCOMPARE(stripName(0), QString("HDMI1_Crop1"));
        QCOMPARE(badgeTile(), 1);
    }

    // Crops re-added after a deletion stand in the table out of number order.
    void badgeFollowsCropNumber_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("tile");
        QTest::addColumn<QString>("strip");
        QTest::newRow("crop 1 in entry 3") << 3 << 1 << "HDMI1_Crop1";
        QTest::newRow("crop 2 in entry 1") << 1 << 2 << "HDMI1_Crop2";
        QTest::newRow("crop 3 in entry 2") << 2 << 3 << "HDMI1_Crop3";
    }
    void badgeFollowsCropNumber()
    {
        QFETCH(int, entry);
        QFETCH(int, tile);
        QFETCH(QString, strip);
        addCrop(2, 100, 10);
        addCrop(2, 200, 20);
        addCrop(2, 300, 30);
        para()->KraDeleteCrop(2, 1);  // frees entry 0 and number 1
        addCrop(4, 50, 50);           // takes entry 0
        addCrop(2, 400, 40);          // number 1, entry 3
        TestDevice::settle();
        QCOMPARE(para()->ram_para[Para::crop(3, 1)], u8(0x80));
        open();
        writeWindow(0, Para::W_SOURCE, u16(0x8000 + entry));
        TestDevice::settle();
        QCOMPARE(badgeTile(), tile);
        QCOMPARE(tileText(tile, "label_source_name"), QString("HDMI1_crop%1").arg(tile));
        QCOMPARE(stripName(0), strip);

        // Touching the tile assigns that very crop.
        writeWindow(0, Para::W_SOURCE, 2);
        TestDevice::settle();
        this->tile(tile)->click();
        QCOMPARE(int(para()->live16(Para::win(0, Para::W_SOURCE))), 0x8000 + entry);
        QCOMPARE(badgeTile(), tile);
        QCOMPARE(stripName(0), strip);
    }

    void windowOnDeletedCropShowsNoBadge()
    {
        addCrop(2, 100, 10);
        TestDevice::settle();
        open();
        {
            ParaWrite w; // a PC clears the entry but leaves the window on it
            w.set8(Para::crop(0, 0), 2);
            w.set8(Para::crop(0, 1), 0);
            w.set16(Para::win(0, Para::W_SOURCE), 0x8000);
        }
        TestDevice::settle();
        QCOMPARE(tileCount(), 1);
        QCOMPARE(badgeTile(), -1);
        QCOMPARE(stripName(0), QString("HDMI1"));
        QCOMPARE(screen_->findChild<QLabel *>("label_HDMI1_num")->text(), QString("(1)"));
    }

    void windowOnUnknownInput()
    {
        writeWindow(0, Para::W_SOURCE, 9);
        TestDevice::settle();
        open();
        QCOMPARE(screen_->selected_input(), u8(2));
        QCOMPARE(stripName(0), QString(""));
        QCOMPARE(screen_->findChild<QFrame *>("frame1")->x(), 20);
        chooseTab("HDMI2");
        QCOMPARE(screen_->selected_input(), u8(3));
        QCOMPARE(badgeTile(), -1);
    }

    // A PC adds a crop and shows it in one change: the names come from the new table.
    void cropAddedAndShownAtOnce()
    {
        open();
        {
            ParaWrite w;
            w.set8(Para::crop(0, 0), 2);
            w.set8(Para::crop(0, 1), 0x80);
            w.set16(Para::crop(0, 6), 640);
            w.set16(Para::crop(0, 8), 360);
            w.set16(Para::win(0, Para::W_SOURCE), 0x8000);
        }
        TestDevice::settle();
        QCOMPARE(stripName(0), QString("HDMI1_Crop1"));
        QCOMPARE(tileCount(), 2);
        QCOMPARE(tileText(1, "label_source_value"), QString("640x360"));
        QCOMPARE(badgeTile(), 1);
        QCOMPARE(screen_->findChild<QLabel *>("label_HDMI1_num")->text(), QString("(2)"));
    }

    // The crop bitmap names a crop that the table no longer holds: no tile is made up for it.
    void cropMissingFromTableDrawsNoTile()
    {
        addCrop(2, 100, 10);
        TestDevice::settle();
        open();
        QCOMPARE(tileCount(), 2);
        {
            ParaWrite w(false);
            w.set8(Para::crop(0, 1), 0x81); // renumbered behind the bitmap's back
        }
        chooseTab("HDMI1");
        QCOMPARE(tileCount(), 1);
        QVERIFY(!tile(1));
    }

    void namesFileArrives()
    {
        addCrop(2, 100, 10);
        TestDevice::settle();
        open();
        QFile f(kra_path("/data/configs/alias.json"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(R"({"namelist":{"source":[{"id":2,"valid":"on","name":"PC"}],)"
                R"("crop":[{"id":0,"valid":"on","name":"Stage left"}]}})");
        f.close();
        QCOMPARE(screen_->findChild<QLabel *>("label_HDMI1_text")->text(), QString("HDMI1"));
        para()->test_signal(103);
        TestDevice::settle();
        QCOMPARE(screen_->findChild<QLabel *>("label_HDMI1_text")->text(), QString("PC"));
        QCOMPARE(tileText(1, "label_source_name"), QString("Stage left"));
        QCOMPARE(screen_->findChild<QLabel *>("label_HDMI1_num")->text(), QString("(2)"));
    }

    void pluggingAnInput()
    {
        QLabel *hdmi1 = nullptr;
        taviksource *source = taviksource::pInstanceNoThread();
        writeSimFile("\n\n\n");
        QCOMPARE(source->run_once(), 0);
        open();
        hdmi1 = screen_->findChild<QLabel *>("label_HDMI1");
        const QImage off = picture(":/png/HDMI13.png");
        const QImage on = picture(":/png/HDMI13_lv.png");
        QVERIFY(!off.isNull() && !on.isNull() && off != on);
        QCOMPARE(hdmi1->pixmap(Qt::ReturnByValue).toImage(), off);
        QCOMPARE(tileText(0, "label_source_value"), QString("No signal"));

        writeSimFile("\n\n1920x1080@60\n");
        QCOMPARE(source->run_once(), 12);
        TestDevice::settle();
        QCOMPARE(hdmi1->pixmap(Qt::ReturnByValue).toImage(), on);
        QCOMPARE(tileText(0, "label_source_value"), QString("1920x1080@60Hz"));
        QCOMPARE(screen_->findChild<QLabel *>("label_HDMI2")->pixmap(Qt::ReturnByValue).toImage(), off);

        writeSimFile("\n\n\n");
        QCOMPARE(source->run_once(), 12);
        TestDevice::settle();
        QCOMPARE(hdmi1->pixmap(Qt::ReturnByValue).toImage(), off);
        QCOMPARE(tileText(0, "label_source_value"), QString("No signal"));
    }

    void menuShowsAndHides()
    {
        open();
        QPushButton *crop = screen_->findChild<QPushButton *>("button_inputcut");
        QPushButton *edid = screen_->findChild<QPushButton *>("button_EDID");
        QVERIFY(crop->isHidden() && edid->isHidden());
        sourceFrame()->findChild<QPushButton *>("Button_menu")->click();
        QVERIFY(!crop->isHidden() && !edid->isHidden());
        sourceFrame()->findChild<QPushButton *>("Button_menu")->click();
        QVERIFY(crop->isHidden() && edid->isHidden());
        sourceFrame()->findChild<QPushButton *>("Button_menu")->click();
        chooseTab("DVI");
        QVERIFY(crop->isHidden() && edid->isHidden());
    }

    void languages_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("offered");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("badge");
        QTest::addColumn<int>("x");
        QTest::newRow("zh-CN") << 0 << 0x1F << QString("信源切换") << QString("使用中") << 680;
        QTest::newRow("en") << 1 << 0x1F << QString("Source switch") << QString("Using") << 620;
        QTest::newRow("ru") << 2 << 0x1F << QString("Переключение источника") << QString("Использовать") << 640;
        QTest::newRow("vi") << 3 << 0x1F << QString("Chuyển đổi nguồn") << QString("sử dụng") << 640;
        QTest::newRow("zh-TW") << 4 << 0x1F << QString("信源切換") << QString("使用中") << 680;
        QTest::newRow("not offered") << 2 << 0x03 << QString("Source switch") << QString("Using") << 620;
    }
    void languages()
    {
        QFETCH(int, language);
        QFETCH(int, offered);
        QFETCH(QString, title);
        QFETCH(QString, badge);
        QFETCH(int, x);
        g_lcd_lang_valid = u8(offered);
        g_language = u8(language);
        open();
        QCOMPARE(screen_->findChild<QLabel *>("label_title")->text(), title);
        QCOMPARE(sourceFrame()->findChild<QLabel *>("label_using")->text(), badge);
        QPushButton *crop = screen_->findChild<QPushButton *>("button_inputcut");
        QPushButton *edid = screen_->findChild<QPushButton *>("button_EDID");
        QCOMPARE(crop->geometry(), QRect(x, 310, 780 - x, 60));
        QCOMPARE(edid->geometry(), QRect(x, 370, 780 - x, 60));
    }

    void back_data()
    {
        QTest::addColumn<bool>("layoutOpen");
        QTest::addColumn<int>("page");
        QTest::newRow("to the main window") << false << 1;
        QTest::newRow("to the window layout") << true << 9;
    }
    void back()
    {
        QFETCH(bool, layoutOpen);
        QFETCH(int, page);
        if (layoutOpen)
            dev_->open<ImageLayout>(Page::WindowLayout);
        open();
        QPointer<InputChoose> guard(screen_);
        screen_->findChild<QPushButton *>("Button_back")->click();
        screen_ = nullptr;
        QCOMPARE(g_inputchoose, nullptr);
        QCOMPARE(int(g_page_focus), page);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard.isNull());
    }
};

QTEST_MAIN(TestInputChoose)
#include "test_inputchoose.moc"
