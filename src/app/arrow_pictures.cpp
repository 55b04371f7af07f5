#include "app/arrow_pictures.h"
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace ArrowPictures {

namespace {

const QColor Ink(40, 40, 40);
const QColor HighlightInk(0, 40, 140);
const QColor HighlightFill(255, 214, 64);
const QColor EnabledInk(0, 120, 40);
const QColor DisabledInk(150, 150, 150);

// A filled triangle pointing along (dx, dy) with its tip at `tip`.
void arrowHead(QPainter &p, QPointF tip, double dx, double dy, double size)
{
    const QPointF back = tip - QPointF(dx, dy) * size;
    const QPointF side(-dy * size * 0.6, dx * size * 0.6);
    p.drawPolygon(QPolygonF({tip, back + side, back - side}));
}

// Two arrows on one line, pointing apart (outward) or together.
void doubleArrow(QPainter &p, double s, bool horizontal, bool outward)
{
    const double c = s / 2, head = s * 0.28, reach = s * 0.42;
    const QPointF dir = horizontal ? QPointF(1, 0) : QPointF(0, 1);
    const QPointF mid(c, c);
    p.drawLine(mid - dir * reach, mid + dir * reach);
    if (outward) {
        arrowHead(p, mid + dir * reach, dir.x(), dir.y(), head);
        arrowHead(p, mid - dir * reach, -dir.x(), -dir.y(), head);
    } else {
        arrowHead(p, mid + dir * 0.05 * s, -dir.x(), -dir.y(), head);
        arrowHead(p, mid - dir * 0.05 * s, dir.x(), dir.y(), head);
        const QPointF across = horizontal ? QPointF(0, 1) : QPointF(1, 0);
        p.drawLine(mid + dir * reach - across * head, mid + dir * reach + across * head);
        p.drawLine(mid - dir * reach - across * head, mid - dir * reach + across * head);
    }
}

void drawGlyph(QPainter &p, const QString &button, double s)
{
    const double c = s / 2;
    if (button == QLatin1String("cmdLeft"))
        arrowHead(p, QPointF(s * 0.2, c), -1, 0, s * 0.55);
    else if (button == QLatin1String("cmdRight"))
        arrowHead(p, QPointF(s * 0.8, c), 1, 0, s * 0.55);
    else if (button == QLatin1String("cmdUp"))
        arrowHead(p, QPointF(c, s * 0.2), 0, -1, s * 0.55);
    else if (button == QLatin1String("cmdDown"))
        arrowHead(p, QPointF(c, s * 0.8), 0, 1, s * 0.55);
    else if (button == QLatin1String("cmdIncX"))
        doubleArrow(p, s, true, true);
    else if (button == QLatin1String("cmdDecX"))
        doubleArrow(p, s, true, false);
    else if (button == QLatin1String("cmdIncY"))
        doubleArrow(p, s, false, true);
    else if (button == QLatin1String("cmdDecY"))
        doubleArrow(p, s, false, false);
    else if (button == QLatin1String("cmdCursor")) {
        p.drawLine(QPointF(c, s * 0.1), QPointF(c, s * 0.9));
        p.drawEllipse(QPointF(c, c), s * 0.15, s * 0.15);
    } else if (button == QLatin1String("cmdZoom")) {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(s * 0.42, s * 0.42), s * 0.26, s * 0.26);
        p.drawLine(QPointF(s * 0.62, s * 0.62), QPointF(s * 0.9, s * 0.9));
    } else if (button == QLatin1String("cmdAutoScroll")) {
        arrowHead(p, QPointF(s * 0.9, c), 1, 0, s * 0.3);
        p.drawLine(QPointF(s * 0.1, c), QPointF(s * 0.65, c));
    } else if (button == QLatin1String("cmdAutoScale")) {
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(s * 0.2, s * 0.15, s * 0.6, s * 0.7));
        p.drawPolyline(QPolygonF({QPointF(s * 0.25, s * 0.7), QPointF(s * 0.45, s * 0.3), QPointF(s * 0.6, s * 0.55),
                                  QPointF(s * 0.75, s * 0.25)}));
    }
}

} // namespace

bool replacesCaption(const QString &button)
{
    static const QStringList names = {QStringLiteral("cmdLeft"), QStringLiteral("cmdRight"), QStringLiteral("cmdUp"),
                                      QStringLiteral("cmdDown"), QStringLiteral("cmdIncX"),  QStringLiteral("cmdDecX"),
                                      QStringLiteral("cmdIncY"), QStringLiteral("cmdDecY"),  QStringLiteral("cmdCursor"),
                                      QStringLiteral("cmdZoom"), QStringLiteral("cmdAutoScale"),
                                      QStringLiteral("cmdAutoScrollEnable")};
    return names.contains(button);
}

QIcon icon(const QString &button, const QString &state, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    QColor ink;
    if (state == QLatin1String("highlighted")) {
        p.setPen(Qt::NoPen);
        p.setBrush(HighlightFill);
        p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), 3, 3);
        ink = HighlightInk;
    } else if (state == QLatin1String("plain")) {
        ink = Ink;
    } else if (state == QLatin1String("enabled")) {
        ink = EnabledInk;
    } else if (state == QLatin1String("disabled")) {
        ink = DisabledInk;
    } else if (state == QLatin1String("open") || state == QLatin1String("closed")) {
        // A small panel, drawn open (with its lines) or shut.
        p.setPen(QPen(Ink, 1.5));
        p.setBrush(state == QLatin1String("open") ? QColor(255, 255, 255) : QColor(200, 200, 200));
        p.drawRect(QRectF(s * 0.15, s * 0.2, s * 0.7, s * 0.6));
        if (state == QLatin1String("open")) {
            p.drawLine(QPointF(s * 0.25, s * 0.4), QPointF(s * 0.75, s * 0.4));
            p.drawLine(QPointF(s * 0.25, s * 0.6), QPointF(s * 0.6, s * 0.6));
        }
        return QIcon(pixmap);
    } else {
        return QIcon();
    }
    p.setPen(QPen(ink, std::max(1.5, s / 12), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
    const QString glyph = button == QLatin1String("cmdAutoScrollEnable") ? QStringLiteral("cmdAutoScroll") : button;
    drawGlyph(p, glyph, s);
    if (state == QLatin1String("disabled")) {
        p.setPen(QPen(QColor(190, 30, 30), std::max(1.5, s / 12)));
        p.drawLine(QPointF(s * 0.15, s * 0.85), QPointF(s * 0.85, s * 0.15));
    }
    return QIcon(pixmap);
}

} // namespace ArrowPictures
