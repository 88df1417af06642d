#include "textfit.h"

#include <QFontMetrics>
#include <QAbstractButton>
#include <QCoreApplication>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVariant>

namespace {
// Below this the words are no longer legible on the device's screen.
constexpr int kMinPixels = 6;

// Room a text needs in a font, by everything that decides it. Screens measure the same
// texts at every open; shaping them again costs more than the lookup.
struct Measure {
    QFont font;
    QString text;
    int flags;
    QSize room;
    bool operator==(const Measure &o) const
    {
        return flags == o.flags && room == o.room && text == o.text && font == o.font;
    }
};
uint qHash(const Measure &m, uint seed = 0)
{
    return ::qHash(m.text, seed) ^ ::qHash(m.font, seed) ^ uint(m.flags) ^ uint(m.room.width() << 12)
           ^ uint(m.room.height());
}

// Emptied when the application goes, while fonts may still be released.
QHash<Measure, QSize> *s_known = nullptr;

void forgetMeasures()
{
    delete s_known;
    s_known = nullptr;
}

QSize need(const QFont &f, const QRect &room, int flags, const QString &text)
{
    if (!s_known) {
        s_known = new QHash<Measure, QSize>;
        qAddPostRoutine(forgetMeasures);
    }
    const Measure key{f, text, flags, room.size()};
    auto it = s_known->constFind(key);
    if (it != s_known->constEnd())
        return *it;
    if (s_known->size() > 4096) // names typed on the device vary without end
        s_known->clear();
    const QSize size = QFontMetrics(f).boundingRect(room, flags, text).size();
    s_known->insert(key, size);
    return size;
}

bool fits(const QWidget *w, const QFont &f, const QString &text)
{
    QRect room;
    QSize needed;
    if (auto *l = qobject_cast<const QLabel *>(w)) {
        const int m = l->margin();
        room = l->contentsRect().adjusted(m, m, -m, -m);
        needed = need(f, room, int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0), text);
    } else if (auto *b = qobject_cast<const QPushButton *>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = text;
        if (b->isFlat())
            opt.features |= QStyleOptionButton::Flat;
        room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
        needed = need(f, room, Qt::AlignCenter | Qt::TextShowMnemonic, text);
        if (!b->icon().isNull())
            needed.setWidth(needed.width() + b->iconSize().width() + 4);
    } else {
        room = w->contentsRect();
        needed = need(f, room, Qt::AlignCenter, text);
    }
    return needed.width() <= room.width() && needed.height() <= room.height();
}

int pixelsOf(const QWidget *w, const QFont &f)
{
    return f.pixelSize() > 0 ? f.pixelSize() : qRound(f.pointSizeF() * w->logicalDpiY() / 72.0);
}

QString textOf(const QWidget *w)
{
    if (auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        return b->text();
    return w->property("text").toString();
}
} // namespace

void kra_fit_text(QWidget *w)
{
    // A font named by the style sheet wins over setFont: a reduced size is then added to
    // the sheet, after its own declarations. Both are undone before measuring again. The
    // given font is kept only once the text has been made smaller: until then the widget's
    // font is the given one, and most texts fit at the first try.
    const char *givenFont = "kraGivenFont";
    const char *givenSheet = "kraGivenSheet";
    const char *fittedSheet = "kraFittedSheet";
    const QVariant given = w->property(givenFont);
    if (given.isValid()) {
        const QVariant fitted = w->property(fittedSheet);
        if (fitted.isValid()) {
            if (w->styleSheet() == fitted.toString())
                w->setStyleSheet(w->property(givenSheet).toString());
            w->setProperty(fittedSheet, QVariant());
        }
        w->setFont(given.value<QFont>());
    }
    const QFont before = w->font();
    w->ensurePolished();

    const QString text = textOf(w);
    QFont f = w->font(); // as the style sheet makes it
    if (text.isEmpty() || fits(w, f, text))
        return;
    if (!given.isValid())
        w->setProperty(givenFont, before);
    int px = pixelsOf(w, f);
    do {
        f.setPixelSize(--px);
    } while (px > kMinPixels && !fits(w, f, text));

    const QString sheet = w->styleSheet();
    const bool sheetFont = sheet.contains(QLatin1String("font")) && !sheet.contains(QLatin1Char('{'));
    if (sheetFont) {
        QString fitted = sheet.trimmed();
        if (!fitted.endsWith(QLatin1Char(';')))
            fitted += QLatin1Char(';');
        fitted += QStringLiteral("font-size:%1px;").arg(px);
        w->setProperty(givenSheet, sheet);
        w->setProperty(fittedSheet, fitted);
        w->setStyleSheet(fitted);
    } else {
        w->setFont(f);
    }
}
