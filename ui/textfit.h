#ifndef TEXTFIT_H
#define TEXTFIT_H

class QWidget;

// Keeps the given font size of a label or button (from its form, its own font or its style
// sheet), reduced only as far as a long translation or a two-line title needs to fit the
// widget's rectangle. Call it again after each change of text.
void kra_fit_text(QWidget *w);

#endif
