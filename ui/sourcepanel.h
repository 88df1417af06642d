#ifndef SOURCEPANEL_H
#define SOURCEPANEL_H

// What the input selection, crop editor and EDID screens share about the six inputs and
// their paged source tiles; what they ask of the parameter block is in pararules.h. GUI
// thread only, like the screens that use them.

#include "global.h"
#include "pararules.h"
#include <QRect>
#include <QString>

class QFont;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// One input tab; the tabs stand left to right in the order of kra_input_tabs.
struct KraInputTab {
    const char *name;       // input name, also the stem of the tab's widget names
    u8 code;                // input code of the parameter block
    const char *icon_off;   // connector picture without signal
    const char *icon_on;    // connector picture with signal
};
constexpr int KRA_INPUT_TABS = 6;
extern const KraInputTab kra_input_tabs[KRA_INPUT_TABS];

// x of tab k's highlight frame (the tab buttons stand one pixel inside it).
constexpr int kra_tab_x(int tab) { return 20 + 130 * tab; }
// Tab position 0..5 of an input code, -1 for none.
int kra_tab_of_input(int code);
// "EXT", "DVI", "HDMI1".."HDMI4" by input code; empty above 5.
QString kra_input_name(int code);
// The input's name from the names file (group "source"), elided to `width` pixels in
// `font`; the input name when there is no valid entry.
QString kra_input_tab_name(int code, const QFont &font, int width);
// Picture of an input on its source tiles.
QString kra_source_tile_icon(int code);

// "%dx%d@%dHz", or the no-signal text of the current language.
QString kra_timing_text(const KraTiming &timing);
// Connector picture of an input's tab for its signal state.
QString kra_signal_icon(int code, bool present);
// "(%d)" with the input's number of sources.
QString kra_source_count_text(int code);

// Paging of source tiles, six to a page.
constexpr int KRA_TILES_PER_PAGE = 6;
int kra_last_page(int sources);
// Moves `page` by `step`; false (and `page` unchanged) when that leaves 0..255.
bool kra_step_page(u8 *page, int step);
// Tiles on `page` (0 for a page beyond the last).
int kra_tiles_on_page(int sources, int page);
// Tile i (0..5) of a page: three to a row, two rows.
struct KraTileGrid {
    int x0, y0, dx, dy, width, height;
    QRect rect(int i) const
    {
        return QRect(x0 + dx * (i % 3), y0 + dy * (i / 3), width, height);
    }
};

// Name of a crop tile: the names file's "crop" entry of `entry`, elided to `width` pixels
// in `font`; else "<input>_crop<number>".
QString kra_crop_tile_name(int code, int entry, const QFont &font, int width);
// Name and value of source tile `n` of `input` (0: the whole input, named `inputName`,
// with its timing; else crop n with its size); false when the crop table and its bitmap
// disagree and the tile has nothing to show.
bool kra_source_tile_text(int input, int n, const QString &inputName, const QFont &font,
                          QString *name, QString *value);

// ---- widgets of the tab row and the tile area ----

// Style of the frame that marks the chosen tab: blue left, right and top edges.
QString kra_tab_frame_style();
// Green round mark of a tile (14 x 14).
extern const char *const kra_mark_style;
// A label showing `picture` scaled into `geometry`.
QLabel *kra_picture_label(QWidget *parent, const QString &name, const QRect &geometry,
                          const QString &picture);
// A flat, unfocusable button laid over a tile; the tile shows through it (by its own style,
// or by the area's sheet when `styled` is false).
QPushButton *kra_overlay_button(QWidget *parent, const QString &name, const QRect &geometry,
                                bool styled = true);
// A flat, unfocusable button with a 50 x 50 icon (add, menu, previous, next).
QPushButton *kra_icon_button(QWidget *parent, const QString &name, const QRect &geometry,
                             const QString &icon);
// A source tile of the crop and EDID screens, 220 x 90 at `rect` of `parent`: its frame
// "source_frame", the green mark, the picture of its input, the name and the value in
// `font`, and a flat button over it named `button` (the tile's only button, for the caller
// to connect). The area that holds such tiles carries kra_source_tile_sheet.
QWidget *kra_source_tile(QWidget *parent, const QRect &rect, const QFont &font, const QString &button);
void kra_fill_source_tile(QWidget *tile, int input, const QString &name, const QString &value);
extern const char *const kra_source_tile_sheet;
// A widget may be removed from a click of one of its own buttons and must outlive that
// click: it leaves the screen at once, is deleted once the click has returned, and
// `frame` is cleared.
void kra_retire_widget(QWidget *widget);
template <typename W>
void kra_retire_frame(W *&frame)
{
    kra_retire_widget(frame);
    frame = nullptr;
}

// ---- number fields ----

// Runs the shared number keyboard for `field` of the calling screen: g_lineedit := field,
// caption and the field's text shown. Does nothing without a keyboard.
void kra_ask_number(QLineEdit *field, const QString &caption);
// A field's text as a 16-bit signed decimal number; `ok` false (and 0) when the text is
// not such a number.
int kra_field_s16(const QString &text, bool *ok = nullptr);

#endif
