#ifndef SCREENKIT_H
#define SCREENKIT_H

// What every screen shares of its look: the palette, the window flags, the marked and
// unmarked look of buttons and tiles, and the images, loaded once. GUI thread only.

#include <QPushButton>
#include <QString>
#include <Qt>

class QFont;
class QIcon;
class QLabel;
class QPixmap;
class QVariant;
class QWidget;

namespace kra_palette {
constexpr const char *background = "rgb(16, 16, 28)"; // every screen
constexpr const char *tile = "#212435";               // tiles, keys, unmarked actions
constexpr const char *blue = "#4777FF";               // marked page and action buttons
constexpr const char *green = "#00D65B";              // selected or active tile, marks
constexpr const char *white = "#FFFFFF";
constexpr const char *grey = "rgb(133, 129, 153)";    // separators, hints
constexpr const char *dim = "#5F6481";                // disabled entries
} // namespace kra_palette

// A flat, empty touch area that never takes focus, laid over a picture or a tile: it shows
// nothing until pressed, so its paint is skipped until then.
class KraTouchArea : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Given to the QDialog constructor: setting flags after setupUi rebuilds and restyles the
// whole window.
constexpr Qt::WindowFlags kra_screen_flags = Qt::Window | Qt::FramelessWindowHint;

// The marked look is the dynamic property "marked" of a widget, matched in its screen's
// one style sheet as [marked="true"] and [marked="false"]; switching it repolishes that
// widget only.
void kra_set_marked(QWidget *widget, bool marked);
// The same for a look of more than two states, matched as [property="value"].
void kra_set_look(QWidget *widget, const char *property, const QVariant &value);
bool kra_marked(const QWidget *widget);
// "SEL[marked="true"]{marked}SEL[marked="false"]{unmarked}" for a screen's style sheet.
QString kra_marked_rules(const QString &selector, const char *marked, const char *unmarked);

// Rules for a strip of window tiles, for the sheet of the frame that holds them: tile
// "label_image<w>" in window w's colour with all that lies on it, and its green round mark
// "label_mark".
extern const char *const kra_window_strip_rules;
// Font of a window tile, given to the tile in code: all that lies on the tile takes it up.
QFont kra_window_strip_font();

// Images of the resource, decoded once and shared: an image made afresh at each open
// would also leave a new entry in Qt's pixmap cache every time.
const QIcon &kra_icon(const QString &path);
const QPixmap &kra_pixmap(const QString &path);
// Puts the image on the label. A label that scales its contents would scale the image
// afresh in each new label's first paint; it is given the image already scaled to its
// contents, the same pixels, shared. Call it again when the label's box changes.
void kra_set_picture(QLabel *label, const QString &path);

// Run once at start-up: turns Qt's pixmap cache off. The base style draws some widgets of
// the forms (the splicing combo box, for one) through it, keyed by each screen's own
// palette, so every open adds entries that are never hit again, and even a small cache
// keeps growing with their keys. The shared images above do not depend on it.
void kra_screen_kit_init();

#endif
