#include "outputset.h"
#include "words.h"
#include "screenkit.h"
#include "ui_outputset.h"

#include "fpga_manage.h"
#include "krarampara.h"
#include "numberkeyboard.h"
#include "pararules.h"
#include "screens.h"
#include "sourcepanel.h"
#include "textfit.h"
#include "utils.h"

#include <QComboBox>
#include <QListView>
#include <QPixmap>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <algorithm>
#include <climits>

QPushButton *g_set_focus = nullptr;
QPushButton *g_apply_focus1 = nullptr;
QPushButton *g_apply_focus2 = nullptr;
QPushButton *g_wlan_focus = nullptr;
QFrame *g_wlan_frame[8] = {};

namespace {

constexpr int kLedMax = 16376;
// Splice mode by combo index.
constexpr u8 kModeOfIndex[3] = {SPLICE_HORIZONTAL, SPLICE_VERTICAL, SPLICE_COPY};

// The port tiles of the net-port page, styled as one.
const char *kTiles = "#wlan_tile[marked=\"true\"]{background-color: #212435;border:1px solid #00D65B;}"
                     "#wlan_tile[marked=\"false\"]{background-color: #212435;border:1px solid #FFFFFF;}"
                     "#wlan_icon{background-color: #212435;border:none;}"
                     "#wlan_caption{background-color: #212435;color: #FFFFFF}"
                     "QPushButton{background-color: transparent;border:none;}";

const KraText kTitle = {{"输出设置", "Output Seeting", "Выход", "Thông số đầu ra", "輸出設置"}};
const KraText kStep1 = {{"1.设置LED屏宽高", "1.Set LED W&H", "1.Разрешение LED", "1.Cài đặt thông số led", "1.設置LED屏寬高"}};
const KraText kStep2 = {{"2.选择拼接方式", "2.Splice", "2.Сплайсер", "2.Ghép nối", "2.選擇拼接方式"}};
const KraText kLedSet = {{"LED设置", "LED Setting", "Настройка LED", "Cài đặt LED", "LED設置"}};
const KraText kLanSet = {{"网口输出", "Port output", "Настройка LAN", "Cài đặt\ncổng MẠNG", "網口輸出"}};
const KraText kTip = {{"可设LED屏最大点数:%d(宽),%d(高)", "LED max:%d(w),%d(h)", "Ширина:%d(px)Высота:%d(px)",
                       "Điểm ảnh lớn nhất:%d(ngang),%d(dọc)", "可設LED屏最大點數:%d(寬),%d(高)"}};
const KraText kApply = {{"应用", "Apply", "OK", "Đồng ý", "應用"}};
const KraText kGroup = {{"网口%d~%d", "LED%d~%d", "LED%d~%d", "LED%d~%d", "網口%d~%d"}};
const KraText kTile = {{"网口LED%d", "LED%d", "LED%d", "LED%d", "網口LED%d"}};
const KraText kModes[3] = {
    {{"水平拼接", "horizontal", "Горизонтально", "Chiều ngang", "水平拼接"}},
    {{"垂直拼接", "VerticalS", "Вертикально", "Chiều cao", "垂直拼接"}},
    {{"复制模式", "copy", "Дублирование", "Sao chép", "複製模式"}},
};

// Replaces each "%d" of a text, in order, by the numbers given.
QString fill(QString text, std::initializer_list<int> numbers)
{
    for (int n : numbers) {
        const int at = text.indexOf(QLatin1String("%d"));
        if (at < 0)
            break;
        text.replace(at, 2, QString::number(n));
    }
    return text;
}

// A field as a 16-bit signed number; text that does not parse or fit reads as 0.
int fieldValue(const QLineEdit *field)
{
    bool ok = false;
    const short v = field->text().toShort(&ok);
    return ok ? v : 0;
}

// A typed value; digits too many for an int are far above every limit. Kept within 16 bits
// below, so that the screen's size less it cannot overflow.
int typedValue(const QString &text)
{
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    if (ok)
        return int(qBound<qlonglong>(SHRT_MIN, n, INT_MAX));
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    return digits.match(text).hasMatch() ? INT_MAX : 0;
}

void setNumber(QLineEdit *field, int value)
{
    field->setText(QString::number(value));
}

} // namespace

OutputSet::OutputSet(QWidget *parent) : QDialog(parent, kra_screen_flags), ui(new Ui::OutputSet),
      fields_(this, [this](const QString &text) { confirmString(text); })
{
    ui->setupUi(this);
    tile_font_.setPointSize(12);

    ui->Button_wlan4->hide();
    ui->Button_wlan1->setGeometry(85, 10, 130, 50);
    ui->Button_wlan2->setGeometry(235, 10, 130, 50);
    ui->Button_wlan3->setGeometry(385, 10, 130, 50);
    wlan_init();
    para_init();
    wlan_para_get(0);
    ui->Button_back->setIcon(kra_icon(QStringLiteral(":/png/back.png")));
    ui->Button_back->setIconSize(QSize(32, 32));
    kra_set_picture(ui->label_warning, QStringLiteral(":/png/warning.png"));

    g_set_focus = ui->Button_ledset;
    g_apply_focus1 = ui->Button_cancel1;
    g_apply_focus2 = ui->Button_cancel2;
    g_wlan_focus = ui->Button_wlan1;
    for (QPushButton *b : {ui->Button_ledset, ui->Button_cancel1, ui->Button_cancel2, ui->Button_wlan1})
        kra_set_marked(b, true);
    ui->stackedWidget->setCurrentIndex(0);

    // The captions are the same in every language.
    for (My_lineEdit *field : {ui->lineEdit_width, ui->lineEdit_out1_width})
        fields_.add(field, QStringLiteral("宽"));
    for (My_lineEdit *field : {ui->lineEdit_height, ui->lineEdit_out1_height})
        fields_.add(field, QStringLiteral("高"));

    for (QWidget *w : std::initializer_list<QWidget *>{
             ui->lineEdit_out2_width, ui->lineEdit_out2_height, ui->lineEdit_X, ui->lineEdit_Y,
             ui->lineEdit_W, ui->lineEdit_H, ui->lineEdit_width, ui->lineEdit_height,
             ui->label_out1_width, ui->label_out1_height, ui->label_out2_width,
             ui->label_out2_height})
        w->setEnabled(false);
    language_changed();
    ui->comboBox->setView(new QListView(ui->comboBox));
    ui->Button_apply2->hide();
    ui->Button_cancel2->hide();
}

OutputSet::~OutputSet()
{
    for (QFrame *&f : g_wlan_frame)
        f = nullptr;
    g_set_focus = g_apply_focus1 = g_apply_focus2 = g_wlan_focus = nullptr;
    delete ui;
}

void OutputSet::on_Button_back_clicked() { kra_close_screen(Page::Output); }

// Every refresh reloads the LED page, dropping values typed but not applied.
void OutputSet::syncUpdate()
{
    if (KraRamPara::pInstance()->KraLanguageChanged()) {
        language_changed();
        wlan_init();
    }
    para_init();
}

void OutputSet::para_init()
{
    const LedLayout led = kra_led_layout();
    ui->lineEdit_width->setText(QString::number(led.width));
    ui->lineEdit_height->setText(QString::number(led.height));
    mode_ = u8(led.mode);
    ui->comboBox->setCurrentIndex(int(std::find(kModeOfIndex, kModeOfIndex + 3, mode_) - kModeOfIndex));
    out_label_changed();
    show_outputs(led);
}

LedLayout OutputSet::shown_layout() const
{
    LedLayout led;
    led.mode = mode_;
    led.width = fieldValue(ui->lineEdit_width);
    led.height = fieldValue(ui->lineEdit_height);
    led.out1_width = fieldValue(ui->lineEdit_out1_width);
    led.out1_height = fieldValue(ui->lineEdit_out1_height);
    led.out2_width = fieldValue(ui->lineEdit_out2_width);
    led.out2_height = fieldValue(ui->lineEdit_out2_height);
    return led;
}

void OutputSet::show_outputs(const LedLayout &led)
{
    setNumber(ui->lineEdit_out1_width, led.out1_width);
    setNumber(ui->lineEdit_out1_height, led.out1_height);
    setNumber(ui->lineEdit_out2_width, led.out2_width);
    setNumber(ui->lineEdit_out2_height, led.out2_height);
}

void OutputSet::out_label_changed()
{
    struct Picture {
        const char *path;
        QRect rect;
    };
    static const Picture pictures[3] = {
        {":/png/out_horizontal.png", QRect(348, 155, 180, 40)},
        {":/png/out_vertical.png", QRect(430, 130, 100, 80)},
        {":/png/out_copy.png", QRect(388, 155, 100, 40)},
    };
    const int index = ui->comboBox->currentIndex();
    if (index < 0 || index > 2)
        return;
    ui->out_label->setGeometry(pictures[index].rect);
    kra_set_picture(ui->out_label, QString::fromLatin1(pictures[index].path));
}

void OutputSet::on_comboBox_activated(int index)
{
    choose_mode(index);
}

void OutputSet::choose_mode(int index)
{
    if (index < 0 || index > 2)
        return;
    LedLayout led = shown_layout();
    const int width = led.width;
    kra_led_choose_mode(led, kModeOfIndex[index]);
    mode_ = u8(led.mode);
    if (led.width != width)
        setNumber(ui->lineEdit_width, led.width);
    show_outputs(led);
    ui->comboBox->setCurrentIndex(index);
    out_label_changed();
}

// Typed values stay on the screen until Apply; a value typed for another screen's field
// is not ours.
void OutputSet::show_numberkeyboard_ui(QString)
{
    fields_.ask_for(sender());
}

void OutputSet::confirmString(QString value)
{
    QLineEdit *field = g_lineedit;
    if (!fields_.owns(field))
        return;
    if (field == ui->lineEdit_out1_width)
        confirm_out1_width(value);
    else if (field == ui->lineEdit_out1_height)
        confirm_out1_height(value);
    else
        field->setText(value);
}

// The field keeps the text typed unless the rules changed its number.
void OutputSet::confirm_out1_width(const QString &typed)
{
    const int v = typedValue(typed);
    LedLayout led = shown_layout();
    kra_led_type_out1_width(led, v);
    if (led.mode != mode_) { // a width beyond one output turns to horizontal splicing
        mode_ = u8(led.mode);
        ui->comboBox->setCurrentIndex(0);
        out_label_changed();
    }
    if (led.out1_width == v)
        ui->lineEdit_out1_width->setText(typed);
    else
        setNumber(ui->lineEdit_out1_width, led.out1_width);
    setNumber(ui->lineEdit_out2_width, led.out2_width);
}

void OutputSet::confirm_out1_height(const QString &typed)
{
    const int v = typedValue(typed);
    LedLayout led = shown_layout();
    kra_led_type_out1_height(led, v);
    if (led.out1_height == v)
        ui->lineEdit_out1_height->setText(typed);
    else
        setNumber(ui->lineEdit_out1_height, led.out1_height);
    setNumber(ui->lineEdit_out2_height, led.out2_height);
}

void OutputSet::on_Button_apply1_clicked()
{
    if (apply_led())
        move_highlight(g_apply_focus1, ui->Button_apply1);
}

bool OutputSet::apply_led()
{
    return kra_led_apply(shown_layout(), fpga_manage::both_running()).written;
}

void OutputSet::on_Button_cancel1_clicked()
{
    move_highlight(g_apply_focus1, ui->Button_cancel1);
}

void OutputSet::on_Button_apply2_clicked()
{
    move_highlight(g_apply_focus2, ui->Button_apply2);
}

void OutputSet::on_Button_cancel2_clicked()
{
    move_highlight(g_apply_focus2, ui->Button_cancel2);
}

void OutputSet::move_highlight(QPushButton *&focus, QPushButton *button)
{
    if (focus)
        kra_set_marked(focus, false);
    kra_set_marked(button, true);
    focus = button;
}

void OutputSet::on_Button_ledset_clicked()
{
    select_page(ui->Button_ledset, 0);
}

void OutputSet::on_Button_lanset_clicked()
{
    select_page(ui->Button_lanset, 1);
}

void OutputSet::select_page(QPushButton *button, int page)
{
    if (g_set_focus)
        kra_set_marked(g_set_focus, false);
    kra_set_marked(button, true);
    g_set_focus = button;
    ui->stackedWidget->setCurrentIndex(page);
}

void OutputSet::on_Button_wlan1_clicked() { select_group(1); }
void OutputSet::on_Button_wlan2_clicked() { select_group(2); }
void OutputSet::on_Button_wlan3_clicked() { select_group(3); }
void OutputSet::on_Button_wlan4_clicked() { select_group(4); }

void OutputSet::select_group(int tab)
{
    QPushButton *const tabs[4] = {ui->Button_wlan1, ui->Button_wlan2, ui->Button_wlan3, ui->Button_wlan4};
    move_highlight(g_wlan_focus, tabs[tab - 1]);
    group_ = u8(tab - 1);
    tile_ = 0;
    wlan_init();
    wlan_para_get(u16(8 * group_));
}

void OutputSet::wlan_init()
{
    delete tiles_;
    tiles_ = new QFrame(ui->page_2);
    tiles_->setGeometry(1, 75, 608, 165);
    tiles_->setStyleSheet(QString::fromLatin1(kTiles));
    for (int i = 0; i < 8; ++i) {
        const int x = 150 * (i % 4), y = 75 * (i / 4);
        auto *frame = new QFrame(tiles_);
        frame->setObjectName(QStringLiteral("wlan_tile"));
        frame->setGeometry(x + 9, y + 14, 130, 60);
        frame->setProperty("marked", i == tile_);
        g_wlan_frame[i] = frame;

        auto *icon = new QLabel(tiles_);
        icon->setGeometry(x + 59, y + 17, 32, 28);
        icon->setObjectName(QStringLiteral("wlan_icon"));
        icon->setScaledContents(true);
        kra_set_picture(icon, QStringLiteral(":/png/offline.png"));

        auto *caption = new QLabel(tiles_);
        caption->setGeometry(x + 29, y + 45, 91, 28);
        caption->setFont(tile_font_);
        caption->setAlignment(Qt::AlignCenter);
        caption->setObjectName(QStringLiteral("wlan_caption"));
        caption->setText(fill(kra_text(kTile), {i + 1 + 8 * group_}));

        auto *button = new QPushButton(tiles_);
        button->setGeometry(x + 10, y + 15, 128, 58);
        button->setObjectName(QString::number(i));
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, &OutputSet::kra_button_wlan_clicked);
    }
    tiles_->show();
}

void OutputSet::kra_button_wlan_clicked()
{
    auto *button = qobject_cast<QPushButton *>(sender());
    if (!button)
        return;
    bool ok = false;
    const int index = button->objectName().toInt(&ok);
    if (!ok || index < 0 || index > 7)
        return;
    kra_set_marked(g_wlan_frame[tile_], false);
    tile_ = u8(index);
    wlan_para_get(u16(tile_ + 8 * group_));
    kra_set_marked(g_wlan_frame[tile_], true);
}

// Ports 0..11 belong to FPGA 0, 12..23 to FPGA 1; any other shows index 0 of FPGA 0.
void OutputSet::wlan_para_get(unsigned short port)
{
    int fpga = 0, index = 0;
    if (port < fpga_manage::ETH_PORTS) {
        index = port;
    } else if (port < 2 * fpga_manage::ETH_PORTS) {
        fpga = 1;
        index = port - fpga_manage::ETH_PORTS;
    }
    unsigned short pos[4];
    fpga_manage::get_eth_param_addr(u8(index), &pos[0], &pos[1], &pos[2], &pos[3]);
    QLineEdit *const fields[4] = {ui->lineEdit_X, ui->lineEdit_Y, ui->lineEdit_W, ui->lineEdit_H};
    for (int i = 0; i < 4; ++i)
        fields[i]->setText(QString::number(fpga_manage::ram_para_image16(fpga, pos[i])));
}

void OutputSet::language_changed()
{
    ui->label_title->setText(kra_text(kTitle));
    ui->label_s1->setText(kra_text(kStep1));
    ui->label_s2->setText(kra_text(kStep2));
    ui->Button_ledset->setText(kra_text(kLedSet));
    ui->Button_lanset->setText(kra_text(kLanSet));
    for (QLabel *l : {ui->label_width, ui->label_out1_width, ui->label_out2_width, ui->label_W}) {
        l->setText(kra_text(kra_words::width));
        kra_fit_text(l);
    }
    for (QLabel *l : {ui->label_height, ui->label_out1_height, ui->label_out2_height, ui->label_H}) {
        l->setText(kra_text(kra_words::height));
        kra_fit_text(l);
    }
    ui->label_tip->setText(fill(kra_text(kTip), {kLedMax, kLedMax}));
    for (QPushButton *b : {ui->Button_cancel1, ui->Button_cancel2})
        b->setText(kra_text(kra_words::cancel));
    for (QPushButton *b : {ui->Button_apply1, ui->Button_apply2})
        b->setText(kra_text(kApply));
    QPushButton *const tabs[3] = {ui->Button_wlan1, ui->Button_wlan2, ui->Button_wlan3};
    for (int n = 0; n < 3; ++n)
        tabs[n]->setText(fill(kra_text(kGroup), {8 * n + 1, 8 * n + 8}));
    combox_language_change();
}

void OutputSet::combox_language_change()
{
    const QSignalBlocker block(ui->comboBox);
    const int index = ui->comboBox->currentIndex();
    ui->comboBox->clear();
    for (const KraText &t : kModes)
        ui->comboBox->addItem(kra_text(t));
    ui->comboBox->setCurrentIndex(index);
}
