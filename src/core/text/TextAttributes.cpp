#include "TextAttributes.h"

#include <QBuffer>
#include <QImageReader>

namespace text {

namespace {

QString traitSuffix(const QString& name)
{
    const qsizetype dash = name.lastIndexOf(u'-');
    return dash < 0 ? QString() : name.mid(dash + 1);
}

} // namespace

QString Font::family() const
{
    const qsizetype dash = name.lastIndexOf(u'-');
    return dash < 0 ? name : name.left(dash);
}

bool Font::isBold() const
{
    const QString t = traitSuffix(name);
    return t.contains(u"Bold") || t.contains(u"Black") || t.contains(u"Heavy");
}

bool Font::isItalic() const
{
    const QString t = traitSuffix(name);
    return t.contains(u"Italic") || t.contains(u"Oblique");
}

QString Font::postScriptName(const QString& family, bool bold, bool italic)
{
    QString base = family;
    base.remove(u' ');
    if (!bold && !italic)
        return base;
    return base + u'-' + (bold ? QStringLiteral("Bold") : QString()) +
           (italic ? QStringLiteral("Italic") : QString());
}

Color Color::white(double w, double a, Space s)
{
    return Color{s, w, w, w, a};
}

Color Color::rgb(double r, double g, double b, double a, Space s)
{
    return Color{s, r, g, b, a};
}

QColor Color::toQColor() const
{
    auto unit = [](double v) { return std::clamp(v, 0.0, 1.0); };
    return QColor::fromRgbF(float(unit(red)), float(unit(green)), float(unit(blue)),
                            float(unit(alpha)));
}

QImage Attachment::image() const
{
    if (fileWrapper.contents.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(fileWrapper.contents);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(256); // megabytes: a hostile header cannot ask for more
    return reader.read();
}

bool attributeValuesEqual(const AttributeValue& a, const AttributeValue& b)
{
    if (a.index() != b.index())
        return false;
    if (const auto* pa = std::get_if<AttachmentPtr>(&a)) {
        const auto& pb = std::get<AttachmentPtr>(b);
        return *pa == pb || (*pa && pb && **pa == *pb);
    }
    if (const auto* oa = std::get_if<archive::ObjectPtr>(&a)) {
        const auto& ob = std::get<archive::ObjectPtr>(b);
        return *oa == ob || (*oa && ob && **oa == *ob);
    }
    return a == b;
}

const AttributeValue* Attributes::find(const QString& name) const
{
    auto it = m_values.constFind(name);
    return it == m_values.constEnd() ? nullptr : &it.value();
}

bool Attributes::operator==(const Attributes& other) const
{
    if (m_values.size() != other.m_values.size())
        return false;
    for (auto it = m_values.begin(), jt = other.m_values.begin(); it != m_values.end();
         ++it, ++jt) {
        if (it.key() != jt.key() || !attributeValuesEqual(it.value(), jt.value()))
            return false;
    }
    return true;
}

bool Attributes::isSameAs(const Attributes& other) const
{
    if (!(*this == other))
        return false;
    const AttachmentPtr* mine = get<AttachmentPtr>(AttributeName::Attachment);
    const AttachmentPtr* theirs = other.get<AttachmentPtr>(AttributeName::Attachment);
    return !mine || !theirs || *mine == *theirs;
}

} // namespace text
