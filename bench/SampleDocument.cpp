#include "SampleDocument.h"

#include "model/SnippetRecord.h"
#include "plist/Array.h"

namespace bench {

plist::DictionaryPtr sampleSettingsDocument(int count)
{
    using namespace JVSXSharedExtensions;
    auto doc = std::make_shared<plist::Dictionary>();
    doc->setInteger(1, QStringLiteral("Expander Mode"));
    doc->setBool(true, QStringLiteral("Restore Pasteboard"));
    doc->set(QStringLiteral("Expander Exceptions"), QStringLiteral("Terminal, Emacs"));
    plist::Value snippets = plist::Value::newArray();
    for (int i = 0; i < count; ++i) {
        plist::Value record = plist::Value::newDictionary();
        plist::Dictionary& r = *record.dictionary();
        setSnippetAbbreviation(r, QStringLiteral("abbr%1").arg(i));
        setSnippetAbbreviationMode(r, i % 3);
        setPlainSnippetReplacement(
            r, QStringLiteral("Replacement text number %1 with a date %d.%m.%Y & <markup>, Grüße\n"
                              "and a second line.")
                   .arg(i));
        if (i % 10 == 0)
            r.set(SnippetKey::FormattedText, QByteArray(600, char(i % 251)));
        snippets.array()->append(record);
    }
    doc->set(QStringLiteral("Snippets"), snippets);
    return doc;
}

} // namespace bench
