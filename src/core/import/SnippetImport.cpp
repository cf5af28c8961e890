#include "SnippetImport.h"

#include "archive/TypedStream.h"
#include "engine/CalendarFormat.h"
#include "model/FormattedText.h"
#include "model/SettingsDocument.h"
#include "model/SnippetRecord.h"
#include "text/TextArchive.h"
#include "util/BundleResources.h"
#include "util/Log.h"

namespace JVSXSharedExtensions {

namespace {

const QString kSnippets = QStringLiteral("Snippets");
const QString kAbbreviations = QStringLiteral("Abbreviations");

// Records gathered first and inserted in one move: inserting n records one by one at the
// front of a long list would move its tail n times.
class MovingInsertion
{
public:
    MovingInsertion(plist::Array& snippets, qsizetype* index) : m_snippets(snippets), m_index(index)
    {}
    ~MovingInsertion() { commit(); }

    void add(plist::Value record) { m_batch.push_back(std::move(record)); }

    void commit()
    {
        if (m_batch.empty())
            return;
        const qsizetype n = qsizetype(m_batch.size());
        qsizetype& at = m_index ? *m_index : m_ownIndex;
        m_snippets.insert(std::clamp<qsizetype>(at, 0, m_snippets.size()), std::move(m_batch));
        m_batch.clear();
        at += n;
    }

private:
    plist::Array& m_snippets;
    qsizetype* m_index;
    qsizetype m_ownIndex = 0;
    std::vector<plist::Value> m_batch;
};

std::int64_t modeForCase(const plist::Value* caseValue, std::int64_t defaultMode)
{
    if (caseValue && caseValue->isString()) {
        const QString& c = *caseValue->stringPtr();
        if (c == u"match")
            return AbbreviationModeMatch;
        if (c == u"ignore")
            return AbbreviationModeIgnore;
        if (c == u"apply")
            return AbbreviationModeApply;
    }
    return defaultMode;
}

// The picture of a Typinator entry as a formatted text; null when it yields no image.
text::AttributedStringPtr pictureText(const QByteArray& archived)
{
    const archive::DecodeResult decoded = archive::decodeTypedStream(archived);
    const archive::ArchivedValue* root = decoded.root();
    if (!root || !root->object)
        return nullptr;
    const auto image = text::imageFromArchive(*root->object);
    if (!image)
        return nullptr;
    const QImage picture =
        image->hasRepresentation
            ? QImage::fromData(image->data)
            : JVSXExtensions::bundleImageNamed(QStringLiteral("JVSXLogo"), QStringLiteral("tiff"));
    if (picture.isNull())
        return nullptr;
    return attributedStringWithAttachedTIFFImage(picture);
}

bool importTypinatorSet(const plist::Array& entries, MovingInsertion& insertion,
                        std::int64_t defaultMode)
{
    int errors = 0;
    for (const plist::Value& value : entries) {
        const plist::Dictionary* entry = value.dictionary();
        if (!entry) {
            ++errors;
            continue;
        }
        text::AttributedStringPtr formatted;
        std::optional<QString> plain;
        if (const plist::Value* picture = entry->find(QStringLiteral("Picture"))) {
            formatted = picture->isData() ? pictureText(*picture->dataPtr()) : nullptr;
            if (formatted)
                plain = formatted->string();
        } else if (const plist::Value* expansion = entry->find(QStringLiteral("Expansion"));
                   expansion && expansion->isString()) {
            plain = snapwick::convertTypinatorExpansion(*expansion->stringPtr());
        }
        if (!plain) {
            ++errors;
            continue;
        }
        plist::Value record = plist::Value::newDictionary();
        plist::Dictionary& r = *record.dictionary();
        setPlainSnippetReplacement(r, plain);
        setFormattedSnippetReplacement(r, formatted);
        const plist::Value* abbreviation = entry->find(QStringLiteral("Abbreviation"));
        setSnippetAbbreviation(r, abbreviation && abbreviation->isString()
                                      ? std::optional(abbreviation->stringPtr()->trimmed())
                                      : std::nullopt);
        setSnippetAbbreviationMode(r,
                                   modeForCase(entry->find(QStringLiteral("Case")), defaultMode));
        insertion.add(std::move(record));
    }
    if (errors == 0)
        return true;
    snapwick::logLine(
        QStringLiteral("[Snapwick] %1 error(s) while importing Typinator data").arg(errors));
    return false;
}

void importCorrections(const plist::Dictionary& custom, MovingInsertion& insertion,
                       std::int64_t defaultMode)
{
    for (const plist::Dictionary::Entry& e : custom) {
        if (!e.value.isString())
            continue; // a correction is text; anything else is not one
        plist::Value record = plist::Value::newDictionary();
        plist::Dictionary& r = *record.dictionary();
        setPlainSnippetReplacement(r, e.value.string());
        setSnippetAbbreviation(r, e.key.trimmed());
        setSnippetAbbreviationMode(r, defaultMode);
        insertion.add(std::move(record));
    }
}

bool notADictionary(const QString& path)
{
    snapwick::logLine(
        QStringLiteral("[Snapwick] <%1> is not a valid settings dictionary").arg(path));
    return false;
}

} // namespace

bool appendSnippetsFromFile(plist::Array& snippets, const QString& path, qsizetype* index,
                            std::int64_t defaultAbbreviationMode)
{
    if (path.endsWith(u".snapwick") || path.endsWith(u".plist") || path.endsWith(u".nlang"))
        return appendSnippetsFromDictionaryFile(snippets, path, index, defaultAbbreviationMode);
    return appendSnippetsFromTypeIt4MeFile(snippets, path, index, defaultAbbreviationMode);
}

bool appendSnippetsFromDictionaryFile(plist::Array& snippets, const QString& path, qsizetype* index,
                                      std::int64_t defaultAbbreviationMode)
{
    const plist::DictionaryPtr root = deeplyMutableDictionaryWithContentsOfFile(path);
    if (!root)
        return notADictionary(path);
    MovingInsertion insertion(snippets, index);
    if (const plist::Value* own = root->find(kSnippets)) {
        if (const plist::Array* records = own->array()) {
            for (const plist::Value& r : *records)
                insertion.add(r); // as read: every key kept, nothing checked
        }
        return true;
    }
    if (const plist::Value* set = root->find(kAbbreviations))
        return importTypinatorSet(set->array() ? *set->array() : plist::Array(), insertion,
                                  defaultAbbreviationMode);
    const plist::Dictionary* modifications =
        root->dictionaryForKey(QStringLiteral("modifications"));
    const plist::Dictionary* typos =
        modifications ? modifications->dictionaryForKey(QStringLiteral("typos")) : nullptr;
    const plist::Dictionary* custom =
        typos ? typos->dictionaryForKey(QStringLiteral("custom")) : nullptr;
    if (custom) {
        importCorrections(*custom, insertion, defaultAbbreviationMode);
        return true;
    }
    return notADictionary(path);
}

} // namespace JVSXSharedExtensions

namespace snapwick {

QString convertTypinatorExpansion(QString expansion)
{
    using JVSXSharedExtensions::replaceOccurrencesOfString;
    replaceOccurrencesOfString(expansion, kTypinatorHomePage + u'/', kSnapwickHomePage);
    replaceOccurrencesOfString(expansion, kTypinatorHomePage, kSnapwickHomePage);
    static const std::pair<const char16_t*, const char16_t*> kCodes[] = {
        {u"{YYYY}", u"%Y"}, {u"{YY}", u"%y"},  {u"{NN}", u"%B"}, {u"{N}", u"%b"},  {u"{MM}", u"%m"},
        {u"{M}", u"%1m"},   {u"{WW}", u"%A"},  {u"{W}", u"%a"},  {u"{DD}", u"%d"}, {u"{D}", u"%1d"},
        {u"{h24}", u"%H"},  {u"{h12}", u"%I"}, {u"{m}", u"%M"},  {u"{s}", u"%S"},  {u"{a}", u"%p"}};
    for (const auto& [from, to] : kCodes)
        replaceOccurrencesOfString(expansion, QString::fromUtf16(from), QString::fromUtf16(to));
    return expansion;
}

} // namespace snapwick
