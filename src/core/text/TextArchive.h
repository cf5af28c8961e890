#pragma once

#include "AttributedString.h"

#include <optional>

// Attributed strings and their attribute values as the platform's archiver writes them.
namespace text {

// The root must be an attributed string (mutable or not); anything else, or a layout
// that does not add up (runs past the text, an attribute set never defined), gives none.
std::optional<AttributedString> attributedStringFromArchive(const archive::ArchivedObject& root);
archive::ObjectPtr archiveAttributedString(const AttributedString& s);

AttributeValue attributeFromArchive(const archive::ObjectPtr& object);
archive::ObjectPtr archiveAttribute(const AttributeValue& value);

std::optional<Font> fontFromArchive(const archive::ArchivedObject& o);
std::optional<Color> colorFromArchive(const archive::ArchivedObject& o);
archive::ObjectPtr archiveColor(const Color& c);

// A picture archived as an image object (with its bitmap representations) or as a bare
// bitmap representation. hasRepresentation is false for an image that holds none.
struct ArchivedImage
{
    bool hasRepresentation = false;
    QByteArray data; // the first representation's encoded bytes (TIFF as the platform keeps them)
};
std::optional<ArchivedImage> imageFromArchive(const archive::ArchivedObject& o);
archive::ObjectPtr archiveImage(const QByteArray& tiff, QSizeF size);

} // namespace text
