#pragma once

#include "plist/Dictionary.h"

#include <QImage>

namespace JVSXSharedExtensions {

constexpr int kStatusMenuItemHeight = 28;

// One snippet's menu entry: a bordered light card with the row inside; null when the
// picture cannot be made. The rows above and below the card stay transparent.
QImage statusMenuItemPicture(const plist::Dictionary& snippet, int width,
                             qreal devicePixelRatio = 1);

// The tray icon's three pictures: "JVSXStatusItemAqua", "JVSXStatusItemGraphite" (for dark
// panels), "JVSXStatusItemSelected"; null for any other name.
QImage statusItemPicture(const QString& name, int size);

} // namespace JVSXSharedExtensions
