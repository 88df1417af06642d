#include "lockwindow.h"
#include "words.h"
#include "screenkit.h"
#include "global.h"
#include "krarampara.h"
#include "mainwindow.h"
#include "sourcepanel.h"
#include "textfit.h"

#include <QLabel>

namespace {
const KraText kTitle = {{"LED视频处理器", "LED Video Processor", "LED видеопроцессор",
                         "Bộ xử lý video LED", "LED視頻處理器"}};
const KraText kTouch = {{"触摸屏幕进入", "Touch the screen to start", "Коснитесь экрана",
                         "Chạm vào màn hình để bắt đầu", "觸摸屏幕進入"}};
// Inputs in the order of the input tabs: HDMI1..HDMI4, DVI, EXT.
const int kInputs[6] = {2, 3, 4, 5, 1, 0};
const char *kInputNames[6] = {"EXT", "DVI", "HDMI1", "HDMI2", "HDMI3", "HDMI4"};
// The screen's look in one sheet; only the signal states keep sheets of their own, which
// text fitting extends with a smaller font.
const char *kSheet = "*{background-color: rgb(16, 16, 28);}"
                     "#label_title{color: rgb(255, 255, 255);font: 34px;}"
                     "#label_led{color: rgb(71, 119, 255);font: 24px;}"
                     "#label_touch{color: rgb(133, 129, 153);font: 20px;}"
                     "#input_tile{background-color: #212435;border:1px solid #FFFFFF;}"
                     "#input_tile *{background-color: #212435;border:0px;}"
                     "#input_tile #input_name{color: rgb(255, 255, 255);font: 20px;}";
} // namespace

LockWindow::LockWindow(QWidget *parent) : QDialog(parent, kra_screen_flags | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("LockWindow"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(800, 480);
    setStyleSheet(QString::fromLatin1(kSheet));

    label_title_ = new QLabel(this);
    label_title_->setObjectName(QStringLiteral("label_title"));
    label_title_->setGeometry(100, 40, 600, 60);
    label_title_->setAlignment(Qt::AlignCenter);
    label_led_ = new QLabel(this);
    label_led_->setObjectName(QStringLiteral("label_led"));
    label_led_->setGeometry(100, 120, 600, 40);
    label_led_->setAlignment(Qt::AlignCenter);
    for (int k = 0; k < 6; ++k) {
        auto *tile = new QLabel(this);
        tile->setObjectName(QStringLiteral("input_tile"));
        tile->setGeometry(21 + 130 * k, 200, 118, 110);
        input_name_[k] = new QLabel(tile);
        input_name_[k]->setObjectName(QStringLiteral("input_name"));
        input_name_[k]->setGeometry(1, 15, 116, 32);
        input_name_[k]->setAlignment(Qt::AlignCenter);
        input_state_[k] = new QLabel(tile);
        input_state_[k]->setObjectName(QStringLiteral("label_state_%1").arg(kInputs[k]));
        input_state_[k]->setGeometry(1, 60, 116, 32);
        input_state_[k]->setAlignment(Qt::AlignCenter);
    }
    label_touch_ = new QLabel(this);
    label_touch_->setObjectName(QStringLiteral("label_touch"));
    label_touch_->setGeometry(100, 380, 600, 40);
    label_touch_->setAlignment(Qt::AlignCenter);
    language_changed();
}

void LockWindow::show_home()
{
    if (!g_lockwindow)
        g_lockwindow = new LockWindow(nullptr);
    if (g_page_focus != Page::Home)
        g_lockwindow->return_page_ = g_page_focus;
    g_page_focus = Page::Home;
    g_lockwindow->syncUpdate();
    g_lockwindow->show();
    g_lockwindow->raise();
    g_lockwindow->activateWindow();
}

void LockWindow::language_changed()
{
    label_title_->setText(kra_text(kTitle));
    label_touch_->setText(kra_text(kTouch));
    syncUpdate();
}

void LockWindow::syncUpdate()
{
    KraRamPara *p = KraRamPara::pInstance();
    label_led_->setText(kra_text(kra_words::led_screen) + QStringLiteral("%1 x %2").arg(p->live16(Para::LED_WIDTH))
                                              .arg(p->live16(Para::LED_HEIGHT)));
    for (int k = 0; k < 6; ++k) {
        const int in = kInputs[k];
        const KraTiming t = kra_input_timing(in); // one record, read under the writer's lock
        input_name_[k]->setText(QString::fromLatin1(kInputNames[in]));
        const bool signal = t.present();
        input_state_[k]->setText(signal ? QStringLiteral("%1x%2@%3").arg(t.width).arg(t.height).arg(t.rate)
                                        : kra_text(kra_words::no_signal));
        const QString sheet = signal ? QStringLiteral("color: #00D65B;font: 16px;border:0px;")
                                     : QStringLiteral("color: #CCCCCC;font: 16px;border:0px;");
        // The same sheet again would restyle the label all the same.
        if (input_state_[k]->styleSheet() != sheet)
            input_state_[k]->setStyleSheet(sheet);
        kra_fit_text(input_state_[k]);
    }
}

void LockWindow::unlock()
{
    hide();
    g_page_focus = u8(return_page_);
    if (g_mainwindow && return_page_ == Page::Main)
        g_mainwindow->language_changed();
}

void LockWindow::mousePressEvent(QMouseEvent *)
{
    unlock();
}
