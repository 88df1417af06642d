#ifndef TEXTFIT_H
#define TEXTFIT_H

class QWidget;

// Keeps the form's point size of a label or button, reduced only as far as a long
// translation or a two-line title needs to fit the widget (not below 8 pt).
void kra_fit_text(QWidget *w);

#endif
