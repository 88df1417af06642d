#include "advancedoption.h"
#include "screenkit.h"
#include "words.h"
#include "textfit.h"
#include "ui_advancedoption.h"

#include "fpga_manage.h"
#include "krarampara.h"
#include "pararules.h"
#include "q71_wifi_config.h"
#include "screens.h"
#include "taviksource.h"
#include "utils.h"
#include "c331_manage.h"
#include "numberkeyboard.h"
#include "QRoundProgressBar.h"

#include <QDateTime>
#include <QFontInfo>

#include <QListView>
#include <QSignalBlocker>

namespace {

// ---- look ----
const char *kPageSelected = "background-color:#4777FF;color:#FFFFFF";
const char *kPageDeselected = "background-color:#10101C;color:#FFFFFF";
const char *kTabActive = "color:#4777FF;";
const char *kTabInactive = "color:#FFFFFF;";
const char *kResetMarked = "background-color:#4777FF;color:#FFFFFF;border:1px solid rgb(255, 255, 255);";
const char *kResetUnmarked = "background-color:#10101C;color:#FFFFFF;border:1px solid rgb(255, 255, 255);";
const char *kRcvNormal = "background-color: #10101C;color:rgb(255,255,255)";
const char *kRcvNoFiles = "background-color: gray;color:rgb(255,255,255)";
const char *kRcvSelected = "background-color: rgb(71, 119, 255); color:rgb(255,255,255)";

// Under the screen's style sheet a restyled widget loses the font its form gave it (a page
// button's text shrank from 20 to 13 px once another page was chosen): every style names a
// size, `px` or else the form's (taken before the first restyle), and a long text is fitted
// again. The style is kept for a later change of size.
const char *kBaseStyle = "kraBaseStyle";
void applyStyle(QWidget *w, const QString &style, int px = 0)
{
    const char *formSize = "kraFormSize";
    if (!w->property(formSize).isValid()) {
        // Text fitting may already have given the font a pixel size (its point size is then -1).
        const QFont f = w->font();
        w->setProperty(formSize, f.pointSizeF() > 0 ? QStringLiteral("%1pt").arg(f.pointSizeF())
                                                    : QStringLiteral("%1px").arg(f.pixelSize()));
    }
    w->setProperty(kBaseStyle, style);
    QString sheet = style;
    if (!sheet.endsWith(QLatin1Char(';')))
        sheet += QLatin1Char(';');
    sheet += px > 0 ? QStringLiteral("font-size:%1px;").arg(px)
                    : QStringLiteral("font-size:%1;").arg(w->property(formSize).toString());
    w->setStyleSheet(sheet);
    kra_fit_text(w);
}
void applyStyle(QWidget *w, const char *style, int px = 0)
{
    applyStyle(w, QString::fromLatin1(style), px);
}

void setChecked(QPushButton *b, bool checked)
{
    b->setIcon(kra_icon(checked ? QStringLiteral(":/png/checked.png") : QStringLiteral(":/png/unchecked.png")));
    b->setIconSize(QSize(32, 32));
}

void setToggle(QPushButton *b, bool on)
{
    b->setIcon(kra_icon(on ? QStringLiteral(":/png/button_on.png") : QStringLiteral(":/png/button_off.png")));
    b->setIconSize(QSize(70, 32));
}

// ---- texts ----
using Ui_ = Ui::AdvancedOption;

const KraFormText<Ui_, QLabel> kLabels[] = {
    {&Ui_::label_title, {{"高级设置", "Advanced Settings", "Доп.опции", "Cài đặt nâng cao", "高級設置"}}},
    {&Ui_::label_backmainwindow,
     {{"返回主界面时长", "To main interface", "Возврат к главному", "Quay lại màn hình chính", "返回主界麵時長"}}},
    {&Ui_::label_autolock, {{"自动锁屏", "Auto-screen lock", "Автоблокировка", "Tự đọng khoá màn hình", "自動鎖屏"}}},
    {&Ui_::label_5min, {{"5分钟", "5min", "5 мин", "5 phút", "5分鐘"}}},
    {&Ui_::label_10min, {{"10分钟", "10min", "10 мин", "10 phút", "10分鐘"}}},
    {&Ui_::label_never, {{"从不", "Never", "Отключить", "Không bao giờ khoá", "從不"}}},
    {&Ui_::label_name_volume, {{"音量", "Volume", "Звук", "âm thanh", "音量"}}},
    {&Ui_::label_name_switch, {{"切换特效", "Switch mode", "Эффект", "Hiệu ứng", "切換特效"}}},
    {&Ui_::label_name_mode, {{"投屏设备", "Projection", "Радиоприбор", "Cài đặt Thiết bị", "投屏設備"}}},
    {&Ui_::label_wifi, {{"WIFI状态", "Wifi state", "WiFi статус", "Trạng thái wifi", "WIFI狀態"}}},
    {&Ui_::label_seamless, {{"无缝快切", "Seamless", "Быстро", "Chuyển đổi ngay", "無縫快切"}}},
    {&Ui_::label_fade, {{"淡入淡出", "Fade", "Плавно", "và ngoài", "淡入淡出"}}},
    {&Ui_::label_language, {{"语言", "language", "Язык", "Ngôn ngữ", "語言"}}},
    {&Ui_::label_DBD_open, {{"开启", "ON", "Вкл", "Mở", "開啟"}}},
    {&Ui_::label_DBD_open_2, {{"关闭", "OFF", "Откл", "Đóng", "關閉"}}},
    {&Ui_::label_name_DBD, {{"点对点", "DBD", "Пиксель к пикселю", "Điểm tới điểm", "點對點"}}},
    {&Ui_::label_32CN, {{"32高中文", "32 CN", "32 CN", "32 CN", "32高中文"}}},
    {&Ui_::label_32EN, {{"32高英文", "32 EN", "32 EN", "32 EN", "32高英文"}}},
    {&Ui_::label_64CN, {{"64高中文", "64 CN", "64 CN", "64 CN", "64高中文"}}},
    {&Ui_::label_64EN, {{"64高英文", "64 EN", "64 EN", "64 EN", "64高英文"}}},
    {&Ui_::label_128CN, {{"128高中文", "128 CN", "128 CN", "128 CN", "128高中文"}}},
    {&Ui_::label_128EN, {{"128高英文", "128 EN", "128 EN", "128 EN", "128高英文"}}},
    {&Ui_::label_256CN, {{"256高中文", "256 CN", "256 CN", "256 CN", "256高中文"}}},
    {&Ui_::label_256EN, {{"256高英文", "256 EN", "256 EN", "256 EN", "256高英文"}}},
    {&Ui_::label_rcv_update,
     {{"接收卡更新", "Receiving card update", "Получить обновление карты", "Nhận thông tin cập nhập về thẻ",
       "接收卡更新"}}},
};

const KraFormText<Ui_, QPushButton> kButtons[] = {
    {&Ui_::Button_rcv_recovery,
     {{"接收卡自恢复", "Rcv\nself-recovery", "Самовосст\nановление", "Thẻ nhận tự\nphục hồi", "接收卡自恢複"}}},
    {&Ui_::Button_plan, {{"计划任务", "Planning Tasks", "Расписание задач", "Nhiệm vụ theo lịch trình", "計劃任務"}}},
    {&Ui_::Button_switch, {{"定时切换", "Timer switch", "Расписание задач", "Kế hoạch thời gian", "定時切換"}}},
    {&Ui_::modeButton, {{"点击切换", "Click OK", "Нажмите ОК", "Đồng ý", "點擊切換"}}},
    {&Ui_::Button_language, {{"语言", "language", "Язык", "Ngôn ngữ", "語言"}}},
    {&Ui_::Button_reset, {{"工厂复位", "Factory reset", "Сброс настроек", "Khôi phục cài đặt gốc", "工廠複位"}}},
    {&Ui_::Button_LCDshow, {{"液晶显示", "LCD display", "ЖК дисплей", "Màn hình LCD", "液晶顯示"}}},
    {&Ui_::Button_timeplan, {{"计划任务", "Planning Tasks", "Расписание задач", "Nhiệm vụ theo lịch trình", "計劃任務"}}},
    {&Ui_::Button_other, {{"其它设置", "Other Settings", "Другие\nнастройки", "Cài đặt khác", "其它設置"}}},
    {&Ui_::Button_factory, {{"工厂设置", "Factory setup", "Системные\nнастройки", "Khôi phục\ncàiđăt gốc", "工廠設置"}}},
    {&Ui_::Button_reset1, {{"保持IP不变", "Keep IP", "Сохранить IP", "Giữ nguyên IP", "保持IP不變"}}},
    {&Ui_::Button_reset2,
     {{"IP和EDID保持不变", "Keep IP,EDIP", "Сохранить IP и EDID", "IP và EDID vẫn giữ nguyên", "IP和EDID保持不變"}}},
    {&Ui_::Button_reset3,
     {{"全部恢复出厂设置", "Reset ALL", "Сбросить все", "Khôi phục cài đặt gốc tất cả", "全部恢複出廠設置"}}},
    {&Ui_::Button_factory_age, {{"工厂老化", "Aging", "Сброс\nнастроек", "Lão hóa\nnhà máy", "工廠老化"}}},
    {&Ui_::Button_self_recovery, {{"恢复", "Recover", "Восстановить", "Phục hồi", "恢複"}}},
    {&Ui_::Button_check, {{"查询", "Check", "Считать", "Tìm hiểu", "查詢"}}},
};

// Names of the audio list's entries, with the window number.
const KraText kWindowName = {{"画面%1", "image%1", "Канал%1", "Hình ảnh%1", "畫麵%1"}};

// The language buttons and their labels, by language code.
struct LanguageRow {
    QPushButton *Ui_::*button;
    QLabel *Ui_::*label;
};
const LanguageRow kLanguages[5] = {
    {&Ui_::Button_chinese, &Ui_::label_cn}, {&Ui_::Button_english, &Ui_::label_en},
    {&Ui_::Button_ru, &Ui_::label_ru},      {&Ui_::Button_vn, &Ui_::label_vn},
    {&Ui_::Button_tn, &Ui_::label_tn},
};

constexpr int kPageLcd = 0, kPageRcv = 1, kPageTimePlan = 2, kPageOther = 3, kPageFactory = 4, kPageAgeLog = 5;

// ---- receiving-card check ----

const char *kJobChosen = "background-color:#4777FF;color:#FFFFFF";
const char *kJobOther = "background-color:#10101C;color:#FFFFFF";
constexpr int kListLastPage = 0; // the job stores one entry: the list never needs a second page

const KraText kNoCard = {{"暂无接收卡需要更新!", "No receiving cards that need to be updated!",
                          "Обновление принимающих карт не требуется!", "Chưa có thẻ nhận nào để cập nhật!",
                          "暫無接收卡需要更新!"}};
// The last check or recovery could not read a card or restore it.
const KraText kJobFailed = {{"接收卡读取或恢复失败!", "Reading or restoring a receiving card failed!",
                             "Ошибка чтения или восстановления карты!", "Đọc hoặc phục hồi thẻ nhận thất bại!",
                             "接收卡讀取或恢複失敗!"}};
// The words of an entry: found, screen, net port, card. Russian and Vietnamese use English.
const KraText kFind = {{"发现", "Find", "Find", "Find", "髮現"}};
const KraText kScreen = {{"屏幕", "Screen", "Screen", "Screen", "屏幕"}};
const KraText kPort = {{"网口LED", "LED", "LED", "LED", "網口LED"}};
const KraText kCard = {{"接收卡", "Rcv", "Rcv", "Rcv", "接收卡"}};

// The drawn text of an entry "screen/port/card/cards in the pack" split at "/"; the card's
// number is red when the pack cannot serve it.
QString entryText(const QStringList &p, bool red)
{
    return kra_text(kFind) + QLatin1Char(' ') + kra_text(kScreen) + p[0].toHtmlEscaped() + QStringLiteral(", ")
           + kra_text(kPort) + p[1].toHtmlEscaped() + QStringLiteral(", ") + kra_text(kCard)
           + QStringLiteral("<font color = %1 >%2</font>")
                 .arg(red ? QStringLiteral("#FF0000") : QStringLiteral("#FFFFFF"), p[2].toHtmlEscaped());
}

// ---- factory status ----

// Each status picture with the font-present bit it shows.
struct FontRow {
    QLabel *Ui_::*label;
    u32 bit;
};
const FontRow kFonts[] = {
    {&Ui_::label_32ENS, 1u << 1},  {&Ui_::label_32CNS, 1u << 0},  {&Ui_::label_64CNS, 1u << 2},
    {&Ui_::label_128CNS, 1u << 2}, {&Ui_::label_256CNS, 1u << 2}, {&Ui_::label_64ENS, 1u << 3},
    {&Ui_::label_128ENS, 1u << 3}, {&Ui_::label_256ENS, 1u << 3},
};

// ---- ageing log ----

const QString kAccessCode = QStringLiteral("8627");
constexpr int kAgeRecordsPerPage = 16;
const KraText kAccessCaption = {{"key", "key", "Пароль", "key", "key"}};

QString agePadded(const QString &field)
{
    return QString::asprintf("%03d", field.toInt());
}

// The five status lamps of an output: DDR0, DDR1, DE, HS, VS from bit 0 up.
QString ageLamps(const QString &field)
{
    static const char *const names[] = {"DDR0", "DDR1", "DE", "HS", "VS"};
    const int bits = field.toInt();
    QString lamps;
    for (int b = 0; b < 5; ++b) {
        lamps += QStringLiteral("<font color = %1 >%2</font> ")
                     .arg(bits & (1 << b) ? QStringLiteral("#00FF00") : QStringLiteral("#FF0000"),
                          QLatin1String(names[b]));
    }
    return lamps;
}

// One output's band counters as the summary line shows them.
QString ageCounters(u32 d3, u32 d5, u32 d10, u32 d20, u32 more)
{
    return QStringLiteral("%1<3  %2<5  %3<10  %4<20  %5>20 ").arg(d3).arg(d5).arg(d10).arg(d20).arg(more);
}

} // namespace

AdvancedOption::AdvancedOption(QWidget *parent)
    : QDialog(parent, kra_screen_flags), ui(new Ui::AdvancedOption), file_list_(nullptr)
{
    ui->setupUi(this);
    ui->stackedWidget->setCurrentIndex(kPageLcd);
    ui->stackedWidget_2->setCurrentIndex(0);
    ui->stackedWidget_3->setCurrentIndex(0);
    ui->Button_back->setIcon(kra_icon(QStringLiteral(":/png/back.png")));
    ui->Button_back->setIconSize(QSize(32, 32));
    select_button_ = ui->Button_LCDshow;
    applyStyle(select_button_, kPageSelected);
    applyStyle(ui->Button_language, kTabActive);
    applyStyle(ui->Button_plan, kTabActive);

    // The slider's minimum is 3000, so setting it may emit nothing: the label is set here.
    ui->label_time->setText(idle_time_text(int(g_back_to_mainwindow_time)));
    {
        QSignalBlocker block(ui->horizontalSlider);
        ui->horizontalSlider->setValue(int(g_back_to_mainwindow_time));
    }
    connect(ui->horizontalSlider, &QAbstractSlider::actionTriggered, this, &AdvancedOption::slider_stepped);
    // A value other than the three choices leaves the 5-minute choice marked, the time as it is.
    setChecked(ui->Button_5min, g_auto_lock_time != 60000 && g_auto_lock_time != 120000);
    setChecked(ui->Button_10min, g_auto_lock_time == 60000);
    setChecked(ui->Button_never, g_auto_lock_time == 120000);

    ui->Button_timeplan->hide();
    ui->label_para_file->hide();
    ui->label_para_name->hide();
    ui->ImageVolume->setView(new QListView(ui->ImageVolume));

    file_list_ = KraFileList(ui->page_2);
    if (g_numberkeyboard)
        connect(g_numberkeyboard, &NumberKeyboard::sendKeyBoardUIDataToLineEdit, this, &AdvancedOption::confirmString);

    para_init();
    lcd_language_deal();
    language_changed();
}

AdvancedOption::~AdvancedOption()
{
    delete ui;
}

QString AdvancedOption::idle_time_text(int ticks)
{
    if (ticks < 6000)
        return QStringLiteral("%1s").arg(ticks / 100);
    if (ticks > 17999)
        return QStringLiteral("3m");
    if (ticks % 6000)
        return QString::asprintf("%.1fm", double(float(ticks / 6000.0)));
    return QStringLiteral("%1m").arg(ticks / 6000);
}

void AdvancedOption::para_init()
{
    KraRamPara *para = KraRamPara::pInstance();
    const int selected = kra_selected_window_correct();
    const std::vector<int> windows = kra_windows_on();
    int current = -1;
    {
        // Clearing and refilling passes through other indexes; none of them is the operator's.
        QSignalBlocker block(ui->ImageVolume);
        ui->ImageVolume->clear();
        for (size_t i = 0; i < windows.size(); ++i) {
            ui->ImageVolume->addItem(kra_text(kWindowName).arg(windows[i] + 1));
            if (windows[i] == selected)
                current = int(i);
        }
        ui->ImageVolume->setCurrentIndex(current);
    }
    show_audio(current);

    setToggle(ui->Button_wifi_state, para->ram_para[Para::WLAN_OFF] == 0);
    const bool fade = para->live16(Para::SWITCH_EFFECT) != 0;
    setChecked(ui->Button_fade, fade);
    setChecked(ui->Button_seamless, !fade);
    const bool p2p = kra_p2p_all_on();
    setChecked(ui->Button_DBD_open, p2p);
    setChecked(ui->Button_DBD_close, !p2p);
}

void AdvancedOption::syncUpdate(int code)
{
    const bool language = KraRamPara::pInstance()->KraLanguageChanged() != 0;
    if (language) {
        language_changed();
        lcd_language_deal();
    }
    if (language || kra_advanced_settings_differ())
        para_init();
    const u16 result = fpga_manage::send_para_u16(SendPara::RESULT);
    if ((code == 99 || (result < 65535 && result != 255)) && rcv_self_recovery_ornot())
        rcv_self_recovery_file_list();
}

void AdvancedOption::language_changed()
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (fpga && fpga->rcvRecovery && fpga->rcvRecovery->get_dir_file(QStringLiteral("/data/rcvrecovery")) == 0) {
        // 256 files must not read as none.
        rcv_file_num_ = u8(qMin(fpga->rcvRecovery->rcv_files().size(), 255));
    }
    kra_apply_texts(ui, kLabels, kra_fit_text);
    kra_apply_texts(ui, kButtons, kra_fit_text);
    // The list names follow the language.
    const int index = ui->ImageVolume->currentIndex();
    {
        QSignalBlocker block(ui->ImageVolume);
        const std::vector<int> windows = kra_windows_on();
        for (int i = 0; i < ui->ImageVolume->count() && i < int(windows.size()); ++i)
            ui->ImageVolume->setItemText(i, kra_text(kWindowName).arg(windows[size_t(i)] + 1));
        ui->ImageVolume->setCurrentIndex(index);
    }
    if (rcv_file_num_ == 0)
        applyStyle(ui->Button_rcv_recovery, kRcvNoFiles);
    else
        applyStyle(ui->Button_rcv_recovery, select_button_ == ui->Button_rcv_recovery ? kRcvSelected : kRcvNormal);
    fit_page_column();
}

void AdvancedOption::lcd_language_deal()
{
    for (int n = 0; n < 5; ++n) {
        const bool offered = g_lcd_lang_valid & (1u << n);
        (ui->*(kLanguages[n].button))->setVisible(offered);
        (ui->*(kLanguages[n].label))->setVisible(offered);
        setChecked(ui->*(kLanguages[n].button), n == g_language);
    }
}

void AdvancedOption::button_select(QPushButton *button)
{
    if (select_button_)
        applyStyle(select_button_, kPageDeselected, page_text_px_);
    select_button_ = button;
    applyStyle(button, kPageSelected, page_text_px_);
}

// One text size for the page buttons: the largest at which every caption fits.
void AdvancedOption::fit_page_column()
{
    QPushButton *const column[] = {ui->Button_LCDshow, ui->Button_rcv_recovery, ui->Button_timeplan,
                                   ui->Button_other,   ui->Button_factory,      ui->Button_factory_age};
    auto styleOf = [](QPushButton *b) {
        const QVariant style = b->property(kBaseStyle);
        return style.isValid() ? style.toString() : QString::fromLatin1(kPageDeselected);
    };
    int px = 0;
    for (QPushButton *b : column) {
        applyStyle(b, styleOf(b));
        b->ensurePolished();
        const int fitted = QFontInfo(b->font()).pixelSize();
        if (!b->isHidden() && (px == 0 || fitted < px))
            px = fitted;
    }
    page_text_px_ = px;
    for (QPushButton *b : column)
        applyStyle(b, styleOf(b), px);
}

bool AdvancedOption::rcv_self_recovery_ornot() const
{
    return select_button_ == ui->Button_rcv_recovery;
}

void AdvancedOption::show_page(QPushButton *button, int page)
{
    if (g_qround_bar)
        return;
    agelog_shown_ = false;
    ui->stackedWidget->setCurrentIndex(page);
    button_select(button);
}

void AdvancedOption::show_tab(QStackedWidget *tabs, bool second, QPushButton *first, QPushButton *other,
                              QWidget *underline)
{
    tabs->setCurrentIndex(second ? 1 : 0);
    applyStyle(first, second ? kTabInactive : kTabActive);
    applyStyle(other, second ? kTabActive : kTabInactive);
    underline->setGeometry(second ? 305 : 0, 57, 305, 4);
}

// A drag only shows the time; its release stores it. A tap on the groove (or a step) moves
// the value with no release, so that move is stored as it is made: the time in force is
// the time shown. A value set from code only shows.
void AdvancedOption::on_horizontalSlider_valueChanged(int value)
{
    ui->label_time->setText(idle_time_text(value));
}

void AdvancedOption::slider_stepped(int action)
{
    if (action != QAbstractSlider::SliderMove && !ui->horizontalSlider->isSliderDown())
        g_back_to_mainwindow_time = u32(ui->horizontalSlider->sliderPosition());
}

void AdvancedOption::store_idle_time()
{
    g_back_to_mainwindow_time = u32(ui->horizontalSlider->value());
}

void AdvancedOption::set_auto_lock(u32 ticks)
{
    g_auto_lock_time = ticks;
    setChecked(ui->Button_5min, ticks == 30000);
    setChecked(ui->Button_10min, ticks == 60000);
    setChecked(ui->Button_never, ticks == 120000);
}

int AdvancedOption::listed_window(int index) const
{
    const std::vector<int> windows = kra_windows_on();
    return index >= 0 && index < int(windows.size()) ? windows[size_t(index)] : -1;
}

void AdvancedOption::show_audio(int index)
{
    const int w = listed_window(index);
    setToggle(ui->Button_volume_state, w >= 0 && kra_window_audio_on(w));
}

void AdvancedOption::toggle_audio()
{
    const int w = listed_window(ui->ImageVolume->currentIndex());
    if (w < 0)
        return; // no window is named
    const bool on = !kra_window_audio_on(w);
    kra_window_set_audio(w, on);
    setToggle(ui->Button_volume_state, on);
}

void AdvancedOption::set_effect(bool fade)
{
    setChecked(ui->Button_fade, fade);
    setChecked(ui->Button_seamless, !fade);
    kra_set_switch_effect(fade);
}

void AdvancedOption::toggle_wlan()
{
    const bool on = KraRamPara::pInstance()->ram_para[Para::WLAN_OFF] != 0;
    kra_set_wlan(on);
    if (on)
        restart_access_point();
    setToggle(ui->Button_wifi_state, on);
}

void AdvancedOption::restart_access_point()
{
    if (Q71_WIFI_CONFIG::p_wifi)
        Q71_WIFI_CONFIG::p_wifi->set_wifi_reset_flag();
    else
        writeLogMsg(LOG_WARN, QStringLiteral("access point on: no WLAN service to restart it"));
}

void AdvancedOption::set_p2p(bool on)
{
    setChecked(ui->Button_DBD_open, on);
    setChecked(ui->Button_DBD_close, !on);
    kra_set_p2p_all(on);
}

void AdvancedOption::choose_language(int code)
{
    if (!kra_set_language(code))
        return;
    for (int n = 0; n < 5; ++n)
        setChecked(ui->*(kLanguages[n].button), n == code);
    language_changed();
}

void AdvancedOption::factory_reset(int kind, QPushButton *button)
{
    if (select_reset_button_)
        applyStyle(select_reset_button_, kResetUnmarked);
    const bool wlanWasOff = KraRamPara::pInstance()->ram_para[Para::WLAN_OFF] != 0;
    kra_factory_reset(kind, fpga_manage::both_running());
    // The default turns the access point on: it is brought up as the WLAN toggle does.
    if (wlanWasOff && KraRamPara::pInstance()->ram_para[Para::WLAN_OFF] == 0)
        restart_access_point();
    select_reset_button_ = button;
    applyStyle(button, kResetMarked);
}

void AdvancedOption::close_screen()
{
    if (!g_qround_bar)
        kra_close_screen(Page::Advanced);
}

void AdvancedOption::on_Button_back_clicked() { close_screen(); }

void AdvancedOption::on_Button_LCDshow_clicked() { show_page(ui->Button_LCDshow, kPageLcd); }
void AdvancedOption::on_Button_timeplan_clicked() { show_page(ui->Button_timeplan, kPageTimePlan); }
void AdvancedOption::on_Button_other_clicked() { show_page(ui->Button_other, kPageOther); }
void AdvancedOption::on_Button_factory_clicked()
{
    if (g_qround_bar)
        return;
    show_page(ui->Button_factory, kPageFactory);
    lcd_language_deal();
    show_fonts();
}
void AdvancedOption::on_Button_plan_clicked()
{
    show_tab(ui->stackedWidget_3, false, ui->Button_plan, ui->Button_switch, ui->line_choose_2);
}
void AdvancedOption::on_Button_switch_clicked()
{
    show_tab(ui->stackedWidget_3, true, ui->Button_plan, ui->Button_switch, ui->line_choose_2);
}
void AdvancedOption::on_Button_language_clicked()
{
    show_tab(ui->stackedWidget_2, false, ui->Button_language, ui->Button_reset, ui->line_choose);
}
void AdvancedOption::on_Button_reset_clicked()
{
    show_tab(ui->stackedWidget_2, true, ui->Button_language, ui->Button_reset, ui->line_choose);
}

void AdvancedOption::on_horizontalSlider_sliderReleased() { store_idle_time(); }
void AdvancedOption::on_Button_5min_clicked() { set_auto_lock(30000); }
void AdvancedOption::on_Button_10min_clicked() { set_auto_lock(60000); }
void AdvancedOption::on_Button_never_clicked() { set_auto_lock(120000); }

void AdvancedOption::on_Button_seamless_clicked() { set_effect(false); }
void AdvancedOption::on_Button_fade_clicked() { set_effect(true); }
void AdvancedOption::on_ImageVolume_currentIndexChanged(int index) { show_audio(index); }
void AdvancedOption::on_Button_volume_state_clicked() { toggle_audio(); }
void AdvancedOption::on_Button_wifi_state_clicked() { toggle_wlan(); }
void AdvancedOption::on_modeButton_clicked()
{
    if (taviksource::p_tavik_source)
        taviksource::p_tavik_source->it66121.GS2971_Reset();
    else
        writeLogMsg(LOG_WARN, QStringLiteral("SDI receiver reset: no input-source manager"));
}
void AdvancedOption::on_Button_DBD_open_clicked() { set_p2p(true); }
void AdvancedOption::on_Button_DBD_close_clicked() { set_p2p(false); }

void AdvancedOption::on_Button_chinese_clicked() { choose_language(0); }
void AdvancedOption::on_Button_english_clicked() { choose_language(1); }
void AdvancedOption::on_Button_ru_clicked() { choose_language(2); }
void AdvancedOption::on_Button_vn_clicked() { choose_language(3); }
void AdvancedOption::on_Button_tn_clicked() { choose_language(4); }

void AdvancedOption::on_Button_reset1_clicked() { factory_reset(RESET_KEEP_IP, ui->Button_reset1); }
void AdvancedOption::on_Button_reset2_clicked() { factory_reset(RESET_KEEP_IP_EDID, ui->Button_reset2); }
void AdvancedOption::on_Button_reset3_clicked() { factory_reset(RESET_ALL, ui->Button_reset3); }

// ---- factory status and ageing log ----

void AdvancedOption::show_fonts()
{
    const u32 present = c331_manage::font_present.load();
    for (const FontRow &row : kFonts)
        (ui->*(row.label))->setPixmap(
            kra_pixmap(present & row.bit ? QStringLiteral(":/png/osd_yes.bmp") : QStringLiteral(":/png/osd_no.bmp")));
}

void AdvancedOption::ask_access_code()
{
    if (g_qround_bar || agelog_shown_ || !g_numberkeyboard)
        return;
    // No field of any screen asks: the screens below leave the value alone.
    g_lineedit = nullptr;
    awaiting_code_ = true;
    g_numberkeyboard->label_show(kra_text(kAccessCaption), QStringLiteral("**********"));
    g_numberkeyboard->run();
    if (!g_numberkeyboard->isVisible())
        awaiting_code_ = false; // cancelled or timed out: a later answer is not the code
}

// Only the answer to the code prompt: an answer this screen did not ask for (a field's,
// or one sent however else) is not taken for the code, whatever it reads.
void AdvancedOption::confirmString(QString text)
{
    const bool asked = awaiting_code_;
    awaiting_code_ = false;
    if (!asked || g_lineedit)
        return;
    if (text != kAccessCode)
        return;
    ui->stackedWidget->setCurrentIndex(kPageAgeLog);
    button_select(ui->Button_factory_age);
    ageloginit();
    agelog_shown_ = true;
}

void AdvancedOption::ageloginit()
{
    if (!factoryage_log.isEmpty()) {
        update_agelog();
        return;
    }
    agelog_text_ = QDateTime::currentDateTime().toString(QStringLiteral("MM-dd hh:mm"))
                   + QStringLiteral("  正在老化中...");
    ui->label_log1->setText(agelog_text_);
    ui->label_3->setText(QStringLiteral("OUT1:0<3 0<5 0<10 0<20 0>20    OUT2:0<3 0<5 0<10 0<20 0>20"));
    ui->page_info->setText(QStringLiteral("0"));
    ui->label_page->setText(QStringLiteral("0/0"));
}

void AdvancedOption::update_agelog()
{
    const int n = factoryage_log.size();
    const QString summary = QStringLiteral("OUT1:")
                            + ageCounters(factoryage_log_diff3, factoryage_log_diff5, factoryage_log_diff10,
                                          factoryage_log_diff20, factoryage_log_diffmore)
                            + QStringLiteral("    OUT2:")
                            + ageCounters(factoryage_log2_diff3, factoryage_log2_diff5, factoryage_log2_diff10,
                                          factoryage_log2_diff20, factoryage_log2_diffmore);
    if (n == 0) {
        ageloginit();
        ui->label_3->setText(summary);
        return;
    }
    const int pages = (n + kAgeRecordsPerPage - 1) / kAgeRecordsPerPage;
    agelog_page_ = qBound(0, agelog_page_, pages - 1);
    agelog_text_.clear();
    const int first = agelog_page_ * kAgeRecordsPerPage;
    for (int i = first; i < qMin(n, first + kAgeRecordsPerPage); ++i) {
        const QStringList f = factoryage_log[i].split(QLatin1Char(' '));
        if (f.size() != 8)
            continue;
        if (!agelog_text_.isEmpty())
            agelog_text_ += QStringLiteral("<br>");
        agelog_text_ += f[0] + QLatin1Char(' ') + f[1] + QLatin1Char(' ') + agePadded(f[2]) + QLatin1Char(' ')
                        + ageLamps(f[3]) + agePadded(f[4]) + QStringLiteral("    ,") + agePadded(f[5])
                        + QLatin1Char(' ') + ageLamps(f[6]) + agePadded(f[7]);
    }
    ui->label_log1->setText(agelog_text_);
    ui->label_3->setText(summary);
    kra_fit_text(ui->label_3); // the counters grow over a long run
    ui->label_page->setText(QStringLiteral("%1/%2").arg(agelog_page_ + 1).arg(pages));
    ui->page_info->setText(QString::number(n));
}

// Next (+1) wraps to the first page, Pre (-1) to the last; an empty log stays as drawn.
void AdvancedOption::agelog_step(int step)
{
    const int n = factoryage_log.size();
    if (n == 0)
        return;
    const int pages = (n + kAgeRecordsPerPage - 1) / kAgeRecordsPerPage;
    agelog_page_ += step;
    if (agelog_page_ >= pages)
        agelog_page_ = 0;
    else if (agelog_page_ < 0)
        agelog_page_ = pages - 1;
    ageloginit();
}

void AdvancedOption::on_Button_factory_age_clicked() { ask_access_code(); }
void AdvancedOption::on_next_clicked() { agelog_step(1); }
void AdvancedOption::on_pre_clicked() { agelog_step(-1); }

// ---- receiving-card check and self-recovery ----

void AdvancedOption::show_rcv_page()
{
    if (rcv_file_num_ == 0 || g_qround_bar)
        return;
    agelog_shown_ = false;
    ui->stackedWidget->setCurrentIndex(kPageRcv);
    button_select(ui->Button_rcv_recovery);
    applyStyle(ui->Button_check, kJobOther);
    applyStyle(ui->Button_self_recovery, kJobOther);
    rcv_self_recovery_file_list();
}

// Check (job 5) first hides the last result (the count the manager keeps goes to 0), so a
// check that finds nothing shows the empty list. Recovery (job 6) needs an entry that the
// pack can serve; it is handed over as the 16-bit job word, so no stale step byte starts it
// mid-way.
void AdvancedOption::start_rcv_job(bool recovery)
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (!fpga || !fpga_manage::job_start_free())
        return;
    if (recovery && (red_entry_ || fpga->rcv_result().entries.isEmpty()))
        return;
    if (!recovery)
        fpga->clear_rcv_result_count();
    fpga->rcv_failure = fpga_manage::RCV_JOB_OK;
    applyStyle(ui->Button_check, recovery ? kJobOther : kJobChosen);
    applyStyle(ui->Button_self_recovery, recovery ? kJobChosen : kJobOther);
    rcv_self_recovery_file_list();
    QRoundProgressBar::create_qround_bar(this);
    connect(this, &AdvancedOption::sig_qround_bar_update, g_qround_bar, &QRoundProgressBar::para_sync);
    if (recovery)
        fpga_manage::set_send_para_byte(SendPara::WORK, 16);
    fpga_manage::start_job(recovery ? JOB_RCV_RECOVERY : JOB_RCV_CHECK);
}

void AdvancedOption::rcv_self_recovery_file_list()
{
    bool failed = false;
    if (fpga_manage::p_fpga_manage) {
        const fpga_manage::RcvResult result = fpga_manage::p_fpga_manage->rcv_result();
        rcv_list_ = result.entries;
        rcv_count_ = result.count;
        failed = fpga_manage::p_fpga_manage->rcv_failure != fpga_manage::RCV_JOB_OK;
    }
    select_slot_ = 0;
    // Never beyond the list held, whatever the count says.
    const int shown = int(qMin<u32>(rcv_count_, u32(rcv_list_.size())));
    QVector<KraFileList::Entry> entries;
    for (int i = 0; i < shown; ++i) {
        const QStringList parts = rcv_list_[i].split(QLatin1Char('/'));
        if (parts.size() < 4)
            continue;
        const bool red = parts[2].toInt() > parts[3].toInt();
        const int slot = entries.size() - list_page_ * KraFileList::SLOTS;
        if (slot >= 0 && slot < KraFileList::SLOTS)
            red_entry_ = red; // the last entry drawn decides
        KraFileList::Entry entry;
        entry.name = entryText(parts, red);
        entry.highlighted = slot == 0;
        entry.rich = true;
        entries.append(entry);
    }
    // A failed job says so in place of the no-card line, or below the entries it kept.
    file_list_.redraw(entries, list_page_, kListLastPage, kra_text(failed ? kJobFailed : kNoCard));
    if (failed && !entries.isEmpty()) {
        int below = 0;
        while (below < KraFileList::SLOTS - 1 && file_list_.slot_label(below))
            ++below;
        auto *line = new QLabel(kra_text(kJobFailed), file_list_.frame());
        line->setObjectName(QStringLiteral("label_rcv_failed"));
        line->setTextFormat(Qt::PlainText);
        line->setGeometry(5, 5 + 45 * below, 520, 40);
        QFont f = line->font();
        f.setPointSize(15);
        line->setFont(f);
        line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        kra_set_marked(line, false);
        line->show();
    }
    for (int s = 0; s < KraFileList::SLOTS; ++s) {
        if (QPushButton *b = file_list_.slot_button(s))
            connect(b, &QPushButton::clicked, this, &AdvancedOption::kra_button_rcv_data_list_file_clicked);
    }
    if (QPushButton *b = file_list_.previous())
        connect(b, &QPushButton::clicked, this, &AdvancedOption::kra_Button_previous_clicked);
    if (QPushButton *b = file_list_.next())
        connect(b, &QPushButton::clicked, this, &AdvancedOption::kra_Button_next_clicked);
    ui->stackedWidget->setCurrentIndex(kPageRcv);
}

void AdvancedOption::select_entry(int slot)
{
    if (QLabel *old = file_list_.slot_label(select_slot_))
        kra_set_marked(old, false);
    select_slot_ = slot;
    if (QLabel *now = file_list_.slot_label(slot))
        kra_set_marked(now, true);
}

void AdvancedOption::on_Button_rcv_recovery_clicked() { show_rcv_page(); }
void AdvancedOption::on_Button_check_clicked() { start_rcv_job(false); }
void AdvancedOption::on_Button_self_recovery_clicked() { start_rcv_job(true); }
void AdvancedOption::kra_Button_previous_clicked()
{
    list_page_ = qMax(0, list_page_ - 1);
    rcv_self_recovery_file_list();
}
void AdvancedOption::kra_Button_next_clicked()
{
    list_page_ = list_page_ + 1 > kListLastPage ? 0 : list_page_ + 1;
    rcv_self_recovery_file_list();
}
void AdvancedOption::kra_button_rcv_data_list_file_clicked()
{
    if (QObject *b = sender())
        select_entry(b->objectName().toInt());
}
