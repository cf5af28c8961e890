#pragma once

#include "archive/ArchivedObject.h"

#include <QImage>
#include <QMap>
#include <variant>

namespace text {

// The attribute names the platform's text system uses.
namespace AttributeName {
inline const QString Font = QStringLiteral("NSFont");
inline const QString ForegroundColor = QStringLiteral("NSColor");
inline const QString ParagraphStyle = QStringLiteral("NSParagraphStyle");
inline const QString Attachment = QStringLiteral("NSAttachment");
} // namespace AttributeName

struct Font
{
    QString name; // PostScript name, "Helvetica-BoldOblique"
    double pointSize = 12;

    // The family and traits as the name spells them: "Helvetica-BoldOblique" is
    // Helvetica, bold, italic.
    QString family() const;
    bool isBold() const;
    bool isItalic() const;
    static QString postScriptName(const QString& family, bool bold, bool italic);
    bool operator==(const Font&) const = default;
};

struct Color
{
    // The platform's colour kinds, as archived.
    enum class Space
    {
        CalibratedRGB = 1,
        DeviceRGB = 2,
        CalibratedWhite = 3,
        DeviceWhite = 4
    };
    Space space = Space::CalibratedRGB;
    double red = 0, green = 0, blue = 0, alpha = 1; // white spaces keep white in red

    static Color white(double w, double a = 1, Space s = Space::CalibratedWhite);
    static Color rgb(double r, double g, double b, double a = 1, Space s = Space::CalibratedRGB);
    QColor toQColor() const;
    bool operator==(const Color&) const = default;
};

struct TextTab
{
    int type = 0; // left, right, center, decimal
    double location = 0;
    bool operator==(const TextTab&) const = default;
};

struct ParagraphStyle
{
    enum Alignment
    {
        Left = 0,
        Right = 1,
        Center = 2,
        Justified = 3,
        Natural = 4
    };
    int alignment = Natural;
    int lineBreakMode = 0; // word wrapping
    double firstLineHeadIndent = 0, headIndent = 0, tailIndent = 0;
    double lineSpacing = 0, paragraphSpacing = 0, paragraphSpacingBefore = 0;
    double minimumLineHeight = 0, maximumLineHeight = 0;
    std::vector<TextTab> tabStops;
    bool operator==(const ParagraphStyle&) const = default;
};

// A named block of file contents, as a picture attachment holds it.
struct FileWrapper
{
    QString preferredFilename;
    QByteArray contents;
    bool operator==(const FileWrapper&) const = default;
};

struct Attachment
{
    FileWrapper fileWrapper;

    // The picture, when the contents decode as one.
    QImage image() const;
    bool operator==(const Attachment&) const = default;
};
using AttachmentPtr = std::shared_ptr<const Attachment>;

// Any other attribute value (a link, an underline style, a shadow) travels as the
// archived object it came as.
using AttributeValue = std::variant<Font, Color, ParagraphStyle, AttachmentPtr, archive::ObjectPtr>;

bool attributeValuesEqual(const AttributeValue& a, const AttributeValue& b);

class Attributes
{
public:
    const AttributeValue* find(const QString& name) const;
    template <typename T> const T* get(const QString& name) const
    {
        const AttributeValue* v = find(name);
        return v ? std::get_if<T>(v) : nullptr;
    }
    void set(const QString& name, AttributeValue value) { m_values.insert(name, std::move(value)); }
    void remove(const QString& name) { m_values.remove(name); }
    bool isEmpty() const { return m_values.isEmpty(); }
    const QMap<QString, AttributeValue>& values() const { return m_values; }

    // Equal contents.
    bool operator==(const Attributes& other) const;
    // Equal, and the very same attachment objects: two pictures side by side stay two runs.
    bool isSameAs(const Attributes& other) const;

private:
    QMap<QString, AttributeValue> m_values;
};

} // namespace text
