#include "EngineCommands.h"

#include "Console.h"
#include "engine/AbbreviationRules.h"
#include "engine/Placeholders.h"
#include "model/SettingsDocument.h"
#include "xdg/XdgPaths.h"

namespace snapwick::cli {

namespace {

class FixedClipboard : public ClipboardText
{
public:
    explicit FixedClipboard(std::optional<QString> text) : m_text(std::move(text)) {}
    std::optional<QString> plainText() override { return m_text; }

private:
    std::optional<QString> m_text;
};

// The list the preferences judge: own snippets, then the remote ones in client mode.
plist::Array judgedSnippets(const plist::Dictionary& document)
{
    plist::Array all;
    if (const plist::Array* own = document.arrayForKey(QStringLiteral("Snippets")))
        all = *own;
    const plist::Array* remote = document.arrayForKey(QStringLiteral("Remote Snippets"));
    if (remote && document.boolForKey(QStringLiteral("Client Mode"))) {
        for (const plist::Value& r : *remote)
            all.append(r);
    }
    return all;
}

} // namespace

int checkCommand(const QStringList& args)
{
    if (args.size() > 1)
        return usage(QStringLiteral("check [SETTINGS]"));
    const QString path = args.value(0, xdg::settingsLocation().filePath);
    QString why;
    const plist::DictionaryPtr document =
        JVSXSharedExtensions::deeplyMutableDictionaryWithContentsOfFile(path, &why);
    if (!document)
        return fail(QStringLiteral("%1: not a settings document: %2").arg(path, why));
    const plist::Array snippets = judgedSnippets(*document);
    const auto errors = JVSXExtensions::snippetAbbreviationErrors(
        snippets, document->integerForKey(QStringLiteral("Expander Mode")));
    QString out;
    for (std::size_t i = 0; i < errors.size(); ++i) {
        if (errors[i])
            out += QStringLiteral("%1\t%2\n")
                       .arg(i)
                       .arg(errors[i]->isEmpty() ? QStringLiteral("(empty abbreviation)")
                                                 : *errors[i]);
    }
    printOut(out);
    return 0;
}

int expandCommand(const QStringList& args)
{
    const QString synopsis = QStringLiteral(
        "expand TEXT [--date ISO8601] [--locale NAME] [--case 0-3] [--clipboard TEXT]");
    if (args.isEmpty() || args.size() % 2 == 0)
        return usage(synopsis);
    QDateTime date = QDateTime::currentDateTime();
    QLocale locale = QLocale::system();
    int caseMode = 0;
    std::optional<QString> clipboard;
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        const QString& option = args[i];
        const QString& value = args[i + 1];
        if (option == u"--date") {
            date = QDateTime::fromString(value, Qt::ISODate);
            if (!date.isValid())
                return fail(QStringLiteral("not an ISO 8601 date: %1").arg(value));
        } else if (option == u"--locale") {
            locale = QLocale(value);
        } else if (option == u"--case") {
            bool ok = false;
            caseMode = value.toInt(&ok);
            if (!ok || caseMode < 0 || caseMode > 3)
                return fail(QStringLiteral("--case takes 0, 1, 2 or 3"));
        } else if (option == u"--clipboard") {
            clipboard = value;
        } else {
            return usage(synopsis);
        }
    }
    FixedClipboard source(clipboard);
    QString text = args[0];
    JVSXExtensions::replaceDateFormattersWithDate(text, date, CalendarLocale::fromQLocale(locale),
                                                  caseMode, &source);
    const qsizetype cursor = text.indexOf(u"%|");
    if (cursor >= 0)
        text.remove(cursor, 2);
    printOut(text + u'\n' + QString::number(cursor) + u'\n');
    return 0;
}

} // namespace snapwick::cli
