#include "StatusMenuPicture.h"

#include "SnippetCell.h"

#include <QPainter>
#include <QPainterPath>

namespace JVSXSharedExtensions {

namespace {

const QColor& singletonMenuItemImageBorderColor()
{
    static const QColor color = QColor::fromRgbF(0, 0, 0, 0.3f);
    return color;
}

const QColor& singletonMenuItemBackgroundColor()
{
    static const QColor color = QColor::fromRgbF(1, 1, 1, 0.8f);
    return color;
}

struct IconColours
{
    QColor bubble;
    QColor mark;
};

std::optional<IconColours> iconColours(const QString& name)
{
    if (name == QLatin1String("JVSXStatusItemAqua"))
        return IconColours{QColor(0x2f, 0x6f, 0xb8), Qt::white};
    if (name == QLatin1String("JVSXStatusItemGraphite"))
        return IconColours{QColor(0xe6, 0xe6, 0xe6), QColor(0x30, 0x30, 0x30)};
    if (name == QLatin1String("JVSXStatusItemSelected"))
        return IconColours{Qt::white, QColor(0x2f, 0x6f, 0xb8)};
    return std::nullopt;
}

} // namespace

QImage statusMenuItemPicture(const plist::Dictionary& snippet, int width, qreal devicePixelRatio)
{
    QImage picture(QSize(width, kStatusMenuItemHeight) * devicePixelRatio,
                   QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        return {};
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const QColor& border = singletonMenuItemImageBorderColor();
    painter.fillRect(QRectF(1, 2, width - 2, 1), border);
    painter.fillRect(QRectF(1, 26, width - 2, 1), border);
    painter.fillRect(QRectF(0, 2, 1, 25), border);
    painter.fillRect(QRectF(width - 1, 2, 1, 25), border);
    painter.fillRect(QRectF(1, 3, width - 2, 23), singletonMenuItemBackgroundColor());
    drawCellInteriorForSnippet(painter, snippet, QRectF(2, 4, width - 5, 22), false, true);
    return picture;
}

// A speech bubble with a lightning stroke: text that appears by itself.
QImage statusItemPicture(const QString& name, int size)
{
    const auto colours = iconColours(name);
    if (!colours || size <= 0)
        return {};
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 22.0, size / 22.0);

    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(2, 3, 18, 13), 4, 4);
    QPainterPath tail;
    tail.moveTo(6, 15);
    tail.lineTo(5, 20);
    tail.lineTo(11, 15);
    tail.closeSubpath();
    painter.fillPath(bubble.united(tail), colours->bubble);

    QPainterPath bolt;
    bolt.moveTo(12.5, 4.5);
    bolt.lineTo(7.5, 10);
    bolt.lineTo(10.5, 10);
    bolt.lineTo(9.5, 14.5);
    bolt.lineTo(14.5, 9);
    bolt.lineTo(11.5, 9);
    bolt.closeSubpath();
    painter.fillPath(bolt, colours->mark);
    return picture;
}

} // namespace JVSXSharedExtensions
