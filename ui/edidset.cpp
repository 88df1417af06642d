#include "edidset.h"
#include "words.h"
#include "screenkit.h"
#include "ui_edidset.h"

#include "screens.h"
#include "krarampara.h"
#include "numberkeyboard.h"
#include "sourcepanel.h"
#include "textfit.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <climits>

namespace {

// Texts in language-code order: zh-CN, en, ru, vi, zh-TW.
const KraText kTitle = {{"设置EDID", "EDID Settings", "Настройка EDID", "Cài đặt EDID", "设置EDID"}};
const KraText kSourcePrefix = {{"EDID信源:", "EDID source:", "Источник EDID:", "Tín hiệu EDID:",
                                "EDID信源:"}};
const KraText kFreq = {{"刷新率", "Refresh rate", "Частота", "Tần số", "刷新率"}};
const KraText kSave = {{"保存", "SAVE", "Сохранить", "lưu", "保存"}};
const KraText kKeyHeight = {{"高", "H", "H", "H", "高"}};

// The rate row by language, sized to its caption: where the caption ends, then the x of
// "<", of the rate and of ">".
struct RateRow {
    int freqEnd, left, rate, right;
};
const RateRow kRateRows[5] = {
    {429, 440, 484, 576}, // zh-CN
    {489, 500, 544, 636}, // en
    {489, 500, 544, 636}, // ru
    {489, 500, 544, 616}, // vi
    {429, 440, 484, 576}, // zh-TW
};
constexpr int kFreqX = 372;

const char *const kEditButtonStyle =
    "color: rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);font:20px";

// A tab's click area over its picture. It paints nothing, so it needs no style sheet of its
// own to stay transparent under the screen's.
class ClickArea : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *) override {}
};

int edid_word(int record, int offset)
{
    return KraRamPara::pInstance()->live16(Para::EDID + 6 * record + offset);
}

} // namespace

EDIDset::EDIDset(QWidget *parent) : QDialog(parent, kra_screen_flags), ui(new Ui::EDIDset),
      fields_(this, [this](const QString &text) { confirmString(text); })
{
    ui->setupUi(this);
    setFixedSize(800, 480);
    ui->Button_back->setIcon(kra_icon(QStringLiteral(":/png/back.png")));
    ui->Button_back->setIconSize(QSize(32, 32));
    tile_font_ = font();
    tile_font_.setPointSize(12);

    QLabel *const pictures[KRA_INPUT_TABS] = {ui->label_HDMI1, ui->label_HDMI2, ui->label_HDMI3,
                                              ui->label_HDMI4, ui->label_DVI, ui->label_EXT};
    for (int k = 0; k < KRA_INPUT_TABS; ++k) {
        pictures[k]->setScaledContents(true);
        kra_set_picture(pictures[k], QString::fromLatin1(kra_input_tabs[k].icon_off));
    }

    frame_select_ = new QFrame(this);
    frame_select_->setObjectName(QStringLiteral("frame_select"));
    frame_select_->setGeometry(kra_tab_x(0), 68, 120, 85);
    frame_select_->setStyleSheet(kra_tab_frame_style());
    frame_select_->lower();

    input_init();
    source_init();
    ui->frame_add->hide();

    button_delete_ = new QPushButton(this);
    button_delete_->setObjectName(QStringLiteral("button_delete"));
    button_cancel_ = new QPushButton(this);
    button_cancel_->setObjectName(QStringLiteral("button_cancel"));
    button_ok_ = new QPushButton(this);
    button_ok_->setObjectName(QStringLiteral("button_ok"));
    button_delete_->setGeometry(80, 406, 180, 60);
    button_cancel_->setGeometry(310, 406, 180, 60);
    button_ok_->setGeometry(540, 406, 180, 60);
    for (QPushButton *b : {button_delete_, button_cancel_, button_ok_}) {
        b->setStyleSheet(QString::fromLatin1(kEditButtonStyle));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        b->hide();
    }

    connect(button_delete_, &QPushButton::clicked, this, &EDIDset::kra_button_delete_clicked);
    connect(button_cancel_, &QPushButton::clicked, this, &EDIDset::kra_button_cancel_clicked);
    connect(button_ok_, &QPushButton::clicked, this, &EDIDset::kra_button_ok_clicked);
    // The record's words are taken as signed 16-bit numbers.
    fields_.add(ui->lineEdit_W, kra_words::key_width, SHRT_MIN, SHRT_MAX);
    fields_.add(ui->lineEdit_H, kKeyHeight, SHRT_MIN, SHRT_MAX);

    language_changed();
}

EDIDset::~EDIDset()
{
    if (g_edidset == this)
        g_edidset = nullptr;
    delete ui;
}

void EDIDset::language_changed()
{
    ui->label_title->setText(kra_text(kTitle));
    ui->label_W->setText(kra_text(kra_words::width));
    ui->label_H->setText(kra_text(kra_words::height));
    ui->label_freq->setText(kra_text(kFreq));
    button_cancel_->setText(kra_text(kra_words::cancel));
    button_ok_->setText(kra_text(kSave));
    button_delete_->setText(kra_text(kra_words::remove));
    show_source_label();

    const RateRow &row = kRateRows[kra_text_language()];
    ui->label_freq->setGeometry(kFreqX, 83, row.freqEnd + 1 - kFreqX, 28);
    ui->Button_left->setGeometry(row.left, 72, row.rate - row.left, 50);
    ui->label_rate->setGeometry(row.rate, 72, row.right - row.rate, 50);
    ui->Button_right->setGeometry(row.right, 72, 44, 50);
    // The captions keep their sizes; a long translation gets a smaller font.
    for (QLabel *l : {ui->label_W, ui->label_H, ui->label_freq})
        kra_fit_text(l);
}

void EDIDset::show_source_label()
{
    ui->label_edid_source->setText(kra_text(kSourcePrefix) + input_name_);
}

// ---- inputs and the tile ----

void EDIDset::input_init()
{
    for (int k = 0; k < KRA_INPUT_TABS; ++k) {
        auto *b = new ClickArea(this);
        b->setObjectName(QString::number(k));
        b->setGeometry(kra_tab_x(k) + 1, 69, 118, 83);
        b->setFlat(true);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, &EDIDset::kra_button_input_clicked);
    }
}

void EDIDset::kra_button_input_clicked()
{
    auto *b = qobject_cast<QPushButton *>(sender());
    if (b)
        choose_input(b->objectName().toInt());
}

void EDIDset::choose_input(int position)
{
    if (position < 0 || position >= KRA_INPUT_TABS)
        return;
    edid_select_ = kra_input_tabs[position].code;
    input_name_ = QString::fromLatin1(kra_input_tabs[position].name);
    frame_select_->setGeometry(kra_tab_x(position), 68, 120, 85);
    source_init();
    close_editor();
}

void EDIDset::source_init()
{
    const int r = edid_select_;
    kra_retire_frame(frame_source_);
    frame_source_ = new QFrame(this);
    frame_source_->setObjectName(QStringLiteral("frame_source"));
    frame_source_->setGeometry(20, 152, 770, 240);
    frame_source_->setStyleSheet(QStringLiteral("#frame_source{border:1px solid rgb(71, 119, 255);}")
                                 + QString::fromLatin1(kra_source_tile_sheet));

    const QString value = QString::asprintf("%dx%d@%dHz", edid_word(r, 0), edid_word(r, 2),
                                            edid_word(r, 4));
    QWidget *tile = kra_source_tile(frame_source_, QRect(10, 15, 220, 90), tile_font_,
                                    QStringLiteral("button_source"));
    kra_fill_source_tile(tile, r, input_name_, value);
    connect(tile->findChild<QPushButton *>(), &QPushButton::clicked, this, &EDIDset::kra_button_source_clicked);

    // Under the edit frame, which overlaps the container's lower part.
    frame_source_->lower();
    frame_select_->lower();
    frame_source_->show();
}

// ---- the edit frame ----

void EDIDset::kra_button_source_clicked() { open_editor(); }

void EDIDset::open_editor()
{
    const int r = edid_select_;
    show_source_label();
    ui->lineEdit_W->setText(QString::asprintf("%d", edid_word(r, 0)));
    ui->lineEdit_H->setText(QString::asprintf("%d", edid_word(r, 2)));
    ui->label_rate->setText(QString::asprintf("%d", edid_word(r, 4)));
    ui->frame_add->show();
    ui->frame_add->raise();
    for (QPushButton *b : {button_delete_, button_cancel_, button_ok_}) {
        b->show();
        b->raise();
    }
}

void EDIDset::close_editor()
{
    ui->frame_add->hide();
    button_delete_->hide();
    button_cancel_->hide();
    button_ok_->hide();
}

void EDIDset::on_Button_left_clicked() { toggle_rate(); }
void EDIDset::on_Button_right_clicked() { toggle_rate(); }

// Flips the rate shown, whatever the record held when the frame opened.
void EDIDset::toggle_rate()
{
    const bool shows30 = ui->label_rate->text() == QLatin1String("30");
    ui->label_rate->setText(shows30 ? QStringLiteral("60") : QStringLiteral("30"));
}

void EDIDset::show_numberkeyboard_ui(QString)
{
    fields_.ask_for(sender());
}

void EDIDset::confirmString(QString text)
{
    // A value that does not fit its word is refused: the field keeps its text.
    if (fields_.takes(g_lineedit, text))
        g_lineedit->setText(text);
}

void EDIDset::kra_button_ok_clicked() { save(); }

void EDIDset::save()
{
    // No other limits; a value that is not a 16-bit signed number keeps the record's word,
    // so a rate nobody toggled is stored as the record held it.
    const int r = edid_select_;
    int width = edid_word(r, 0);
    int height = edid_word(r, 2);
    int rate = edid_word(r, 4);
    fields_.read(ui->lineEdit_W, &width);
    fields_.read(ui->lineEdit_H, &height);
    bool ok = false;
    const int shown = kra_field_s16(ui->label_rate->text(), &ok);
    if (ok)
        rate = shown;
    KraRamPara::pInstance()->KraSetEDIDPara(r, short(width), short(height), short(rate));
    source_init();
    close_editor();
}

void EDIDset::kra_button_cancel_clicked() { close_editor(); }
void EDIDset::kra_button_delete_clicked() { close_editor(); }

// ---- refresh ----

void EDIDset::syncUpdate()
{
    KraRamPara *para = KraRamPara::pInstance();
    if (para->KraLanguageChanged())
        language_changed();
    if (para->differs(Para::EDID + 6 * edid_select_, 6))
        source_init();
}

void EDIDset::on_Button_back_clicked() { kra_close_screen(Page::Edid); }
