#include "ProgressIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <functional>

namespace wendo::ui {

namespace {

const QColor kInk(0x2e, 0x3a, 0x46);
const QColor kPaper(0xfb, 0xfb, 0xf7);
const QColor kBlue(0x2f, 0x6f, 0xb5);
const QColor kGreen(0x2f, 0x9a, 0x4f);
const QColor kRed(0xc8, 0x3a, 0x32);
const QColor kAmber(0xe0, 0xa1, 0x22);
const QColor kGrey(0x8a, 0x94, 0x9e);

// Drawn on a 16-unit grid, so each image scales cleanly to the size asked for.
QIcon Draw(int pixels, const std::function<void(QPainter&)>& paint)
{
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixels / 16.0, pixels / 16.0);
    paint(painter);
    painter.end();
    return QIcon(pixmap);
}

QPen Pen(const QColor& color, qreal width = 1.0)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Sheet(QPainter& p)
{
    QPainterPath path;
    path.moveTo(2.5, 1.5);
    path.lineTo(10.5, 1.5);
    path.lineTo(13.5, 4.5);
    path.lineTo(13.5, 14.5);
    path.lineTo(2.5, 14.5);
    path.closeSubpath();
    p.setPen(Pen(kInk, 0.8));
    p.setBrush(kPaper);
    p.drawPath(path);
}

void Letters(QPainter& p, const QString& text, const QColor& color)
{
    QFont font;
    font.setPixelSize(6);
    font.setBold(true);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRectF(2.5, 5, 11, 8), Qt::AlignCenter, text);
}

void Sigma(QPainter& p)
{
    p.setPen(Pen(kInk, 1.4));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(12, 3);
    path.lineTo(4, 3);
    path.lineTo(9, 8);
    path.lineTo(4, 13);
    path.lineTo(12, 13);
    p.drawPath(path);
}

void Arrow(QPainter& p, const QColor& color)
{
    p.setPen(Pen(color, 1.2));
    p.drawLine(QPointF(5, 12), QPointF(11, 12));
    p.drawLine(QPointF(9, 10), QPointF(11, 12));
    p.drawLine(QPointF(9, 14), QPointF(11, 12));
}

void Clock(QPainter& p)
{
    p.setPen(Pen(kInk, 0.8));
    p.setBrush(QColor(0xee, 0xf3, 0xf8));
    p.drawEllipse(QPointF(8, 9), 4.5, 4.5);
    p.drawLine(QPointF(8, 9), QPointF(8, 6));
    p.drawLine(QPointF(8, 9), QPointF(10, 10));
}

void CommandImage(QPainter& p, int index)
{
    switch (index) {
    case 0: // totals
        Sigma(p);
        break;
    case 1: // replace, keeping the text between the delimiters
        Sheet(p);
        Letters(p, QStringLiteral("[a]"), kBlue);
        Arrow(p, kGreen);
        break;
    case 2: // find and replace
        Sheet(p);
        Letters(p, QStringLiteral("a>b"), kBlue);
        break;
    case 3: // anchor tags
        Sheet(p);
        Letters(p, QStringLiteral("<a>"), kGreen);
        break;
    case 4: // image tags
        Sheet(p);
        p.setPen(Pen(kInk, 0.6));
        p.setBrush(QColor(0xcf, 0xe4, 0xf7));
        p.drawRect(QRectF(4, 5, 8, 7));
        p.setBrush(kGreen);
        p.drawPolygon(QPolygonF({QPointF(4, 12), QPointF(7, 8), QPointF(10, 12)}));
        p.setBrush(kAmber);
        p.drawEllipse(QPointF(10, 7), 1, 1);
        break;
    case 5: // file statistics
        Clock(p);
        break;
    case 6: // rewind
        p.setPen(Pen(kBlue, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 270 * 16);
        p.drawLine(QPointF(11, 2.5), QPointF(11.5, 5.5));
        p.drawLine(QPointF(11.5, 5.5), QPointF(8.5, 5.5));
        break;
    default: // file statistics with the file name
        Clock(p);
        p.setPen(Pen(kRed, 1.0));
        p.drawLine(QPointF(2, 2.5), QPointF(7, 2.5));
        p.drawLine(QPointF(2, 4.5), QPointF(5, 4.5));
        break;
    }
}

} // namespace

QIcon RunButtonIcon(int resource)
{
    return Draw(32, [resource](QPainter& p) {
        p.setPen(Pen(kInk, 0.6));
        if (resource == kRunningIcon) { // running: pressing stops
            p.setBrush(kRed);
            p.drawRoundedRect(QRectF(3.5, 3.5, 9, 9), 1.2, 1.2);
        } else if (resource == kSuspendedIcon) { // suspended: pressing resumes
            p.setBrush(kAmber);
            p.drawRect(QRectF(3.5, 3.5, 3, 9));
            p.drawRect(QRectF(9.5, 3.5, 3, 9));
        } else { // idle: pressing runs
            p.setBrush(kGreen);
            p.drawPolygon(QPolygonF({QPointF(4.5, 2.5), QPointF(13.5, 8), QPointF(4.5, 13.5)}));
        }
    });
}

QList<QIcon> CommandImages(int size)
{
    QList<QIcon> images;
    for (int i = 0; i < kCommandImageCount; ++i) {
        images.append(Draw(size, [i](QPainter& p) { CommandImage(p, i); }));
    }
    return images;
}

QList<QIcon> AnimationFrames()
{
    QList<QIcon> frames;
    for (int frame = 0; frame < kAnimationFrames; ++frame) {
        frames.append(Draw(32, [frame](QPainter& p) {
            // Twelve spokes; the lit one advances a twelfth of a turn per frame and the
            // ones behind it fade.
            for (int spoke = 0; spoke < kAnimationFrames; ++spoke) {
                const int age = (frame - spoke + kAnimationFrames) % kAnimationFrames;
                QColor color = age == 0 ? kBlue : kGrey;
                color.setAlphaF(age == 0 ? 1.0 : std::max(0.15, 0.8 - 0.08 * age));
                const double angle = spoke * (2 * M_PI / kAnimationFrames) - M_PI / 2;
                const QPointF inner(8 + 3 * std::cos(angle), 8 + 3 * std::sin(angle));
                const QPointF outer(8 + 6.5 * std::cos(angle), 8 + 6.5 * std::sin(angle));
                p.setPen(Pen(color, 1.5));
                p.drawLine(inner, outer);
            }
        }));
    }
    return frames;
}

} // namespace wendo::ui
