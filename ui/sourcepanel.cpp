#include "sourcepanel.h"
#include "words.h"
#include "screenkit.h"
#include "alias.h"
#include "krarampara.h"

#include "numberkeyboard.h"

#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

const KraInputTab kra_input_tabs[KRA_INPUT_TABS] = {
    {"HDMI1", 2, ":/png/HDMI13.png", ":/png/HDMI13_lv.png"},
    {"HDMI2", 3, ":/png/HDMI13.png", ":/png/HDMI13_lv.png"},
    {"HDMI3", 4, ":/png/HDMI20.png", ":/png/HDMI20_lv.png"},
    {"HDMI4", 5, ":/png/HDMI20.png", ":/png/HDMI20_lv.png"},
    {"DVI", 1, ":/png/DVI.png", ":/png/dvilv.png"},
    {"EXT", 0, ":/png/HDMI.png", ":/png/extlv.png"},
};

namespace {

QString aliasName(const char *group, int id, const QFont &font, int width)
{
    ALIAS_PARA alias;
    if (!get_json_alias_para(&alias, group, id))
        return QString();
    return QFontMetrics(font).elidedText(QString::fromStdString(alias.name), Qt::ElideRight, width);
}
} // namespace

int kra_tab_of_input(int code)
{
    for (int k = 0; k < KRA_INPUT_TABS; ++k) {
        if (kra_input_tabs[k].code == code)
            return k;
    }
    return -1;
}

QString kra_input_name(int code)
{
    const int k = kra_tab_of_input(code);
    return k < 0 ? QString() : QString::fromLatin1(kra_input_tabs[k].name);
}

QString kra_input_tab_name(int code, const QFont &font, int width)
{
    const QString alias = aliasName("source", code, font, width);
    return alias.isEmpty() ? kra_input_name(code) : alias;
}

QString kra_source_tile_icon(int code)
{
    return code == 1 ? QStringLiteral(":/png/DVI.png") : QStringLiteral(":/png/HDMI.png");
}

QString kra_timing_text(const KraTiming &timing)
{
    if (!timing.present())
        return kra_text(kra_words::no_signal);
    return QString::asprintf("%dx%d@%dHz", timing.width, timing.height, timing.rate);
}

QString kra_signal_icon(int code, bool present)
{
    const int k = kra_tab_of_input(code);
    if (k < 0)
        return QString();
    return QString::fromLatin1(present ? kra_input_tabs[k].icon_on : kra_input_tabs[k].icon_off);
}

QString kra_source_count_text(int code)
{
    return QString::asprintf("(%d)", kra_source_count(code));
}

int kra_last_page(int sources)
{
    int last = sources / KRA_TILES_PER_PAGE;
    if (sources % KRA_TILES_PER_PAGE == 0)
        --last;
    return last < 0 ? 0 : last;
}

bool kra_step_page(u8 *page, int step)
{
    const int next = *page + step;
    if (next < 0 || next > 255)
        return false;
    *page = u8(next);
    return true;
}

int kra_tiles_on_page(int sources, int page)
{
    const int left = sources - KRA_TILES_PER_PAGE * page;
    if (left <= 0)
        return 0;
    return left < KRA_TILES_PER_PAGE ? left : KRA_TILES_PER_PAGE;
}

QString kra_crop_tile_name(int code, int entry, const QFont &font, int width)
{
    const QString alias = aliasName("crop", entry, font, width);
    if (!alias.isEmpty())
        return alias;
    return kra_input_name(code) + QString::asprintf("_crop%d", kra_crop_number(entry));
}

bool kra_source_tile_text(int input, int n, const QString &inputName, const QFont &font,
                          QString *name, QString *value)
{
    if (n == 0) {
        *name = inputName;
        *value = kra_timing_text(kra_input_timing(input));
        return true;
    }
    CROP_PARA crop{};
    int entry = Para::CROP_ENTRIES;
    KraRamPara::pInstance()->KraGetCropPara(input, n, &crop, &entry);
    if (entry >= Para::CROP_ENTRIES)
        return false; // the table and its bitmap disagree: nothing to show
    *name = kra_crop_tile_name(input, entry, font, 172);
    *value = QString::asprintf("%dx%d", crop.width, crop.height);
    return true;
}

const char *const kra_mark_style = "background-color:#00D65B;border:0px groove gray;border-radius:7px;";

QString kra_tab_frame_style()
{
    const QString blanks(37, QLatin1Char(' '));
    return QStringLiteral("border:1px solid;border-left-color:rgb(71, 119, 255);") + blanks +
           QStringLiteral("border-right-color:rgb(71, 119, 255);") + blanks +
           QStringLiteral("border-top-color:rgb(71, 119, 255);");
}

QLabel *kra_picture_label(QWidget *parent, const QString &name, const QRect &geometry,
                          const QString &picture)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setScaledContents(true);
    kra_set_picture(label, picture);
    return label;
}

QPushButton *kra_overlay_button(QWidget *parent, const QString &name, const QRect &geometry,
                                bool styled)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    b->setFlat(true);
    b->setFocusPolicy(Qt::NoFocus);
    if (styled)
        b->setStyleSheet(QStringLiteral("background-color: transparent;border:none;"));
    return b;
}

QPushButton *kra_icon_button(QWidget *parent, const QString &name, const QRect &geometry,
                             const QString &icon)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    b->setFlat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIcon(kra_icon(icon));
    b->setIconSize(QSize(50, 50));
    return b;
}

void kra_retire_widget(QWidget *widget)
{
    if (!widget)
        return;
    widget->hide();
    widget->setParent(nullptr);
    widget->deleteLater();
}

const char *const kra_source_tile_sheet =
    "#source_frame{background-color: #212435;border:1px solid #CCCCCC;}"
    "#source_tile > #label_state{background-color:#00D65B;border:0px groove gray;border-radius:7px;}"
    "#source_tile > #label_input{background-color: #212435;}"
    "#source_tile > #label_source_name, #source_tile > #label_source_value"
    "{background-color:#212435;color:#FFFFFF}"
    "#source_tile > QPushButton{background-color: transparent;border:none;}";

QWidget *kra_source_tile(QWidget *parent, const QRect &rect, const QFont &font, const QString &button)
{
    // The texts are the frame's siblings, over it, in a plain holder: the frame's box is
    // not theirs.
    auto *tile = new QWidget(parent);
    tile->setObjectName(QStringLiteral("source_tile"));
    tile->setGeometry(rect);
    auto *frame = new QFrame(tile);
    frame->setObjectName(QStringLiteral("source_frame"));
    frame->setGeometry(0, 0, rect.width(), rect.height());
    auto *mark = new QLabel(tile);
    mark->setObjectName(QStringLiteral("label_state"));
    mark->setGeometry(10, 10, 14, 14);
    kra_picture_label(tile, QStringLiteral("label_input"), QRect(29, 5, 63, 24), QString());
    auto *nameLabel = new QLabel(tile);
    nameLabel->setObjectName(QStringLiteral("label_source_name"));
    nameLabel->setGeometry(10, 29, 172, 28);
    auto *valueLabel = new QLabel(tile);
    valueLabel->setObjectName(QStringLiteral("label_source_value"));
    valueLabel->setGeometry(10, 57, 172, 28);
    for (QLabel *l : {nameLabel, valueLabel})
        l->setFont(font);
    kra_overlay_button(tile, button, QRect(1, 1, rect.width() - 2, rect.height() - 2), false);
    return tile;
}

void kra_fill_source_tile(QWidget *tile, int input, const QString &name, const QString &value)
{
    kra_set_picture(tile->findChild<QLabel *>(QStringLiteral("label_input")), kra_source_tile_icon(input));
    tile->findChild<QLabel *>(QStringLiteral("label_source_name"))->setText(name);
    tile->findChild<QLabel *>(QStringLiteral("label_source_value"))->setText(value);
}

void kra_ask_number(QLineEdit *field, const QString &caption)
{
    if (!g_numberkeyboard || !field)
        return;
    g_lineedit = field;
    g_numberkeyboard->label_show(caption, field->text());
    g_numberkeyboard->run();
}

int kra_field_s16(const QString &text, bool *ok)
{
    bool parsed = false;
    const short v = text.toShort(&parsed, 10);
    if (ok)
        *ok = parsed;
    return parsed ? v : 0;
}
