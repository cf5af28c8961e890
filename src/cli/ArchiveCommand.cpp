#include "ArchiveCommand.h"

#include "ArchiveJson.h"
#include "Console.h"
#include "archive/TypedStream.h"
#include "model/FormattedText.h"
#include "text/TextArchive.h"
#include "util/AtomicFile.h"

#include <QJsonDocument>

namespace snapwick::cli {

namespace {

const QString kSynopsis = QStringLiteral("archive decode FILE\n"
                                         "       snapwick archive encode-text TEXT OUT");

int decode(const QStringList& args)
{
    if (args.size() != 1)
        return usage(kSynopsis);
    QByteArray bytes;
    QString error;
    if (!readWholeFile(args[0], &bytes, &error))
        return fail(error);
    const archive::DecodeResult decoded = archive::decodeTypedStream(bytes);
    if (!decoded.ok())
        return fail(QStringLiteral("%1: not a typed-stream archive: %2 (at byte %3)")
                        .arg(args[0], decoded.error)
                        .arg(decoded.offset));
    printOutBytes(QJsonDocument(archiveToJson(decoded.groups)).toJson(QJsonDocument::Compact) +
                  '\n');
    return 0;
}

// A formatted text in the default attributes, archived as a snippet's "Formatted Text".
int encodeText(const QStringList& args)
{
    if (args.size() != 2)
        return usage(kSynopsis);
    const text::AttributedString s(args[0], JVSXSharedExtensions::defaultAttributes());
    const QByteArray bytes = archive::encodeRootObject(text::archiveAttributedString(s));
    QString error;
    if (args[1] == u"-")
        printOutBytes(bytes);
    else if (!writeFileAtomically(args[1], bytes, &error))
        return fail(error);
    return 0;
}

} // namespace

int archiveCommand(const QStringList& args)
{
    const QString verb = args.value(0);
    if (verb == u"decode")
        return decode(args.mid(1));
    if (verb == u"encode-text")
        return encodeText(args.mid(1));
    return usage(kSynopsis);
}

} // namespace snapwick::cli
