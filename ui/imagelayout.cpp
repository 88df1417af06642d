#include "imagelayout.h"
#include "screenkit.h"
#include "words.h"
#include "ui_imagelayout.h"

#include "alias.h"
#include "krarampara.h"
#include "numberkeyboard.h"
#include "pararules.h"
#include "screens.h"
#include "sourcepanel.h"
#include "textfit.h"

#include <QFontMetrics>
#include <QListView>
#include <QSignalBlocker>

namespace {

using Para::win;

// Texts in language-code order: zh-CN, en, ru, vi, zh-TW.
const KraText kClosed = {{"未开启", "Close", "Откл", "Đóng", "未開啟"}};
const KraText kStatePrefix = {{"画面状态:", "Image state:", "Состояние:", "Trạng thái:", "畫麵狀態:"}};
const KraText kStateOn = {{"开启", "ON", "Вкл", "Mở", "開啟"}};
const KraText kStateOff = {{"关闭", "OFF", "Откл", "Đóng", "關閉"}};
const KraText kNamePrefix = {{"名称:", "Name:", "Название:", "Tên:", "名稱:"}};
const KraText kDefaultName = {{"画面%1", "image%1", "Канал%1", "Hình ảnh%1", "畫麵%1"}};
const KraText kSourcePrefix = {{"信源:", "Source:", "Источник:", "Nguồn tín hiệu:", "信源:"}};

// Point-to-point entries by combo index.
const KraText kP2PEntries[] = {
    {{"点对点关闭", "OFF", "Откл", "Đóng", "點對點關閉"}},
    {{"点对点开启", "ON", "Вкл", "Mở", "點對點開啟"}},
    {{"HD3,HD4水平拼接", "HD3,HD4 Hor", "Гор HD3,HD4", "Nối ngang HD3,HD4", "HD3,HD4水平拼接"}},
    {{"HD3,HD4垂直拼接", "HD3,HD4 Ver", "Вер HD3,HD4", "Ghép dọc HD3,HD4", "HD3,HD4垂直拼接"}},
};
constexpr u16 kP2PBit = 0x100;
// Point-to-point mode word by combo index 1..3 (index 0 switches point-to-point off).
constexpr u16 kP2PModes[] = {0, 0, 8, 9};

const KraFormText<Ui::ImageLayout, QLabel> kLabelTexts[] = {
    {&Ui::ImageLayout::label_title, {{"画面布局", "Screen layout", "Расположение", "Bố cục màn hình", "畫麵佈局"}}},
    {&Ui::ImageLayout::label_P2P, {{"点对点", "DBD", "Пиксель к пикселю", "Điểm tới điểm", "點對點"}}},
    {&Ui::ImageLayout::label_W, {{"宽", "W", "Ширина", "Rộng", "寬"}}},
    {&Ui::ImageLayout::label_H, {{"高", "H", "Высота", "Cao", "高"}}},
    {&Ui::ImageLayout::label_mirror, {{"镜像", "mirror", "Отражение", "Ảnh phản chiếu", "鏡像"}}},
};
const KraFormText<Ui::ImageLayout, QPushButton> kButtonTexts[] = {
    {&Ui::ImageLayout::Button_cancel, {{"取消", "Cancle", "Отмена", "Hủy bỏ", "取消"}}},
    {&Ui::ImageLayout::Button_ok, {{"确定", "OK", "OK", "Đồng ý", "確定"}}},
};

const char *const kPortNames[6] = {"EXT", "DVI", "HDMI1", "HDMI2", "HDMI3", "HDMI4"};
const char *const kMirrorOn[4] = {":/png/mirror1_on.png", ":/png/mirror2_on.png",
                                  ":/png/mirror3_on.png", ":/png/mirror4_on.png"};
const char *const kMirrorOff[4] = {":/png/mirror1_off.png", ":/png/mirror2_off.png",
                                   ":/png/mirror3_off.png", ":/png/mirror4_off.png"};
const char *const kEditorMarked = "background-color: #4777FF;color: rgb(255, 255, 255);"
                                  "border:1px solid rgb(255, 255, 255);";
const char *const kEditorUnmarked = "color: rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);";

constexpr int kTileX = 20, kTileStep = 130, kTileW = 120, kTileH = 90;

KraRamPara *para()
{
    return KraRamPara::pInstance();
}

// Name of input port 0..5, empty for anything else.
QString port_name(u8 port)
{
    return port < 6 ? QString::fromLatin1(kPortNames[port]) : QString();
}

u8 window_port(int window)
{
    short isCrop = 0;
    char entry = 0;
    return para()->KraGetImageSource(para()->ram_para, u8(window), &isCrop, &entry, 0);
}

// The record words are unsigned, so the fields are read as unsigned 16-bit numbers; text
// that does not read as one counts as 0.
u16 field_value(const QLineEdit *field)
{
    bool ok = false;
    const u16 v = field->text().toUShort(&ok, 10);
    return ok ? v : 0;
}

} // namespace

ImageLayout::ImageLayout(QWidget *parent) : QDialog(parent, kra_screen_flags), ui(new Ui::ImageLayout),
      fields_(this, [this](const QString &text) { confirmString(text); })
{
    ui->setupUi(this);
    setFixedSize(800, 480);
    ui->label_backup->hide();
    ui->comboBox->hide();
    ui->Button_back->setIcon(kra_icon(QStringLiteral(":/png/back.png")));
    ui->Button_back->setIconSize(QSize(32, 32));
    for (QPushButton *b : {ui->mirror1, ui->mirror2, ui->mirror3, ui->mirror4})
        b->setIconSize(QSize(48, 48));
    ui->button_state->setIconSize(QSize(70, 32));
    ui->Button_source_select->setIcon(kra_icon(QStringLiteral(":/png/page_change.png")));
    ui->Button_source_select->setIconSize(QSize(32, 32));
    editor_marked_ = ui->Button_cancel;
    ui->Button_cancel->setStyleSheet(QStringLiteral("background-color: #4777FF;color: #FFFFFF"));
    for (QComboBox *combo : {ui->comboBox, ui->comboBox_P2P})
        combo->installEventFilter(this);
    ui->Button_cancel->hide();
    ui->Button_ok->hide();

    fields_.add(ui->lineEdit_X, QStringLiteral("X"));
    fields_.add(ui->lineEdit_Y, QStringLiteral("Y"));
    fields_.add(ui->lineEdit_W, QStringLiteral("W"));
    fields_.add(ui->lineEdit_H, QStringLiteral("H"));

    language_changed();
    image_init();
    image_para_update();
}

ImageLayout::~ImageLayout()
{
    if (g_imagelayout == this)
        g_imagelayout = nullptr;
    delete ui;
}

int ImageLayout::record(int offset) const
{
    return win(image_index_, offset);
}

void ImageLayout::syncUpdate()
{
    KraRamPara *p = para();
    bool rebuild = false;
    if (p->KraLanguageChanged()) {
        language_changed();
        rebuild = true;
    }
    for (int w = 0; w < Para::WINDOWS_SHOWN; ++w) {
        if (p->live16(win(w, Para::W_ON)) != p->shadow16(win(w, Para::W_ON))
            || p->live16(win(w, Para::W_SOURCE)) != p->shadow16(win(w, Para::W_SOURCE)))
            rebuild = true;
    }
    if (rebuild)
        image_init();
    image_para_update();
}

void ImageLayout::language_changed()
{
    kra_apply_texts(ui, kLabelTexts, kra_fit_text);
    kra_apply_texts(ui, kButtonTexts, kra_fit_text);

    // The refill is no operator choice: it must not reach the record. Afterwards the choice
    // shows the stored state, or what it showed before when the stored mode has no entry.
    QComboBox *combo = ui->comboBox_P2P;
    const int shown = combo->currentIndex();
    {
        const QSignalBlocker block(combo);
        combo->clear();
        for (const KraText &entry : kP2PEntries)
            combo->addItem(kra_text(entry));
        combo->setCurrentIndex(shown);
    }
    show_p2p();
}

// The sheet styles the entries of a plain list view, which a combo box does not have until
// it is given one; it is given one as its list is first opened, not at every open of the
// screen, where its list stays closed.
bool ImageLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick
        || event->type() == QEvent::KeyPress) {
        auto *combo = qobject_cast<QComboBox *>(watched);
        if (combo && combo->view()->metaObject() != &QListView::staticMetaObject)
            combo->setView(new QListView(combo));
    }
    return QDialog::eventFilter(watched, event);
}

void ImageLayout::image_init()
{
    delete frame_image_;
    frame_image_ = new QFrame(this);
    frame_image_->setObjectName(QStringLiteral("frame_image"));
    frame_image_->setGeometry(0, 65, 800, 95);
    // Without the button rule the screen's background rule would paint the buttons over
    // their tiles.
    frame_image_->setStyleSheet(QString::fromLatin1(kra_window_strip_rules)
                                + QStringLiteral("#frame_select{border:2px solid rgb(255,171,84);}"
                                                 "#frame_image > QPushButton{background: transparent;border:0px;}"));
    // Made first so that it lies under the tiles and only its border shows around them.
    frame_select_ = new QFrame(frame_image_);
    frame_select_->setObjectName(QStringLiteral("frame_select"));
    frame_select_->setGeometry(kTileX + kTileStep * image_index_ - 3, 0, 126, 96);

    const u8 *live = para()->ram_para;
    for (int w = 0; w < Para::WINDOWS_SHOWN; ++w) {
        const int x = kTileX + kTileStep * w;
        auto *tile = new QLabel(frame_image_);
        tile->setObjectName(QStringLiteral("label_image%1").arg(w));
        tile->setGeometry(x, 3, kTileW, kTileH);
        tile->setAlignment(Qt::AlignCenter);
        tile->setFont(kra_window_strip_font());
        tile->setText(QString::number(w + 1));

        auto *source = new QLabel(tile);
        source->setObjectName(QStringLiteral("label_source%1").arg(w));
        source->setGeometry(0, 3, 100, 28);
        source->setFont(tile->font());
        tile_source_[size_t(w)] = source;
        auto *mark = new QLabel(tile);
        mark->setObjectName(QStringLiteral("label_mark"));
        mark->setGeometry(101, 8, 14, 14);

        auto *button = new QPushButton(frame_image_);
        button->setObjectName(QString::number(w));
        button->setGeometry(x, 3, kTileW, kTileH);
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, &ImageLayout::kra_image_button_clicked);

        if (w == 0 || rd16(live, win(w, Para::W_ON)) == 1)
            TextCreate(w);
        else
            source->setText(kra_text(kClosed));
    }
    frame_image_->show();
}

void ImageLayout::TextCreate(int window)
{
    if (window < 0 || window >= Para::WINDOWS_SHOWN || !tile_source_[size_t(window)])
        return;
    tile_source_[size_t(window)]->setText(port_name(window_port(window)));
}

void ImageLayout::show_state(bool on)
{
    ui->image_state->setText(kra_text(kStatePrefix) + kra_text(on ? kStateOn : kStateOff));
    ui->button_state->setIcon(kra_icon(on ? QStringLiteral(":/png/button_on.png")
                                       : QStringLiteral(":/png/button_off.png")));
    image_state_ = on ? 1 : 0;
}

void ImageLayout::image_para_update()
{
    KraRamPara *p = para();
    const int s = image_index_;

    show_state(s == 0 || p->live16(record(Para::W_ON)) != 0);
    ui->button_state->setVisible(s != 0);

    ALIAS_PARA alias;
    if (get_json_alias_para(&alias, "win", s)) {
        const QString name = ui->image_name->fontMetrics().elidedText(
            QString::fromStdString(alias.name), Qt::ElideRight, 60);
        ui->image_name->setText(kra_text(kNamePrefix) + name);
    } else {
        ui->image_name->setText(kra_text(kNamePrefix) + kra_text(kDefaultName).arg(s + 1));
    }

    ui->image_source->setText(kra_text(kSourcePrefix) + port_name(window_port(s)));

    {
        // A stored value without an entry shows no entry; nothing is written back.
        const u16 backup = p->live16(record(Para::W_BACKUP));
        const QSignalBlocker block(ui->comboBox);
        ui->comboBox->setCurrentIndex(backup < ui->comboBox->count() ? int(backup) : -1);
    }

    ui->lineEdit_X->setText(QString::number(p->live16(record(Para::W_X))));
    ui->lineEdit_Y->setText(QString::number(p->live16(record(Para::W_Y))));
    ui->lineEdit_W->setText(QString::number(p->live16(record(Para::W_WIDTH))));
    ui->lineEdit_H->setText(QString::number(p->live16(record(Para::W_HEIGHT))));

    mirror_select(p->live16(record(Para::W_MIRROR)));
    show_p2p();
}

void ImageLayout::show_p2p()
{
    KraRamPara *p = para();
    const u16 flags = p->live16(record(Para::W_FLAGS));
    const u16 mode = p->live16(record(Para::W_P2P_MODE));
    int index = -1;
    if (!(flags & kP2PBit))
        index = 0;
    else if (mode == kP2PModes[1])
        index = 1;
    else if (mode == kP2PModes[2])
        index = 2;
    else if (mode == kP2PModes[3])
        index = 3;
    if (index < 0)
        return; // a mode without an entry leaves the choice as it was
    const QSignalBlocker block(ui->comboBox_P2P);
    ui->comboBox_P2P->setCurrentIndex(index);
}

void ImageLayout::mirror_select(int mode)
{
    if (mode < 0 || mode > 3)
        return;
    QPushButton *const buttons[4] = {ui->mirror1, ui->mirror2, ui->mirror3, ui->mirror4};
    for (int m = 0; m < 4; ++m)
        buttons[m]->setIcon(kra_icon(QString::fromLatin1(m == mode ? kMirrorOn[m] : kMirrorOff[m])));
}

void ImageLayout::kra_image_button_clicked()
{
    auto *button = qobject_cast<QPushButton *>(sender());
    if (!button)
        return;
    bool ok = false;
    const int window = button->objectName().toInt(&ok, 10);
    if (ok)
        select_window(window);
}

void ImageLayout::select_window(int window)
{
    if (window < 0 || window >= Para::WINDOWS_SHOWN)
        return;
    image_index_ = u8(window);
    image_para_update();
    if (frame_select_)
        frame_select_->setGeometry(kTileX + kTileStep * window - 3, 0, 126, 96);
}

void ImageLayout::on_button_state_clicked()
{
    switch_state();
}

void ImageLayout::switch_state()
{
    if (image_index_ == 0)
        return; // window 1 stays on from this screen
    const int s = image_index_;
    if (image_state_ == 1) {
        show_state(false);
        kra_window_set_on(s, false);
        if (tile_source_[size_t(s)])
            tile_source_[size_t(s)]->setText(kra_text(kClosed));
    } else {
        show_state(true);
        kra_window_set_on(s, true);
        TextCreate(s);
    }
}

void ImageLayout::show_numberkeyboard_ui(QString)
{
    fields_.ask_for(sender());
}

void ImageLayout::confirmString(QString text)
{
    // Only a value typed for one of this screen's own fields is ours; screens opened above
    // this one use fields with the same object names.
    QLineEdit *field = g_lineedit;
    QLineEdit *partner = nullptr;
    bool vertical = false;
    if (field == ui->lineEdit_X) {
        partner = ui->lineEdit_W;
    } else if (field == ui->lineEdit_W) {
        partner = ui->lineEdit_X;
    } else if (field == ui->lineEdit_Y) {
        partner = ui->lineEdit_H;
        vertical = true;
    } else if (field == ui->lineEdit_H) {
        partner = ui->lineEdit_Y;
        vertical = true;
    } else {
        return;
    }
    bool ok = false;
    int value = text.toInt(&ok, 10);
    if (!ok)
        value = 0;
    if (!kra_window_span_fits(value, field_value(partner), vertical))
        return;
    field->setText(text);
    write_rectangle();
}

void ImageLayout::write_rectangle()
{
    kra_window_set_rect(image_index_, field_value(ui->lineEdit_X), field_value(ui->lineEdit_Y),
                        field_value(ui->lineEdit_W), field_value(ui->lineEdit_H));
}

void ImageLayout::on_mirror1_clicked() { choose_mirror(0); }
void ImageLayout::on_mirror2_clicked() { choose_mirror(1); }
void ImageLayout::on_mirror3_clicked() { choose_mirror(2); }
void ImageLayout::on_mirror4_clicked() { choose_mirror(3); }

void ImageLayout::choose_mirror(int mode)
{
    if (kra_window_set_mirror(image_index_, mode))
        mirror_select(mode);
}

void ImageLayout::on_comboBox_P2P_currentIndexChanged(int index)
{
    choose_p2p(index);
}

void ImageLayout::choose_p2p(int index)
{
    kra_window_set_p2p(image_index_, index);
}

void ImageLayout::on_comboBox_currentIndexChanged(int index)
{
    choose_backup(index);
}

void ImageLayout::choose_backup(int index)
{
    kra_window_set_backup(image_index_, index);
}

void ImageLayout::on_Button_source_select_clicked()
{
    kra_open_screen(Page::InputSelect);
}

void ImageLayout::mark_editor_button(QPushButton *button)
{
    if (editor_marked_ && editor_marked_ != button)
        editor_marked_->setStyleSheet(QString::fromLatin1(kEditorUnmarked));
    button->setStyleSheet(QString::fromLatin1(kEditorMarked));
    editor_marked_ = button;
}

void ImageLayout::on_Button_cancel_clicked()
{
    mark_editor_button(ui->Button_cancel);
}

void ImageLayout::on_Button_ok_clicked()
{
    mark_editor_button(ui->Button_ok);
    write_rectangle();
}

void ImageLayout::on_Button_back_clicked() { kra_close_screen(Page::WindowLayout); }
