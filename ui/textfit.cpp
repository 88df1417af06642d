#include "textfit.h"

#include <QFontMetrics>
#include <QVariant>
#include <QWidget>

void kra_fit_text(QWidget *w)
{
    const char *key = "formPointSize";
    if (!w->property(key).isValid())
        w->setProperty(key, w->font().pointSize());
    QFont f = w->font();
    f.setPointSize(w->property(key).toInt());
    const QString text = w->property("text").toString();
    const QRect room = w->rect().adjusted(4, 0, -4, 0);
    while (f.pointSize() > 8 && !room.contains(QFontMetrics(f).boundingRect(room, Qt::AlignCenter, text)))
        f.setPointSize(f.pointSize() - 1);
    w->setFont(f);
}
