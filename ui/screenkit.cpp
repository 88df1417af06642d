#include "screenkit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QEvent>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QVariant>
#include <QWidget>

namespace {
const char *kMarked = "marked";

// Emptied when the application goes, while pixmaps may still be released.
QHash<QString, QPixmap> *s_pixmaps = nullptr;
QHash<QString, QIcon> *s_icons = nullptr;
QHash<QString, QPixmap> *s_scaled = nullptr; // by path and size

void releaseImages()
{
    delete s_icons;
    s_icons = nullptr;
    delete s_pixmaps;
    s_pixmaps = nullptr;
    delete s_scaled;
    s_scaled = nullptr;
}

void ensureStores()
{
    if (s_pixmaps)
        return;
    s_pixmaps = new QHash<QString, QPixmap>;
    s_icons = new QHash<QString, QIcon>;
    s_scaled = new QHash<QString, QPixmap>;
    qAddPostRoutine(releaseImages);
}
} // namespace

const char *const kra_window_strip_rules =
    "#label_image0, #label_image0 *{background-color: #867AE9}"
    "#label_image1, #label_image1 *{background-color: #005A8D}"
    "#label_image2, #label_image2 *{background-color: #39A9CB}"
    "#label_image3, #label_image3 *{background-color: #EBA83A}"
    "#label_image4, #label_image4 *{background-color: #FF96AD}"
    "#label_image5, #label_image5 *{background-color: #D5E5FF}"
    "QLabel#label_mark{background-color:#00D65B;border:0px groove gray;border-radius:7px;}";

QFont kra_window_strip_font()
{
    QFont font;
    font.setPixelSize(16);
    return font;
}

void KraTouchArea::paintEvent(QPaintEvent *event)
{
    if (isDown())
        QPushButton::paintEvent(event);
}

void kra_set_marked(QWidget *widget, bool marked)
{
    kra_set_look(widget, kMarked, marked);
}

void kra_set_look(QWidget *widget, const char *property, const QVariant &value)
{
    if (!widget)
        return;
    const QVariant old = widget->property(property);
    if (old.isValid() && old == value)
        return;
    widget->setProperty(property, value);
    if (!widget->testAttribute(Qt::WA_WState_Polished))
        return; // its polish, still to come, matches the property
    // The style sheet matches properties at polish time only; a frame takes up a new
    // border width on the style change.
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    QEvent change(QEvent::StyleChange);
    QCoreApplication::sendEvent(widget, &change);
    widget->update();
}

bool kra_marked(const QWidget *widget)
{
    return widget && widget->property(kMarked).toBool();
}

QString kra_marked_rules(const QString &selector, const char *marked, const char *unmarked)
{
    return selector + QStringLiteral("[marked=\"true\"]{") + QString::fromLatin1(marked)
           + QStringLiteral("}") + selector + QStringLiteral("[marked=\"false\"]{")
           + QString::fromLatin1(unmarked) + QStringLiteral("}");
}

const QIcon &kra_icon(const QString &path)
{
    ensureStores();
    auto it = s_icons->find(path);
    if (it == s_icons->end()) {
        const QPixmap &normal = kra_pixmap(path);
        QIcon icon(normal);
        // The greyed picture of a disabled button, made here once as the icon would make
        // it at each paint, the pixmap cache being off.
        if (!normal.isNull()) {
            QStyleOption option(0);
            option.palette = QGuiApplication::palette();
            icon.addPixmap(QApplication::style()->generatedIconPixmap(QIcon::Disabled, normal, &option),
                           QIcon::Disabled);
        }
        it = s_icons->insert(path, icon);
    }
    return *it;
}

const QPixmap &kra_pixmap(const QString &path)
{
    ensureStores();
    auto it = s_pixmaps->find(path);
    if (it == s_pixmaps->end())
        it = s_pixmaps->insert(path, QPixmap(path));
    return *it;
}

void kra_set_picture(QLabel *label, const QString &path)
{
    const QPixmap &original = kra_pixmap(path);
    if (!label->hasScaledContents() || original.isNull()) {
        label->setPixmap(original);
        return;
    }
    label->ensurePolished(); // the style sheet's border decides the contents
    const QSize size = label->contentsRect().size() * label->devicePixelRatioF();
    if (size.isEmpty() || size == original.size()) {
        label->setPixmap(original);
        return;
    }
    const QString key = path + QStringLiteral("@%1x%2").arg(size.width()).arg(size.height());
    auto it = s_scaled->find(key);
    if (it == s_scaled->end()) {
        // As QLabel scales it, so that the pixels are the same.
        it = s_scaled->insert(key, QPixmap::fromImage(original.toImage().scaled(
                                       size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    }
    label->setPixmap(*it);
}

void kra_screen_kit_init()
{
    QPixmapCache::setCacheLimit(0);
}
