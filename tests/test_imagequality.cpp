#include "testsupport.h"
#include "screenkit.h"

#include "c331_manage.h"
#include "imagequality.h"
#include "krarampara.h"
#include "lcd_touch.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QtTest>

namespace {

constexpr int kBright = 0x880, kContrast = 0x882, kSharp = 0x884, kSat = 0x886, kType = 0x888,
              kRed = 0x88A, kGreen = 0x88C, kBlue = 0x88E;

u8 *live() { return KraRamPara::pInstance()->ram_para; }
u16 field(int addr) { return rd16(live(), addr); }

// A change made elsewhere (the protocol): written under the mutex and applied.
void writeAndSettle(int addr, u16 value)
{
    {
        ParaWrite w;
        w.set16(addr, value);
    }
    TestDevice::settle();
}

template <typename T> T *child(QObject *screen, const QString &name)
{
    T *w = screen->findChild<T *>(name);
    if (!w)
        qFatal("no widget %s", qPrintable(name));
    return w;
}

void sendMouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void addRows()
{
    QTest::addColumn<QString>("stem");
    QTest::addColumn<QString>("sliderName");
    QTest::addColumn<int>("addr");
    QTest::addColumn<int>("max");
    QTest::addColumn<bool>("lowByte");
    QTest::newRow("bright") << "bright" << "bright" << kBright << 100 << true;
    QTest::newRow("contrast") << "contrast" << "contrast" << kContrast << 100 << true;
    QTest::newRow("sharpness") << "sharpness" << "sharpness" << kSharp << 100 << true;
    QTest::newRow("saturation") << "saturation" << "saturation" << kSat << 100 << false;
    QTest::newRow("red") << "red" << "red" << kRed << 128 << false;
    QTest::newRow("green") << "green" << "green" << kGreen << 128 << false;
    QTest::newRow("blue") << "blue" << "blue" << kBlue << 128 << false;
}

} // namespace

class TestImageQuality : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScreenFixture> dev_;
    ImageQuality *screen_ = nullptr;

    QSlider *slider(const QString &stem) { return child<QSlider>(screen_, "horizontalSlider_" + stem); }
    QLabel *label(const QString &stem) { return child<QLabel>(screen_, "label_" + stem); }
    QPushButton *button(const QString &name) { return child<QPushButton>(screen_, name); }
    QComboBox *combo() { return child<QComboBox>(screen_, "comboBox"); }

private slots:
    void init()
    {
        dev_.reset(new ScreenFixture);
        screen_ = dev_->open<ImageQuality>(Page::PictureQuality);
        g_back_to_mainwindow_time = 18000;
        g_auto_lock_time = 30000;
    }
    void cleanup() { dev_.reset(); }

    void buildsWithEveryAutoSlotConnected()
    {
        QVERIFY2(unhookedSlots(dev_->buildWarnings()).isEmpty(), qPrintable(dev_->buildWarnings().join('\n')));
        QCOMPARE(c331_manage::para_changed.load(), u8(0));
    }

    void dragShowsValueAndReleaseStoresOnce_data() { addRows(); }
    void dragShowsValueAndReleaseStoresOnce()
    {
        QFETCH(QString, stem);
        QFETCH(QString, sliderName);
        QFETCH(int, addr);
        QFETCH(int, max);
        writeAndSettle(addr, 0);
        QSlider *s = slider(sliderName);
        QCOMPARE(s->value(), 0);
        const int y = s->height() / 2;

        sendMouse(s, QEvent::MouseButtonPress, QPoint(16, y), Qt::LeftButton); // on the handle
        QVERIFY(s->isSliderDown());
        sendMouse(s, QEvent::MouseMove, QPoint(s->width() / 2, y), Qt::LeftButton);
        const int middle = s->value();
        QVERIFY(middle > 0 && middle < max);
        QCOMPARE(label(stem)->text(), QString::number(middle));
        sendMouse(s, QEvent::MouseMove, QPoint(s->width(), y), Qt::LeftButton);
        QCOMPARE(label(stem)->text(), QString::number(max));
        QCOMPARE(field(addr), u16(0));
        QCOMPARE(c331_manage::para_changed.load(), u8(0));

        sendMouse(s, QEvent::MouseButtonRelease, QPoint(s->width(), y), Qt::NoButton);
        QCOMPARE(field(addr), u16(max));
        QCOMPARE(c331_manage::para_changed.load(), u8(1));
        TestDevice::settle();
        QCOMPARE(s->value(), max);
        QCOMPARE(c331_manage::para_changed.load(), u8(0)); // the refresh stores nothing
    }

    // A tap on the groove steps the value with no release: it must be stored all the same;
    // a value set from code is only shown.
    void tapOnGrooveStoresAtOnce_data() { addRows(); }
    void tapOnGrooveStoresAtOnce()
    {
        QFETCH(QString, stem);
        QFETCH(QString, sliderName);
        QFETCH(int, addr);
        writeAndSettle(addr, 0);
        QSlider *s = slider(sliderName);
        QTest::mouseClick(s, Qt::LeftButton, Qt::NoModifier, QPoint(s->width() - 10, s->height() / 2));
        QVERIFY(s->value() > 0);
        QCOMPARE(label(stem)->text(), QString::number(s->value()));
        QCOMPARE(int(field(addr)), s->value());
        QCOMPARE(c331_manage::para_changed.load(), u8(1));
        const int stored = s->value();
        s->setValue(1); // set, neither dragged nor stepped: shown only
        QCOMPARE(label(stem)->text(), QString("1"));
        QCOMPARE(int(field(addr)), stored);
    }

    void stepButtonsKeepBoundsAndStoreEveryPress_data()
    {
        QTest::addColumn<QString>("stem");
        QTest::addColumn<int>("addr");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("presses");
        QTest::addColumn<int>("expected");
        const struct {
            const char *stem;
            int addr;
            int max;
        } rows[] = {{"bright", kBright, 100},   {"contrast", kContrast, 100}, {"sharpness", kSharp, 100},
                    {"saturation", kSat, 100}, {"red", kRed, 128},           {"green", kGreen, 128},
                    {"blue", kBlue, 128}};
        for (const auto &r : rows) {
            QTest::addRow("%s up", r.stem) << r.stem << r.addr << 20 << 1 << 1 << 21;
            QTest::addRow("%s down", r.stem) << r.stem << r.addr << 20 << -1 << 1 << 19;
            QTest::addRow("%s up to max", r.stem) << r.stem << r.addr << r.max - 1 << 1 << 3 << r.max;
            QTest::addRow("%s down to 0", r.stem) << r.stem << r.addr << 1 << -1 << 3 << 0;
            // A field outside the range: the label must end on what is stored.
            QTest::addRow("%s down from above", r.stem) << r.stem << r.addr << 300 << -1 << 1 << r.max;
            QTest::addRow("%s up from below", r.stem) << r.stem << r.addr << 0xFFFB << 1 << 1 << 0;
        }
    }
    void stepButtonsKeepBoundsAndStoreEveryPress()
    {
        QFETCH(QString, stem);
        QFETCH(int, addr);
        QFETCH(int, start);
        QFETCH(int, delta);
        QFETCH(int, presses);
        QFETCH(int, expected);
        writeAndSettle(addr, u16(start));
        QPushButton *b = button("Button_" + stem + (delta > 0 ? "_add" : "_reduce"));
        QVERIFY(b->autoRepeat());
        for (int press = 0; press < presses; ++press) {
            QTest::mouseClick(b, Qt::LeftButton);
            QCOMPARE(label(stem)->text(), QString::number(expected));
            QCOMPARE(slider(stem)->value(), expected);
            QCOMPARE(int(live()[addr]), expected); // low byte: the only byte some rows own
            QCOMPARE(c331_manage::para_changed.load(), u8(1)); // also when the value stood still
            TestDevice::settle();
        }
    }

    void lowByteStoresKeepHighByte_data()
    {
        QTest::addColumn<QString>("stem");
        QTest::addColumn<int>("addr");
        QTest::addColumn<bool>("lowByte");
        QTest::addColumn<int>("max");
        QTest::newRow("bright") << "bright" << kBright << true << 100;
        QTest::newRow("contrast") << "contrast" << kContrast << true << 100;
        QTest::newRow("sharpness") << "sharpness" << kSharp << true << 100;
        QTest::newRow("saturation") << "saturation" << kSat << false << 100;
        QTest::newRow("blue") << "blue" << kBlue << false << 128;
    }
    void lowByteStoresKeepHighByte()
    {
        QFETCH(QString, stem);
        QFETCH(int, addr);
        QFETCH(bool, lowByte);
        QFETCH(int, max);
        writeAndSettle(addr, 0x0328);
        QTest::mouseClick(button("Button_" + stem + "_reduce"), Qt::LeftButton);
        QCOMPARE(int(live()[addr]), max);
        QCOMPARE(int(live()[addr + 1]), lowByte ? 3 : 0);

        writeAndSettle(addr, 0x0328);
        QSlider *s = slider(stem);
        s->setSliderDown(true);
        s->setSliderPosition(30);
        s->setSliderDown(false);
        QCOMPARE(int(field(addr)), lowByte ? 0x031E : 30);
    }

    void resetWritesDefaultsAndControlsFollowAfterRefresh()
    {
        const int others[] = {7, 8, 9, 11, 1, 3, 4, 5};
        const int defaults[] = {100, 50, 10, 50, 2, 64, 64, 64};
        for (int i = 0; i < 8; ++i)
            writeAndSettle(kBright + 2 * i, u16(others[i]));
        QCOMPARE(label("bright")->text(), QString("7"));
        QCOMPARE(combo()->currentIndex(), 1);

        QTest::mouseClick(button("Button_reset"), Qt::LeftButton);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(int(field(kBright + 2 * i)), defaults[i]);
        QCOMPARE(c331_manage::para_changed.load(), u8(1));
        QCOMPARE(slider("bright")->value(), 7);
        QCOMPARE(label("contrast")->text(), QString("8"));
        QCOMPARE(combo()->currentIndex(), 1);

        TestDevice::settle();
        const char *stems[] = {"bright", "contrast", "sharpness", "saturation"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(slider(stems[i])->value(), defaults[i]);
            QCOMPARE(label(stems[i])->text(), QString::number(defaults[i]));
        }
        QCOMPARE(combo()->currentIndex(), 2);
        for (const char *g : {"red", "green", "blue"})
            QCOMPARE(slider(g)->value(), 64);
        QCOMPARE(c331_manage::para_changed.load(), u8(0));
    }

    void choosingColourType_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<int>("expectedField");
        QTest::addColumn<bool>("expectStore");
        QTest::newRow("same type") << 2 << 2 << 2 << false;
        QTest::newRow("other type") << 2 << 0 << 0 << true;
        QTest::newRow("high byte cleared") << 0x0102 << 3 << 3 << true;
    }
    void choosingColourType()
    {
        QFETCH(int, stored);
        QFETCH(int, chosen);
        QFETCH(int, expectedField);
        QFETCH(bool, expectStore);
        writeAndSettle(kType, u16(stored));
        {
            QSignalBlocker b(combo());
            combo()->setCurrentIndex(-1);
        }
        combo()->setCurrentIndex(chosen);
        QCOMPARE(int(field(kType)), expectedField);
        QCOMPARE(c331_manage::para_changed.load(), u8(expectStore ? 1 : 0));
    }

    // Refilling the list passes through other indexes; none may reach the parameter block.
    void colourTypeRefillWritesNothing()
    {
        writeAndSettle(kType, 3);
        QCOMPARE(combo()->currentIndex(), 3);
        QCOMPARE(c331_manage::para_changed.load(), u8(0));

        screen_->language_changed();
        screen_->combox_language_change();
        screen_->para_init();
        QCOMPARE(c331_manage::para_changed.load(), u8(0));

        writeAndSettle(Para::LANGUAGE, 0); // the protocol switches to Chinese
        QCOMPARE(c331_manage::para_changed.load(), u8(0));
        QCOMPARE(int(field(kType)), 3);
        QCOMPARE(combo()->count(), 4);
        QCOMPARE(combo()->currentIndex(), 3);
        QCOMPARE(combo()->currentText(), QString("偏冷"));
        QCOMPARE(child<QLabel>(screen_, "label_name_bright")->text(), QString("亮度"));
    }

    void refreshRedrawsOnlyForPictureChanges()
    {
        writeAndSettle(kSat, 77);
        QCOMPARE(slider("saturation")->value(), 77);
        QCOMPARE(label("saturation")->text(), QString("77"));

        // Picture bytes equal in live and shadow: a change elsewhere must not redraw.
        {
            ParaWrite w(false);
            wr16(w.image(), kSat, 33);
            wr16(KraRamPara::pInstance()->ram_para_bak, kSat, 33);
        }
        writeAndSettle(Para::SWITCH_EFFECT, 1);
        QCOMPARE(label("saturation")->text(), QString("77"));
    }

    void pageButtonsSwapMarking()
    {
        QPushButton *quality = button("Button_quality");
        QPushButton *temperature = button("Button_temperature");
        auto *stack = child<QStackedWidget>(screen_, "stackedWidget");
        QTest::mouseClick(temperature, Qt::LeftButton);
        QCOMPARE(stack->currentIndex(), 1);
        QVERIFY(kra_marked(temperature));
        QVERIFY(!kra_marked(quality));
        QTest::mouseClick(quality, Qt::LeftButton);
        QCOMPARE(stack->currentIndex(), 0);
        QVERIFY(kra_marked(quality));
        QVERIFY(!kra_marked(temperature));
    }

    void idleTimeoutClosesScreen()
    {
        g_back_to_mainwindow_time = 5;
        g_auto_lock_time = 1000;
        QPointer<ImageQuality> watch(screen_);
        lcd_touch::pInstance()->touched();
        for (int i = 0; i < 10; ++i)
            lcd_touch::pInstance()->auto_timeout_back();
        QCOMPARE(g_imagequality, nullptr);
        QCOMPARE(int(g_page_focus), 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(watch.isNull());
    }
};

QTEST_MAIN(TestImageQuality)
#include "test_imagequality.moc"
