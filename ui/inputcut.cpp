#include "inputcut.h"
#include "words.h"
#include "screenkit.h"
#include "ui_inputcut.h"

#include "screens.h"
#include "krarampara.h"
#include "numberkeyboard.h"
#include "pagedtiles.h"
#include "sourcepanel.h"
#include "textfit.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <climits>

namespace {

// Texts in language-code order: zh-CN, en, ru, vi, zh-TW.
const KraText kTitle = {{"输入截取", "Input intercept", "Источник", "Chặn nguồn vào", "輸入截取"}};
const KraText kCrop = {{"截取:", "Crop:", "Обрезать:", "Cắt:", "截取:"}};
const KraText kNamePrefix = {{"名称:", "Name:", "Название:", "Tên:", "名稱:"}};
// Keyboard captions of the width and height fields.
const KraText kKeyHeight = {{"高", "H", "H", "H", "H"}};

const char *const kEditButtonStyle =
    "color: rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);font:20px";
const KraTileGrid kTiles = {10, 15, 240, 110, 220, 90};
constexpr int kEditButtonY = 406;
// The rectangle a new crop starts with.
constexpr CROP_PARA kNewCrop = {0, 0, 0, 1920, 1080};

KraRamPara *para() { return KraRamPara::pInstance(); }

} // namespace

InputCut::InputCut(QWidget *parent) : QDialog(parent, kra_screen_flags), ui(new Ui::InputCut),
      fields_(this, [this](const QString &text) { confirmString(text); })
{
    ui->setupUi(this);
    setFixedSize(800, 480);
    tile_font_ = font();
    tile_font_.setPointSize(12);

    QLabel *const icons[KRA_INPUT_TABS] = {ui->label_HDMI1, ui->label_HDMI2, ui->label_HDMI3,
                                           ui->label_HDMI4, ui->label_DVI, ui->label_EXT};
    for (int k = 0; k < KRA_INPUT_TABS; ++k)
        kra_set_picture(icons[k], QString::fromLatin1(kra_input_tabs[k].icon_off));

    frame_input_select_ = new QFrame(this);
    frame_input_select_->setObjectName(QStringLiteral("frame_input_select"));
    frame_input_select_->setGeometry(kra_tab_x(0), 68, 120, 85);
    frame_input_select_->setStyleSheet(kra_tab_frame_style());
    crop_source_num_update();
    input_name_ = QStringLiteral("HDMI1");
    frame_input_select_->lower();

    para()->KraCropSourceInit();
    input_init();
    source_init();
    ui->frame_add->hide();

    button_cancel_ = new QPushButton(this);
    button_cancel_->setObjectName(QStringLiteral("Button_cancel"));
    button_ok_ = new QPushButton(this);
    button_ok_->setObjectName(QStringLiteral("Button_ok"));
    button_delete_ = new QPushButton(this);
    button_delete_->setObjectName(QStringLiteral("Button_delete"));
    for (QPushButton *b : {button_cancel_, button_ok_, button_delete_}) {
        b->setStyleSheet(QString::fromLatin1(kEditButtonStyle));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        b->resize(180, 60);
        b->hide();
    }

    connect(button_cancel_, &QPushButton::clicked, this, &InputCut::kra_button_cancel_clicked);
    connect(button_ok_, &QPushButton::clicked, this, &InputCut::kra_button_ok_clicked);
    connect(button_delete_, &QPushButton::clicked, this, &InputCut::kra_button_delete_clicked);
    // The table's words are taken as signed 16-bit numbers.
    fields_.add(ui->lineEdit_X, QStringLiteral("X"), SHRT_MIN, SHRT_MAX);
    fields_.add(ui->lineEdit_Y, QStringLiteral("Y"), SHRT_MIN, SHRT_MAX);
    fields_.add(ui->lineEdit_W, kra_words::key_width, SHRT_MIN, SHRT_MAX);
    fields_.add(ui->lineEdit_H, kKeyHeight, SHRT_MIN, SHRT_MAX);

    language_changed();
}

InputCut::~InputCut()
{
    if (g_inputcut == this)
        g_inputcut = nullptr;
    delete ui;
}

bool InputCut::editor_open() const
{
    return !ui->frame_add->isHidden();
}

void InputCut::language_changed()
{
    ui->label_title->setText(kra_text(kTitle));
    ui->label_crop->setText(kra_text(kCrop));
    ui->label_W->setText(kra_text(kra_words::width));
    ui->label_H->setText(kra_text(kra_words::height));
    // The captions keep their given sizes; a long translation gets a smaller font.
    for (QLabel *l : {ui->label_crop, ui->label_W, ui->label_H, ui->label_3, ui->label_4, ui->label_5,
                      ui->label_6, ui->label_7, ui->label_8})
        kra_fit_text(l);
    button_cancel_->setText(kra_text(kra_words::cancel));
    button_ok_->setText(kra_text(kra_words::ok));
    button_delete_->setText(kra_text(kra_words::remove));
    caption_editor();
}

// ---- input tabs ----

void InputCut::input_init()
{
    for (int k = 0; k < KRA_INPUT_TABS; ++k) {
        QPushButton *b = kra_overlay_button(this, QString::number(k), QRect(kra_tab_x(k) + 1, 69, 118, 83));
        connect(b, &QPushButton::clicked, this, &InputCut::kra_button_input_clicked);
    }
}

void InputCut::kra_button_input_clicked()
{
    auto *b = qobject_cast<QPushButton *>(sender());
    if (!b)
        return;
    bool ok = false;
    const int tab = b->objectName().toInt(&ok);
    if (ok && tab >= 0 && tab < KRA_INPUT_TABS)
        choose_input(tab);
}

void InputCut::choose_input(int tab)
{
    source_select_ = kra_input_tabs[tab].code;
    input_name_ = QString::fromLatin1(kra_input_tabs[tab].name);
    page_ = 0;
    frame_input_select_->setGeometry(kra_tab_x(tab), 68, 120, 85);
    source_init();
    para_changed_over();
}

void InputCut::crop_source_num_update()
{
    QLabel *const nums[KRA_INPUT_TABS] = {ui->HDMI1_num, ui->HDMI2_num, ui->HDMI3_num,
                                          ui->HDMI4_num, ui->DVI_num, ui->EXT_num};
    for (int k = 0; k < KRA_INPUT_TABS; ++k)
        nums[k]->setText(kra_source_count_text(kra_input_tabs[k].code));
}

// ---- source tiles ----

void InputCut::source_init()
{
    const int sources = kra_source_count(source_select_);
    last_page_ = u8(kra_last_page(sources));

    // Rebuilt from a click of its own buttons (add, delete) too.
    kra_retire_frame(frame_source_);
    button_add_ = nullptr;
    KraPagedTiles::Hooks hooks;
    hooks.make = [this](QWidget *area, int place) {
        QWidget *tile = kra_source_tile(area, kTiles.rect(place), tile_font_, QString::number(place));
        connect(tile->findChild<QPushButton *>(), &QPushButton::clicked, this,
                &InputCut::kra_button_source_clicked);
        return tile;
    };
    hooks.fill = [this](QWidget *tile, int n) { return fill_tile(tile, n); };
    frame_source_ = new KraPagedTiles(this, QStringLiteral("frame_source"), QRect(20, 152, 770, 240),
                                      QStringLiteral("#frame_source{border:1px solid rgb(71, 119, 255);}")
                                          + QString::fromLatin1(kra_source_tile_sheet),
                                      kTiles, 110, 175, hooks);
    connect(frame_source_, &KraPagedTiles::previous_clicked, this, &InputCut::kra_Button_previous_clicked);
    connect(frame_source_, &KraPagedTiles::next_clicked, this, &InputCut::kra_Button_next_clicked);
    button_add_ = kra_icon_button(frame_source_, QStringLiteral("Button_add"), QRect(715, 10, 50, 50),
                                  QStringLiteral(":/png/add.png"));
    connect(button_add_, &QPushButton::clicked, this, &InputCut::kra_button_add_clicked);
    frame_source_->show_page(page_, sources);
    frame_source_->lower();
    frame_source_->show();
}

bool InputCut::fill_tile(QWidget *tile, int n)
{
    const int input = source_select_;
    QString name;
    QString value;
    if (!kra_source_tile_text(input, n, input_name_, tile_font_, &name, &value))
        return false;
    kra_fill_source_tile(tile, input, name, value);
    return true;
}

void InputCut::kra_Button_previous_clicked() { turn_page(-1); }
void InputCut::kra_Button_next_clicked() { turn_page(1); }

void InputCut::turn_page(int step)
{
    if (kra_step_page(&page_, step))
        frame_source_->show_page(page_, kra_source_count(source_select_));
}

// ---- the editor ----

void InputCut::kra_button_add_clicked() { open_new_crop(); }

// The caption counts the input's crops; the crop itself is stored with the lowest free
// number, which differs from this when a lower crop was deleted.
int InputCut::new_crop_number() const
{
    return para()->KraGetSourceNum(source_select_, Para::CROP_ENTRIES) + 1;
}

void InputCut::open_new_crop()
{
    new_crop_ = 1;
    edit_number_ = 0;
    if (button_add_)
        button_add_->hide();
    crop_caption_ = QString::asprintf("-Crop-%d", new_crop_number());
    caption_editor();
    ui->lineEdit_X->setText(QString::number(kNewCrop.x));
    ui->lineEdit_Y->setText(QString::number(kNewCrop.y));
    ui->lineEdit_W->setText(QString::number(kNewCrop.width));
    ui->lineEdit_H->setText(QString::number(kNewCrop.height));
    show_editor(false);
}

void InputCut::kra_button_source_clicked()
{
    auto *b = qobject_cast<QPushButton *>(sender());
    if (b)
        open_crop(b->objectName().toInt());
}

void InputCut::open_crop(int tile)
{
    new_crop_ = 0;
    const int n = tile + KRA_TILES_PER_PAGE * page_;
    source_edit_ = u8(n);
    CROP_PARA crop{};
    int entry = Para::CROP_ENTRIES;
    if (n > 0)
        para()->KraGetCropPara(source_select_, n, &crop, &entry);
    // The whole input is not edited here; nor is a crop deleted since its tile was drawn.
    if (entry >= Para::CROP_ENTRIES) {
        para_changed_over();
        return;
    }
    edit_input_ = source_select_;
    edit_number_ = kra_crop_number(entry);
    if (button_add_)
        button_add_->hide();
    crop_caption_ = QString::asprintf("-Crop-%d", n);
    caption_editor();
    ui->lineEdit_X->setText(QString::asprintf("%d", crop.x));
    ui->lineEdit_Y->setText(QString::asprintf("%d", crop.y));
    ui->lineEdit_W->setText(QString::asprintf("%d", crop.width));
    ui->lineEdit_H->setText(QString::asprintf("%d", crop.height));
    show_editor(true);
}

void InputCut::caption_editor()
{
    if (!crop_caption_.isEmpty())
        ui->label_change_source->setText(kra_text(kNamePrefix) + input_name_ + crop_caption_);
}

void InputCut::show_editor(bool editing)
{
    if (editing) {
        button_delete_->move(80, kEditButtonY);
        button_cancel_->move(310, kEditButtonY);
        button_ok_->move(540, kEditButtonY);
        button_delete_->show();
    } else {
        button_cancel_->move(195, kEditButtonY);
        button_ok_->move(425, kEditButtonY);
        button_delete_->hide();
    }
    ui->frame_add->show();
    button_cancel_->show();
    button_ok_->show();
}

void InputCut::para_changed_over()
{
    ui->frame_add->hide();
    button_cancel_->hide();
    button_ok_->hide();
    button_delete_->hide();
    if (button_add_)
        button_add_->show();
    edit_number_ = 0;
}

void InputCut::kra_button_cancel_clicked() { para_changed_over(); }

void InputCut::show_numberkeyboard_ui(QString)
{
    fields_.ask_for(sender());
}

void InputCut::confirmString(QString text)
{
    // A value typed for another screen's field (one open below this) is not ours; one that
    // does not fit its word is refused.
    if (fields_.takes(g_lineedit, text))
        g_lineedit->setText(text);
}

// The fields over `crop`: one that does not hold a 16-bit number leaves its value as it is.
// No other limit applies here: the video-chip manager fits a crop to its input when a window
// shows it.
void InputCut::read_fields(CROP_PARA *crop) const
{
    crop->first = source_select_;
    fields_.read(ui->lineEdit_X, &crop->x);
    fields_.read(ui->lineEdit_Y, &crop->y);
    fields_.read(ui->lineEdit_W, &crop->width);
    fields_.read(ui->lineEdit_H, &crop->height);
}

void InputCut::kra_button_ok_clicked() { store(); }

void InputCut::store()
{
    if (!editor_open())
        return;
    KraRamPara *p = para();
    if (new_crop_) {
        CROP_PARA crop = kNewCrop;
        read_fields(&crop);
        p->KraAddNewCrop(source_select_, &crop); // stores nothing when the table is full
    } else {
        p->KraCropSourceInit();
        const int n = kra_crop_position(edit_input_, edit_number_);
        if (n > 0) {
            CROP_PARA crop{};
            p->KraGetCropPara(edit_input_, n, &crop, nullptr);
            read_fields(&crop);
            p->KraSetCropPara(char(edit_input_), char(n), &crop);
        }
    }
    crops_changed();
}

void InputCut::kra_button_delete_clicked() { delete_crop(); }

void InputCut::delete_crop()
{
    if (!editor_open() || new_crop_ || !edit_number_)
        return;
    KraRamPara *p = para();
    p->KraCropSourceInit();
    const int n = kra_crop_position(edit_input_, edit_number_);
    if (n > 0)
        p->KraDeleteCrop(char(edit_input_), char(n));
    crops_changed();
}

void InputCut::crops_changed()
{
    para()->KraCropSourceInit();
    crop_source_num_update();
    source_init();
    para_changed_over();
}

// ---- refresh ----

void InputCut::syncUpdate(int code)
{
    KraRamPara *p = para();
    if (p->KraLanguageChanged()) {
        language_changed();
        source_init();
    }
    if (code == 103 || p->differs(Para::CROP, Para::CROP_END - Para::CROP)) {
        p->KraCropSourceInit();
        crop_source_num_update();
        source_init();
    }
}

void InputCut::on_Button_back_clicked() { kra_close_screen(Page::CropEditor); }
