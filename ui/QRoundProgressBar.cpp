#include "QRoundProgressBar.h"
#include "global.h"

#include <QDialog>
#include <QPainter>

QRoundProgressBar::QRoundProgressBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("QRoundProgressBar"));
    setAttribute(Qt::WA_TranslucentBackground);
    setGeometry(300, 140, 200, 200);
}

// Deleted with its screen: g_qround_bar must not keep pointing at it, or the idle
// time-out and the job buttons would wait for a bar that is gone.
QRoundProgressBar::~QRoundProgressBar()
{
    if (g_qround_bar == this)
        g_qround_bar = nullptr;
}

void QRoundProgressBar::create_qround_bar(QDialog *parent)
{
    if (g_qround_bar)
        return;
    auto *bar = new QRoundProgressBar(parent);
    g_qround_bar = bar;
    bar->show();
    bar->raise();
}

void QRoundProgressBar::para_sync(int percent)
{
    if (percent < 100) {
        value_ = percent < 0 ? 0 : percent;
        update();
        return;
    }
    if (g_qround_bar == this)
        g_qround_bar = nullptr;
    close();
    deleteLater();
}

void QRoundProgressBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer(10, 10, 180, 180);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(33, 36, 53));
    p.drawEllipse(outer);
    QPen track(QColor(71, 119, 255, 60), 14);
    p.setPen(track);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(outer.adjusted(12, 12, -12, -12));
    QPen arc(QColor(0x47, 0x77, 0xFF), 14, Qt::SolidLine, Qt::RoundCap);
    p.setPen(arc);
    p.drawArc(outer.adjusted(12, 12, -12, -12), 90 * 16, -int(value_ * 360 * 16 / 100));
    p.setPen(Qt::white);
    QFont f = font();
    f.setPixelSize(36);
    p.setFont(f);
    p.drawText(outer, Qt::AlignCenter, QStringLiteral("%1%").arg(value_));
}
