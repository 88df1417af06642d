#include "smartmapping.h"
#include "ui_smartmapping.h"

#include "QRoundProgressBar.h"
#include "fpga_manage.h"
#include "krarampara.h"
#include "numberkeyboard.h"
#include "screens.h"
#include "screenkit.h"
#include "sourcepanel.h"
#include "textfit.h"
#include "words.h"
#include "suffixlist.h"
#include "utils.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace {

using Ui_ = Ui::SmartMapping;

// Texts in language-code order: zh-CN, en, ru, vi, zh-TW.
const KraText kNext = {{"下一步", "Next", "Далее", "Bước tiếp theo", "下一步"}};
const KraText kPrevious = {{"上一步", "Previous", "Назад", "Thao tác\nphía trước", "上一步"}};
const KraText kTab = {{"网口%1~%2", "LED%1~%2", "LED%1~%2", "LED%1~%2", "網口%1~%2"}};
const KraText kRouting = {{"走线%1", "Routing %1", "Путь %1", "Dấu vết%1", "走線%1"}};
const KraText kTile = {{"网口LED%1", "LED%1", "LED%1", "LED%1", "網口LED%1"}};
const KraText kNoFile = {{"无加载文件!", "No loaded file!", "Нет файлов для загрузки!", "Không có tập tin để tải!",
                          "無加載文件!"}};

const KraFormText<Ui_, QLabel> kFrameLabels[] = {
    {&Ui_::label_title, {{"智能调屏", "Smart debugging screen", "Умная настройка экрана",
                          "Điều chỉnh màn hình thông minh", "智能調屏"}}},
};
const KraFormText<Ui_, QPushButton> kMenu[] = {
    {&Ui_::Button_shortcut, {{"快捷点屏", "Debugging\nscreen", "Пошаговая\nнастройка", "Chạm vào màn\nhình nhanh",
                              "快捷點屏"}}},
    {&Ui_::Button_loadscan, {{"加载扫描", "Load scan", "Загрузить\nсканирование", "Cài đặt quét", "加載掃描"}}},
    {&Ui_::Button_paraweld, {{"参数固化", "Curing\nparameter", "Сохранение\nнастроек", "Lưu thông số", "參數固化"}}},
    {&Ui_::Button_mapping, {{"Mapping", "Mapping", "Маршрут", "Mapping", "Mapping"}}},
};
const KraFormText<Ui_, QLabel> kPage0Labels[] = {
    {&Ui_::label_step1, {{"步骤1箱体设置", "Step 1 Cabinet setup", "Шаг 1. Настройка кабинета",
                          "Bước 1: Thiết lập cabin", "步驟1箱體設置"}}},
    {&Ui_::label_boxwidth, {{"箱体宽度", "Cabinet width", "Ширина кабинета", "Chiều rộng cabin", "箱體寬度"}}},
    {&Ui_::label_boxheight, {{"箱体高度", "Cabinet height", "Высота кабинета", "Chiều cao cabin", "箱體高度"}}},
};
const KraFormText<Ui_, QPushButton> kPage0Buttons[] = {{&Ui_::Button_next, kNext}};
const KraFormText<Ui_, QLabel> kPage1Labels[] = {
    {&Ui_::label_step2, {{"步骤2选择网口", "Step 2 Select port", "Шаг 2. Выберите сетевой порт",
                          "Bước 2 :Chọn cổng mạng", "步驟2選擇網口"}}},
};
const KraFormText<Ui_, QPushButton> kPage1Buttons[] = {{&Ui_::Button_front_2, kPrevious},
                                                       {&Ui_::Button_next_2, kNext}};
const KraFormText<Ui_, QLabel> kPage2Labels[] = {
    {&Ui_::label_step3, {{"步骤3屏参设置", "Step 3 Screen parameter setting", "Шаг 3.Настройка параметров экрана",
                          "Bước 3:Cài đặt thông số màn hình", "步驟3屏參設置"}}},
    {&Ui_::label_boxline, {{"箱体行数", "Number of Cabinet in rows", "Кол-во рядов", "Số lượng hàng tủ", "箱體行數"}}},
    {&Ui_::label_boxlcolumn, {{"箱体列数", "Number of Cabinet in lines", "Кол-во столбцов", "Số lượng cột tủ",
                               "箱體列數"}}},
    {&Ui_::label_routeway, {{"屏体走线方式", "Screen alignment mode", "Тип подключения кабинетов",
                             "Chế độ căn chỉnh màn hình", "屏體走線方式"}}},
    {&Ui_::label_horizon, {{"水平偏移", "Horizontal offset", "Горизонтальное смещение", "Bù đắp theo chiều ngang",
                            "水平偏移"}}},
    {&Ui_::label_vert, {{"垂直偏移", "Vertical offset", "Вертикальное смещение", "Bù đắp theo chiều dọc", "垂直偏移"}}},
};
const KraFormText<Ui_, QPushButton> kPage2Buttons[] = {
    {&Ui_::Button_send, {{"发送", "Send", "Отправить", "Gửi", "髮送"}}},
    {&Ui_::Button_front_3, kPrevious},
};
const KraFormText<Ui_, QPushButton> kPage3Buttons[] = {{&Ui_::Button_cancel, kra_words::cancel}};
const KraFormText<Ui_, QLabel> kPage4Labels[] = {
    {&Ui_::label_step1_5, {{"步骤1选择网口", "Step 1 Select network port", "Шаг 1. Выбор LAN-порта",
                            "Bước 1 Chọn cổng mạng", "步驟1選擇網口"}}},
};
const KraFormText<Ui_, QPushButton> kPage4Buttons[] = {{&Ui_::Button_next_5, kNext}};
const KraFormText<Ui_, QLabel> kPage5Labels[] = {
    {&Ui_::label_step2_6, {{"步骤2加载扫描参数", "Step 2 Upload scan parameters", "Шаг 2.Настройка сканирования",
                            "Bước 2Tải thông số quét", "步驟2加載掃描參數"}}},
    {&Ui_::label_step2_7, {{"检测到以下屏参文件", "Detected the following screen parameter files",
                            "Были обнаружены следующие файлы параметров экрана",
                            "Các tập tin tham số màn hình sau đã được phát hiện", "檢測到以下屏參文件"}}},
};
const KraFormText<Ui_, QPushButton> kPage5Buttons[] = {
    {&Ui_::Button_front_6, kPrevious},
    {&Ui_::Button_load, {{"加载", "Load", "Загрузка", "Tải về", "加載"}}},
};
const KraFormText<Ui_, QLabel> kPage6Labels[] = {
    {&Ui_::label_step1_6, {{"参数固化操作", "Parameter curing operation", "Полное сохранение всех настроек",
                            "Lưu thông số", "參數固化操作"}}},
};
const KraFormText<Ui_, QPushButton> kPage6Buttons[] = {{&Ui_::Button_confirm, kra_words::ok}};
const KraFormText<Ui_, QLabel> kPage7Labels[] = {
    {&Ui_::label_step1_7, {{"Mapping开关", "Mapping switch", "Переключатель сопоставления", "Bật mapping",
                            "Mapping開關"}}},
};

// Number fields, their keyboard captions and the widest value their entry of line_type holds.
struct FieldRule {
    My_lineEdit *Ui::SmartMapping::*field;
    KraText caption;
    int max;
};
const FieldRule kFields[] = {
    {&Ui::SmartMapping::lineEdit_X, {{"箱体宽度", "width", "width", "width", "箱體寬度"}}, 0xFFFF},
    {&Ui::SmartMapping::lineEdit_Y, {{"箱体高度", "height", "height", "height", "箱體高度"}}, 0xFFFF},
    {&Ui::SmartMapping::lineEdit_line, {{"箱体行数", "rows", "rows", "rows", "箱體行數"}}, 0xFF},
    {&Ui::SmartMapping::lineEdit_column, {{"箱体列数", "lines", "lines", "lines", "箱體列數"}}, 0xFF},
    {&Ui::SmartMapping::lineEdit_horzion, {{"水平偏移", "Horizontal", "Horizontal", "Horizontal", "水平偏移"}}, 0xFFFF},
    {&Ui::SmartMapping::lineEdit_vert, {{"垂直偏移", "Vertical", "Vertical", "Vertical", "垂直偏移"}}, 0xFFFF},
};

// A field whose text is not a number its entry holds (set from code) leaves the entry as it is.
template <typename T>
void store_field(const KraNumberFields &fields, const QLineEdit *field, T *entry)
{
    int v = 0;
    if (fields.read(field, &v))
        *entry = T(v);
}

// One sheet for the looks that change: "look" names the kind, "marked" the state.
QString screenSheet()
{
    return QStringLiteral("QDialog#SmartMapping, QWidget{background-color: rgb(16, 16, 28);}")
           + kra_marked_rules(QStringLiteral("QPushButton[look=\"menu\"]"), "background-color:#4777FF;color:#FFFFFF",
                              "background-color:#10101C;color:#FFFFFF")
           + QStringLiteral("QPushButton[look=\"menu\"][grey=\"true\"]{background-color: gray;border:2px;color: #FFFFFF}")
           + kra_marked_rules(QStringLiteral("QPushButton[look=\"tab\"]"),
                              "background-color: #4777FF;color: rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);",
                              "color: rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);");
}

// The port grid's own: kept out of the screen's sheet, which every label and frame of every
// page is matched against when the screen opens.
QString gridSheet()
{
    return kra_marked_rules(QStringLiteral("QFrame[look=\"tile\"]"), "background-color: #212435;border:1px solid #00D65B;",
                            "background-color: #212435;border:1px solid #FFFFFF;")
           + QStringLiteral("QLabel[look=\"tiletext\"]{background-color: #212435;color: #FFFFFF}");
}

constexpr int kPorts = 24;      // three groups of eight shown
constexpr int kMaxFiles = 100;
constexpr int kPerPage = 5;
constexpr int kMappingBit = 7;  // of register 0: the mapping switch

enum StackPage { P_SIZE, P_PORT, P_GRID, P_ROUTE, P_SCAN_PORT, P_SCAN_FILE, P_SAVE, P_MAPPING };

} // namespace

SmartMapping::SmartMapping(QWidget *parent)
    : QDialog(parent, kra_screen_flags), ui(new Ui::SmartMapping),
      fields_(this, [this](const QString &text) { confirmString(text); })
{
    // Set before the form's widgets exist: set after, it would restyle every one of them.
    setStyleSheet(screenSheet());
    ui->setupUi(this);
    file_list_ = KraFileList(ui->page_6);
    setFixedSize(800, 480);
    ui->Button_back->setIcon(kra_icon(QStringLiteral(":/png/back.png")));
    ui->Button_back->setIconSize(QSize(32, 32));
    for (QPushButton *b : {ui->Button_shortcut, ui->Button_loadscan, ui->Button_paraweld, ui->Button_mapping}) {
        b->setProperty("look", "menu");
        kra_set_marked(b, false);
    }
    QPushButton *const tabs[] = {ui->Button_wlan1, ui->Button_wlan2, ui->Button_wlan3, ui->Button_wlan4,
                                 ui->Button_wlan5, ui->Button_wlan6, ui->Button_wlan7, ui->Button_wlan8};
    for (int k = 0; k < 8; ++k) {
        tabs[k]->setProperty("look", "tab");
        kra_set_marked(tabs[k], k == 0);
        tabs[k]->setGeometry(85 + 150 * (k % 4), 70, 130, 50);
    }
    ui->Button_wlan4->hide(); // ports 25 to 32 do not exist
    ui->Button_wlan8->hide();
    for (int n = 1; n <= 16; ++n) {
        auto *b = findChild<QToolButton *>(QStringLiteral("Button_route%1").arg(n));
        b->setIcon(kra_icon(QStringLiteral(":/png/line%1.png").arg(n)));
    }
    ui->Button_route->setIconSize(QSize(30, 30));
    ui->Button_mapping_state->setIconSize(QSize(70, 32));

    show_page(P_SIZE);
    button_select(ui->Button_shortcut);
    LINE_TYPE grid = fpga_manage::line_type_copy();
    grid.net_port = 0;
    fpga_manage::store_line_type(grid);

    for (const FieldRule &f : kFields)
        fields_.add(ui->*f.field, f.caption, 0, f.max);
    // Queued: runs once the bar (connected per job) has taken the value, and closed at 100.
    connect(this, &SmartMapping::sig_qround_bar_update, this, &SmartMapping::job_progressed,
            Qt::QueuedConnection);

    language_changed();
    line_select(1);
}

SmartMapping::~SmartMapping()
{
    if (g_smartmapping == this)
        g_smartmapping = nullptr;
    delete ui;
}

void SmartMapping::show_page(int index)
{
    ui->stackedWidget->setCurrentIndex(index);
}

// ---- frame: menu, back, refresh, language ----

void SmartMapping::on_Button_back_clicked()
{
    if (g_qround_bar)
        return;
    kra_close_screen(Page::SmartMapping);
}

void SmartMapping::button_select(QPushButton *button)
{
    if (menu_selected_)
        kra_set_marked(menu_selected_, false);
    menu_selected_ = button;
    kra_set_marked(button, true);
}

void SmartMapping::on_Button_shortcut_clicked()
{
    if (g_qround_bar)
        return;
    button_select(ui->Button_shortcut);
    show_page(P_SIZE);
    list_active_ = false;
    language_for_shortcutt_page0();
}

void SmartMapping::on_Button_loadscan_clicked()
{
    if (g_qround_bar)
        return;
    refresh_scan_count();
    if (scan_count_ == 0)
        return;
    button_select(ui->Button_loadscan);
    show_page(P_SCAN_PORT);
    select_tab(5);
    language_for_loadscan_page4();
    list_active_ = false;
}

void SmartMapping::on_Button_paraweld_clicked()
{
    if (g_qround_bar)
        return;
    button_select(ui->Button_paraweld);
    show_page(P_SAVE);
    language_for_paraweld_page6();
    list_active_ = false;
}

void SmartMapping::on_Button_mapping_clicked()
{
    if (g_qround_bar)
        return;
    button_select(ui->Button_mapping);
    ui->Button_mapping_state->setIcon(
        kra_icon(mapping_on() ? QStringLiteral(":/png/button_on.png") : QStringLiteral(":/png/button_off.png")));
    show_page(P_MAPPING);
    list_active_ = false;
    language_for_mapping_onoff_page7();
}

void SmartMapping::syncUpdate(int code)
{
    if (code == 100)
        return;
    if (code == 101 || code == 102) {
        // The list and the chosen file stay as they are while a job runs; served when it ends.
        if (g_qround_bar)
            pending_list_ = std::max(pending_list_, code);
        else
            rebuild_list(code);
        return;
    }
    if (KraRamPara::pInstance()->KraLanguageChanged())
        language_changed();
}

void SmartMapping::rebuild_list(int code)
{
    if (code == 102 || list_active_)
        build_file_list();
}

void SmartMapping::job_progressed(int percent)
{
    if (percent < 100 || g_qround_bar || !pending_list_)
        return;
    const int code = pending_list_;
    pending_list_ = 0;
    rebuild_list(code);
}

void SmartMapping::language_changed()
{
    const int shown = ui->stackedWidget->currentIndex();
    if (menu_selected_ == ui->Button_shortcut) {
        if (shown == P_PORT) {
            language_for_shortcutt_page1();
            wlan_init(0);
        } else if (shown == P_GRID) {
            language_for_shortcutt_page2();
        } else if (shown == P_ROUTE) {
            language_for_shortcutt_page3();
            line_select(fpga_manage::line_type_copy().pattern);
        } else if (shown == P_SCAN_FILE) { // a stick showed its list over quick lighting
            language_for_loadscan_page5();
        } else {
            language_for_shortcutt_page0();
        }
    } else if (menu_selected_ == ui->Button_loadscan) {
        if (shown == P_SCAN_PORT) {
            wlan_init(1);
            language_for_loadscan_page4();
        } else if (shown == P_SCAN_FILE) {
            language_for_loadscan_page5();
        }
    } else if (menu_selected_ == ui->Button_paraweld) {
        language_for_paraweld_page6();
    }
    refresh_scan_count();
    kra_apply_texts(ui, kFrameLabels, kra_fit_text);
    kra_apply_texts(ui, kMenu, kra_fit_text);
    language_for_mapping_onoff_page7();
}

void SmartMapping::language_for_shortcutt_page0()
{
    kra_apply_texts(ui, kPage0Labels, kra_fit_text);
    kra_apply_texts(ui, kPage0Buttons, kra_fit_text);
}

void SmartMapping::language_for_shortcutt_page1()
{
    kra_apply_texts(ui, kPage1Labels, kra_fit_text);
    kra_apply_texts(ui, kPage1Buttons, kra_fit_text);
    QPushButton *const tabs[] = {ui->Button_wlan1, ui->Button_wlan2, ui->Button_wlan3};
    for (int k = 0; k < 3; ++k)
        tabs[k]->setText(kra_text(kTab).arg(8 * k + 1).arg(8 * k + 8));
}

void SmartMapping::language_for_shortcutt_page2()
{
    kra_apply_texts(ui, kPage2Labels, kra_fit_text);
    kra_apply_texts(ui, kPage2Buttons, kra_fit_text);
    line_select(fpga_manage::line_type_copy().pattern);
}

void SmartMapping::language_for_shortcutt_page3()
{
    for (int n = 1; n <= 16; ++n)
        findChild<QToolButton *>(QStringLiteral("Button_route%1").arg(n))->setText(kra_text(kRouting).arg(n));
    kra_apply_texts(ui, kPage3Buttons, kra_fit_text);
}

void SmartMapping::language_for_loadscan_page4()
{
    kra_apply_texts(ui, kPage4Labels, kra_fit_text);
    kra_apply_texts(ui, kPage4Buttons, kra_fit_text);
    QPushButton *const tabs[] = {ui->Button_wlan5, ui->Button_wlan6, ui->Button_wlan7};
    for (int k = 0; k < 3; ++k)
        tabs[k]->setText(kra_text(kTab).arg(8 * k + 1).arg(8 * k + 8));
}

void SmartMapping::language_for_loadscan_page5()
{
    kra_apply_texts(ui, kPage5Labels, kra_fit_text);
    kra_apply_texts(ui, kPage5Buttons, kra_fit_text);
    if (files_.isEmpty() && file_list_.slot_label(0))
        file_list_.slot_label(0)->setText(kra_text(kNoFile));
}

void SmartMapping::language_for_paraweld_page6()
{
    kra_apply_texts(ui, kPage6Labels, kra_fit_text);
    kra_apply_texts(ui, kPage6Buttons, kra_fit_text);
}

void SmartMapping::language_for_mapping_onoff_page7()
{
    kra_apply_texts(ui, kPage7Labels, kra_fit_text);
}

// ---- quick lighting: pages 0 to 3 ----

void SmartMapping::on_Button_next_clicked()
{
    LINE_TYPE grid = fpga_manage::line_type_copy();
    store_field(fields_, ui->lineEdit_X, &grid.box_width);
    store_field(fields_, ui->lineEdit_Y, &grid.box_height);
    fpga_manage::store_line_type(grid);
    select_tab(1);
    language_for_shortcutt_page1();
    show_page(P_PORT);
}

void SmartMapping::on_Button_front_2_clicked()
{
    show_page(P_SIZE);
    language_for_shortcutt_page0();
}

void SmartMapping::on_Button_next_2_clicked()
{
    show_page(P_GRID);
    language_for_shortcutt_page2();
}

void SmartMapping::on_Button_front_3_clicked()
{
    if (g_qround_bar)
        return;
    show_page(P_PORT);
    language_for_shortcutt_page1();
}

void SmartMapping::on_Button_route_clicked()
{
    show_page(P_ROUTE);
    language_for_shortcutt_page3();
}

void SmartMapping::choose_route(int pattern)
{
    line_select(pattern);
    show_page(P_GRID);
    language_for_shortcutt_page2();
}

void SmartMapping::on_Button_route1_clicked() { choose_route(1); }
void SmartMapping::on_Button_route2_clicked() { choose_route(2); }
void SmartMapping::on_Button_route3_clicked() { choose_route(3); }
void SmartMapping::on_Button_route4_clicked() { choose_route(4); }
void SmartMapping::on_Button_route5_clicked() { choose_route(5); }
void SmartMapping::on_Button_route6_clicked() { choose_route(6); }
void SmartMapping::on_Button_route7_clicked() { choose_route(7); }
void SmartMapping::on_Button_route8_clicked() { choose_route(8); }
void SmartMapping::on_Button_route9_clicked() { choose_route(9); }
void SmartMapping::on_Button_route10_clicked() { choose_route(10); }
void SmartMapping::on_Button_route11_clicked() { choose_route(11); }
void SmartMapping::on_Button_route12_clicked() { choose_route(12); }
void SmartMapping::on_Button_route13_clicked() { choose_route(13); }
void SmartMapping::on_Button_route14_clicked() { choose_route(14); }
void SmartMapping::on_Button_route15_clicked() { choose_route(15); }
void SmartMapping::on_Button_route16_clicked() { choose_route(16); }

void SmartMapping::on_Button_cancel_clicked()
{
    show_page(P_GRID);
    language_for_shortcutt_page2();
}

void SmartMapping::line_select(int pattern)
{
    if (pattern >= 1 && pattern <= 16)
        ui->Button_route->setIcon(kra_icon(QStringLiteral(":/png/line%1.png").arg(pattern)));
    ui->Button_route->setText(kra_text(kRouting).arg(pattern));
    LINE_TYPE grid = fpga_manage::line_type_copy();
    grid.pattern = u8(pattern);
    fpga_manage::store_line_type(grid);
}

void SmartMapping::on_Button_send_clicked()
{
    if (!fpga_manage::job_start_free())
        return;
    LINE_TYPE grid = fpga_manage::line_type_copy();
    store_field(fields_, ui->lineEdit_line, &grid.rows);
    store_field(fields_, ui->lineEdit_column, &grid.columns);
    store_field(fields_, ui->lineEdit_horzion, &grid.offset_x);
    store_field(fields_, ui->lineEdit_vert, &grid.offset_y);
    fpga_manage::store_line_type(grid);
    start_job(JOB_SMART_MAPPING);
}

bool SmartMapping::start_job(u16 code)
{
    if (!fpga_manage::job_start_free())
        return false;
    QRoundProgressBar::create_qround_bar(this);
    connect(this, &SmartMapping::sig_qround_bar_update, g_qround_bar, &QRoundProgressBar::para_sync);
    fpga_manage::start_job(code);
    return true;
}

void SmartMapping::show_numberkeyboard_ui(QString)
{
    fields_.ask_for(sender());
}

// A value that does not fit its entry of line_type is refused: the field keeps its text.
void SmartMapping::confirmString(QString text)
{
    if (fields_.takes(g_lineedit, text))
        g_lineedit->setText(text);
}

// ---- port grid (pages 1 and 4) ----

void SmartMapping::on_Button_wlan1_clicked() { select_tab(1); }
void SmartMapping::on_Button_wlan2_clicked() { select_tab(2); }
void SmartMapping::on_Button_wlan3_clicked() { select_tab(3); }
void SmartMapping::on_Button_wlan4_clicked() { select_tab(4); }
void SmartMapping::on_Button_wlan5_clicked() { select_tab(5); }
void SmartMapping::on_Button_wlan6_clicked() { select_tab(6); }
void SmartMapping::on_Button_wlan7_clicked() { select_tab(7); }
void SmartMapping::on_Button_wlan8_clicked() { select_tab(8); }

// Nothing is connected to it and it changes nothing; kept for callers that name it.
void SmartMapping::usb_para_sync(int) {}

void SmartMapping::select_tab(int tab)
{
    if (auto *old = findChild<QPushButton *>(QStringLiteral("Button_wlan%1").arg(tab_selected_)))
        kra_set_marked(old, false);
    tab_selected_ = tab;
    kra_set_marked(findChild<QPushButton *>(QStringLiteral("Button_wlan%1").arg(tab)), true);
    group_ = u8(tab <= 4 ? tab - 1 : tab - 5);
    tile_ = 0;
    wlan_init(tab <= 4 ? 0 : 1);
}

void SmartMapping::wlan_init(unsigned char page)
{
    kra_retire_frame(grid_);
    std::fill(std::begin(tiles_), std::end(tiles_), nullptr);
    grid_ = new QFrame(page == 0 ? ui->page_2 : ui->page_5);
    grid_->setObjectName(QStringLiteral("frame_wlan"));
    grid_->setStyleSheet(gridSheet()); // before its tiles exist
    grid_->setGeometry(1, 135, 608, 165);
    const int port = fpga_manage::line_type_copy().net_port;
    QFont f = font();
    f.setPointSize(12);
    for (int i = 0; i < 8; ++i) {
        const int x0 = 150 * (i % 4), y0 = 75 * (i / 4);
        tiles_[i] = new QFrame(grid_);
        tiles_[i]->setObjectName(QStringLiteral("tile%1").arg(i));
        tiles_[i]->setGeometry(x0 + 9, y0 + 14, 130, 60);
        tiles_[i]->setProperty("look", "tile");
        kra_set_marked(tiles_[i], group_ * 8 + i == port);
        kra_picture_label(grid_, QStringLiteral("icon%1").arg(i), QRect(x0 + 59, y0 + 17, 32, 28),
                          QStringLiteral(":/png/offline.png"));
        auto *text = new QLabel(kra_text(kTile).arg(group_ * 8 + i + 1), grid_);
        text->setObjectName(QStringLiteral("text%1").arg(i));
        text->setGeometry(x0 + 29, y0 + 45, 91, 28);
        text->setFont(f);
        text->setAlignment(Qt::AlignCenter);
        text->setProperty("look", "tiletext");
        QPushButton *b = kra_overlay_button(grid_, QString::number(i), QRect(x0 + 10, y0 + 15, 128, 58));
        connect(b, &QPushButton::clicked, this, &SmartMapping::kra_button_wlan_clicked);
    }
    grid_->show();
}

void SmartMapping::kra_button_wlan_clicked()
{
    QObject *b = sender();
    if (!b)
        return;
    for (QFrame *t : tiles_)
        kra_set_marked(t, false);
    tile_ = u8(b->objectName().toInt());
    LINE_TYPE grid = fpga_manage::line_type_copy();
    grid.net_port = u8(group_ * 8 + tile_);
    fpga_manage::store_line_type(grid);
    kra_set_marked(tiles_[tile_], true);
}

// ---- load scan (pages 4 and 5) ----

QStringList SmartMapping::list_scan_files(const QString &dir, int max) const
{
    return kra_list_suffix(kra_path(dir), {QStringLiteral("ztfile")}, max);
}

int SmartMapping::usb_scan_files() const
{
    return list_scan_files(QStringLiteral("/mnt/usb1/"), kMaxFiles).size();
}

// Every file of the scan folder counts, whatever its suffix; with none there, the scan
// files of the stick. Taken afresh wherever the Load scan button or the list is built, so
// a folder that went counts nothing.
void SmartMapping::refresh_scan_count()
{
    scan_count_ = 0;
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (fpga && fpga->rcvRecovery && fpga->rcvRecovery->get_dir_file(QStringLiteral("/data/smartmapping")) == 0)
        scan_count_ = u32(fpga->rcvRecovery->smart_files().size());
    if (scan_count_ == 0)
        scan_count_ = u32(usb_scan_files());
    kra_set_look(ui->Button_loadscan, "grey", scan_count_ == 0);
}

void SmartMapping::on_Button_next_5_clicked()
{
    build_file_list();
}

int SmartMapping::get_file_list_smartpath()
{
    const QStringList local = list_scan_files(QStringLiteral("/data/smartmapping"), kMaxFiles - files_.size());
    files_ += local;
    local_count_ = local.size();
    return local_count_;
}

int SmartMapping::get_file_list_usbpath()
{
    files_ += list_scan_files(QStringLiteral("/mnt/usb1/"), kMaxFiles - files_.size());
    return files_.size();
}

void SmartMapping::build_file_list()
{
    files_.clear();
    local_count_ = 0;
    get_file_list_smartpath();
    get_file_list_usbpath();
    refresh_scan_count();
    page_ = 0;
    last_page_ = files_.isEmpty() ? 0 : (files_.size() - 1) / kPerPage;
    list_active_ = true;
    scan_file_list();
    language_for_loadscan_page5();
}

void SmartMapping::scan_file_list()
{
    selected_ = 0;
    fpga_manage::set_ztfile_name(QString());
    QVector<KraFileList::Entry> entries;
    for (int i = 0; i < files_.size(); ++i) {
        QString name = files_[i].mid(files_[i].lastIndexOf(QLatin1Char('/')) + 1);
        name.remove(QLatin1Char('\n'));
        entries.append({name, i == selected_, i >= local_count_});
    }
    file_list_.redraw(entries, page_, last_page_, kra_text(kNoFile));
    for (int k = 0; k < KraFileList::SLOTS; ++k) {
        if (QPushButton *b = file_list_.slot_button(k))
            connect(b, &QPushButton::clicked, this, &SmartMapping::kra_button_file_clicked);
    }
    if (file_list_.previous())
        connect(file_list_.previous(), &QPushButton::clicked, this, &SmartMapping::kra_Button_previous_clicked);
    if (file_list_.next())
        connect(file_list_.next(), &QPushButton::clicked, this, &SmartMapping::kra_Button_next_clicked);
    // After a build the list's first entry is the chosen one, on page 0 only.
    if (page_ == 0 && !files_.isEmpty())
        fpga_manage::set_ztfile_name(files_[0]);
    show_page(P_SCAN_FILE);
}

void SmartMapping::kra_Button_previous_clicked()
{
    if (g_qround_bar)
        return;
    page_ = std::max(0, page_ - 1);
    scan_file_list();
}

void SmartMapping::kra_Button_next_clicked()
{
    if (g_qround_bar)
        return;
    page_ = page_ + 1 > last_page_ ? 0 : page_ + 1;
    scan_file_list();
}

void SmartMapping::kra_button_file_clicked()
{
    QObject *b = sender();
    if (g_qround_bar || !b)
        return;
    const int k = b->objectName().toInt();
    const int i = page_ * KraFileList::SLOTS + k;
    if (k < 0 || k >= KraFileList::SLOTS || i >= files_.size())
        return;
    selected_ = k;
    for (int p = 0; p < KraFileList::SLOTS; ++p) {
        if (QLabel *l = file_list_.slot_label(p))
            kra_set_marked(l, p == k);
    }
    fpga_manage::set_ztfile_name(files_[i]);
}

void SmartMapping::on_Button_front_6_clicked()
{
    if (g_qround_bar)
        return;
    show_page(P_SCAN_PORT);
    wlan_init(1);
    language_for_loadscan_page4();
}

void SmartMapping::on_Button_load_clicked()
{
    if (fpga_manage::ztfile_name().isEmpty())
        return;
    refresh_scan_count();
    if (scan_count_ == 0)
        return;
    start_job(JOB_LOAD_SCAN);
}

// ---- parameter save and mapping switch (pages 6 and 7) ----

void SmartMapping::on_Button_confirm_clicked()
{
    start_job(JOB_SAVE_PARA);
}

bool SmartMapping::mapping_on() const
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (!fpga)
        return false;
    fpga->read_from_register(0, 0);
    fpga->read_from_register(0, 1);
    return (fpga_manage::register_image(0, 0) >> kMappingBit & 1) &&
           (fpga_manage::register_image(1, 0) >> kMappingBit & 1);
}

void SmartMapping::on_Button_mapping_state_clicked()
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (!fpga || !fpga_manage::job_start_free())
        return;
    const bool on = mapping_on();
    const u8 was[2] = {fpga_manage::register_image(0, 0), fpga_manage::register_image(1, 0)};
    const u8 mask = 1 << kMappingBit;
    for (int f = 0; f < 2; ++f) {
        if (fpga->write_to_register(0, mask, on ? 0 : mask, f) == 0)
            continue;
        // Switched on one FPGA, or on none: both are set back and the switch stays as shown.
        for (int g = 0; g <= f; ++g)
            fpga->write_to_register(0, mask, was[g], g);
        writeLogMsg(LOG_ERROR, QStringLiteral("smart mapping: mapping switch not written to FPGA %1").arg(f));
        return;
    }
    ui->Button_mapping_state->setIcon(
        kra_icon(on ? QStringLiteral(":/png/button_off.png") : QStringLiteral(":/png/button_on.png")));
    fpga_manage::set_send_para_u32(SendPara::MAP_ARG, on ? 0 : 9);
    start_job(JOB_MAPPING_SWITCH);
}
