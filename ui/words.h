#ifndef WORDS_H
#define WORDS_H

// The words that several screens show, once, and the one way a screen puts its language
// table onto its form. GUI thread only.

#include "global.h"

#include <cstddef>

class QWidget;

namespace kra_words {
extern const KraText width;      // field labels
extern const KraText height;
extern const KraText key_width;  // number keyboard captions
extern const KraText cancel;
extern const KraText ok;
extern const KraText remove;     // "Delete"
extern const KraText in_use;     // badge of the tile or mode in use
extern const KraText no_signal;
extern const KraText led_screen; // "LED screen: " before the size
} // namespace kra_words

// One row of a screen's language table: a widget of its form and the widget's text.
template <typename Form, typename Widget>
struct KraFormText {
    Widget *Form::*widget;
    KraText text;
};

// Sets each widget of `table` on `form` to its text in the current language; `after`, when
// given, runs on each widget once its text is set (to fit a long translation).
template <typename Form, typename Widget, std::size_t N>
void kra_apply_texts(Form *form, const KraFormText<Form, Widget> (&table)[N],
                     void (*after)(QWidget *) = nullptr)
{
    for (const KraFormText<Form, Widget> &row : table) {
        Widget *w = form->*row.widget;
        w->setText(kra_text(row.text));
        if (after)
            after(w);
    }
}

#endif
