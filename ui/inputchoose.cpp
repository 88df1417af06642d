#include "inputchoose.h"
#include "words.h"
#include "screenkit.h"
#include "ui_inputchoose.h"

#include "krarampara.h"
#include "screens.h"
#include "pagedtiles.h"
#include "sourcepanel.h"
#include "textfit.h"
#include "tip.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
const KraText kTitle = {{"信源切换", "Source switch", "Переключение источника", "Chuyển đổi nguồn",
                         "信源切換"}};
const KraText kInputCut = {{"输入截取", "Input intercept", "Источник", "Chặn nguồn vào", "輸入截取"}};
const KraText kEdid = {{"设置EDID", "EDID Settings", "Настройка EDID", "Cài đặt EDID", "設置EDID"}};
// Pop-up buttons by language: x and width, right edge at 779.
const int kPopupX[5] = {680, 620, 640, 640, 680};
const int kPopupWidth[5] = {100, 160, 140, 140, 100};

// The window strip, styled as one: the tiles, the frame of the chosen window and the
// buttons over the tiles.
const char *kStripSheet = "#frame_image_select{border:2px solid rgb(255,171,84);}"
                          "#frame_image > QPushButton{background-color: transparent;border:none;}";
const char *kPopupStyle = "background-color: rgb(95, 100, 129); color: rgb(255, 255, 255);";
// The source tile area, styled as one; the tile in use is marked.
const char *kTileArea =
    "#frame{border:1px solid rgb(71, 119, 255);}"
    "#source_frame[marked=\"true\"]{border:1px solid #00D65B;border-radius:5px;}"
    "#source_frame[marked=\"false\"]{border:1px solid #CCCCCC;border-radius:5px;}"
    "#label_source_name, #label_source_value{color: rgb(255, 255, 255);}"
    "#label_using{background-color: #00D65B;color: rgb(255, 255, 255);border-radius:5px;}"
    "#source_frame > QPushButton{background-color: transparent;border:none;}";
const KraTileGrid kTiles = {10, 15, 235, 100, 220, 90};

// The strip's rules without those of windows that have no tile: each rule is matched
// against every widget of the strip as it is styled.
QString stripRules(const bool shown[Para::WINDOWS_SHOWN])
{
    QString rules;
    const QString all = QString::fromLatin1(kra_window_strip_rules);
    for (const QString &rule : all.split(QLatin1Char('}'), Qt::SkipEmptyParts)) {
        bool wanted = true;
        for (int w = 0; w < Para::WINDOWS_SHOWN; ++w) {
            if (!shown[w] && rule.startsWith(QStringLiteral("#label_image%1,").arg(w)))
                wanted = false;
        }
        if (wanted)
            rules += rule + QLatin1Char('}');
    }
    return rules + QString::fromLatin1(kStripSheet);
}

// A widget made while its parent is not shown yet appears along with it: showing it at
// once would style it ahead of the screen, and once more as the screen's style reaches it.
void showWithParent(QWidget *w)
{
    if (w->parentWidget()->isVisible())
        w->show();
}

} // namespace

InputChoose::InputChoose(QWidget *parent) : QDialog(parent, kra_screen_flags), ui(new Ui::InputChoose)
{
    ui->setupUi(this);
    setFixedSize(800, 480);

    QLabel *const texts[6] = {ui->label_HDMI1_text, ui->label_HDMI2_text, ui->label_HDMI3_text,
                              ui->label_HDMI4_text, ui->label_DVI_text, ui->label_EXT_text};
    QLabel *const nums[6] = {ui->label_HDMI1_num, ui->label_HDMI2_num, ui->label_HDMI3_num,
                             ui->label_HDMI4_num, ui->label_DVI_num, ui->label_EXT_num};
    QLabel *const icons[6] = {ui->label_HDMI1, ui->label_HDMI2, ui->label_HDMI3,
                              ui->label_HDMI4, ui->label_DVI, ui->label_EXT};
    for (int k = 0; k < KRA_INPUT_TABS; ++k) {
        tab_text_[k] = texts[k];
        tab_num_[k] = nums[k];
        tab_icon_[k] = icons[k];
        // The labels lie on the tab: a touch on them belongs to the tab.
        for (QLabel *l : {texts[k], nums[k], icons[k]})
            l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    build_menu();
    KraRamPara::pInstance()->KraCropSourceInit();
    crop_source_num_update();

    ui->label_12->hide();
    ui->label_15->hide();
    initMenu();
    image_select();
    language_changed();
}

InputChoose::~InputChoose()
{
    if (g_inputchoose == this)
        g_inputchoose = nullptr;
    delete ui;
}

void InputChoose::language_changed()
{
    ui->label_title->setText(kra_text(kTitle));
    if (button_inputcut_)
        menu_language_changed();
}

void InputChoose::menu_language_changed()
{
    button_inputcut_->setText(kra_text(kInputCut));
    button_EDID_->setText(kra_text(kEdid));
    const int lang = kra_text_language();
    button_inputcut_->setGeometry(kPopupX[lang], 310, kPopupWidth[lang], 60);
    button_EDID_->setGeometry(kPopupX[lang], 370, kPopupWidth[lang], 60);
}

// ---- window strip ----

void InputChoose::initMenu()
{
    // The labels die with the old strip; single updates must not reach them.
    for (QLabel *&l : window_labels_)
        l = nullptr;
    kra_retire_frame(frame_image_);
    frame_image_ = new QFrame(this);
    frame_image_->setObjectName(QStringLiteral("frame_image"));
    frame_image_->setGeometry(0, 64, 800, 96);
    const u8 *image = KraRamPara::pInstance()->ram_para;
    bool shown[Para::WINDOWS_SHOWN];
    for (int w = 0; w < Para::WINDOWS_SHOWN; ++w)
        shown[w] = w == 0 || image[Para::win(w, Para::W_ON)] == 1;
    frame_image_->setStyleSheet(stripRules(shown));
    frame_image_select_ = new QFrame(frame_image_);
    frame_image_select_->setObjectName(QStringLiteral("frame_image_select"));
    bool selectionShown = false;

    int p = 0;
    for (int w = 0; w < Para::WINDOWS_SHOWN; ++w) {
        if (!shown[w])
            continue;
        auto *tile = new QLabel(QString::number(w + 1), frame_image_);
        tile->setObjectName(QStringLiteral("label_image%1").arg(w));
        tile->setGeometry(20 + 130 * p, 3, 120, 90);
        tile->setAlignment(Qt::AlignCenter);
        tile->setFont(kra_window_strip_font());
        auto *name = new QLabel(tile);
        name->setObjectName(QStringLiteral("label_image_name%1").arg(w));
        name->setGeometry(0, 3, 100, 28);
        name->setFont(tile->font());
        window_labels_[w] = name;
        auto *mark = new QLabel(tile);
        mark->setObjectName(QStringLiteral("label_mark"));
        mark->setGeometry(101, 8, 14, 14);
        TextCreate(char(w), 0);
        QPushButton *b = kra_overlay_button(frame_image_, QString::number(w),
                                            QRect(17 + 130 * p, 0, 126, 96), false);
        connect(b, &QPushButton::clicked, this, &InputChoose::kra_image_button_clicked);
        if (w == image_select_) {
            frame_image_select_->setGeometry(17 + 130 * p, 0, 126, 96);
            selectionShown = true;
        }
        ++p;
    }
    if (!selectionShown)
        frame_image_select_->hide();
    showWithParent(frame_image_);
}

void InputChoose::TextCreate(char window, char)
{
    const int w = u8(window);
    if (w >= Para::WINDOWS_SHOWN || !window_labels_[w])
        return;
    window_labels_[w]->setText(kra_input_name(kra_window_source(w).input));
}

void InputChoose::input_source_changed(char window)
{
    const int w = u8(window);
    if (w >= Para::WINDOWS_SHOWN || !window_labels_[w])
        return;
    const KraWindowSource s = kra_window_source(w);
    QString text = kra_input_name(s.input);
    // Named by the crop's own number, which stays right whatever entry holds it.
    if (s.crop && s.number && !text.isEmpty())
        text += QString::asprintf("_Crop%d", s.number);
    window_labels_[w]->setText(text);
}

void InputChoose::kra_image_button_clicked()
{
    auto *b = qobject_cast<QPushButton *>(sender());
    if (b)
        select_window(b->objectName().toInt(), b->x());
}

void InputChoose::select_window(int window, int x)
{
    if (window < 0 || window >= Para::WINDOWS_SHOWN)
        return;
    image_select_ = u8(window);
    image_select();
    frame_image_select_->setGeometry(x, 0, 126, 96);
    frame_image_select_->show();
}

void InputChoose::image_select()
{
    const int tab = kra_tab_of_input(kra_window_source(image_select_).input);
    if (tab >= 0)
        choose_input(tab);
}

// ---- input tabs ----

void InputChoose::on_Button_HDMI1_clicked() { choose_input(0); }
void InputChoose::on_Button_HDMI2_clicked() { choose_input(1); }
void InputChoose::on_Button_HDMI3_clicked() { choose_input(2); }
void InputChoose::on_Button_HDMI4_clicked() { choose_input(3); }
void InputChoose::on_Button_DVI_clicked() { choose_input(4); }
void InputChoose::on_Button_EXT_clicked() { choose_input(5); }

void InputChoose::choose_input(int tab)
{
    page_ = 0;
    source_select_ = kra_input_tabs[tab].code;
    input_name_ = QString::fromLatin1(kra_input_tabs[tab].name);
    initSource();
    ui->frame1->setGeometry(kra_tab_x(tab), 173, 120, 85);
    ui->frame1->setStyleSheet(kra_tab_frame_style());
}

void InputChoose::crop_source_num_update()
{
    for (int k = 0; k < KRA_INPUT_TABS; ++k)
        tab_num_[k]->setText(kra_source_count_text(kra_input_tabs[k].code));
    source_name_update();
    source_check_update();
}

void InputChoose::source_name_update()
{
    for (int k = 0; k < KRA_INPUT_TABS; ++k)
        tab_text_[k]->setText(kra_input_tab_name(kra_input_tabs[k].code, tab_text_[k]->font(), 66));
}

void InputChoose::source_check_update()
{
    for (int k = 0; k < KRA_INPUT_TABS; ++k) {
        const int code = kra_input_tabs[k].code;
        kra_set_picture(tab_icon_[k], kra_signal_icon(code, kra_input_timing(code).present()));
    }
}

// ---- source tiles ----

void InputChoose::initSource()
{
    const int sources = kra_source_count(source_select_);
    last_page_ = u8(kra_last_page(sources));

    kra_retire_frame(frame_source_);
    KraPagedTiles::Hooks hooks;
    hooks.make = [this](QWidget *area, int place) { return make_tile(area, place); };
    hooks.fill = [this](QWidget *tile, int n) { return fill_tile(tile, n); };
    frame_source_ = new KraPagedTiles(this, QStringLiteral("frame"), QRect(20, 257, 770, 215),
                                      QString::fromLatin1(kTileArea), kTiles, 95, 155, hooks);
    QFont tileFont = frame_source_->font();
    tileFont.setPixelSize(20);
    frame_source_->setFont(tileFont);
    connect(frame_source_, &KraPagedTiles::previous_clicked, this, &InputChoose::kra_Button_previous_clicked);
    connect(frame_source_, &KraPagedTiles::next_clicked, this, &InputChoose::kra_Button_next_clicked);
    QPushButton *menu = kra_icon_button(frame_source_, QStringLiteral("Button_menu"),
                                        QRect(715, 10, 50, 50), QStringLiteral(":/png/menu.png"));
    connect(menu, &QPushButton::clicked, this, &InputChoose::kra_Button_menu_clicked);
    frame_source_->show_page(page_, sources);
    frame_source_->lower();
    showWithParent(frame_source_);
    hide_menu();
}

QWidget *InputChoose::make_tile(QWidget *area, int place)
{
    auto *tile = new QFrame(area);
    tile->setObjectName(QStringLiteral("source_frame"));
    kra_picture_label(tile, QStringLiteral("label_state"), QRect(10, 10, 14, 14), QString());
    kra_picture_label(tile, QStringLiteral("label_input"), QRect(29, 5, 63, 24), QString());
    auto *nameLabel = new QLabel(tile);
    nameLabel->setObjectName(QStringLiteral("label_source_name"));
    nameLabel->setGeometry(10, 29, 172, 24);
    auto *valueLabel = new QLabel(tile);
    valueLabel->setObjectName(QStringLiteral("label_source_value"));
    valueLabel->setGeometry(10, 57, 172, 24);
    QFont valueFont = valueLabel->font();
    valueFont.setPixelSize(20);
    valueLabel->setFont(valueFont);
    QPushButton *b = kra_overlay_button(tile, QString::number(place), QRect(1, 1, 218, 88), false);
    connect(b, &QPushButton::clicked, this, &InputChoose::kra_source_button_clicked);
    return tile;
}

bool InputChoose::fill_tile(QWidget *tile, int n)
{
    const int input = source_select_;
    QString name;
    QString value;
    if (!kra_source_tile_text(input, n, input_name_, tile->font(), &name, &value))
        return false;
    // The tile in use is found by the crop's own number, not by its place in the table.
    const KraWindowSource shown = kra_window_source(image_select_);
    const bool used = shown.input == input && shown.position == n;

    kra_set_marked(tile, used);
    kra_set_picture(tile->findChild<QLabel *>(QStringLiteral("label_state")),
                    used ? QStringLiteral(":/png/state_on.png") : QStringLiteral(":/png/state_off.png"));
    kra_set_picture(tile->findChild<QLabel *>(QStringLiteral("label_input")), kra_source_tile_icon(input));
    tile->findChild<QLabel *>(QStringLiteral("label_source_name"))->setText(name);
    auto *valueLabel = tile->findChild<QLabel *>(QStringLiteral("label_source_value"));
    valueLabel->setText(value);
    kra_fit_text(valueLabel);
    auto *badge = tile->findChild<QLabel *>(QStringLiteral("label_using"));
    if (used && !badge) {
        badge = new QLabel(kra_text(kra_words::in_use), tile);
        badge->setObjectName(QStringLiteral("label_using"));
        badge->setGeometry(164, 0, 56, 30);
        badge->setAlignment(Qt::AlignCenter);
        QFont badgeFont = badge->font();
        badgeFont.setPixelSize(18);
        badge->setFont(badgeFont);
        kra_fit_text(badge);
        badge->stackUnder(tile->findChild<QPushButton *>()); // a touch on it selects the tile
        showWithParent(badge);
    } else if (!used) {
        delete badge;
    }
    return true;
}

void InputChoose::kra_source_button_clicked()
{
    auto *b = qobject_cast<QPushButton *>(sender());
    if (b)
        assign_source(b->objectName().toInt());
}

void InputChoose::assign_source(int tile)
{
    const int n = tile + KRA_TILES_PER_PAGE * page_;
    KraRamPara::pInstance()->KraSetImageSource(n, char(source_select_), char(image_select_));
    initSource();
    input_source_changed(char(image_select_));
    if (g_tip)
        g_tip->tip_create(2);
}

void InputChoose::kra_Button_previous_clicked() { turn_page(-1); }
void InputChoose::kra_Button_next_clicked() { turn_page(1); }

void InputChoose::turn_page(int step)
{
    if (!kra_step_page(&page_, step))
        return;
    frame_source_->show_page(page_, kra_source_count(source_select_));
    hide_menu();
}

// ---- pop-up menu ----

void InputChoose::kra_Button_menu_clicked() { toggle_menu(); }

// The two pop-up buttons, hidden until the menu button is touched.
void InputChoose::build_menu()
{
    QFont popupFont = font();
    popupFont.setPointSize(12);
    button_inputcut_ = new QPushButton(this);
    button_inputcut_->setObjectName(QStringLiteral("button_inputcut"));
    button_EDID_ = new QPushButton(this);
    button_EDID_->setObjectName(QStringLiteral("button_EDID"));
    for (QPushButton *b : {button_inputcut_, button_EDID_}) {
        b->setFont(popupFont);
        b->setStyleSheet(QString::fromLatin1(kPopupStyle));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        b->hide();
    }
    menu_language_changed();
    connect(button_inputcut_, &QPushButton::clicked, this, &InputChoose::kra_button_inputcut_clicked);
    connect(button_EDID_, &QPushButton::clicked, this, &InputChoose::kra_button_EDID_clicked);
}

void InputChoose::hide_menu()
{
    if (!button_inputcut_)
        return;
    button_inputcut_->hide();
    button_EDID_->hide();
}

void InputChoose::toggle_menu()
{
    if (button_inputcut_->isHidden()) {
        button_inputcut_->show();
        button_EDID_->show();
        button_inputcut_->raise();
        button_EDID_->raise();
    } else {
        button_inputcut_->hide();
        button_EDID_->hide();
    }
}

void InputChoose::kra_button_inputcut_clicked() { kra_open_screen(Page::CropEditor); }
void InputChoose::kra_button_EDID_clicked() { kra_open_screen(Page::Edid); }

// ---- refresh ----

void InputChoose::syncUpdate(int code)
{
    KraRamPara *para = KraRamPara::pInstance();
    if (para->KraLanguageChanged())
        language_changed();

    const bool cropsChanged = code == 103 || para->differs(Para::CROP, Para::CROP_END - Para::CROP);
    // Every tile and name below is drawn from the crop bitmap: rebuild it first.
    if (cropsChanged)
        para->KraCropSourceInit();

    bool onChanged = false;
    for (int w = 0; w < Para::WINDOWS_SHOWN; ++w) {
        if (para->differs(Para::win(w, Para::W_SOURCE), 2))
            input_source_changed(char(w));
        if (para->differs(Para::win(w, Para::W_ON), 2))
            onChanged = true;
    }
    // The shadow copy takes the timings only along with a saved change, so an input
    // unplugged again compares equal to it: code 12 itself says that a timing changed.
    const bool signalCode = code == 12;
    const bool timingChanged = signalCode || kra_any_timing_changed();

    int selection = 0;
    if (para->differs(Para::win(image_select_, Para::W_SOURCE), 2))
        selection = 1;
    else if (signalCode || kra_input_timing_changed(source_select_))
        selection = 2;

    if (onChanged) {
        if (para->ram_para[Para::win(image_select_, Para::W_ON)] != 0) {
            initMenu();
            if (selection == 1)
                image_select();
            else if (selection == 2)
                initSource();
        } else {
            image_select_ = 0;
            image_select();
            initMenu();
        }
    } else if (selection == 1) {
        image_select();
    } else if (selection == 2) {
        initSource();
    }

    if (cropsChanged) {
        initSource();
        crop_source_num_update();
        return;
    }
    if (timingChanged)
        source_check_update();
}

void InputChoose::on_Button_back_clicked() { kra_close_screen(Page::InputSelect); }
