#include "daemon/DaemonSettings.h"

#include "../../QtPrinters.h"
#include "model/SnippetRecord.h"
#include "plist/XmlFormat.h"
#include "util/Log.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace snapwick;
using plist::Value;

namespace {

class DaemonSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_location = SettingsLocation::inSupportDirectory(m_dir.filePath(QStringLiteral("data")));
        m_previousSink = setLogSink([this](const QString& line) { m_log << line; });
    }
    void TearDown() override { setLogSink(m_previousSink); }

    static Value records(std::initializer_list<const char16_t*> abbreviations)
    {
        Value list = Value::newArray();
        for (const char16_t* a : abbreviations) {
            Value r = Value::newDictionary();
            JVSXSharedExtensions::setSnippetAbbreviation(*r.dictionary(), QString::fromUtf16(a));
            JVSXSharedExtensions::setPlainSnippetReplacement(*r.dictionary(),
                                                             QStringLiteral("text"));
            list.array()->append(r);
        }
        return list;
    }

    void writeSettings(const plist::DictionaryPtr& d)
    {
        ASSERT_TRUE(writeSettingsDocument(d, m_location));
    }

    QString sharedFile(std::initializer_list<const char16_t*> abbreviations)
    {
        const QString path = m_dir.filePath(QStringLiteral("shared.plist"));
        auto d = std::make_shared<plist::Dictionary>();
        d->set(QStringLiteral("Snippets"), records(abbreviations));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(plist::writeXml(Value(d)).bytes);
        return path;
    }

    DaemonSettings daemon()
    {
        return DaemonSettings({m_location, [this] { ++m_remoteChanges; }});
    }

    QStringList abbreviations(const DaemonSettings& s) const
    {
        QStringList out;
        for (const Value& r : *s.snippets())
            out << JVSXSharedExtensions::snippetAbbreviation(*r.dictionary());
        return out;
    }

    QTemporaryDir m_dir;
    SettingsLocation m_location;
    QStringList m_log;
    LogSink m_previousSink;
    int m_remoteChanges = 0;
};

TEST_F(DaemonSettingsTest, AMissingFileRunsWithNothing)
{
    DaemonSettings s = daemon();
    EXPECT_FALSE(s.reloadSettings(true));
    EXPECT_TRUE(s.snippets()->isEmpty());
    EXPECT_EQ(s.expansionMode(), 0);
    EXPECT_TRUE(s.canSelectWords());
    EXPECT_FALSE(s.restorePasteboard());
    EXPECT_EQ(m_log, QStringList{QStringLiteral("tick")});
}

TEST_F(DaemonSettingsTest, ACorruptFileRunsWithNothingAndSaysSo)
{
    QDir().mkpath(m_location.productDirectory);
    QFile f(m_location.filePath);
    f.open(QIODevice::WriteOnly);
    f.write("<plist><dict><key>Snippets</key>");
    f.close();
    DaemonSettings s = daemon();
    EXPECT_FALSE(s.reloadSettings(true));
    EXPECT_TRUE(s.snippets()->isEmpty());
    ASSERT_EQ(m_log.size(), 2);
    EXPECT_TRUE(m_log.front().startsWith(QStringLiteral("settings could not be read")));
}

TEST_F(DaemonSettingsTest, LoadsTheFieldsAndPreparesTheSnippets)
{
    auto d = std::make_shared<plist::Dictionary>();
    d->setInteger(0, QStringLiteral("Expander Mode"));
    d->setBool(true, QStringLiteral("Always Select By Character"));
    d->setBool(true, QStringLiteral("Restore Pasteboard"));
    d->set(QStringLiteral("Expander Exceptions"), QStringLiteral(" Mail ,, TextEdit "));
    d->set(QStringLiteral("Snippets"), records({u"ab", u"abc", u"sig"}));
    writeSettings(d);
    DaemonSettings s = daemon();
    ASSERT_TRUE(s.reloadSettings(true));
    EXPECT_FALSE(s.canSelectWords());
    EXPECT_TRUE(s.restorePasteboard());
    EXPECT_EQ(s.exceptions(), (QStringList{QStringLiteral("mail"), QStringLiteral("textedit")}));
    const plist::Array& list = *s.snippets();
    EXPECT_FALSE(JVSXSharedExtensions::hasValidSnippetAbbreviation(
        *list.at(0).dictionary())); // prefixes, mode 0
    EXPECT_TRUE(JVSXSharedExtensions::hasValidSnippetAbbreviation(*list.at(2).dictionary()));
    EXPECT_EQ(DaemonSettings::parseExceptions(QStringLiteral(",")), QStringList());
    EXPECT_EQ(DaemonSettings::parseExceptions(QStringLiteral(" ")), QStringList());
}

TEST_F(DaemonSettingsTest, ClientModePicksUpASharedFileThatAppearsLater)
{
    auto d = std::make_shared<plist::Dictionary>();
    d->setBool(true, QStringLiteral("Client Mode"));
    d->set(QStringLiteral("Snippets Path"), m_dir.filePath(QStringLiteral("shared.plist")));
    d->set(QStringLiteral("Snippets"), records({u"own"}));
    writeSettings(d);
    DaemonSettings s = daemon();
    s.reloadSettings(true);
    s.reloadSettings(true);
    EXPECT_TRUE(s.isClientSnippetsMissing());
    EXPECT_EQ(m_log.count(QStringLiteral(
                  "could not update remote snippets -- will try again with 30 seconds intervals")),
              1);

    sharedFile({u"r1", u"r2"});
    s.reloadSettings(true);
    EXPECT_FALSE(s.isClientSnippetsMissing());
    EXPECT_EQ(abbreviations(s),
              (QStringList{QStringLiteral("own"), QStringLiteral("r1"), QStringLiteral("r2")}));
    EXPECT_EQ(s.clientSeparatorIndex(), 1);
    EXPECT_EQ(m_remoteChanges, 1);
    EXPECT_TRUE(m_log.contains(QStringLiteral("updated remote snippets")));
    // The file now caches them, as read, without the merge or the marks.
    const auto file =
        JVSXSharedExtensions::deeplyMutableDictionaryWithContentsOfFile(m_location.filePath);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->arrayForKey(QStringLiteral("Remote Snippets"))->size(), 2);
    EXPECT_EQ(file->arrayForKey(QStringLiteral("Snippets"))->size(), 1);
    EXPECT_FALSE(file->arrayForKey(QStringLiteral("Snippets"))
                     ->at(0)
                     .dictionary()
                     ->contains(QStringLiteral("Valid")));

    s.reloadSettings(true); // the same count: written again, not announced
    EXPECT_EQ(m_remoteChanges, 1);

    QFile::remove(m_dir.filePath(QStringLiteral("shared.plist")));
    s.reloadSettings(true); // gone again: the cache still serves
    EXPECT_EQ(abbreviations(s).size(), 3);
    EXPECT_EQ(m_log.count(QStringLiteral(
                  "could not update remote snippets -- will try again with 30 seconds intervals")),
              2);
}

TEST_F(DaemonSettingsTest, RemoteSnippetsOutsideClientModeAreNotUsed)
{
    auto d = std::make_shared<plist::Dictionary>();
    d->setBool(true, QStringLiteral("Client Mode")); // no "Snippets Path"
    d->set(QStringLiteral("Snippets"), records({u"own"}));
    d->set(QStringLiteral("Remote Snippets"), records({u"cached"}));
    writeSettings(d);
    DaemonSettings s = daemon();
    s.reloadSettings(true);
    EXPECT_EQ(abbreviations(s), QStringList{QStringLiteral("own")});
    EXPECT_EQ(s.clientSeparatorIndex(), -1);
    EXPECT_FALSE(s.settings()->contains(QStringLiteral("Remote Snippets")));
}

} // namespace
