#include "custommode.h"
#include "words.h"
#include "screenkit.h"
#include "ui_custommode.h"

#include "alias.h"
#include "global.h"
#include "krarampara.h"
#include "mainwindow.h"
#include "pararules.h"
#include "screens.h"
#include "textfit.h"

#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <cstring>
#include <initializer_list>

QPushButton *g_button_focus = nullptr;
QFrame *g_frame[16] = {};

namespace {
const KraText kTitle = {{"用户模式", "User mode", "Слот", "Chế độ người dùng", "用戶模式"}};
const KraText kUse = {{"调用", "Invoke", "Вызвать", "Dùng", "調用"}};
const KraText kBlank = {{"未保存用户模式数据", "Usermode does not exist", "Данные не сохранены",
                         "Chế độ không được lưu", "未保存用戶模式數據"}};
const KraText kTileName = {{"用户模式%d", "MODE %d", "Слот %d", "Chế độ %d", "用戶模式%d"}};
const KraText kNameCaption = {{"名称:", "Name:", "Название:", "Tên:", "名稱:"}};
const KraText kDefaultName = {{"名称:用户模式%d", "Name:Mode%d", "Название:Слот%d", "Tên:Chế độ%d",
                               "名稱:用戶模式%d"}};
const KraText kLed = {{"LED参数:%dx%d", "LED size:%dx%d", "Экран:%dx%d", "Màn LED:%dx%d",
                       "LED參數:%dx%d"}};
const KraText kAudioOn = {{"亮度:%d 对比度:%d 音量:开启", "Bri:%d CTRST:%d Volume:ON",
                           "Яркость:%d Контраст:%d Громкость:Вкл", "Độ sáng:%d Tương phản:%d Âm:Mở",
                           "亮度:%d 對比度:%d 音量:開啟"}};
const KraText kAudioOff = {{"亮度:%d 对比度:%d 音量:关闭", "Bri:%d CTRST:%d Volume:OFF",
                            "Яркость:%d Контраст:%d Громкость:Откл", "Độ sáng:%d Tương phản:%d Âm:đóng",
                            "亮度:%d 對比度:%d 音量:關閉"}};
const KraText kWindowOn = {{"开启", "ON", "Вкл", "Mở", "開啟"}};
const KraText kWindowOff = {{"关闭", "OFF", "Откл", "đóng", "關閉"}};
const KraText kFontSize = {{"字体大小:", "font size:", "font size:", "font size:", "字體大小:"}};
const KraText kSpacing = {{"字-行间距 [h:", "space [h:", "space [h:", "space [h:", "字-行間距 [h:"}};
const KraText kPosition = {{"字幕坐标[x:", "char[x:", "char[x:", "char[x:", "字幕坐標[x:"}};
const KraText kSpeed = {{"速度:", "speed:", "speed:", "speed:", "速度:"}};
// Effect words by effect code 0..5; code 1 (and any unknown code) reads as static.
const KraText kEffect[6] = {
    {{"特技:静止", "effect:static", "effect:static", "effect:static", "特技:靜止"}},
    {{"特技:静止", "effect:static", "effect:static", "effect:static", "特技:靜止"}},
    {{"特技:上移", "effect:move up", "effect:move up", "effect:move up", "特技:上移"}},
    {{"特技:下移", "effect:move down", "effect:move down", "effect:move down", "特技:下移"}},
    {{"特技:左移", "effect:move left", "effect:move left", "effect:move left", "特技:左移"}},
    {{"特技:右移", "effect:move right", "effect:move right", "effect:move right", "特技:右移"}},
};
// Shown in place of the OSD lines when the mode's copy of the menu cannot be read.
const KraText kOsdMissing = {{"OSD菜单文件不可用", "OSD menu file not available",
                              "OSD menu file not available", "OSD menu file not available",
                              "OSD菜單文件不可用"}};
// Source name of a window whose source code is none of the six inputs.
const char *kUnknownSource = "---";
const char *kSourceNames[6] = {"EXT", "DVI", "HDMI1", "HDMI2", "HDMI3", "HDMI4"};
const char *kDefaultOsdBackground = "000000";
const char *kDefaultOsdFont = "FFFFFF";

// The mode list, styled as one: a tile is "normal", "current" (the mode in use) or "touched".
const char *kModeList =
    "#mode_tile[look=\"normal\"]{background-color: #212435;border:1px solid #FFFFFF;border-radius:5px;}"
    "#mode_tile[look=\"current\"]{background-color: #212435;border:1px solid #00D65B;border-radius:5px;}"
    "#mode_tile[look=\"touched\"]{background-color: #212435;border:2px solid #00D65B;border-radius:5px;}"
    "#label_badge[marked=\"true\"]{background-color: #00D65B;color: rgb(255, 255, 255);"
    "border-radius:5px;}"
    "#mode_number{background-color: #4777FF; color: #FFFFFF;border-radius:5px;}"
    "#mode_name{background-color: #212435;color: #FFFFFF}";
// The preview of a mode: window numbers in their colours, lines of text.
const char *kPreview =
    "QLabel[window=\"0\"]{background-color: #D5E5FF;}QLabel[window=\"1\"]{background-color: #D4FC79;}"
    "QLabel[window=\"2\"]{background-color: #FC9D79;}QLabel[window=\"3\"]{background-color: #7E9AC9;}"
    "QLabel[window=\"4\"]{background-color: #32CC4C;}QLabel[window=\"5\"]{background-color: #4777FF;}"
    "QLabel[window=\"other\"]{background-color: #CCCCCC;}"
    "QLabel[line=\"true\"]{background-color: #10101C;color: #FFFFFF;}";
const char *kScrollStyle =
    "QScrollBar:vertical{width:32px;background:#10101C;padding-top:0px;padding-bottom:0px;}"
    "QScrollBar::handle:vertical{width:32px;background-color:#D5D5D5;border-radius:14px;}"
    "QScrollBar::add-page:vertical {background:#10101C;}"
    "QScrollBar::sub-page:vertical {background:#10101C;}";

constexpr int kSlots = Para::USER_MODES;
constexpr int kRowHeight = 90;
constexpr int kRowWidgets = 4; // tile, number, name, button

// Replaces each "%d" of `text` in turn with the next number.
QString fill(QString text, std::initializer_list<long long> numbers)
{
    for (long long n : numbers) {
        const int at = text.indexOf(QLatin1String("%d"));
        if (at < 0)
            break;
        text.replace(at, 2, QString::number(n));
    }
    return text;
}

// The slot shown; a stray value never indexes outside the sixteen slots.
int selectedSlot()
{
    return g_mode_select < kSlots ? g_mode_select : 0;
}

// A 16-bit field of a slot's data, by its image address.
u16 slotField(int slot, int addr)
{
    return rd16(KraRamPara::pInstance()->user_mode[slot] + 2, addr - Para::MODE_FIRST);
}

// An OSD colour is two characters followed by RRGGBB; anything else gives `fallback`.
QString osdColour(const std::string &text, const char *fallback)
{
    const QString c = QString::fromStdString(text);
    if (c.size() != 8)
        return QString::fromLatin1(fallback);
    for (int i = 2; i < 8; ++i) {
        const ushort u = c.at(i).unicode();
        const bool hex = (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
        if (!hex)
            return QString::fromLatin1(fallback);
    }
    return c.mid(2);
}
} // namespace

CustomMode::CustomMode(QWidget *parent) : QDialog(parent, kra_screen_flags), ui(new Ui::CustomMode)
{
    ui->setupUi(this);
    ui->Button_back->setIcon(kra_icon(QStringLiteral(":/png/back.png")));
    ui->Button_back->setIconSize(QSize(32, 32));
    ui->label_blank->hide();
    font10_ = font();
    font10_.setPointSize(10);

    const int current = KraRamPara::pInstance()->KraGetCurrentModeIndex();
    g_mode_select = u8(current ? current - 1 : 0);
    init();
    lcd_para_init();
    image_para_init();
    ui->label_ID->setText(fill(QStringLiteral("ID:%d"), {g_mode_select + 1}));
    g_button_focus = ui->Button_use;
    kra_set_marked(g_button_focus, true);
    language_changed();
}

CustomMode::~CustomMode()
{
    for (QFrame *&f : g_frame)
        f = nullptr;
    g_button_focus = nullptr;
    if (g_custommode == this)
        g_custommode = nullptr;
    delete ui;
}

void CustomMode::language_changed()
{
    ui->label_title->setText(kra_text(kTitle));
    ui->Button_delete->setText(kra_text(kra_words::remove));
    ui->Button_use->setText(kra_text(kUse));
    ui->label_using->setText(kra_text(kra_words::in_use));
    ui->label_blank->setText(kra_text(kBlank));
    for (QLabel *l : {ui->label_title, ui->label_using, ui->label_blank})
        kra_fit_text(l);
    for (QPushButton *b : {ui->Button_delete, ui->Button_use})
        kra_fit_text(b);
}

void CustomMode::init()
{
    delete scroll_;
    for (QFrame *&f : g_frame)
        f = nullptr;

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("scrollArea_mode"));
    scroll_->setGeometry(2, 66, 190, 414);
    scroll_->setWidgetResizable(true);
    // The list is always taller than its view and never wider: fixed policies spare the
    // area deciding it again at each layout.
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll_->verticalScrollBar()->setStyleSheet(QString::fromLatin1(kScrollStyle));
    auto *content = new QWidget();
    content->setObjectName(QStringLiteral("widget_modes"));
    content->setGeometry(0, 0, 157, kSlots * kRowHeight);
    content->setMinimumSize(100, kSlots * kRowHeight);
    content->setStyleSheet(QString::fromLatin1(kModeList));
    // Attached before the rows are made, so that each row is styled once, not again when
    // the filled list joins the screen.
    scroll_->setWidget(content);
    auto *badge = new QLabel(content);
    badge->setObjectName(QStringLiteral("label_badge"));
    const int current = KraRamPara::pInstance()->KraGetCurrentModeIndex();
    if (current >= 1 && current <= kSlots) {
        const int t = kRowHeight * (current - 1);
        badge->setText(kra_text(kra_words::in_use));
        badge->setProperty("marked", true);
        // Its font is set here, not in the list's sheet, so that fitting can shrink it.
        QFont badgeFont = badge->font();
        badgeFont.setPixelSize(18);
        badge->setFont(badgeFont);
        badge->setAlignment(Qt::AlignCenter);
        badge->setGeometry(96, t + 2, 56, 30);
        kra_fit_text(badge);
    } else {
        badge->hide(); // empty, under the first tile
    }
    touched_ = false;
    build_rows();
    scroll_->show();
}

void CustomMode::build_rows()
{
    QWidget *content = scroll_->widget();
    QFont nameFont = font();
    nameFont.setPixelSize(20);
    QFont numberFont = font();
    numberFont.setPixelSize(16);
    const int current = KraRamPara::pInstance()->KraGetCurrentModeIndex();
    auto *badge = content->findChild<QLabel *>(QStringLiteral("label_badge"));
    for (int i = 0; i < kSlots; ++i) {
        const int t = kRowHeight * i;
        auto *tile = new QFrame();
        tile->setObjectName(QStringLiteral("mode_tile"));
        tile->setProperty("look", touched_ ? (i == selectedSlot() ? "touched" : "normal")
                                           : (current == i + 1 ? "current" : "normal"));
        g_frame[i] = tile;
        auto *number = new QLabel(QString::number(i + 1));
        number->setAlignment(Qt::AlignCenter);
        number->setFont(numberFont);
        number->setObjectName(QStringLiteral("mode_number"));
        auto *name = new QLabel();
        name->setAlignment(Qt::AlignCenter);
        name->setFont(nameFont);
        name->setObjectName(QStringLiteral("mode_name"));
        ALIAS_PARA alias;
        if (get_json_alias_para(&alias, "usermode", i))
            name->setText(QFontMetrics(nameFont).elidedText(QString::fromStdString(alias.name),
                                                            Qt::ElideRight, 100));
        else
            name->setText(fill(kra_text(kTileName), {i + 1}));
        auto *button = new KraTouchArea();
        button->setObjectName(QString::number(i));
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, &CustomMode::kra_button_mode_clicked);

        const QRect place[kRowWidgets] = {QRect(2, t + 2, 150, 80), QRect(3, t + 3, 24, 24),
                                          QRect(27, t + 31, 100, 28), QRect(3, t + 3, 148, 78)};
        QWidget *const row[kRowWidgets] = {tile, number, name, button};
        for (int k = 0; k < kRowWidgets; ++k) {
            QWidget *w = row[k];
            // Polished first under the plain application style, a row widget takes the
            // list's sheet once as it joins; made in the list, its rules would be looked up
            // by its constructor and again at its polish.
            w->ensurePolished();
            w->setParent(content);
            w->setGeometry(place[k]);
            if (w == tile && current == i + 1) // the badge: over its tile, under the rest
                badge->raise();
        }
        kra_fit_text(name);
    }
}

void CustomMode::lcd_para_init()
{
    KraRamPara *para = KraRamPara::pInstance();
    const int s = selectedSlot();

    ALIAS_PARA alias;
    if (get_json_alias_para(&alias, "usermode", s)) {
        const QString line = kra_text(kNameCaption) + QString::fromStdString(alias.name);
        ui->label_name->setText(QFontMetrics(ui->label_name->font()).elidedText(line, Qt::ElideRight, 171));
    } else {
        ui->label_name->setText(fill(kra_text(kDefaultName), {s + 1}));
    }

    ui->label_LED->setText(fill(kra_text(kLed), {short(slotField(s, Para::LED_WIDTH)),
                                                 short(slotField(s, Para::LED_HEIGHT))}));
    // A deleted or damaged slot may name any window; the slot holds the sixteen records.
    const u16 window = slotField(s, Para::SELECTED_WINDOW);
    const bool audio = window < WINDOW_RECORDS
                       && (slotField(s, Para::win(window, Para::W_VOLUME)) & 0x8000);
    ui->label_brightness->setText(fill(kra_text(audio ? kAudioOn : kAudioOff),
                                       {short(slotField(s, Para::PICTURE)),
                                        short(slotField(s, Para::PICTURE + 2))}));
    ui->label_using->setVisible(para->KraGetCurrentModeIndex() == s + 1);
}

void CustomMode::image_para_init()
{
    KraRamPara *para = KraRamPara::pInstance();
    const int s = selectedSlot();

    delete preview_;
    preview_ = nullptr;
    if (!para->KraUserModeSaved(s)) {
        ui->label_LED->hide();
        ui->label_brightness->hide();
        ui->label_blank->show();
        return;
    }
    ui->label_LED->show();
    ui->label_brightness->show();
    ui->label_blank->hide();

    preview_ = new QWidget(ui->frame);
    preview_->setObjectName(QStringLiteral("widget_preview"));
    preview_->setGeometry(2, 120, 587, 244);
    preview_->setMinimumSize(100, 244);
    preview_->setStyleSheet(QString::fromLatin1(kPreview));

    u8 *data = para->user_mode[s] + 2;
    for (int w = 0; w < Para::WINDOWS_SHOWN; ++w) {
        const int r = w % 3;
        const bool left = w < 3;
        auto *number = new QLabel(QString::number(w + 1), preview_);
        number->setObjectName(QStringLiteral("label_window_%1").arg(w));
        number->setGeometry(left ? 10 : 300, 6 + 48 * r, 45, 45);
        number->setAlignment(Qt::AlignCenter);
        number->setFont(font10_);
        color_fill(number, char(w));

        short isCrop = 0;
        char entry = 0;
        const u8 input = para->KraGetImageSource(data, u8(w), &isCrop, &entry, 1);
        const u8 cropEntry = u8(entry);
        QString source = input < 6 ? QString::fromLatin1(kSourceNames[input])
                                   : QString::fromLatin1(kUnknownSource);
        // An entry past the crop table is no crop at all.
        if (isCrop && cropEntry < Para::CROP_ENTRIES)
            source += QStringLiteral("_Crop%1").arg(cropEntry + 1);
        const bool on = slotField(s, Para::win(w, Para::W_ON)) != 0;
        auto *sourceLine = new QLabel(source + QLatin1Char(' ') + kra_text(on ? kWindowOn : kWindowOff),
                                      preview_);
        sourceLine->setObjectName(QStringLiteral("label_source_%1").arg(w));
        sourceLine->setGeometry(left ? 65 : 355, 6 + 45 * r, 100, 20);
        sourceLine->setFont(font10_);
        sourceLine->setProperty("line", true);

        const QString geometry = QStringLiteral("[%1,%2]%3x%4")
                                     .arg(slotField(s, Para::win(w, Para::W_X)))
                                     .arg(slotField(s, Para::win(w, Para::W_Y)))
                                     .arg(slotField(s, Para::win(w, Para::W_WIDTH)))
                                     .arg(slotField(s, Para::win(w, Para::W_HEIGHT)));
        auto *geometryLine = new QLabel(geometry, preview_);
        geometryLine->setObjectName(QStringLiteral("label_geometry_%1").arg(w));
        geometryLine->setGeometry(left ? 65 : 355, 30 + 45 * r, left ? 200 : 470, 20);
        geometryLine->setFont(font10_);
        geometryLine->setProperty("line", true);
    }

    if (slotField(s, Para::OSD_ON) != 0) {
        QFont osdFont = font();
        osdFont.setPixelSize(12);
        const QByteArray path = QFile::encodeName(KraRamPara::modeOsdPath(s));
        if (get_json_omenu_para(path.constData(), &osd_list_) != 0) {
            auto *missing = new QLabel(kra_text(kOsdMissing), preview_);
            missing->setObjectName(QStringLiteral("label_osd"));
            missing->setGeometry(10, 150, 570, 56);
            missing->setFont(osdFont);
            missing->setFrameShape(QFrame::NoFrame);
            missing->setProperty("line", true);
        } else {
            const OMENU_PARA &m = osd_list_.menu[0];
            QStringList lines = QString::fromStdString(m.text).split(QLatin1Char('\n'));
            if (lines.size() > 3)
                lines = lines.mid(0, 3);
            auto *sample = new QLabel(lines.join(QLatin1Char('\n')), preview_);
            sample->setObjectName(QStringLiteral("label_osd"));
            sample->setGeometry(10, 150, 570, 56);
            sample->setFont(osdFont);
            sample->setFrameShape(QFrame::NoFrame);
            sample->setStyleSheet(QStringLiteral("background-color:#") + osdColour(m.bgcolor, kDefaultOsdBackground)
                                  + QStringLiteral(";color:#") + osdColour(m.fontcolor, kDefaultOsdFont)
                                  + QLatin1Char(';'));

            auto num = [](int v) { return QString::number(uint(v)); };
            const int effect = m.effect >= 0 && m.effect <= 5 ? m.effect : 0;
            const QString text = QStringLiteral("osd [x:") + num(m.x) + QStringLiteral(",y:") + num(m.y)
                                 + QStringLiteral(",w:") + num(m.w) + QStringLiteral(",h:") + num(m.h)
                                 + QStringLiteral("] ") + kra_text(kFontSize) + num(m.font_w)
                                 + QLatin1Char('*') + num(m.font_h) + QLatin1Char('\n')
                                 + kra_text(kSpacing) + num(m.word_spacing) + QStringLiteral(",v:")
                                 + num(m.line_spacing) + QStringLiteral("] ") + kra_text(kPosition)
                                 + num(m.font_x) + QStringLiteral(",y:") + num(m.font_y)
                                 + QStringLiteral("] ") + kra_text(kSpeed) + num(m.speed)
                                 + QLatin1Char(',') + kra_text(kEffect[effect]);
            auto *info = new QLabel(text, preview_);
            info->setObjectName(QStringLiteral("label_osd_info"));
            info->setGeometry(10, 207, 570, 40);
            info->setFont(osdFont);
            info->setFrameShape(QFrame::NoFrame);
            info->setProperty("line", true);
        }
    }
    preview_->show();
}

void CustomMode::color_fill(QLabel *label, char index)
{
    const int i = static_cast<unsigned char>(index);
    kra_set_look(label, "window", i < 6 ? QVariant(QString::number(i)) : QVariant(QStringLiteral("other")));
}

void CustomMode::syncUpdate()
{
    KraRamPara *para = KraRamPara::pInstance();
    if (para->KraLanguageChanged())
        language_changed();
    if (para->live16(Para::CURRENT_MODE) != para->shadow16(Para::CURRENT_MODE)) {
        init();
        lcd_para_init();
        image_para_init();
    }
}

void CustomMode::kra_button_mode_clicked()
{
    bool ok = false;
    const int slot = sender() ? sender()->objectName().toInt(&ok) : -1;
    if (ok)
        select_mode(slot);
}

void CustomMode::select_mode(int slot)
{
    if (slot < 0 || slot >= kSlots)
        return;
    if (g_frame[selectedSlot()])
        kra_set_look(g_frame[selectedSlot()], "look", "normal");
    g_mode_select = u8(slot);
    touched_ = true;
    ui->label_ID->setText(fill(QStringLiteral("ID:%d"), {slot + 1}));
    if (g_frame[slot])
        kra_set_look(g_frame[slot], "look", "touched");
    lcd_para_init();
    image_para_init();
}

void CustomMode::focus_button(QPushButton *button)
{
    if (g_button_focus)
        kra_set_marked(g_button_focus, false);
    g_button_focus = button;
    kra_set_marked(g_button_focus, true);
}

void CustomMode::use_mode()
{
    focus_button(ui->Button_use);
    KraRamPara *para = KraRamPara::pInstance();
    const int s = selectedSlot();
    if (!para->KraUserModeSaved(s))
        return;
    // The refresh that follows the change rebuilds this screen.
    ParaWrite w;
    w.set16(Para::CURRENT_MODE, u16(s + 1));
    memcpy(w.image() + Para::MODE_FIRST, para->user_mode[s] + 2, Para::MODE_BYTES);
}

void CustomMode::delete_mode()
{
    focus_button(ui->Button_delete);
    KraRamPara *para = KraRamPara::pInstance();
    const int s = selectedSlot();
    if (!para->KraUserModeSaved(s))
        return;
    para->mode_file_deal(s, 1);
    lcd_para_init();
    image_para_init();
}

void CustomMode::on_Button_use_clicked() { use_mode(); }
void CustomMode::on_Button_delete_clicked() { delete_mode(); }
void CustomMode::on_Button_back_clicked() { kra_close_screen(Page::UserModes); }
