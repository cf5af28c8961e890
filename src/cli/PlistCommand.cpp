#include "PlistCommand.h"

#include "Console.h"
#include "TreePrinter.h"
#include "plist/PropertyList.h"
#include "util/AtomicFile.h"

namespace snapwick::cli {

namespace {

const QString kSynopsis = QStringLiteral("plist convert --to xml|binary|openstep IN OUT\n"
                                         "       snapwick plist show FILE");

bool readPropertyList(const QString& path, plist::Value* value, QString* error)
{
    QByteArray bytes;
    if (!readWholeFile(path, &bytes, error))
        return false;
    plist::ReadResult result = plist::read(bytes);
    if (!result.ok()) {
        *error = QStringLiteral("%1: not a property list: %2 (at %3)")
                     .arg(path, result.error)
                     .arg(result.offset);
        return false;
    }
    *value = std::move(result.value);
    return true;
}

int convert(const QStringList& args)
{
    if (args.size() != 4 || args[0] != u"--to")
        return usage(kSynopsis);
    const auto format = plist::formatFromName(args[1]);
    if (!format)
        return fail(QStringLiteral("unknown format \"%1\" (xml, binary or openstep)").arg(args[1]));
    plist::Value value;
    QString error;
    if (!readPropertyList(args[2], &value, &error))
        return fail(error);
    const plist::WriteResult written = plist::write(value, *format);
    if (!written.ok())
        return fail(QStringLiteral("cannot write %1: %2").arg(args[3], written.error));
    if (args[3] == u"-") {
        printOutBytes(written.bytes);
        return 0;
    }
    if (!writeFileAtomically(args[3], written.bytes, &error))
        return fail(error);
    return 0;
}

int show(const QStringList& args)
{
    if (args.size() != 1)
        return usage(kSynopsis);
    plist::Value value;
    QString error;
    if (!readPropertyList(args[0], &value, &error))
        return fail(error);
    printOut(printTree(value));
    return 0;
}

} // namespace

int plistCommand(const QStringList& args)
{
    const QString verb = args.value(0);
    if (verb == u"convert")
        return convert(args.mid(1));
    if (verb == u"show")
        return show(args.mid(1));
    return usage(kSynopsis);
}

} // namespace snapwick::cli
