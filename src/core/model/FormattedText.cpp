#include "FormattedText.h"

#include "SnippetRecord.h"
#include "archive/TypedStream.h"
#include "text/SystemAppearance.h"
#include "text/TextArchive.h"
#include "util/Localization.h"

#include <QBuffer>
#include <QImageWriter>

namespace JVSXSharedExtensions {

namespace {

constexpr QChar kAttachmentCharacter(0xFFFC);
constexpr QChar kZeroCharacter(0x0000);

struct PictureMarkers
{
    QString atStart = JVSXLocalizedString("(Picture...)");
    QString atEnd = JVSXLocalizedString("(...Picture)");
    QString inside = JVSXLocalizedString("(...Picture...)");
};

const PictureMarkers& pictureMarkers()
{
    static const PictureMarkers singletonPictureMarkers;
    return singletonPictureMarkers;
}

bool isLineBreakOrTab(QChar c)
{
    return c == u'\n' || c == u'\r' || c == u'\t';
}

QString preview(const QString& s)
{
    const qsizetype n = s.size();
    qsizetype first = 0, last = n - 1; // the trimmed range; pictures are never trimmed
    while (first < n && s[first] != kAttachmentCharacter && s[first].isSpace())
        ++first;
    while (last >= first && s[last] != kAttachmentCharacter && s[last].isSpace())
        --last;
    const bool plain = first == 0 && last == n - 1 && std::none_of(s.begin(), s.end(), [](QChar c) {
                           return c == kAttachmentCharacter || isLineBreakOrTab(c);
                       });
    if (plain)
        return s; // shared, not copied

    const PictureMarkers& markers = pictureMarkers();
    QString out;
    out.reserve(last - first + 1);
    for (qsizetype i = first; i <= last; ++i) {
        const QChar c = s[i];
        if (c == kAttachmentCharacter) {
            if (n > 1 && i == 0)
                out += markers.atStart;
            else if (n > 1 && i == n - 1)
                out += markers.atEnd;
            else
                out += markers.inside;
        } else {
            out += isLineBreakOrTab(c) ? QChar(u' ') : c;
        }
    }
    return out;
}

QByteArray tiffRepresentation(const QImage& image)
{
    if (image.isNull())
        return {};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    return writer.write(image) ? buffer.data() : QByteArray();
}

} // namespace

QString plainSnippetReplacementWithSimplifications(const plist::Dictionary& record, bool simplify)
{
    const QString plain = plainSnippetReplacement(record);
    return simplify ? preview(plain) : plain;
}

void clearZeroCharacters(plist::Dictionary& record)
{
    QString plain = plainSnippetReplacement(record);
    if (!plain.contains(kZeroCharacter))
        return;
    plain.remove(kZeroCharacter);
    setPlainSnippetReplacement(record, plain);
    if (const text::AttributedStringPtr formatted = formattedSnippetReplacement(record)) {
        setFormattedSnippetReplacement(record, attributedStringByDeletingOccurrencesOfString(
                                                   formatted, QString(kZeroCharacter)));
    }
}

archive::ObjectPtr unarchivedObjectForKey(const plist::Dictionary& dictionary, const QString& key)
{
    const plist::Value* v = dictionary.find(key);
    if (!v || !v->isData())
        return nullptr;
    const archive::DecodeResult decoded = archive::decodeTypedStream(*v->dataPtr());
    const archive::ArchivedValue* root = decoded.root();
    if (!root || root->kind != archive::ArchivedValue::Kind::Object)
        return nullptr;
    return root->object;
}

void archiveObject(plist::Dictionary& dictionary, const archive::ObjectPtr& object,
                   const QString& key)
{
    const QByteArray bytes = object ? archive::encodeRootObject(object) : QByteArray();
    if (!bytes.isEmpty())
        dictionary.set(key, bytes);
}

text::AttributedStringPtr formattedSnippetReplacement(const plist::Dictionary& record)
{
    const archive::ObjectPtr root = unarchivedObjectForKey(record, SnippetKey::FormattedText);
    auto decoded = root ? text::attributedStringFromArchive(*root) : std::nullopt;
    if (!decoded)
        return nullptr;
    return std::make_shared<const text::AttributedString>(std::move(*decoded));
}

void setFormattedSnippetReplacement(plist::Dictionary& record, const text::AttributedStringPtr& s)
{
    if (!s) {
        record.remove(SnippetKey::FormattedText);
        return;
    }
    archiveObject(record, text::archiveAttributedString(*s), SnippetKey::FormattedText);
}

const text::Attributes& defaultAttributes()
{
    static const text::Attributes singletonDefaultAttributes = [] {
        text::Attributes a;
        a.set(text::AttributeName::Font, text::systemFont(13));
        a.set(text::AttributeName::ForegroundColor, text::controlTextColor());
        return a;
    }();
    return singletonDefaultAttributes;
}

std::shared_ptr<text::AttributedString> attributedStringWithAttachedTIFFImage(const QImage& image)
{
    const QByteArray tiff = tiffRepresentation(image);
    if (tiff.isEmpty())
        return nullptr;
    auto attachment = std::make_shared<const text::Attachment>(
        text::Attachment{text::FileWrapper{QStringLiteral("Image.tiff"), tiff}});
    text::Attributes attributes;
    attributes.set(text::AttributeName::Attachment, attachment);
    auto s = std::make_shared<text::AttributedString>(QString(kAttachmentCharacter), attributes);
    s->addAttributes(defaultAttributes(), 0, s->length());
    return s;
}

QList<QImage> attachedImages(const text::AttributedString& s)
{
    QList<QImage> images;
    for (const text::AttributedString::Run& run : s.runs()) {
        const auto* attachment =
            run.attributes->get<text::AttachmentPtr>(text::AttributeName::Attachment);
        if (!attachment || !*attachment)
            continue;
        const QImage image = (*attachment)->image();
        if (!image.isNull())
            images.append(image);
    }
    return images;
}

text::AttributedStringPtr
attributedStringByDeletingOccurrencesOfString(const text::AttributedStringPtr& s,
                                              const QString& sub)
{
    if (!s || sub.isEmpty() || !s->string().contains(sub))
        return s;
    auto copy = std::make_shared<text::AttributedString>(*s);
    deleteOccurrencesOfString(*copy, sub);
    return copy;
}

void deleteOccurrencesOfString(text::AttributedString& s, const QString& sub)
{
    if (sub.isEmpty())
        return;
    qsizetype from = 0;
    qsizetype at;
    while ((at = s.string().indexOf(sub, from)) >= 0) {
        s.deleteCharacters(at, sub.size());
        // A new occurrence can only form across the cut; earlier text had none.
        from = std::max<qsizetype>(0, at - sub.size() + 1);
    }
}

void replaceOccurrencesOfString(QString& s, const QString& target, const QString& replacement)
{
    if (!target.isEmpty())
        s.replace(target, replacement, Qt::CaseSensitive);
}

} // namespace JVSXSharedExtensions
