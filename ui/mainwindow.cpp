#include "mainwindow.h"
#include "agelog.h"
#include "words.h"
#include "screenkit.h"
#include "firmwareupdate.h"
#include "fpga_manage.h"
#include "krarampara.h"
#include "lcd_touch.h"
#include "screens.h"
#include "tip.h"

#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QThread>
#include <QVariant>

namespace {
const KraText kTitle = {{"LED视频处理器", "LED Video Processor", "LED видеопроцессор",
                         "Bộ xử lý video LED", "LED視頻處理器"}};
const KraText kInput = {{"信源切换", "Source", "Источник", "Nguồn", "信源切換"}};
const KraText kModes = {{"用户模式", "User modes", "Режимы", "Chế độ", "用戶模式"}};
const KraText kPanel = {{"保存模式", "Save mode", "Сохранить", "Lưu chế độ", "保存模式"}};
const KraText kOption = {{"设置", "Settings", "Настройки", "Cài đặt", "設置"}};
const KraText kLock = {{"锁定面板", "Lock panel", "Блокировка", "Khóa", "鎖定面板"}};
const KraText kUnlock = {{"解锁面板", "Unlock panel", "Разблокировать", "Mở khóa", "解鎖面板"}};
const KraText kMode = {{"当前模式: ", "User mode: ", "Режим: ", "Chế độ: ", "當前模式: "}};
const KraText kNone = {{"无", "none", "нет", "không", "無"}};
const KraText kPanelTitle = {{"保存当前参数到模式", "Save the current settings as mode",
                              "Сохранить настройки в режим", "Lưu cài đặt vào chế độ",
                              "保存當前參數到模式"}};
const KraText kSave = {{"保存", "Save", "Сохранить", "Lưu", "保存"}};
const KraText kClose = {{"关闭", "Close", "Закрыть", "Đóng", "關閉"}};

// The window's look in one sheet, and the mode panel's in the panel's: a widget with a
// sheet of its own is styled on its own at every open.
const char *kSheet = "*{background-color: rgb(16, 16, 28);}"
                     "#label_title{color: rgb(255, 255, 255);font: 24px;}"
                     "#line{background-color: rgb(133, 129, 153);}"
                     "#label_led, #label_mode{color: rgb(255, 255, 255);font: 20px;}"
                     "QToolButton{background-color: #212435;color: #FFFFFF;border:1px solid #FFFFFF;"
                     "font: 17px;}QToolButton:disabled{color: #5F6481;border:1px solid #5F6481;}";
const char *kPanelSheet =
    "#frame_mode_panel{background-color: rgb(33, 36, 53);border:1px solid #FFFFFF;}"
    "#label_mode_panel{background-color: rgb(33, 36, 53);color: rgb(255, 255, 255);font: 20px;}"
    "QPushButton[slot=\"current\"]{background-color: #212435;color: #FFFFFF;border:1px solid #00D65B;font: 18px;}"
    "QPushButton[slot=\"saved\"]{background-color: #212435;color: #FFFFFF;border:1px solid #FFFFFF;font: 18px;}"
    "QPushButton[slot=\"empty\"]{background-color: #212435;color: #FFFFFF;border:1px solid #5F6481;font: 18px;}"
    "#Button_mode_save{background-color: #4777FF;color: rgb(255, 255, 255);"
    "border:1px solid rgb(255, 255, 255);}"
    "#Button_mode_close{background-color: rgb(33, 36, 53);color: rgb(255, 255, 255);"
    "border:1px solid rgb(255, 255, 255);}";
constexpr u32 kAgeLogTicks = 18000;

QToolButton *tileButton(QWidget *parent, const char *name, const char *icon, int x, int y)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, 140, 150);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    if (icon)
        b->setIcon(kra_icon(QString::fromLatin1(icon)));
    b->setIconSize(QSize(64, 64));
    return b;
}
} // namespace

MainWindow::MainWindow(QWidget *parent) : QDialog(parent, kra_screen_flags)
{
    build();
    QMetaObject::connectSlotsByName(this);
    connect(&timer_, &QTimer::timeout, this, &MainWindow::slot_update_timer_ticks);
    language_changed();
}

void MainWindow::build()
{
    setObjectName(QStringLiteral("MainWindow"));
    setFixedSize(800, 480);
    // The font first: set under a style sheet it has the sheet's rules resolved at once,
    // which the first polish does again.
    QFont f = font();
    f.setPointSize(12);
    setFont(f);
    setStyleSheet(QString::fromLatin1(kSheet));

    label_title_ = new QLabel(this);
    label_title_->setObjectName(QStringLiteral("label_title"));
    label_title_->setGeometry(200, 15, 400, 42);
    label_title_->setAlignment(Qt::AlignCenter);
    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("line"));
    line->setGeometry(0, 70, 800, 1);
    label_led_ = new QLabel(this);
    label_led_->setObjectName(QStringLiteral("label_led"));
    label_led_->setGeometry(40, 90, 360, 36);
    label_mode_ = new QLabel(this);
    label_mode_->setObjectName(QStringLiteral("label_mode"));
    label_mode_->setGeometry(420, 90, 340, 36);

    const char *names[] = {"inputchoose", "custommode", "Button_mode_panel", "Button_option", "Button_lock"};
    // The lock tile's picture follows the lock state: language_changed sets it.
    const char *icons[] = {":/png/icon_input.png", ":/png/icon_usermode.png", ":/png/icon_save.png",
                           ":/png/icon_settings.png", nullptr};
    for (int i = 0; i < 5; ++i)
        tiles_[i] = tileButton(this, names[i], icons[i], 30 + 150 * i, 160);
    // Screens that open from here once they exist.
    tiles_[0]->setEnabled(kra_screen_built(3));
    tiles_[1]->setEnabled(kra_screen_built(4));
}

// The mode panel is built when it is first opened.
void MainWindow::build_mode_panel()
{
    if (frame_mode_panel_)
        return;
    frame_mode_panel_ = new QFrame(this);
    frame_mode_panel_->setObjectName(QStringLiteral("frame_mode_panel"));
    frame_mode_panel_->setGeometry(20, 140, 760, 330);
    frame_mode_panel_->setStyleSheet(QString::fromLatin1(kPanelSheet));
    label_mode_title_ = new QLabel(frame_mode_panel_);
    label_mode_title_->setObjectName(QStringLiteral("label_mode_panel"));
    label_mode_title_->setGeometry(20, 10, 720, 36);
    for (int s = 0; s < 16; ++s) {
        auto *b = new QPushButton(QString::number(s + 1), frame_mode_panel_);
        b->setObjectName(QString::number(s));
        b->setGeometry(20 + 90 * (s % 8), 60 + 70 * (s / 8), 80, 60);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, &MainWindow::kra_mode_slot_clicked);
        mode_buttons_[s] = b;
    }
    button_mode_save_ = new QPushButton(frame_mode_panel_);
    button_mode_save_->setObjectName(QStringLiteral("Button_mode_save"));
    button_mode_save_->setGeometry(420, 260, 140, 50);
    button_mode_save_->setFocusPolicy(Qt::NoFocus);
    connect(button_mode_save_, &QPushButton::clicked, this, &MainWindow::on_Button_mode_save_clicked);
    button_mode_close_ = new QPushButton(frame_mode_panel_);
    button_mode_close_->setObjectName(QStringLiteral("Button_mode_close"));
    button_mode_close_->setGeometry(590, 260, 140, 50);
    button_mode_close_->setFocusPolicy(Qt::NoFocus);
    connect(button_mode_close_, &QPushButton::clicked, this, &MainWindow::on_Button_mode_close_clicked);
    frame_mode_panel_->hide();
    mode_panel_texts();
    mode_slot_looks();
}

void MainWindow::mode_panel_texts()
{
    label_mode_title_->setText(kra_text(kPanelTitle));
    button_mode_save_->setText(kra_text(kSave));
    button_mode_close_->setText(kra_text(kClose));
}

void MainWindow::language_changed()
{
    label_title_->setText(kra_text(kTitle));
    tiles_[0]->setText(kra_text(kInput));
    tiles_[1]->setText(kra_text(kModes));
    tiles_[2]->setText(kra_text(kPanel));
    tiles_[3]->setText(kra_text(kOption));
    tiles_[4]->setText(kra_text(panel_lock_ ? kUnlock : kLock));
    tiles_[4]->setIcon(kra_icon(panel_lock_ ? QStringLiteral(":/png/icon_unlock.png") : QStringLiteral(":/png/icon_lock.png")));
    if (frame_mode_panel_)
        mode_panel_texts();
    if (update_notice_)
        update_notice_->language_changed();
    status_update();
}

void MainWindow::status_update()
{
    KraRamPara *p = KraRamPara::pInstance();
    label_led_->setText(kra_text(kra_words::led_screen) + QStringLiteral("%1 x %2").arg(p->live16(Para::LED_WIDTH))
                                              .arg(p->live16(Para::LED_HEIGHT)));
    const int mode = p->KraGetCurrentModeIndex();
    label_mode_->setText(kra_text(kMode) + (mode ? QString::number(mode) : kra_text(kNone)));
    mode_slot_looks();
}

void MainWindow::mode_slot_looks()
{
    if (!frame_mode_panel_)
        return;
    KraRamPara *p = KraRamPara::pInstance();
    for (int s = 0; s < 16; ++s) {
        const char *look = s == g_mode_select ? "current" : p->KraUserModeSaved(s) ? "saved" : "empty";
        kra_set_look(mode_buttons_[s], "slot", QString::fromLatin1(look));
    }
}

void MainWindow::syncUpdate()
{
    if (KraRamPara::pInstance()->KraLanguageChanged())
        language_changed();
    else
        status_update();
}

void MainWindow::close_mode_panel()
{
    if (frame_mode_panel_)
        frame_mode_panel_->hide();
}

void MainWindow::on_inputchoose_clicked()
{
    if (panel_lock_)
        return;
    close_mode_panel();
    kra_open_screen(Page::InputSelect);
}

void MainWindow::on_custommode_clicked()
{
    if (panel_lock_)
        return;
    close_mode_panel();
    kra_open_screen(Page::UserModes);
}

void MainWindow::on_Button_option_clicked()
{
    if (panel_lock_)
        return;
    close_mode_panel();
    kra_open_screen(Page::Settings);
}

void MainWindow::on_Button_mode_panel_clicked()
{
    if (panel_lock_)
        return;
    const int mode = KraRamPara::pInstance()->KraGetCurrentModeIndex();
    g_mode_select = u8(mode ? mode - 1 : 0);
    build_mode_panel();
    status_update();
    frame_mode_panel_->show();
    frame_mode_panel_->raise();
}

void MainWindow::on_Button_lock_clicked()
{
    panel_lock_ = !panel_lock_;
    if (panel_lock_)
        close_mode_panel();
    language_changed();
}

void MainWindow::kra_mode_slot_clicked()
{
    bool ok = false;
    const int s = sender() ? sender()->objectName().toInt(&ok) : -1;
    if (!ok || s < 0 || s > 15)
        return;
    g_mode_select = u8(s);
    status_update();
}

void MainWindow::on_Button_mode_save_clicked()
{
    save_user_mode(g_mode_select);
    close_mode_panel();
}

void MainWindow::on_Button_mode_close_clicked()
{
    close_mode_panel();
}

void MainWindow::save_user_mode(int slot)
{
    if (slot < 0 || slot > 15)
        return;
    // The refresh that follows the change stores the slot and its file.
    g_save_mode_request = u8(slot + 1);
    ParaWrite w;
    w.set16(Para::CURRENT_MODE, u16(slot + 1));
}

void MainWindow::slot_update_timer_ticks()
{
    const u32 now = ++G_timeTicks;
    if (g_tip)
        g_tip->tick();
    lcd_touch::pInstance()->auto_timeout_back();
    if (now % kAgeLogTicks == 0) {
        if (fpga_manage::p_fpga_manage && !pc_cmd_valid && fpga_manage::both_running())
            getagelog();
        kra_agelog_updated();
    }
}

void MainWindow::getagelog()
{
    fpga_manage *f = fpga_manage::pInstance();
    AgeRegisters reg[2];
    for (int fpga = 0; fpga < 2; ++fpga) {
        for (int r : {42, 40, 43})
            f->read_from_register(r, fpga);
        reg[fpga] = {fpga_manage::register_image(fpga, 42), fpga_manage::register_image(fpga, 40),
                     fpga_manage::register_image(fpga, 43)};
    }
    kra_append_age_record(QDateTime::currentDateTime(), reg[0], reg[1]);
}

bool MainWindow::update_shown() const
{
    return update_notice_ && update_notice_->isVisible();
}

void MainWindow::show_update_notice(bool show)
{
    if (show) {
        if (!update_notice_)
            update_notice_ = new FirmwareUpdate(nullptr);
        update_notice_->language_changed();
        update_notice_->show();
        update_notice_->raise();
    } else if (update_notice_) {
        update_notice_->hide();
    }
}

void MainWindow::update_start()
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this] { show_update_notice(true); }, Qt::QueuedConnection);
        return;
    }
    show_update_notice(true);
}

void MainWindow::update_over()
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this] { show_update_notice(false); }, Qt::QueuedConnection);
        return;
    }
    show_update_notice(false);
}
