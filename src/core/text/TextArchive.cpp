#include "TextArchive.h"

#include "FlatFileWrapper.h"
#include "archive/Foundation.h"

#include <QtEndian>

namespace text {

namespace fd = archive::foundation;
using archive::ArchivedClass;
using archive::ArchivedGroup;
using archive::ArchivedObject;
using archive::ArchivedValue;
using archive::ObjectPtr;

namespace {

const ArchivedClass kObject{"NSObject", 0};
const ArchivedClass kAttributedString{"NSAttributedString", 0};
const ArchivedClass kMutableAttributedString{"NSMutableAttributedString", 0};
const ArchivedClass kFont{"NSFont", 30};
const ArchivedClass kColor{"NSColor", 0};
const ArchivedClass kParagraphStyle{"NSParagraphStyle", 0};
const ArchivedClass kTextTab{"NSTextTab", 0};
const ArchivedClass kTextAttachment{"NSTextAttachment", 0};
const ArchivedClass kFileWrapper{"NSFileWrapper", 0};
const ArchivedClass kImage{"NSImage", 0};
const ArchivedClass kImageRep{"NSImageRep", 0};
const ArchivedClass kBitmapImageRep{"NSBitmapImageRep", 0};

constexpr quint32 kNeXTUtf16String = 6; // the font name's type in its small property list

ArchivedValue i32(std::int64_t v)
{
    return ArchivedValue::integerValue('i', v);
}
ArchivedValue f32(double v)
{
    return ArchivedValue::realValue('f', v);
}
ArchivedValue c8(std::int64_t v)
{
    return ArchivedValue::integerValue('c', v);
}

// --- fonts: a small old-style binary property list holding the PostScript name

QByteArray fontNameList(const QString& name)
{
    QByteArray utf16("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char*>(name.utf16()), name.size() * 2);
    QByteArray out(8, '\0');
    qToLittleEndian(kNeXTUtf16String, out.data());
    qToLittleEndian(quint32(utf16.size()), out.data() + 4);
    out.append(utf16);
    while (out.size() % 4)
        out.append('\0');
    return out;
}

std::optional<QString> nameFromFontList(const QByteArray& list)
{
    if (list.size() < 8)
        return std::nullopt;
    const quint32 type = qFromLittleEndian<quint32>(list.constData());
    const quint32 length = qFromLittleEndian<quint32>(list.constData() + 4);
    if (length > quint32(list.size() - 8))
        return std::nullopt;
    const QByteArray bytes = list.mid(8, qsizetype(length));
    if (type != kNeXTUtf16String)
        return QString::fromLatin1(bytes);
    const bool bigEndian = bytes.startsWith("\xFE\xFF");
    const qsizetype start = bytes.startsWith("\xFF\xFE") || bigEndian ? 2 : 0;
    QString name;
    for (qsizetype i = start; i + 1 < bytes.size(); i += 2) {
        const uchar a = uchar(bytes[i]), b = uchar(bytes[i + 1]);
        name.append(QChar(char16_t(bigEndian ? (a << 8 | b) : (b << 8 | a))));
    }
    return name;
}

ObjectPtr archiveFont(const Font& f)
{
    const QByteArray list = fontNameList(f.name);
    return fd::makeObject({kFont, kObject},
                          {fd::group("i", {i32(list.size())}),
                           ArchivedGroup{"[" + QByteArray::number(list.size()) + "c]",
                                         {ArchivedValue::byteArray(list)}},
                           fd::group("f", {f32(f.pointSize)}), fd::group("c", {c8(0)}),
                           fd::group("c", {c8(1)}), fd::group("c", {c8(0)}),
                           fd::group("c", {c8(0)})});
}

// --- paragraph styles and tabs

std::optional<ParagraphStyle> paragraphStyleFromArchive(const ArchivedObject& o)
{
    if (!o.isKindOf("NSParagraphStyle") || o.groups.size() < 4 || o.groups[2].values.size() != 8)
        return std::nullopt;
    ParagraphStyle p;
    const auto alignment = fd::integerAt(o, 0);
    const auto lineBreak = fd::integerAt(o, 1);
    const auto tabCount = fd::integerAt(o, 3);
    if (!alignment || !lineBreak || !tabCount || o.groups.size() != std::size_t(4 + *tabCount))
        return std::nullopt;
    p.alignment = int(*alignment);
    p.lineBreakMode = int(*lineBreak);
    double* metrics[] = {&p.firstLineHeadIndent, &p.headIndent,       &p.tailIndent,
                         &p.lineSpacing,         &p.paragraphSpacing, &p.paragraphSpacingBefore,
                         &p.minimumLineHeight,   &p.maximumLineHeight};
    for (std::size_t i = 0; i < 8; ++i)
        *metrics[i] = fd::realAt(o, 2, i).value_or(0);
    for (std::int64_t i = 0; i < *tabCount; ++i) {
        const ObjectPtr tab = fd::objectAt(o, std::size_t(4 + i));
        if (!tab || !tab->isKindOf("NSTextTab"))
            return std::nullopt;
        p.tabStops.push_back(
            {int(fd::integerAt(*tab, 0).value_or(0)), fd::realAt(*tab, 1).value_or(0)});
    }
    return p;
}

ObjectPtr archiveParagraphStyle(const ParagraphStyle& p)
{
    std::vector<ArchivedGroup> groups{
        fd::group("i", {i32(p.alignment)}), fd::group("i", {i32(p.lineBreakMode)}),
        fd::group("ffffffff",
                  {f32(p.firstLineHeadIndent), f32(p.headIndent), f32(p.tailIndent),
                   f32(p.lineSpacing), f32(p.paragraphSpacing), f32(p.paragraphSpacingBefore),
                   f32(p.minimumLineHeight), f32(p.maximumLineHeight)}),
        fd::group("i", {i32(qint64(p.tabStops.size()))})};
    for (const TextTab& t : p.tabStops) {
        groups.push_back(fd::objectGroup(
            fd::makeObject({kTextTab, kObject},
                           {fd::group("i", {i32(t.type)}), fd::group("f", {f32(t.location)})})));
    }
    return fd::makeObject({kParagraphStyle, kObject}, std::move(groups));
}

// --- attachments: a file wrapper whose contents travel in the flat directory layout

std::optional<Attachment> attachmentFromArchive(const ArchivedObject& o)
{
    if (!o.isKindOf("NSTextAttachment"))
        return std::nullopt;
    const ObjectPtr wrapper = fd::objectAt(o, 0);
    if (!wrapper) // an attachment without contents
        return Attachment{};
    const ObjectPtr data = wrapper->isKindOf("NSFileWrapper") ? fd::objectAt(*wrapper, 0) : nullptr;
    const auto bytes = data ? fd::dataValue(*data) : std::nullopt;
    const auto directory = bytes ? parseFlatDirectory(*bytes) : std::nullopt;
    if (!directory)
        return std::nullopt;
    Attachment a;
    if (!directory->files.empty())
        a.fileWrapper = directory->files.front();
    return a;
}

ObjectPtr archiveAttachment(const Attachment& a)
{
    const QByteArray flat = serializeFlatDirectory(FlatDirectory{{a.fileWrapper}});
    const ObjectPtr wrapper =
        fd::makeObject({kFileWrapper, kObject}, {fd::objectGroup(fd::makeData(flat))});
    return fd::makeObject({kTextAttachment, kObject}, {fd::objectGroup(wrapper)});
}

// --- attribute dictionaries

std::optional<Attributes> attributesFromArchive(const ArchivedObject& dictionary)
{
    const auto entries = fd::dictionaryEntries(dictionary);
    if (!entries)
        return std::nullopt;
    Attributes attributes;
    for (const auto& [key, value] : *entries) {
        const auto name = key ? fd::stringValue(*key) : std::nullopt;
        if (!name || !value)
            return std::nullopt;
        attributes.set(*name, attributeFromArchive(value));
    }
    return attributes;
}

ObjectPtr archiveAttributes(const Attributes& attributes)
{
    std::vector<std::pair<ObjectPtr, ObjectPtr>> entries;
    for (auto it = attributes.values().begin(); it != attributes.values().end(); ++it)
        entries.emplace_back(fd::makeString(it.key()), archiveAttribute(it.value()));
    return fd::makeDictionary(entries);
}

} // namespace

std::optional<Font> fontFromArchive(const ArchivedObject& o)
{
    if (!o.isKindOf("NSFont") || o.groups.size() < 3 || o.groups[1].values.empty())
        return std::nullopt;
    const auto name = nameFromFontList(o.groups[1].values.front().bytes);
    const auto size = fd::realAt(o, 2);
    if (!name || !size)
        return std::nullopt;
    return Font{*name, *size};
}

std::optional<Color> colorFromArchive(const ArchivedObject& o)
{
    const auto kind = fd::integerAt(o, 0);
    if (!o.isKindOf("NSColor") || !kind || o.groups.size() < 2)
        return std::nullopt;
    std::vector<double> c;
    for (std::size_t i = 0; i < o.groups[1].values.size(); ++i) {
        const auto v = fd::realAt(o, 1, i);
        if (!v)
            return std::nullopt;
        c.push_back(*v);
    }
    const auto space = Color::Space(*kind);
    switch (space) {
    case Color::Space::CalibratedRGB:
    case Color::Space::DeviceRGB:
        if (c.size() != 4)
            return std::nullopt;
        return Color::rgb(c[0], c[1], c[2], c[3], space);
    case Color::Space::CalibratedWhite:
    case Color::Space::DeviceWhite:
        if (c.size() != 2)
            return std::nullopt;
        return Color::white(c[0], c[1], space);
    }
    return std::nullopt; // CMYK, named and pattern colours travel as archived objects
}

ObjectPtr archiveColor(const Color& c)
{
    const bool white =
        c.space == Color::Space::CalibratedWhite || c.space == Color::Space::DeviceWhite;
    ArchivedGroup components =
        white ? fd::group("ff", {f32(c.red), f32(c.alpha)})
              : fd::group("ffff", {f32(c.red), f32(c.green), f32(c.blue), f32(c.alpha)});
    return fd::makeObject({kColor, kObject}, {fd::group("c", {c8(int(c.space))}), components});
}

AttributeValue attributeFromArchive(const ObjectPtr& object)
{
    if (auto font = fontFromArchive(*object))
        return *font;
    if (auto color = colorFromArchive(*object))
        return *color;
    if (auto style = paragraphStyleFromArchive(*object))
        return *style;
    if (auto attachment = attachmentFromArchive(*object))
        return std::make_shared<const Attachment>(std::move(*attachment));
    return object;
}

ObjectPtr archiveAttribute(const AttributeValue& value)
{
    if (const auto* f = std::get_if<Font>(&value))
        return archiveFont(*f);
    if (const auto* c = std::get_if<Color>(&value))
        return archiveColor(*c);
    if (const auto* p = std::get_if<ParagraphStyle>(&value))
        return archiveParagraphStyle(*p);
    if (const auto* a = std::get_if<AttachmentPtr>(&value))
        return archiveAttachment(**a);
    return std::get<ObjectPtr>(value);
}

std::optional<AttributedString> attributedStringFromArchive(const ArchivedObject& root)
{
    if (!root.isKindOf("NSAttributedString") || root.groups.empty())
        return std::nullopt;
    const ObjectPtr stringObject = fd::objectAt(root, 0);
    const auto string = stringObject ? fd::stringValue(*stringObject) : std::nullopt;
    if (!string)
        return std::nullopt;
    AttributedString result(*string);
    std::vector<Attributes> sets;
    qsizetype covered = 0;
    std::size_t g = 1;
    while (covered < string->size()) {
        if (g >= root.groups.size() || root.groups[g].values.size() != 2)
            return std::nullopt;
        const std::int64_t number = root.groups[g].values[0].integer;
        const std::int64_t length = root.groups[g].values[1].integer;
        ++g;
        if (length <= 0 || length > string->size() - covered || number < 1 ||
            number > std::int64_t(sets.size()) + 1)
            return std::nullopt;
        if (number == std::int64_t(sets.size()) + 1) { // a set seen for the first time follows
            const ObjectPtr dictionary = g < root.groups.size() ? fd::objectAt(root, g++) : nullptr;
            const auto attributes = dictionary ? attributesFromArchive(*dictionary) : std::nullopt;
            if (!attributes)
                return std::nullopt;
            sets.push_back(*attributes);
        }
        result.setAttributes(sets[std::size_t(number - 1)], covered, qsizetype(length));
        covered += qsizetype(length);
    }
    if (g != root.groups.size())
        return std::nullopt;
    return result;
}

ObjectPtr archiveAttributedString(const AttributedString& s)
{
    std::vector<ArchivedGroup> groups{fd::objectGroup(fd::makeString(s.string(), true))};
    std::vector<const Attributes*> sets;
    for (const AttributedString::Run& run : s.runs()) {
        auto known = std::find_if(sets.begin(), sets.end(),
                                  [&](const Attributes* a) { return *a == *run.attributes; });
        const bool isNew = known == sets.end();
        const std::int64_t number =
            isNew ? std::int64_t(sets.size()) + 1 : (known - sets.begin()) + 1;
        groups.push_back(
            fd::group("iI", {i32(number), ArchivedValue::integerValue('I', run.length)}));
        if (isNew) {
            sets.push_back(run.attributes.get());
            groups.push_back(fd::objectGroup(archiveAttributes(*run.attributes)));
        }
    }
    return fd::makeObject({kMutableAttributedString, kAttributedString, kObject},
                          std::move(groups));
}

std::optional<ArchivedImage> imageFromArchive(const ArchivedObject& o)
{
    if (o.isKindOf("NSBitmapImageRep")) {
        const ObjectPtr data = fd::objectAt(o, 0);
        const auto bytes = data ? fd::dataValue(*data) : std::nullopt;
        if (!bytes)
            return std::nullopt;
        return ArchivedImage{true, *bytes};
    }
    if (!o.isKindOf("NSImage"))
        return std::nullopt;
    ArchivedImage image;
    for (const ArchivedGroup& g : o.groups) { // the representations, wherever they stand
        for (const ArchivedValue& v : g.values) {
            if (v.kind != ArchivedValue::Kind::Object || !v.object)
                continue;
            if (auto rep = imageFromArchive(*v.object); rep && rep->hasRepresentation)
                return rep;
            if (auto elements = fd::arrayElements(*v.object)) {
                for (const ObjectPtr& e : *elements) {
                    if (auto rep = e ? imageFromArchive(*e) : std::nullopt;
                        rep && rep->hasRepresentation)
                        return rep;
                }
            }
        }
    }
    return image;
}

ObjectPtr archiveImage(const QByteArray& tiff, QSizeF size)
{
    const ObjectPtr rep = fd::makeObject({kBitmapImageRep, kImageRep, kObject},
                                         {fd::objectGroup(fd::makeData(tiff))});
    ArchivedValue sizeValue;
    sizeValue.kind = ArchivedValue::Kind::Aggregate;
    sizeValue.type = '{';
    sizeValue.aggregateType = "{?=ff}";
    sizeValue.elements = {f32(size.width()), f32(size.height())};
    return fd::makeObject({kImage, kObject}, {ArchivedGroup{"{?=ff}", {sizeValue}},
                                              fd::group("i", {i32(1)}), fd::objectGroup(rep)});
}

} // namespace text
