#include "ArchiveJson.h"

#include "archive/Foundation.h"
#include "text/TextArchive.h"

#include <QJsonArray>

namespace snapwick::cli {

namespace fd = archive::foundation;
using archive::ArchivedObject;
using archive::ArchivedValue;

namespace {

QJsonValue objectToJson(const archive::ObjectPtr& o, int depth);

// Unsigned types are written in the smallest signed form; their width gives the value
// back. Integers beyond what a JSON number holds exactly go as decimal strings.
QJsonValue integerToJson(const ArchivedValue& v)
{
    int bits = 0;
    switch (v.type) {
    case 'C':
        bits = 8;
        break;
    case 'S':
        bits = 16;
        break;
    case 'I':
    case 'L':
        bits = 32;
        break;
    case 'Q':
        bits = 64;
        break;
    default:
        break;
    }
    if (bits == 0) {
        if (v.integer > (1LL << 53) || v.integer < -(1LL << 53))
            return QString::number(v.integer);
        return double(v.integer);
    }
    const std::uint64_t u = bits == 64
                                ? std::uint64_t(v.integer)
                                : std::uint64_t(v.integer) & ((std::uint64_t(1) << bits) - 1);
    return u > (1ULL << 53) ? QJsonValue(QString::number(u)) : QJsonValue(double(u));
}

QJsonObject colorToJson(const text::Color& c)
{
    const bool white = c.space == text::Color::Space::CalibratedWhite ||
                       c.space == text::Color::Space::DeviceWhite;
    const QJsonArray components =
        white ? QJsonArray{c.red, c.alpha} : QJsonArray{c.red, c.green, c.blue, c.alpha};
    return QJsonObject{{QStringLiteral("colorSpace"), int(c.space)},
                       {QStringLiteral("components"), components}};
}

QJsonValue valueToJson(const ArchivedValue& v, int depth)
{
    switch (v.kind) {
    case ArchivedValue::Kind::Integer:
        return integerToJson(v);
    case ArchivedValue::Kind::Real:
        return v.real;
    case ArchivedValue::Kind::CString:
    case ArchivedValue::Kind::Bytes:
        return v.isNull ? QJsonValue() : QJsonValue(QString::fromUtf8(v.bytes));
    case ArchivedValue::Kind::Object:
        if (v.isEnclosingReference())
            return QJsonObject{
                {QStringLiteral("class"), QString::fromLatin1(v.enclosing.lock()->className())},
                {QStringLiteral("enclosing"), true}};
        return objectToJson(v.object, depth + 1);
    case ArchivedValue::Kind::Class:
        return v.isNull ? QJsonValue() : QJsonValue(QString::fromLatin1(v.classChain.front().name));
    case ArchivedValue::Kind::Aggregate: {
        if (v.elements.empty())
            return QJsonObject{{QStringLiteral("bytes"), double(v.bytes.size())}};
        QJsonArray a;
        for (const ArchivedValue& e : v.elements)
            a.append(valueToJson(e, depth + 1));
        return a;
    }
    }
    return {};
}

QJsonObject classed(const ArchivedObject& o, const QJsonValue& value)
{
    return QJsonObject{{QStringLiteral("class"), QString::fromLatin1(o.className())},
                       {QStringLiteral("value"), value}};
}

QJsonValue genericObject(const ArchivedObject& o, int depth)
{
    QJsonArray groups;
    for (const archive::ArchivedGroup& g : o.groups) {
        QJsonArray values;
        for (const ArchivedValue& v : g.values)
            values.append(valueToJson(v, depth));
        groups.append(values.size() == 1 ? values.first() : QJsonValue(values));
    }
    return classed(o, groups);
}

QJsonValue foundationObject(const ArchivedObject& o, int depth)
{
    if (auto font = text::fontFromArchive(o))
        return classed(o, QJsonObject{{QStringLiteral("font"), font->name},
                                      {QStringLiteral("size"), font->pointSize}});
    if (auto color = text::colorFromArchive(o))
        return classed(o, colorToJson(*color));
    if (auto s = fd::stringValue(o))
        return *s;
    if (auto n = fd::numberValue(o))
        return valueToJson(n->value, depth);
    if (auto d = fd::dataValue(o))
        return classed(o, QJsonObject{{QStringLiteral("bytes"), double(d->size())}});
    if (auto date = fd::dateValue(o))
        return classed(o, *date);
    if (auto url = fd::urlValue(o)) {
        QJsonObject u{{QStringLiteral("string"), url->string}};
        if (url->base)
            u.insert(QStringLiteral("base"), objectToJson(url->base, depth + 1));
        return classed(o, u);
    }
    if (auto entries = fd::dictionaryEntries(o)) {
        QJsonObject d;
        for (const auto& [key, value] : *entries) {
            const auto name = key ? fd::stringValue(*key) : std::nullopt;
            d.insert(name.value_or(QStringLiteral("?")), objectToJson(value, depth + 1));
        }
        return classed(o, d);
    }
    if (auto elements = fd::arrayElements(o)) {
        QJsonArray a;
        for (const auto& e : *elements)
            a.append(objectToJson(e, depth + 1));
        return classed(o, a);
    }
    return genericObject(o, depth);
}

QJsonValue attributeToJson(const text::AttributeValue& value, int depth)
{
    if (const auto* f = std::get_if<text::Font>(&value))
        return QJsonObject{{QStringLiteral("font"), f->name},
                           {QStringLiteral("size"), f->pointSize}};
    if (const auto* c = std::get_if<text::Color>(&value))
        return colorToJson(*c);
    if (const auto* p = std::get_if<text::ParagraphStyle>(&value)) {
        QJsonArray tabs;
        for (const text::TextTab& t : p->tabStops)
            tabs.append(QJsonObject{{QStringLiteral("type"), t.type},
                                    {QStringLiteral("location"), t.location}});
        return QJsonObject{{QStringLiteral("alignment"), p->alignment},
                           {QStringLiteral("lineBreakMode"), p->lineBreakMode},
                           {QStringLiteral("tabStops"), tabs}};
    }
    if (const auto* a = std::get_if<text::AttachmentPtr>(&value)) {
        const QImage image = (*a)->image();
        return QJsonObject{
            {QStringLiteral("fileName"), (*a)->fileWrapper.preferredFilename},
            {QStringLiteral("bytes"), double((*a)->fileWrapper.contents.size())},
            {QStringLiteral("imageSize"),
             image.isNull() ? QJsonValue() : QJsonArray{image.width(), image.height()}}};
    }
    return objectToJson(std::get<archive::ObjectPtr>(value), depth + 1);
}

std::optional<QJsonObject> attributedStringToJson(const ArchivedObject& o)
{
    const auto s = text::attributedStringFromArchive(o);
    if (!s)
        return std::nullopt;
    QJsonArray runs;
    qsizetype location = 0;
    for (const text::AttributedString::Run& run : s->runs()) {
        QJsonObject attributes;
        for (auto it = run.attributes->values().begin(); it != run.attributes->values().end(); ++it)
            attributes.insert(it.key(), attributeToJson(it.value(), 0));
        runs.append(QJsonObject{{QStringLiteral("location"), double(location)},
                                {QStringLiteral("length"), double(run.length)},
                                {QStringLiteral("attributes"), attributes}});
        location += run.length;
    }
    return QJsonObject{{QStringLiteral("class"), QString::fromLatin1(o.className())},
                       {QStringLiteral("text"), s->string()},
                       {QStringLiteral("runs"), runs}};
}

QJsonValue objectToJson(const archive::ObjectPtr& o, int depth)
{
    if (!o)
        return QJsonValue();
    if (depth > 64)
        return QJsonObject{{QStringLiteral("class"), QString::fromLatin1(o->className())}};
    if (auto s = attributedStringToJson(*o))
        return *s;
    return foundationObject(*o, depth);
}

} // namespace

QJsonObject archiveToJson(const std::vector<archive::ArchivedGroup>& groups)
{
    if (groups.size() > 1 || groups.front().values.size() != 1) { // several top-level values
        QJsonArray all;
        for (const archive::ArchivedGroup& g : groups) {
            for (const ArchivedValue& v : g.values)
                all.append(valueToJson(v, 0));
        }
        return QJsonObject{{QStringLiteral("class"), QJsonValue()}, {QStringLiteral("value"), all}};
    }
    const ArchivedValue& root = groups.front().values.front();
    if (root.kind == ArchivedValue::Kind::Object && root.object) {
        QJsonValue v = objectToJson(root.object, 0);
        if (v.isObject() && v.toObject().contains(QStringLiteral("class")))
            return v.toObject();
        return QJsonObject{{QStringLiteral("class"), QString::fromLatin1(root.object->className())},
                           {QStringLiteral("value"), v}};
    }
    return QJsonObject{{QStringLiteral("class"), QJsonValue()},
                       {QStringLiteral("value"), valueToJson(root, 0)}};
}

} // namespace snapwick::cli
