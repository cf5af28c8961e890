#include "MacRoman.h"
#include "ResourceFork.h"
#include "ResourceForkLocator.h"
#include "SnippetImport.h"
#include "engine/CalendarFormat.h"
#include "model/FormattedText.h"
#include "model/SnippetRecord.h"
#include "util/Localization.h"
#include "util/Log.h"

namespace snapwick {

namespace {

// The user's date and time formats in calendar codes, from the locale.
const CalendarLocale& userCalendar()
{
    static const CalendarLocale singletonUserCalendar =
        CalendarLocale::fromQLocale(QLocale::system());
    return singletonUserCalendar;
}

} // namespace

QString convertTypeIt4MeText(QString text)
{
    using JVSXSharedExtensions::replaceOccurrencesOfString;
    const CalendarLocale& calendar = userCalendar();
    const std::pair<const char16_t*, QString> tokens[] = {
        {u"[[0]]", calendar.shortDateFormat},
        {u"[[1]]", calendar.longDateFormat},
        {u"[[2]]", JVSXLocalizedString("%a, %b %1d, %Y")},
        {u"[[3]]", JVSXLocalizedString("%1I:%M %p")},
        {u"[[4]]", calendar.timeFormat},
        {u"[[5]]", QStringLiteral("%Y%m%d")},
        {u"[[6]]", QStringLiteral("%Y-%m-%d")},
        {u"[[7]]", QStringLiteral("%B %1d, %Y")},
        {u"[[8]]", QStringLiteral("%b %1d, %Y")},
        {u"[[9]]", QStringLiteral("%y%m%d")},
        {u"[[:]]", QStringLiteral("%y-%m-%d")},
    };
    for (const auto& [token, code] : tokens)
        replaceOccurrencesOfString(text, QString::fromUtf16(token), code);
    return text;
}

} // namespace snapwick

namespace JVSXSharedExtensions {

bool appendSnippetsFromTypeIt4MeFile(plist::Array& snippets, const QString& path, qsizetype* index,
                                     std::int64_t defaultAbbreviationMode)
{
    const auto forkBytes = snapwick::locateResourceFork(path);
    const auto fork = forkBytes ? snapwick::ResourceFork::parse(*forkBytes) : std::nullopt;
    if (!fork)
        return false; // not a file with a resource fork: silently
    const qsizetype count = fork->count("STMP");
    if (count == 0)
        return false;
    std::vector<plist::Value> records;
    records.reserve(std::size_t(count));
    int errors = 0;
    for (qsizetype i = 1; i <= count; ++i) {
        const auto resource = fork->resource("STMP", i);
        if (!resource || !resource->data) {
            ++errors;
            continue;
        }
        QString text = snapwick::decodeMacRoman(*resource->data);
        if (!text.isEmpty()) {
            if (text.endsWith(QChar(0)))
                text.chop(1);
            text = snapwick::convertTypeIt4MeText(text);
        }
        plist::Value record = plist::Value::newDictionary();
        plist::Dictionary& r = *record.dictionary();
        setPlainSnippetReplacement(r, text);
        if (resource->name)
            setSnippetAbbreviation(r, snapwick::decodeMacRoman(*resource->name).trimmed());
        setSnippetAbbreviationMode(r, defaultAbbreviationMode);
        records.push_back(std::move(record));
    }
    qsizetype ownIndex = 0;
    qsizetype& at = index ? *index : ownIndex;
    const qsizetype inserted = qsizetype(records.size());
    snippets.insert(std::clamp<qsizetype>(at, 0, snippets.size()), std::move(records));
    at += inserted;
    if (errors == 0)
        return true;
    snapwick::logLine(
        QStringLiteral("[Snapwick] %1 error(s) while importing T4ME data").arg(errors));
    return false;
}

} // namespace JVSXSharedExtensions
