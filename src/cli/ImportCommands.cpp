#include "ImportCommands.h"

#include "Console.h"
#include "import/SnippetImport.h"
#include "model/FormattedText.h"
#include "model/SettingsDocument.h"
#include "model/SnippetRecord.h"
#include "plist/XmlFormat.h"
#include "util/AtomicFile.h"
#include "xdg/XdgPaths.h"

#include <QDir>
#include <QFileInfo>

namespace snapwick::cli {

namespace {

const QString kSnippets = QStringLiteral("Snippets");
const QString kImportSynopsis =
    QStringLiteral("import FILE... [--into SETTINGS] [--at INDEX] [--mode 0|1|2]");

struct ImportOptions
{
    QStringList files;
    QString into;
    std::optional<qsizetype> at;
    std::int64_t mode = 0;
};

std::optional<ImportOptions> parseImportOptions(const QStringList& args)
{
    ImportOptions o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == u"--into" && hasValue)
            o.into = args[++i];
        else if (a == u"--at" && hasValue)
            o.at = args[++i].toLongLong(&ok);
        else if (a == u"--mode" && hasValue)
            o.mode = args[++i].toLongLong(&ok);
        else if (a.startsWith(u"--"))
            return std::nullopt;
        else
            o.files << a;
        if (!ok || o.mode < 0 || o.mode > 2 || (o.at && *o.at < 0))
            return std::nullopt;
    }
    if (o.files.isEmpty())
        return std::nullopt;
    return o;
}

QString describe(const plist::Dictionary& record)
{
    using namespace JVSXSharedExtensions;
    return QStringLiteral("%1\t%2\t%3\t%4\n")
        .arg(snippetAbbreviation(record))
        .arg(snippetAbbreviationMode(record))
        .arg(isFormattedSnippet(record) ? QStringLiteral("formatted") : QStringLiteral("plain"),
             plainSnippetReplacementWithSimplifications(record, true));
}

// The document to import into: the file as it is, or a new one where there is none yet.
// A file that exists but cannot be read is never replaced.
plist::DictionaryPtr documentToImportInto(const QString& path, QString* error)
{
    if (!QFileInfo::exists(path))
        return std::make_shared<plist::Dictionary>();
    return JVSXSharedExtensions::deeplyMutableDictionaryWithContentsOfFile(path, error);
}

} // namespace

int importCommand(const QStringList& args, SettingsChangeNotifier& notifier)
{
    const auto options = parseImportOptions(args);
    if (!options)
        return usage(kImportSynopsis);
    plist::DictionaryPtr document;
    QString error;
    if (!options->into.isEmpty()) {
        document = documentToImportInto(options->into, &error);
        if (!document)
            return fail(QStringLiteral("%1: not a settings document, left as it is: %2")
                            .arg(options->into, error));
        if (!document->arrayForKey(kSnippets))
            document->set(kSnippets, plist::Value::newArray());
    }
    plist::Array imported;
    plist::Array& target = document ? *document->arrayForKey(kSnippets) : imported;
    qsizetype index = std::min(options->at.value_or(target.size()), target.size());
    const qsizetype before = target.size();
    QStringList failed;
    for (const QString& file : options->files) {
        if (!JVSXSharedExtensions::appendSnippetsFromFile(target, file, &index, options->mode))
            failed << file;
    }
    if (!failed.isEmpty())
        return fail(QStringLiteral("could not import %1%2")
                        .arg(failed.join(u", "),
                             document ? QStringLiteral("; the settings file is left as it was")
                                      : QString()));
    if (!document) {
        QString out;
        for (const plist::Value& r : imported)
            out += describe(*r.dictionary());
        printOut(out);
        return 0;
    }
    // Written as the preferences write: directory checks, then an atomic replace.
    const QFileInfo file(options->into);
    const QString directory = file.absoluteDir().absolutePath();
    const SettingsLocation location{directory, directory, file.absoluteFilePath()};
    if (!writeSettingsDocument(document, location, &error))
        return fail(error);
    notifier.settingsFileChanged();
    printOut(QStringLiteral("%1 snippet(s) imported into %2\n")
                 .arg(target.size() - before)
                 .arg(options->into));
    return 0;
}

int exportCommand(const QStringList& args)
{
    if (args.isEmpty() || args.size() > 2)
        return usage(QStringLiteral("export [SETTINGS] OUT"));
    const QString settings = args.size() == 2 ? args[0] : xdg::settingsLocation().filePath;
    QString error;
    const plist::DictionaryPtr document =
        JVSXSharedExtensions::deeplyMutableDictionaryWithContentsOfFile(settings, &error);
    if (!document)
        return fail(QStringLiteral("%1: not a settings document: %2").arg(settings, error));
    auto exported = std::make_shared<plist::Dictionary>();
    exported->set(kSnippets, document->arrayForKey(kSnippets) ? document->value(kSnippets)
                                                              : plist::Value::newArray());
    const plist::WriteResult bytes = plist::writeXml(plist::Value(exported));
    if (!bytes.ok())
        return fail(bytes.error);
    if (!writeFileAtomically(args.last(), bytes.bytes, &error))
        return fail(error);
    return 0;
}

} // namespace snapwick::cli
