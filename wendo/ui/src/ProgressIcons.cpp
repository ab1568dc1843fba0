#include "ProgressIcons.h"

#include "CmdIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <functional>

namespace wendo::ui {

namespace {

const QColor kInk(0x2e, 0x3a, 0x46);
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
    // The commands keep the images they have in the command list and the editor.
    QList<QIcon> images = {Draw(size, Sigma)};
    for (int id : {icon::KEEPCONTENT, icon::FINDREPL, icon::ANCHOR, icon::IMAGE, icon::FILESTAT,
                   icon::REWIND, icon::FILESTAT_NAME}) {
        images.append(QIcon(CommandIcon(id).pixmap(size, size)));
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
