#include "Icons.h"

#include "WendoIds.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace wendo::ui {

namespace {

// Drawn on a 16-unit grid at 48 pixels, so the icon scales down cleanly to toolbar sizes.
constexpr int kPixels = 48;
constexpr qreal kScale = kPixels / 16.0;

const QColor kInk(0x2e, 0x3a, 0x46);
const QColor kPaper(0xfb, 0xfb, 0xf7);
const QColor kBlue(0x2f, 0x6f, 0xb5);
const QColor kGreen(0x2f, 0x9a, 0x4f);
const QColor kRed(0xc8, 0x3a, 0x32);
const QColor kAmber(0xe0, 0xa1, 0x22);

QIcon Draw(const std::function<void(QPainter&)>& paint)
{
    QPixmap pixmap(kPixels, kPixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(kScale, kScale);
    paint(painter);
    painter.end();
    return QIcon(pixmap);
}

QPen Pen(const QColor& color, qreal width = 1.0)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Sheet(QPainter& p, const QRectF& r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(Pen(kInk));
    p.setBrush(kPaper);
    p.drawPath(path);
}

void Lines(QPainter& p, qreal left, qreal top, int count, qreal width)
{
    p.setPen(Pen(kBlue, 0.8));
    for (int i = 0; i < count; ++i) {
        p.drawLine(QPointF(left, top + 2.0 * i), QPointF(left + width, top + 2.0 * i));
    }
}

void Triangle(QPainter& p, const QColor& color, bool pointsRight)
{
    QPainterPath path;
    if (pointsRight) {
        path.moveTo(4.5, 2.5);
        path.lineTo(13, 8);
        path.lineTo(4.5, 13.5);
    } else {
        path.moveTo(11.5, 2.5);
        path.lineTo(3, 8);
        path.lineTo(11.5, 13.5);
    }
    path.closeSubpath();
    p.setPen(Pen(color.darker(130)));
    p.setBrush(color);
    p.drawPath(path);
}

} // namespace

QIcon AppIcon()
{
    return Draw([](QPainter& p) {
        p.setPen(Pen(kInk, 0.8));
        p.setBrush(QColor(0xf1, 0xe6, 0xc8));
        p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
        Sheet(p, QRectF(3.5, 3, 7, 10));
        Lines(p, 5, 6, 3, 4);
        // The pen that edits many pages at once.
        p.setPen(Pen(kRed.darker(120), 0.6));
        p.setBrush(kRed);
        QPainterPath pen;
        pen.moveTo(13.5, 5);
        pen.lineTo(15, 6.5);
        pen.lineTo(9.5, 12);
        pen.lineTo(7.5, 12.5);
        pen.lineTo(8, 10.5);
        pen.closeSubpath();
        p.drawPath(pen);
    });
}

QIcon StandardImage(int index)
{
    switch (index) {
    case image::NEW:
        return Draw([](QPainter& p) {
            Sheet(p, QRectF(3, 1.5, 10, 13));
            p.setPen(Pen(kAmber, 1.2));
            p.drawLine(QPointF(11, 9), QPointF(11, 14));
            p.drawLine(QPointF(8.5, 11.5), QPointF(13.5, 11.5));
        });
    case image::OPEN:
        return Draw([](QPainter& p) {
            p.setPen(Pen(kInk));
            p.setBrush(kAmber.lighter(130));
            p.drawRect(QRectF(1.5, 4, 11, 9.5));
            p.setBrush(kAmber);
            QPainterPath lid;
            lid.moveTo(3.5, 7);
            lid.lineTo(15, 7);
            lid.lineTo(12.5, 13.5);
            lid.lineTo(1.5, 13.5);
            lid.closeSubpath();
            p.drawPath(lid);
        });
    case image::SAVE:
        return Draw([](QPainter& p) {
            p.setPen(Pen(kInk));
            p.setBrush(kBlue);
            p.drawRoundedRect(QRectF(2, 2, 12, 12), 1, 1);
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 2, 7, 4.5));
            p.drawRect(QRectF(4, 9, 8, 5));
        });
    case image::CUT:
        return Draw([](QPainter& p) {
            p.setPen(Pen(kInk, 1.1));
            p.drawLine(QPointF(5, 1.5), QPointF(10.5, 10));
            p.drawLine(QPointF(11, 1.5), QPointF(5.5, 10));
            p.setBrush(Qt::NoBrush);
            p.setPen(Pen(kRed, 1.1));
            p.drawEllipse(QPointF(4.5, 12), 2.2, 2.2);
            p.drawEllipse(QPointF(11.5, 12), 2.2, 2.2);
        });
    case image::COPY:
        return Draw([](QPainter& p) {
            Sheet(p, QRectF(1.5, 1.5, 8, 10));
            Sheet(p, QRectF(6.5, 4.5, 8, 10));
            Lines(p, 8, 8, 3, 4.5);
        });
    case image::PASTE:
        return Draw([](QPainter& p) {
            p.setPen(Pen(kInk));
            p.setBrush(QColor(0xb7, 0x8a, 0x55));
            p.drawRoundedRect(QRectF(2, 2.5, 10, 12), 1, 1);
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 1, 5, 3));
            Sheet(p, QRectF(7, 6, 7.5, 8.5));
            Lines(p, 8.5, 9, 2, 4);
        });
    case image::RUN:
        return Draw([](QPainter& p) { Triangle(p, kGreen, true); });
    case image::ABOUT:
        return Draw([](QPainter& p) {
            p.setPen(Pen(kBlue.darker(130)));
            p.setBrush(kBlue);
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setPen(Pen(Qt::white, 1.6));
            p.drawPoint(QPointF(8, 4.8));
            p.drawLine(QPointF(8, 7.5), QPointF(8, 11.5));
        });
    case image::RESUME:
        return Draw([](QPainter& p) {
            p.setPen(Pen(kInk));
            p.setBrush(kAmber);
            p.drawRect(QRectF(2, 3, 2.5, 10));
            p.translate(2.5, 0);
            Triangle(p, kGreen, true);
        });
    case image::STOP:
        return Draw([](QPainter& p) {
            p.setPen(Pen(kRed.darker(140)));
            p.setBrush(kRed);
            p.drawRoundedRect(QRectF(3, 3, 10, 10), 1.5, 1.5);
        });
    case image::PREVIEW:
        // Two pages side by side, a removed line on the first and an added one on the second.
        return Draw([](QPainter& p) {
            Sheet(p, QRectF(0.5, 2, 7, 12));
            Sheet(p, QRectF(8.5, 2, 7, 12));
            p.setPen(Pen(kRed, 1.4));
            p.drawLine(QPointF(2, 8), QPointF(6, 8));
            p.setPen(Pen(kGreen, 1.4));
            p.drawLine(QPointF(10, 8), QPointF(14, 8));
        });
    default:
        return {};
    }
}

QIcon BrowseImage(int index)
{
    switch (index) {
    case 0:
        return Draw([](QPainter& p) { Triangle(p, kBlue, false); });
    case 1:
        return Draw([](QPainter& p) { Triangle(p, kBlue, true); });
    case 2:
        return Draw([](QPainter& p) {
            p.setPen(Pen(kRed, 2));
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
        });
    case 3:
        return Draw([](QPainter& p) {
            p.setPen(Pen(kGreen, 1.6));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 280 * 16);
            p.setBrush(kGreen);
            QPainterPath head;
            head.moveTo(10.5, 1.5);
            head.lineTo(13.5, 4.5);
            head.lineTo(9.5, 5.5);
            head.closeSubpath();
            p.drawPath(head);
        });
    default:
        return {};
    }
}

} // namespace wendo::ui
