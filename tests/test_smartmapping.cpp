// The smart mapping screen: what reaches line_type, the job block, the chosen scan file and
// the FPGA registers; the port grid, the scan-file list and the job-start guard.
#include "testsupport.h"

#include "QRoundProgressBar.h"
#include "fpga_manage.h"
#include "fpga_model_sim.h"
#include "lcd_touch.h"
#include "my_lineedit.h"
#include "option.h"
#include "protocol_files.h"
#include "routing.h"
#include "smartmapping.h"
#include "utils.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>
#include <thread>

namespace {

fpga_manage *fpga() { return fpga_manage::pInstance(); }
int jobWord() { return fpga_manage::send_para_u16(SendPara::JOB); }

void writeFiles(const QString &devicePath, const QStringList &names)
{
    QDir().mkpath(kra_path(devicePath));
    for (const QString &n : names)
        putFile(kra_path(devicePath) + QLatin1Char('/') + n, QByteArray(2500, 's'));
}

QStringList numbered(const char *stem, int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QStringLiteral("%1%2.ztfile").arg(QLatin1String(stem)).arg(i);
    return out;
}

// Delivers what the manager reported (posted to the GUI thread) and the screen's own
// queued reaction to it.
void deliver()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::sendPostedEvents();
}

} // namespace

class TestSmartMapping : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScreenFixture> dev_;
    SmartMapping *s_ = nullptr;

    template <typename T> T *child(const QString &name) { return s_->findChild<T *>(name); }
    void click(const QString &name)
    {
        QAbstractButton *b = child<QAbstractButton>(name);
        QVERIFY2(b, qPrintable(name));
        b->click();
    }
    int shownPage() { return child<QStackedWidget>("stackedWidget")->currentIndex(); }
    void type(const QString &field, const QString &digits)
    {
        answerKeyboardWith(digits);
        QTest::mouseClick(child<My_lineEdit>(field), Qt::LeftButton);
    }
    QFrame *grid() { return child<QFrame>("frame_wlan"); }
    QList<int> markedTiles()
    {
        QList<int> out;
        for (int i = 0; i < 8; ++i)
            if (grid()->findChild<QFrame *>(QStringLiteral("tile%1").arg(i))->property("marked").toBool())
                out << i;
        return out;
    }
    void pressTile(int i) { grid()->findChild<QPushButton *>(QString::number(i))->click(); }
    QFrame *fileFrame() { return child<QFrame>("frame_file"); }
    QLabel *entry(int k) { return fileFrame()->findChild<QLabel *>(QStringLiteral("label_file%1").arg(k)); }
    int entriesShown() { return fileFrame()->findChildren<QLabel *>().size(); }
    void openList()
    {
        click("Button_loadscan");
        click("Button_next_5");
    }

private slots:
    void init()
    {
        dev_.reset(new ScreenFixture);
        fpga_manage::set_send_para_u16(SendPara::JOB, 0);
        g_usb_grade = 0;
        fpga_manage::set_ztfile_name(QString());
        s_ = dev_->open<SmartMapping>(Page::SmartMapping);
        QVERIFY(s_);
    }
    void cleanup()
    {
        fpga_manage::set_send_para_u16(SendPara::JOB, 0);
        g_usb_grade = 0;
        dev_.reset();
    }

    // A typed value wider than its entry is refused and the field keeps its text; a text that
    // is no number (set from code) leaves line_type's entry as it was (6 rows, 3 from x).
    void sendStoresWhatWasTyped_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byCode");
        QTest::addColumn<QVector<int>>("grid"); // width, height, x, y, rows, columns
        QTest::newRow("form defaults") << "" << "" << false << QVector<int>{128, 96, 0, 0, 1, 1};
        QTest::newRow("width 70000 refused") << "lineEdit_X" << "70000" << false << QVector<int>{128, 96, 0, 0, 1, 1};
        QTest::newRow("width 65536 refused") << "lineEdit_X" << "65536" << false << QVector<int>{128, 96, 0, 0, 1, 1};
        QTest::newRow("width 65535") << "lineEdit_X" << "65535" << false << QVector<int>{65535, 96, 0, 0, 1, 1};
        QTest::newRow("300 rows refused") << "lineEdit_line" << "300" << false << QVector<int>{128, 96, 0, 0, 1, 1};
        QTest::newRow("256 columns refused") << "lineEdit_column" << "256" << false << QVector<int>{128, 96, 0, 0, 1, 1};
        QTest::newRow("255 columns") << "lineEdit_column" << "255" << false << QVector<int>{128, 96, 0, 0, 1, 255};
        QTest::newRow("zero height") << "lineEdit_Y" << "0" << false << QVector<int>{128, 0, 0, 0, 1, 1};
        QTest::newRow("zero rows sent") << "lineEdit_line" << "0" << false << QVector<int>{128, 96, 0, 0, 0, 1};
        QTest::newRow("vertical offset") << "lineEdit_vert" << "480" << false << QVector<int>{128, 96, 0, 480, 1, 1};
        QTest::newRow("offset 65536 refused") << "lineEdit_horzion" << "65536" << false << QVector<int>{128, 96, 0, 0, 1, 1};
        QTest::newRow("rows not a number") << "lineEdit_line" << "12a" << true << QVector<int>{128, 96, 0, 0, 6, 1};
        QTest::newRow("empty x offset") << "lineEdit_horzion" << "" << true << QVector<int>{128, 96, 3, 0, 1, 1};
        QTest::newRow("rows 300 set") << "lineEdit_line" << "300" << true << QVector<int>{128, 96, 0, 0, 6, 1};
    }
    void sendStoresWhatWasTyped()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(bool, byCode);
        QFETCH(QVector<int>, grid);
        fpga_manage::store_line_type({1, 2, 3, 4, 5, 6, 7, 9});
        s_ = dev_->open<SmartMapping>(Page::SmartMapping); // a screen built anew
        if (byCode)
            child<My_lineEdit>(field)->setText(typed);
        else if (!field.isEmpty())
            type(field, typed);
        if (!byCode) {
            QVector<int> shown;
            for (const char *f : {"lineEdit_X", "lineEdit_Y", "lineEdit_horzion", "lineEdit_vert",
                                  "lineEdit_line", "lineEdit_column"})
                shown << child<My_lineEdit>(f)->text().toInt();
            QCOMPARE(shown, grid);
        }
        click("Button_next");
        QCOMPARE(shownPage(), 1);
        click("Button_next_2");
        click("Button_send");
        const LINE_TYPE t = fpga_manage::line_type_copy();
        QCOMPARE((QVector<int>{t.box_width, t.box_height, t.offset_x, t.offset_y, t.rows, t.columns}), grid);
        QCOMPARE(int(t.net_port), 0); // a built screen starts at port 0 and pattern 1
        QCOMPARE(int(t.pattern), 1);
        QCOMPARE(jobWord(), int(JOB_SMART_MAPPING));
        QVERIFY(g_qround_bar);
    }

    void portGrid()
    {
        click("Button_next");
        QCOMPARE(markedTiles(), QList<int>{0});
        click("Button_wlan2");
        QCOMPARE(grid()->findChild<QLabel *>("text0")->text(), QStringLiteral("LED9"));
        QCOMPARE(markedTiles(), QList<int>{});
        pressTile(3);
        QCOMPARE(int(fpga_manage::line_type_copy().net_port), 11);
        click("Button_wlan1");
        pressTile(2);
        click("Button_wlan2");
        click("Button_wlan1");
        QCOMPARE(markedTiles(), QList<int>{2});
        pressTile(5);
        QCOMPARE(markedTiles(), QList<int>{5});
        QCOMPARE(int(fpga_manage::line_type_copy().net_port), 5);
    }

    // The chosen pattern survives a language change on the routing page; a pattern pressed
    // while a job runs leaves the job's cards alone.
    void routing()
    {
        type("lineEdit_line", "4");
        type("lineEdit_column", "8");
        for (const char *b : {"Button_next", "Button_next_2", "Button_route", "Button_route7", "Button_route"})
            click(b);
        QCOMPARE(shownPage(), 3);
        g_language = 0;
        s_->language_changed();
        QCOMPARE(child<QToolButton>("Button_route3")->text(), QStringLiteral("走线3"));
        QCOMPARE(child<QPushButton>("Button_route")->text(), QStringLiteral("走线7"));
        click("Button_cancel");
        click("Button_send");
        fpga()->run_once();
        click("Button_route");
        click("Button_route4");
        QCOMPARE(int(fpga_manage::line_type_copy().pattern), 4);
        runFpgaJob();
        const std::vector<RcvCardPos> cards = fpga()->model()->cards(0);
        QCOMPARE(int(cards.size()), 32);
        for (int i = 0; i < 32; ++i) {
            const KraCell c = kra_routing_cell(7, 4, 8, i);
            QCOMPARE(QPoint(cards[size_t(i)].x, cards[size_t(i)].y), QPoint(128 * c.column, 96 * c.row));
        }
        QVERIFY(!g_qround_bar);
    }

    void jobButtonsGuarded_data()
    {
        QTest::addColumn<int>("busy"); // 0 bar shown, 1 job word set, 2 USB upgrade
        QTest::addColumn<QString>("button");
        const char *buttons[] = {"Button_send", "Button_load", "Button_confirm", "Button_mapping_state"};
        const char *busy[] = {"bar", "job", "upgrade"};
        for (int b = 0; b < 3; ++b)
            for (const char *button : buttons)
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(busy[b], button))) << b << button;
    }
    void jobButtonsGuarded()
    {
        QFETCH(int, busy);
        QFETCH(QString, button);
        writeFiles("/data/smartmapping", {"a.ztfile"});
        openList();
        QVERIFY(!fpga_manage::ztfile_name().isEmpty());
        fpga()->write_to_register(0, 0x80, 0, 0);
        const u32 arg = fpga_manage::send_para_u32(SendPara::MAP_ARG);
        if (busy == 0)
            QRoundProgressBar::create_qround_bar(s_);
        else if (busy == 1)
            fpga_manage::set_send_para_u16(SendPara::JOB, JOB_RCV_CHECK);
        else
            fpga_manage::start_usb_upgrade();
        click(button);
        QCOMPARE(jobWord(), busy == 1 ? int(JOB_RCV_CHECK) : 0);
        QCOMPARE(fpga_manage::send_para_u32(SendPara::MAP_ARG), arg);
        QCOMPARE(int(fpga_manage::MCU_REG_func[0][0] & 0x80), 0);
        QCOMPARE(g_qround_bar != nullptr, busy == 0);
        if (busy == 0)
            g_qround_bar->para_sync(100);
        g_usb_grade = 0;
    }

    // Back, and a file event of the command protocol from a carrier's thread, close the
    // screen back to the settings menu, never while a job's bar is shown.
    void closing_data()
    {
        QTest::addColumn<int>("how"); // -1 Back, -2 idle time-out, else a ProtocolFile event
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("bar");
        QTest::addColumn<bool>("closed");
        QTest::newRow("back") << -1 << 0 << false << true;
        QTest::newRow("back with a bar") << -1 << 0 << true << false;
        QTest::newRow("idle") << -2 << 0 << false << true;
        QTest::newRow("idle with a bar") << -2 << 0 << true << false;
        QTest::newRow("scan file received") << int(ProtocolFile::TransferEnded) << 13 << false << true;
        QTest::newRow("other file received") << int(ProtocolFile::TransferEnded) << 12 << false << false;
        QTest::newRow("file deleted") << int(ProtocolFile::Deleted) << 0 << false << true;
        QTest::newRow("file deleted with a bar") << int(ProtocolFile::Deleted) << 0 << true << false;
    }
    void closing()
    {
        QFETCH(int, how);
        QFETCH(int, kind);
        QFETCH(bool, bar);
        QFETCH(bool, closed);
        dev_->open<Option>(Page::Settings);
        s_ = dev_->open<SmartMapping>(Page::SmartMapping);
        if (bar)
            QRoundProgressBar::create_qround_bar(s_);
        if (how == -2) {
            lcd_touch::pInstance()->touched();
            for (u32 i = 0; i <= g_back_to_mainwindow_time; ++i)
                lcd_touch::pInstance()->auto_timeout_back();
            // The settings menu below goes too.
            QCOMPARE(g_option == nullptr, closed);
            QCOMPARE(int(g_page_focus), int(closed ? Page::Main : Page::SmartMapping));
            return;
        }
        if (how == -1) {
            click("Button_back");
        } else {
            std::thread carrier([how, kind] { kra_protocol_file_event(ProtocolFile(how), kind); });
            carrier.join();
            QCOMPARE(g_smartmapping, s_);
            QCoreApplication::processEvents();
        }
        QCOMPARE(g_smartmapping == nullptr, closed);
        QCOMPARE(int(g_page_focus), int(closed ? Page::Settings : Page::SmartMapping));
    }

    // Local files first (white), then the stick's (green); the first entry is chosen after
    // every build, none on a later page until one is pressed.
    void fileList_data()
    {
        QTest::addColumn<QStringList>("local");
        QTest::addColumn<QStringList>("usb");
        QTest::addColumn<int>("listed");
        QTest::addColumn<int>("lastPage");
        QTest::newRow("three and four") << numbered("l", 3) << numbered("u", 4) << 7 << 1;
        QTest::newRow("exactly ten") << numbered("l", 10) << QStringList() << 10 << 1;
        QTest::newRow("120 files") << numbered("l", 70) << numbered("u", 50) << 100 << 19;
        QTest::newRow("suffixes") << QStringList{"a.ZTFILE", "b.ztfile.bak", "c.v2.ztfile", "d.ztfile", "ztfile"}
                                  << QStringList() << 2 << 0;
        QTest::newRow("only other suffixes") << QStringList{"a.txt", "b.bin"} << QStringList() << 0 << 0;
    }
    void fileList()
    {
        QFETCH(QStringList, local);
        QFETCH(QStringList, usb);
        QFETCH(int, listed);
        QFETCH(int, lastPage);
        writeFiles("/data/smartmapping", local);
        writeFiles("/mnt/usb1", usb);
        s_->language_changed();
        QVERIFY(!child<QPushButton>("Button_loadscan")->property("grey").toBool());
        openList();
        QCOMPARE(shownPage(), 5);
        QCOMPARE(s_->file_list().size(), listed);
        QCOMPARE(s_->list_last_page(), lastPage);
        const int localListed = std::min<int>(listed, int(local.filter(QRegularExpression("\\.ztfile$")).size()));
        for (int i = 0; i < listed; ++i)
            QCOMPARE(s_->file_list()[i].contains("/mnt/usb1/"), i >= localListed);
        if (listed == 0) {
            QCOMPARE(fileFrame()->findChild<QLabel *>()->text(), QStringLiteral("No loaded file!"));
            click("Button_load");
            QCOMPARE(jobWord(), 0);
            return;
        }
        QCOMPARE(fpga_manage::ztfile_name(), s_->file_list()[0]);
        QVERIFY(entry(0)->property("marked").toBool());
        QVERIFY(!fileFrame()->findChild<QPushButton *>("Button_previous"));
        // Walk to the last page: five a page, local white and USB green, nothing chosen.
        for (int p = 1; p <= lastPage; ++p) {
            fileFrame()->findChild<QPushButton *>("Button_next")->click();
            deliver();
            QCOMPARE(s_->list_page(), p);
        }
        QVERIFY(!fileFrame()->findChild<QPushButton *>("Button_next"));
        const int first = lastPage * 5;
        QCOMPARE(entriesShown(), std::min(5, listed - first));
        for (int k = 0; k < entriesShown(); ++k) {
            QCOMPARE(entry(k)->property("stick").toBool(), first + k >= localListed);
            QCOMPARE(entry(k)->property("marked").toBool(), first + k == 0);
            QCOMPARE(entry(k)->textFormat(), Qt::PlainText);
        }
        if (lastPage > 0) {
            QVERIFY(fpga_manage::ztfile_name().isEmpty());
            click("Button_load");
            QCOMPARE(jobWord(), 0);
            fileFrame()->findChild<QPushButton *>(QString::number(entriesShown() - 1))->click();
            QCOMPARE(fpga_manage::ztfile_name(), s_->file_list().last());
        }
        click("Button_load");
        QCOMPARE(jobWord(), int(JOB_LOAD_SCAN));
        runFpgaJob();
        QCOMPARE(fpga()->model()->scan_file(0), QFileInfo(fpga_manage::ztfile_name()).fileName());
    }

    // No scan file: Load scan is grey. A stick that arrives lists its file once, whatever the
    // language changes, and Load takes it; a stick event during the job waits for the bar.
    void stickEvents()
    {
        QVERIFY(child<QPushButton>("Button_loadscan")->property("grey").toBool());
        click("Button_loadscan");
        QCOMPARE(shownPage(), 0);
        writeFiles("/mnt/usb1", {"stick.ztfile"});
        s_->syncUpdate(102);
        QCOMPARE(shownPage(), 5);
        QVERIFY(child<QPushButton>("Button_shortcut")->property("marked").toBool());
        s_->language_changed();
        s_->syncUpdate(102);
        QCOMPARE(s_->file_list().size(), 1);
        click("Button_load");
        QCOMPARE(jobWord(), int(JOB_LOAD_SCAN));
        writeFiles("/mnt/usb1", {"late.ztfile"});
        s_->syncUpdate(102);
        s_->syncUpdate(101);
        QCOMPARE(s_->file_list().size(), 1);
        QCOMPARE(fpga_manage::ztfile_name(), s_->file_list()[0]);
        runFpgaJob();
        QVERIFY(!g_qround_bar);
        QCOMPARE(s_->file_list().size(), 2);
    }

    void mappingSwitch_data()
    {
        QTest::addColumn<bool>("on0");
        QTest::addColumn<bool>("on1");
        QTest::addColumn<bool>("after");
        QTest::addColumn<int>("arg");
        QTest::newRow("both on") << true << true << false << 0;
        QTest::newRow("one on") << true << false << true << 9;
        QTest::newRow("both off") << false << false << true << 9;
    }
    void mappingSwitch()
    {
        QFETCH(bool, on0);
        QFETCH(bool, on1);
        QFETCH(int, arg);
        fpga()->model()->set_chip_register(0, 0, on0 ? 0x81 : 0x01);
        fpga()->model()->set_chip_register(1, 0, on1 ? 0x80 : 0x00);
        click("Button_mapping");
        QCOMPARE(shownPage(), 7);
        click("Button_mapping_state");
        QCOMPARE(jobWord(), int(JOB_MAPPING_SWITCH));
        QCOMPARE(int(fpga_manage::send_para_u32(SendPara::MAP_ARG)), arg);
        for (int f = 0; f < 2; ++f) {
            fpga()->read_from_register(0, f);
            QTEST(bool(fpga_manage::MCU_REG_func[f][0] & 0x80), "after");
        }
        QCOMPARE(int(fpga_manage::MCU_REG_func[0][0] & 0x7F), 1); // the other bits kept
        runFpgaJob();
        QCOMPARE(int(fpga()->model()->mapping_arg()), arg);
    }

    // A register write that fails leaves the switch as shown and both register images as
    // they were (a write that took is set back), and starts no job.
    void mappingWriteFails_data()
    {
        QTest::addColumn<int>("failing");
        QTest::addColumn<bool>("wasOn");
        QTest::newRow("FPGA 0, switching off") << 0 << true;
        QTest::newRow("FPGA 1, switching off") << 1 << true;
        QTest::newRow("FPGA 1, switching on") << 1 << false;
    }
    void mappingWriteFails()
    {
        QFETCH(int, failing);
        QFETCH(bool, wasOn);
        const u8 was[2] = {u8(wasOn ? 0x81 : 0x01), u8(wasOn ? 0x80 : 0x00)};
        fpga()->model()->set_chip_register(0, 0, was[0]);
        fpga()->model()->set_chip_register(1, 0, was[1]);
        click("Button_mapping");
        const QAbstractButton *state = child<QAbstractButton>("Button_mapping_state");
        const QImage shown = state->icon().pixmap(70, 32).toImage();
        QCOMPARE(shown, QIcon(wasOn ? ":/png/button_on.png" : ":/png/button_off.png").pixmap(70, 32).toImage());
        fpga()->model()->set_write_fails(failing, 0, true);
        click("Button_mapping_state");
        fpga()->model()->set_write_fails(failing, 0, false);
        QCOMPARE(state->icon().pixmap(70, 32).toImage(), shown);
        QCOMPARE(jobWord(), 0);
        QVERIFY(!g_qround_bar);
        for (int f = 0; f < 2; ++f) {
            QCOMPARE(int(fpga_manage::register_image(f, 0)), int(was[f]));
            fpga()->read_from_register(0, f);
            QCOMPARE(int(fpga_manage::register_image(f, 0)), int(was[f])); // the chips too
        }
    }

    // Send to the bar's close with the manager's own thread.
    void wholeJobWithTheThread()
    {
        type("lineEdit_line", "2");
        type("lineEdit_column", "3");
        type("lineEdit_horzion", "10");
        click("Button_next");
        click("Button_wlan2");
        pressTile(1);
        for (const char *b : {"Button_next_2", "Button_route", "Button_route6", "Button_send"})
            click(b);
        QVERIFY(g_qround_bar);
        fpga()->initialize_start();
        QTRY_VERIFY_WITH_TIMEOUT(!g_qround_bar, 5000);
        fpga()->stop_thread();
        const std::vector<RcvCardPos> cards = fpga()->model()->cards(9);
        QCOMPARE(int(cards.size()), 6);
        for (int i = 0; i < 6; ++i) {
            const KraCell c = kra_routing_cell(6, 2, 3, i);
            QCOMPARE(QPoint(cards[size_t(i)].x, cards[size_t(i)].y), QPoint(10 + 128 * c.column, 96 * c.row));
        }
    }
};

QTEST_MAIN(TestSmartMapping)
#include "test_smartmapping.moc"
