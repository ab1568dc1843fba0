#include "CmdIcons.h"

#include <QPainter>
#include <QPixmap>

namespace wendo::ui {

namespace {

struct Look
{
    int id;
    QColor fill;
    const char* mark;
};

// A coloured tile with a short mark, so the types are told apart at a glance.
const Look kLooks[] = {
    {icon::UNKNOWN, QColor(0x8a, 0x8f, 0x96), "?"},
    {icon::KEEPCONTENT, QColor(0x2f, 0x6f, 0xb5), "[]"},
    {icon::FINDREPL, QColor(0x2f, 0x9a, 0x4f), "ab"},
    {icon::ANCHOR, QColor(0x7a, 0x4f, 0xb5), "<a"},
    {icon::IMAGE, QColor(0xc8, 0x6a, 0x22), "im"},
    {icon::FILESTAT, QColor(0x4a, 0x5a, 0x6a), "#"},
    {icon::REWIND, QColor(0xc8, 0x3a, 0x32), "\xe2\x86\xba"},
    {icon::FILESTAT_NAME, QColor(0x4a, 0x5a, 0x6a), "#N"},
    {icon::REGEX, QColor(0x1f, 0x7a, 0x7a), ".*"},
};

QIcon Paint(const Look& look)
{
    constexpr int kPixels = 32;
    QPixmap pixmap(kPixels, kPixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(look.fill);
    painter.drawRoundedRect(QRectF(1, 1, kPixels - 2, kPixels - 2), 6, 6);
    QFont font = painter.font();
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, kPixels, kPixels), Qt::AlignCenter, QString::fromUtf8(look.mark));
    painter.end();
    return QIcon(pixmap);
}

} // namespace

QIcon CommandIcon(int resourceId)
{
    for (const Look& look : kLooks) {
        if (look.id == resourceId) {
            return Paint(look);
        }
    }
    return Paint(kLooks[0]);
}

QList<QIcon> CommandImageList()
{
    QList<QIcon> images;
    for (int id : {icon::UNKNOWN, icon::KEEPCONTENT, icon::FINDREPL, icon::ANCHOR, icon::IMAGE,
                   icon::FILESTAT, icon::REWIND, icon::FILESTAT_NAME, icon::REGEX}) {
        images.append(CommandIcon(id));
    }
    return images;
}

int CommandTypeIcon(int type, bool regex)
{
    if (type == 1 && regex) {
        return icon::REGEX;
    }
    static constexpr int kByType[] = {icon::KEEPCONTENT, icon::FINDREPL, icon::ANCHOR,
                                      icon::IMAGE,       icon::FILESTAT, icon::REWIND};
    return type >= 0 && type < 6 ? kByType[type] : icon::UNKNOWN;
}

} // namespace wendo::ui
