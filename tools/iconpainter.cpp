// Draws every image of the touch screens (":/png/...") with QPainter and writes
// them into one folder, optionally with the resource file that lists them and a
// contact sheet for review.
//
//   kra_iconpainter OUTDIR [--qrc FILE] [--sheet FILE]
//
// Nothing here is loaded from disk: the images are the output of this program,
// so a change of look is a change of code here, followed by a re-run.

#include "routing.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>
#include <QVector>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

// The screens' palette.
const QColor kBackground(16, 16, 28);
const QColor kTile(0x21, 0x24, 0x35);
const QColor kBlue(0x47, 0x77, 0xFF);
const QColor kTeal(0x39, 0xA9, 0xCB);
const QColor kGreen(0x00, 0xD6, 0x5B);
const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kGrey(0xCC, 0xCC, 0xCC);
const QColor kAmber(0xFF, 0xAB, 0x2E);
const QColor kRed(0xF0, 0x48, 0x48);

using Draw = std::function<void(QPainter &)>;

QImage paint(int w, int h, const Draw &draw, const QColor &fill = Qt::transparent)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    draw(p);
    p.end();
    return img;
}

QPen linePen(const QColor &c, qreal width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void text(QPainter &p, const QRectF &r, const QString &s, int pixelSize, const QColor &c,
          bool bold = true, int align = Qt::AlignCenter)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, align, s);
}

// Arrow head at `tip`, pointing along the direction from `from` to `tip`.
void arrowHead(QPainter &p, QPointF from, QPointF tip, qreal size, const QColor &c)
{
    const qreal a = std::atan2(tip.y() - from.y(), tip.x() - from.x());
    const qreal spread = 0.5;
    QPolygonF head;
    head << tip << tip - QPointF(size * std::cos(a - spread), size * std::sin(a - spread))
         << tip - QPointF(size * std::cos(a + spread), size * std::sin(a + spread));
    p.save();
    p.setPen(linePen(c, 1.0));
    p.setBrush(c);
    p.drawPolygon(head);
    p.restore();
}

void arrow(QPainter &p, QPointF from, QPointF to, qreal width, qreal head, const QColor &c)
{
    const qreal len = std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF dir = (to - from) / len;
    p.setPen(linePen(c, width));
    p.drawLine(from, to - dir * head * 0.6);
    arrowHead(p, from, to, head, c);
}

// ---------------------------------------------------------------------------
// Connectors of the inputs. A grey connector is an input without signal; the
// same connector in green is the input with signal.

enum class Plug { Hdmi, Dvi };

void drawConnector(QPainter &p, QSize size, Plug plug, const QString &name,
                   const QString &version, const QColor &c)
{
    const qreal sx = size.width() / 100.0, sy = size.height() / 32.0;
    p.scale(sx, sy);
    p.setPen(linePen(c, 2.0));
    p.setBrush(Qt::NoBrush);
    if (plug == Plug::Hdmi) {
        QPolygonF shell;
        shell << QPointF(3, 8) << QPointF(45, 8) << QPointF(45, 19) << QPointF(39, 25)
              << QPointF(9, 25) << QPointF(3, 19);
        p.drawPolygon(shell);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRoundedRect(QRectF(10, 13, 28, 4), 1, 1);
    } else {
        QPolygonF shell;
        shell << QPointF(3, 7) << QPointF(45, 7) << QPointF(41, 25) << QPointF(7, 25);
        p.drawPolygon(shell);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 6; ++col)
                p.drawEllipse(QPointF(10 + 4.2 * col, 11.5 + 4.5 * row), 1.2, 1.2);
        p.drawRect(QRectF(35, 15, 6, 2));   // the flat blade of the analogue part
        p.drawRect(QRectF(37, 13, 2, 6));
    }
    if (version.isEmpty()) {
        text(p, QRectF(48, 0, 52, 32), name, 15, c);
    } else {
        text(p, QRectF(48, 1, 52, 16), name, 14, c);
        text(p, QRectF(48, 16, 52, 15), version, 12, c);
    }
}

// ---------------------------------------------------------------------------
// Controls.

void drawToggle(QPainter &p, bool on)
{
    const QRectF track(1.5, 1.5, 67, 29);
    const QColor c = on ? kGreen : kGrey;
    p.setPen(QPen(c, 2));
    QColor fill = on ? kGreen : kTile;
    if (on)
        fill.setAlpha(70);
    p.setBrush(fill);
    p.drawRoundedRect(track, 14.5, 14.5);
    p.setPen(Qt::NoPen);
    p.setBrush(on ? kGreen : kGrey);
    p.drawEllipse(QPointF(on ? 54 : 16, 16), 11, 11);
}

void drawChoice(QPainter &p, bool checked)
{
    if (checked) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(16, 16), 14, 14);
        p.setPen(linePen(kWhite, 3));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(9.5, 16.5), QPointF(14, 21), QPointF(22.5, 11.5)}));
    } else {
        p.setPen(QPen(kGrey, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 13, 13);
    }
}

void drawDot(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(1, 1, 12, 12));
}

void drawBack(QPainter &p)
{
    arrow(p, QPointF(27, 16), QPointF(4, 16), 3.5, 13, kWhite);
}

// Paging buttons stand in a column: the previous page is above, the next below.
void drawPager(QPainter &p, bool next)
{
    p.setPen(QPen(kWhite, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(25, 25), 22, 22);
    p.setPen(linePen(kWhite, 3.5));
    const qreal d = next ? 1 : -1;
    p.drawPolyline(QPolygonF({QPointF(15, 25 - 5 * d), QPointF(25, 25 + 5 * d),
                              QPointF(35, 25 - 5 * d)}));
}

void drawAdd(QPainter &p)
{
    p.setPen(QPen(kWhite, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(25, 25), 22, 22);
    p.setPen(linePen(kWhite, 3.5));
    p.drawLine(QPointF(25, 14), QPointF(25, 36));
    p.drawLine(QPointF(14, 25), QPointF(36, 25));
}

void drawMenu(QPainter &p)
{
    p.setPen(linePen(kWhite, 4));
    for (int y : {15, 25, 35})
        p.drawLine(QPointF(12, y), QPointF(38, y));
}

void drawPageChange(QPainter &p)
{
    arrow(p, QPointF(4, 10), QPointF(28, 10), 2.5, 9, kWhite);
    arrow(p, QPointF(28, 22), QPointF(4, 22), 2.5, 9, kWhite);
}

void drawWarning(QPainter &p)
{
    QPainterPath tri;
    tri.moveTo(16, 3);
    tri.lineTo(30, 28);
    tri.lineTo(2, 28);
    tri.closeSubpath();
    p.setPen(linePen(kAmber, 3));
    p.setBrush(kAmber);
    p.drawPath(tri);
    p.setPen(linePen(kBackground, 3.2));
    p.drawLine(QPointF(16, 11), QPointF(16, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(kBackground);
    p.drawEllipse(QPointF(16, 24), 1.9, 1.9);
}

// A network port seen from the front: the opening with its latch notch and the
// contacts along its top.
void drawNetPort(QPainter &p, const QColor &c)
{
    p.setPen(QPen(c, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(2, 2, 28, 24), 3, 3);
    QPolygonF hole;
    hole << QPointF(7, 7) << QPointF(25, 7) << QPointF(25, 18) << QPointF(20, 18)
         << QPointF(20, 22) << QPointF(12, 22) << QPointF(12, 18) << QPointF(7, 18);
    p.drawPolygon(hole);
    p.setPen(QPen(c, 1.2));
    for (int i = 0; i < 6; ++i)
        p.drawLine(QPointF(9.5 + 2.6 * i, 8), QPointF(9.5 + 2.6 * i, 12));
}

// Font-present marks of the factory page, on the screen background (BMP has no
// transparency).
void drawPresence(QPainter &p, bool present)
{
    if (present) {
        p.setPen(linePen(kGreen, 3));
        p.drawPolyline(QPolygonF({QPointF(13, 10.5), QPointF(18, 15.5), QPointF(27, 5)}));
    } else {
        p.setPen(linePen(kRed, 3));
        p.drawLine(QPointF(15, 5), QPointF(25, 15));
        p.drawLine(QPointF(25, 5), QPointF(15, 15));
    }
}

// ---------------------------------------------------------------------------
// Mirror modes of a window: 1 as is, 2 flipped left-right, 3 flipped upside
// down, 4 both. The glyph is an "F", whose every flip looks different; short
// marks at the frame show each axis the picture is flipped about.

void drawMirror(QPainter &p, int mode, bool lit)
{
    const bool flipX = mode == 2 || mode == 4;
    const bool flipY = mode == 3 || mode == 4;
    const QColor ink = lit ? kWhite : kGrey;
    const QRectF frame(2, 2, 44, 44);
    if (lit) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
    } else {
        p.setPen(QPen(kGrey, 2));
        p.setBrush(Qt::NoBrush);
    }
    p.drawRoundedRect(frame, 7, 7);

    p.setPen(linePen(ink, 2));
    if (flipX) {
        p.drawLine(QPointF(24, 5), QPointF(24, 8.5));
        p.drawLine(QPointF(24, 39.5), QPointF(24, 43));
    }
    if (flipY) {
        p.drawLine(QPointF(5, 24), QPointF(8.5, 24));
        p.drawLine(QPointF(39.5, 24), QPointF(43, 24));
    }

    QPainterPath f;   // an F in a 18 x 26 box centred on the origin
    f.addRect(-9, -13, 6, 26);
    f.addRect(-3, -13, 12, 6);
    f.addRect(-3, -2, 8, 5);
    p.save();
    p.translate(24, 24);
    p.scale(flipX ? -1 : 1, flipY ? -1 : 1);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(f.simplified());
    p.restore();
}

// ---------------------------------------------------------------------------
// Test patterns, as the LED screen shows them.

enum class Pattern { Solid, ColourBar, HorizontalLines, VerticalLines };

void drawPattern(QPainter &p, QSize size, Pattern kind, const QColor &solid)
{
    const int w = size.width(), h = size.height();
    switch (kind) {
    case Pattern::Solid:
        p.fillRect(0, 0, w, h, solid);
        break;
    case Pattern::ColourBar: {
        const QColor bars[] = {Qt::white, Qt::yellow, Qt::cyan, Qt::green,
                               Qt::magenta, Qt::red, Qt::blue, Qt::black};
        const int n = 8;
        for (int i = 0; i < n; ++i)
            p.fillRect(QRect(i * w / n, 0, (i + 1) * w / n - i * w / n, h), bars[i]);
        break;
    }
    case Pattern::HorizontalLines:
        p.fillRect(0, 0, w, h, Qt::black);
        for (int y = 3; y < h; y += 8)
            p.fillRect(0, y, w, 2, Qt::white);
        break;
    case Pattern::VerticalLines:
        p.fillRect(0, 0, w, h, Qt::black);
        for (int x = 3; x < w; x += 8)
            p.fillRect(x, 0, 2, h, Qt::white);
        break;
    }
}

// ---------------------------------------------------------------------------
// Splicing of the LED screen's two outputs.

enum class Splice { Horizontal, Vertical, Copy };

void drawSplice(QPainter &p, QSize size, Splice kind)
{
    const QRectF all(1, 1, size.width() - 2, size.height() - 2);
    auto half = [&](const QRectF &r, const QColor &fill, const QString &name, int px) {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRect(r);
        text(p, r, name, px, kWhite);
    };
    p.save();
    QPainterPath clip;
    if (kind == Splice::Copy) {
        const qreal w = (all.width() - 14) / 2;
        const QRectF one(all.left(), all.top(), w, all.height());
        const QRectF two(all.right() - w, all.top(), w, all.height());
        for (const QRectF &r : {one, two}) {
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            p.drawRoundedRect(r, 4, 4);
        }
        text(p, one, QStringLiteral("OUT1"), 11, kWhite);
        text(p, two, QStringLiteral("OUT2"), 11, kWhite);
        // Both outputs show the same picture.
        p.setPen(linePen(kWhite, 2));
        const qreal cx = all.center().x(), cy = all.center().y();
        p.drawLine(QPointF(cx - 3.5, cy - 3), QPointF(cx + 3.5, cy - 3));
        p.drawLine(QPointF(cx - 3.5, cy + 3), QPointF(cx + 3.5, cy + 3));
        p.restore();
        return;
    }
    clip.addRoundedRect(all, 4, 4);
    p.setClipPath(clip);
    if (kind == Splice::Horizontal) {
        const qreal mid = all.left() + all.width() / 2;
        half(QRectF(all.left(), all.top(), mid - all.left(), all.height()), kBlue,
             QStringLiteral("OUT1"), 14);
        half(QRectF(mid, all.top(), all.right() - mid, all.height()), kTeal,
             QStringLiteral("OUT2"), 14);
        p.setPen(QPen(kWhite, 2));
        p.drawLine(QPointF(mid, all.top()), QPointF(mid, all.bottom()));
    } else {
        const qreal mid = all.top() + all.height() / 2;
        half(QRectF(all.left(), all.top(), all.width(), mid - all.top()), kBlue,
             QStringLiteral("OUT1"), 14);
        half(QRectF(all.left(), mid, all.width(), all.bottom() - mid), kTeal,
             QStringLiteral("OUT2"), 14);
        p.setPen(QPen(kWhite, 2));
        p.drawLine(QPointF(all.left(), mid), QPointF(all.right(), mid));
    }
    p.restore();
    p.setPen(QPen(kWhite, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(all, 4, 4);
}

// ---------------------------------------------------------------------------
// Routing of the cabinets of one net port (smart mapping): the order of routing.h, which
// the FPGA manager's smart-mapping job places the cards by, on a 3 x 3 grid.

void drawRouting(QPainter &p, int pattern)
{
    auto centre = [](QPoint cell) { return QPointF(9 + 15 * cell.x(), 9 + 15 * cell.y()); };
    QColor cellColour = kGrey;
    cellColour.setAlpha(110);
    p.setPen(QPen(cellColour, 1));
    p.setBrush(Qt::NoBrush);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawRoundedRect(QRectF(2.5 + 15 * c, 2.5 + 15 * r, 13, 13), 2, 2);

    QVector<QPoint> cells;
    for (int i = 0; i < 9; ++i) {
        const KraCell c = kra_routing_cell(pattern, 3, 3, i);
        cells << QPoint(c.column, c.row);
    }
    QPen jump(kGrey, 1.3, Qt::DashLine, Qt::RoundCap);
    jump.setDashPattern({2.0, 2.0});
    for (int i = 0; i + 1 < cells.size(); ++i) {
        const QPointF a = centre(cells[i]), b = centre(cells[i + 1]);
        const bool lineEnd = (i % 3) == 2;
        if (lineEnd && !kra_routing_serpentine(pattern)) {
            p.setPen(jump);   // the cable runs back to the start of the next line
            p.drawLine(a, b);
        } else if (i + 2 == cells.size()) {
            arrow(p, a, b + (b - a) * 0.25, 2.5, 7, kWhite);
        } else {
            p.setPen(linePen(kWhite, 2.5));
            p.drawLine(a, b);
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(centre(cells.first()), 4, 4);
}

// ---------------------------------------------------------------------------
// 64 x 64 line icons of the main window, the settings menu and the home status
// screen: white strokes on transparent.

const qreal kStroke = 3.5;

void shellPen(QPainter &p)
{
    p.setPen(linePen(kWhite, kStroke));
    p.setBrush(Qt::NoBrush);
}

// Erases what lies under a shape, so that a shape in front hides the strokes of
// the ones behind it.
void erase(QPainter &p, const QPainterPath &area)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(linePen(Qt::black, kStroke + 4));
    p.setBrush(Qt::black);
    p.drawPath(area);
    p.restore();
}

void iconInput(QPainter &p)
{
    shellPen(p);
    QPainterPath box;
    box.moveTo(30, 10);
    box.lineTo(50, 10);
    box.quadTo(54, 10, 54, 14);
    box.lineTo(54, 50);
    box.quadTo(54, 54, 50, 54);
    box.lineTo(30, 54);
    p.drawPath(box);
    arrow(p, QPointF(8, 32), QPointF(42, 32), kStroke, 14, kWhite);
}

void iconUserMode(QPainter &p)
{
    const QRectF cards[] = {QRectF(22, 8, 34, 26), QRectF(15, 19, 34, 26), QRectF(8, 30, 34, 26)};
    for (const QRectF &r : cards) {
        QPainterPath path;
        path.addRoundedRect(r, 4, 4);
        erase(p, path);
        shellPen(p);
        p.drawPath(path);
    }
}

QPainterPath gearPath(QPointF c, qreal outer, qreal inner, int teeth)
{
    QPainterPath path;
    const qreal step = 2 * M_PI / teeth;
    for (int i = 0; i < teeth; ++i) {
        const qreal a = i * step;
        const qreal pts[][2] = {{a - step * 0.30, inner}, {a - step * 0.17, outer},
                                {a + step * 0.17, outer}, {a + step * 0.30, inner}};
        for (const auto &pt : pts) {
            const QPointF q = c + QPointF(pt[1] * std::cos(pt[0]), pt[1] * std::sin(pt[0]));
            if (path.elementCount() == 0)
                path.moveTo(q);
            else
                path.lineTo(q);
        }
    }
    path.closeSubpath();
    return path;
}

void iconSettings(QPainter &p)
{
    shellPen(p);
    p.drawPath(gearPath(QPointF(32, 32), 26, 19, 8));
    p.drawEllipse(QPointF(32, 32), 8, 8);
}

void iconLock(QPainter &p, bool locked)
{
    shellPen(p);
    QPainterPath shackle;
    if (locked) {
        shackle.moveTo(21, 29);
        shackle.lineTo(21, 21);
        shackle.arcTo(QRectF(21, 10, 22, 22), 180, -180);
        shackle.lineTo(43, 29);
    } else {
        shackle.moveTo(43, 29);
        shackle.lineTo(43, 17);
        shackle.arcTo(QRectF(43, 6, 18, 18), 180, -180);
        shackle.lineTo(61, 21);
    }
    p.drawPath(shackle);
    p.drawRoundedRect(QRectF(12, 29, 40, 28), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawEllipse(QPointF(32, 40), 3.5, 3.5);
    p.drawRect(QRectF(30.5, 40, 3, 9));
}

void iconSave(QPainter &p)
{
    shellPen(p);
    QPainterPath body;
    body.moveTo(12, 8);
    body.lineTo(46, 8);
    body.lineTo(56, 18);
    body.lineTo(56, 52);
    body.quadTo(56, 56, 52, 56);
    body.lineTo(12, 56);
    body.quadTo(8, 56, 8, 52);
    body.lineTo(8, 12);
    body.quadTo(8, 8, 12, 8);
    p.drawPath(body);
    p.drawRect(QRectF(19, 8, 22, 13));
    p.drawRoundedRect(QRectF(17, 34, 30, 22), 2, 2);
    p.setPen(linePen(kWhite, 2.5));
    p.drawLine(QPointF(34, 12), QPointF(34, 17));
}

void iconLayout(QPainter &p)
{
    shellPen(p);
    p.drawRoundedRect(QRectF(6, 12, 52, 40), 4, 4);
    p.drawLine(QPointF(36, 12), QPointF(36, 52));
    p.drawLine(QPointF(36, 32), QPointF(58, 32));
}

void iconQuality(QPainter &p)
{
    shellPen(p);
    const QPointF c(32, 32);
    p.drawEllipse(c, 12, 12);
    QPainterPath halfDisc;   // half lit, half dark: brightness and contrast
    halfDisc.moveTo(c);
    halfDisc.arcTo(QRectF(20, 20, 24, 24), 90, -180);
    halfDisc.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPath(halfDisc);
    p.setPen(linePen(kWhite, kStroke));
    for (int i = 0; i < 8; ++i) {
        const qreal a = i * M_PI / 4;
        p.drawLine(c + QPointF(19 * std::cos(a), 19 * std::sin(a)),
                   c + QPointF(26 * std::cos(a), 26 * std::sin(a)));
    }
}

void iconTest(QPainter &p)
{
    const QRectF frame(8, 12, 48, 40);
    const int bars = 4;
    for (int i = 0; i < bars; ++i) {
        QColor c = kWhite;
        c.setAlphaF(1.0 - i * 0.25);
        p.fillRect(QRectF(frame.left() + i * frame.width() / bars, frame.top(),
                          frame.width() / bars, frame.height()),
                   c);
    }
    shellPen(p);
    p.drawRoundedRect(frame, 2, 2);
}

void iconCrop(QPainter &p)
{
    shellPen(p);
    p.drawPolyline(QPolygonF({QPointF(18, 6), QPointF(18, 46), QPointF(58, 46)}));
    p.drawPolyline(QPolygonF({QPointF(6, 18), QPointF(46, 18), QPointF(46, 58)}));
}

void iconOutput(QPainter &p)
{
    shellPen(p);
    const QRectF panel(24, 12, 34, 40);
    p.drawRoundedRect(panel, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawEllipse(QPointF(31 + 10 * c, 19 + 8.7 * r), 2.2, 2.2);
    arrow(p, QPointF(4, 32), QPointF(20, 32), kStroke, 10, kWhite);
}

void iconLink(QPainter &p)
{
    shellPen(p);
    p.drawRoundedRect(QRectF(23, 6, 18, 14), 2, 2);
    p.drawRoundedRect(QRectF(6, 44, 18, 14), 2, 2);
    p.drawRoundedRect(QRectF(40, 44, 18, 14), 2, 2);
    p.drawLine(QPointF(32, 20), QPointF(32, 32));
    p.drawPolyline(QPolygonF({QPointF(15, 44), QPointF(15, 32), QPointF(49, 32), QPointF(49, 44)}));
}

void iconAdvanced(QPainter &p)
{
    const qreal ys[] = {16, 32, 48};
    const qreal knobs[] = {40, 22, 46};
    for (int i = 0; i < 3; ++i) {
        shellPen(p);
        p.drawLine(QPointF(8, ys[i]), QPointF(56, ys[i]));
        QPainterPath knob;
        knob.addEllipse(QPointF(knobs[i], ys[i]), 6, 6);
        erase(p, knob);
        shellPen(p);
        p.drawPath(knob);
    }
}

void iconMapping(QPainter &p)
{
    QColor cell = kWhite;
    cell.setAlpha(120);
    p.setPen(linePen(cell, 2));
    p.setBrush(Qt::NoBrush);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawRoundedRect(QRectF(6 + 18 * c, 6 + 18 * r, 16, 16), 2, 2);
    p.setPen(linePen(kWhite, kStroke));
    p.drawPolyline(QPolygonF({QPointF(14, 14), QPointF(50, 14), QPointF(50, 32), QPointF(14, 32),
                              QPointF(14, 50), QPointF(44, 50)}));
    arrowHead(p, QPointF(14, 50), QPointF(55, 50), 11, kWhite);
}

void iconInfo(QPainter &p)
{
    shellPen(p);
    p.drawEllipse(QPointF(32, 32), 25, 25);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawEllipse(QPointF(32, 19), 3.2, 3.2);
    p.drawRoundedRect(QRectF(29, 26, 6, 21), 2, 2);
}

void iconHome(QPainter &p)
{
    shellPen(p);
    p.drawPolyline(QPolygonF({QPointF(6, 31), QPointF(32, 8), QPointF(58, 31)}));
    p.drawPolyline(QPolygonF({QPointF(14, 26), QPointF(14, 56), QPointF(50, 56), QPointF(50, 26)}));
    p.drawPolyline(QPolygonF({QPointF(26, 56), QPointF(26, 40), QPointF(38, 40), QPointF(38, 56)}));
}

// ---------------------------------------------------------------------------

struct Entry {
    QString name;
    QImage image;
};

QVector<Entry> buildAll()
{
    QVector<Entry> all;
    auto add = [&all](const QString &name, const QImage &img) { all.push_back({name, img}); };
    auto icon = [&](const QString &name, int w, int h, const Draw &d) { add(name, paint(w, h, d)); };

    // Connectors: 100 x 32 as the crop editor's tab labels show them; the input
    // tiles scale them down.
    struct Connector {
        const char *name;
        Plug plug;
        const char *label;
        const char *version;
        bool signal;
    };
    const Connector connectors[] = {
        {"HDMI.png", Plug::Hdmi, "HDMI", "", false},
        {"extlv.png", Plug::Hdmi, "HDMI", "", true},
        {"DVI.png", Plug::Dvi, "DVI", "", false},
        {"dvilv.png", Plug::Dvi, "DVI", "", true},
        {"HDMI13.png", Plug::Hdmi, "HDMI", "1.3", false},
        {"HDMI13_lv.png", Plug::Hdmi, "HDMI", "1.3", true},
        {"HDMI20.png", Plug::Hdmi, "HDMI", "2.0", false},
        {"HDMI20_lv.png", Plug::Hdmi, "HDMI", "2.0", true},
    };
    for (const Connector &c : connectors)
        icon(c.name, 100, 32, [&c](QPainter &p) {
            drawConnector(p, QSize(100, 32), c.plug, c.label, c.version, c.signal ? kGreen : kGrey);
        });

    icon("back.png", 32, 32, drawBack);
    icon("add.png", 50, 50, drawAdd);
    icon("menu.png", 50, 50, drawMenu);
    icon("previous.png", 50, 50, [](QPainter &p) { drawPager(p, false); });
    icon("next.png", 50, 50, [](QPainter &p) { drawPager(p, true); });
    icon("page_change.png", 32, 32, drawPageChange);
    icon("button_on.png", 70, 32, [](QPainter &p) { drawToggle(p, true); });
    icon("button_off.png", 70, 32, [](QPainter &p) { drawToggle(p, false); });
    icon("checked.png", 32, 32, [](QPainter &p) { drawChoice(p, true); });
    icon("unchecked.png", 32, 32, [](QPainter &p) { drawChoice(p, false); });
    icon("state_on.png", 14, 14, [](QPainter &p) { drawDot(p, kGreen); });
    icon("state_off.png", 14, 14, [](QPainter &p) { drawDot(p, kGrey); });
    icon("warning.png", 32, 32, drawWarning);
    icon("offline.png", 32, 28, [](QPainter &p) { drawNetPort(p, kGrey); });

    for (int mode = 1; mode <= 4; ++mode) {
        icon(QStringLiteral("mirror%1_on.png").arg(mode), 48, 48,
             [mode](QPainter &p) { drawMirror(p, mode, true); });
        icon(QStringLiteral("mirror%1_off.png").arg(mode), 48, 48,
             [mode](QPainter &p) { drawMirror(p, mode, false); });
    }

    // Test patterns, in the order of the pattern buttons (field value 1..8).
    struct Test {
        Pattern kind;
        QColor solid;
    };
    const Test tests[] = {
        {Pattern::Solid, QColor(255, 0, 0)},   {Pattern::Solid, QColor(0, 255, 0)},
        {Pattern::Solid, QColor(0, 0, 255)},   {Pattern::Solid, QColor(255, 255, 255)},
        {Pattern::Solid, QColor(0, 0, 0)},     {Pattern::ColourBar, QColor()},
        {Pattern::HorizontalLines, QColor()},  {Pattern::VerticalLines, QColor()},
    };
    for (int i = 0; i < 8; ++i) {
        const Test t = tests[i];
        add(QStringLiteral("img_test%1.png").arg(i + 1),
            paint(100, 100, [t](QPainter &p) { drawPattern(p, QSize(100, 100), t.kind, t.solid); },
                  Qt::black));
    }

    for (int n = 1; n <= 16; ++n)
        icon(QStringLiteral("line%1.png").arg(n), 48, 48, [n](QPainter &p) { drawRouting(p, n); });

    icon("out_horizontal.png", 180, 40,
         [](QPainter &p) { drawSplice(p, QSize(180, 40), Splice::Horizontal); });
    icon("out_vertical.png", 100, 80,
         [](QPainter &p) { drawSplice(p, QSize(100, 80), Splice::Vertical); });
    icon("out_copy.png", 100, 40, [](QPainter &p) { drawSplice(p, QSize(100, 40), Splice::Copy); });

    add("osd_yes.bmp", paint(40, 21, [](QPainter &p) { drawPresence(p, true); }, kBackground));
    add("osd_no.bmp", paint(40, 21, [](QPainter &p) { drawPresence(p, false); }, kBackground));

    const std::pair<const char *, Draw> shell[] = {
        {"icon_input.png", iconInput},
        {"icon_usermode.png", iconUserMode},
        {"icon_settings.png", iconSettings},
        {"icon_lock.png", [](QPainter &p) { iconLock(p, true); }},
        {"icon_unlock.png", [](QPainter &p) { iconLock(p, false); }},
        {"icon_save.png", iconSave},
        {"icon_layout.png", iconLayout},
        {"icon_quality.png", iconQuality},
        {"icon_test.png", iconTest},
        {"icon_crop.png", iconCrop},
        {"icon_output.png", iconOutput},
        {"icon_link.png", iconLink},
        {"icon_advanced.png", iconAdvanced},
        {"icon_mapping.png", iconMapping},
        {"icon_info.png", iconInfo},
        {"icon_home.png", iconHome},
    };
    for (const auto &s : shell)
        icon(s.first, 64, 64, s.second);

    return all;
}

bool save(const QDir &dir, const Entry &e)
{
    const QString path = dir.filePath(e.name);
    const bool bmp = e.name.endsWith(QLatin1String(".bmp"));
    const QImage out = bmp ? e.image.convertToFormat(QImage::Format_RGB32)
                           : e.image.convertToFormat(QImage::Format_ARGB32);
    if (!out.save(path, bmp ? "BMP" : "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool writeQrc(const QString &qrcPath, const QDir &imageDir, const QVector<Entry> &all)
{
    const QDir qrcDir = QFileInfo(qrcPath).absoluteDir();
    QSaveFile f(qrcPath);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream s(&f);
    s << "<RCC>\n    <qresource prefix=\"/\">\n";
    for (const Entry &e : all)
        s << "        <file>" << qrcDir.relativeFilePath(imageDir.absoluteFilePath(e.name)) << "</file>\n";
    s << "    </qresource>\n</RCC>\n";
    s.flush();
    return f.commit();
}

// Every image at twice its size and, beside it, at its own size, on the
// screens' background with its name, for looking over the whole set at once.
bool writeSheet(const QString &path, const QVector<Entry> &all)
{
    const int scale = 2, width = 1400, pad = 12, label = 16;
    struct Place {
        QPoint at;
        const Entry *entry;
    };
    QVector<Place> places;
    int x = pad, y = pad, rowHeight = 0;
    for (const Entry &e : all) {
        const int w = qMax(e.image.width() * (scale + 1) + 4, 120);
        const int h = e.image.height() * scale + label;
        if (x + w > width - pad) {
            x = pad;
            y += rowHeight + pad;
            rowHeight = 0;
        }
        places.push_back({QPoint(x, y), &e});
        x += w + pad;
        rowHeight = qMax(rowHeight, h);
    }
    const QImage sheet = paint(width, y + rowHeight + pad, [&](QPainter &p) {
        for (const Place &pl : places) {
            const QImage &img = pl.entry->image;
            const QRect r(pl.at, img.size() * scale);
            p.setPen(QPen(QColor(60, 60, 80), 1));
            p.drawRect(r.adjusted(-1, -1, 0, 0));
            p.drawImage(r, img);
            p.drawImage(QPoint(r.right() + 5, r.top()), img);
            text(p, QRectF(pl.at.x(), r.bottom() + 1, 150, label), pl.entry->name, 11, kGrey,
                 false, Qt::AlignLeft | Qt::AlignVCenter);
        }
    }, kBackground);
    return sheet.save(path, "PNG");
}

} // namespace

int main(int argc, char *argv[])
{
    // It only paints images: no display needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();

    QString outDir, qrc, sheet;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--qrc") && i + 1 < args.size())
            qrc = args[++i];
        else if (args[i] == QLatin1String("--sheet") && i + 1 < args.size())
            sheet = args[++i];
        else if (!args[i].startsWith(QLatin1String("--")) && outDir.isEmpty())
            outDir = args[i];
        else {
            outDir.clear();
            break;
        }
    }
    if (outDir.isEmpty()) {
        std::fprintf(stderr, "usage: kra_iconpainter OUTDIR [--qrc FILE] [--sheet FILE]\n");
        return 2;
    }

    QDir dir(outDir);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    const QVector<Entry> all = buildAll();
    bool ok = true;
    for (const Entry &e : all)
        ok = save(dir, e) && ok;
    if (!qrc.isEmpty() && !writeQrc(qrc, dir, all)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(qrc));
        ok = false;
    }
    if (!sheet.isEmpty() && !writeSheet(sheet, all)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(sheet));
        ok = false;
    }
    return ok ? 0 : 1;
}
