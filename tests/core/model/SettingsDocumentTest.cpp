#include "model/SettingsDocument.h"

#include "model/SnippetRecord.h"
#include "plist/Array.h"
#include "plist/PropertyList.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace JVSXSharedExtensions;
using plist::Value;

namespace {

class SettingsDocumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_location =
            snapwick::SettingsLocation::inSupportDirectory(m_dir.path() + QStringLiteral("/data"));
    }

    static plist::DictionaryPtr document()
    {
        auto doc = std::make_shared<plist::Dictionary>();
        Value snippets = Value::newArray();
        Value record = Value::newDictionary();
        setSnippetAbbreviation(*record.dictionary(), QStringLiteral("addr"));
        setPlainSnippetReplacement(*record.dictionary(), QStringLiteral("1 Main St\r\nTown"));
        setSnippetAbbreviationMode(*record.dictionary(), 1);
        record.dictionary()->set(SnippetKey::FormattedText, QByteArray("\x04\x0bstreamtyped", 13));
        snippets.array()->append(record);
        doc->set(QStringLiteral("Snippets"), snippets);
        doc->setBool(true, QStringLiteral("Restore Pasteboard"));
        doc->setInteger(2, QStringLiteral("Expander Mode"));
        doc->set(QStringLiteral("Expander Exceptions"), QStringLiteral("Terminal, xterm"));
        return doc;
    }

    QByteArray fileBytes() const
    {
        QFile f(m_location.filePath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    snapwick::SettingsLocation m_location;
};

TEST_F(SettingsDocumentTest, WrittenDocumentReadsBackEqual)
{
    const plist::DictionaryPtr doc = document();
    QString error;
    ASSERT_TRUE(snapwick::writeSettingsDocument(doc, m_location, &error)) << error.toStdString();
    EXPECT_TRUE(fileBytes().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    const plist::DictionaryPtr back =
        deeplyMutableDictionaryWithContentsOfFile(m_location.filePath);
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == *doc);
    EXPECT_EQ(back->keys(), doc->keys());
    EXPECT_EQ(QDir(m_location.productDirectory).entryList(QDir::Files),
              QStringList{QStringLiteral("Settings.snapwick")}); // no temporary file left over
}

TEST_F(SettingsDocumentTest, ControlCharactersFallBackToTheBinaryFormatLosingNothing)
{
    const plist::DictionaryPtr doc = document();
    doc->arrayForKey(QStringLiteral("Snippets"))
        ->at(0)
        .dictionary()
        ->set(SnippetKey::PlainText, QStringLiteral("escape \x1b[1m bold"));
    QStringList logged;
    const auto previous = snapwick::setLogSink([&](const QString& l) { logged << l; });
    ASSERT_TRUE(snapwick::writeSettingsDocument(doc, m_location));
    snapwick::setLogSink(previous);
    EXPECT_TRUE(fileBytes().startsWith("bplist00"));
    EXPECT_EQ(logged.size(), 1);
    const plist::DictionaryPtr back =
        deeplyMutableDictionaryWithContentsOfFile(m_location.filePath);
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == *doc);
}

TEST_F(SettingsDocumentTest, APlainFileInPlaceOfTheDirectoryStopsTheWriteUntouched)
{
    ASSERT_TRUE(QDir().mkpath(m_location.supportDirectory));
    QFile blocker(m_location.productDirectory);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("keep me");
    blocker.close();
    EXPECT_FALSE(JVSXCheckDirectory(m_location.productDirectory));
    EXPECT_FALSE(snapwick::writeSettingsDocument(document(), m_location));
    ASSERT_TRUE(blocker.open(QIODevice::ReadOnly));
    EXPECT_EQ(blocker.readAll(), QByteArray("keep me"));
}

TEST_F(SettingsDocumentTest, CheckDirectoryCreatesOneLevelOnly)
{
    const QString parent = m_dir.path() + QStringLiteral("/a");
    EXPECT_FALSE(JVSXCheckDirectory(parent + QStringLiteral("/b")));
    EXPECT_TRUE(JVSXCheckDirectory(parent));
    EXPECT_TRUE(JVSXCheckDirectory(parent)); // exists now
    EXPECT_TRUE(JVSXCheckDirectory(parent + QStringLiteral("/b")));
}

TEST_F(SettingsDocumentTest, AFailedWriteLeavesTheOldFile)
{
    ASSERT_TRUE(snapwick::writeSettingsDocument(document(), m_location));
    const QByteArray before = fileBytes();
    auto larger = document();
    larger->set(QStringLiteral("Padding"), QString(64 * 1024, u'x'));

    // A file-size limit makes the write itself fail, even for root.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 16 * 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool written = snapwick::writeSettingsDocument(larger, m_location, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(QDir(m_location.productDirectory).entryList(QDir::Files),
              QStringList{QStringLiteral("Settings.snapwick")});
}

TEST_F(SettingsDocumentTest, UnreadableFilesGiveNone)
{
    const QString path = m_dir.path() + QStringLiteral("/doc");
    auto writeFile = [&](const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    QString why;
    EXPECT_FALSE(
        deeplyMutableDictionaryWithContentsOfFile(path + QStringLiteral("-missing"), &why));
    EXPECT_FALSE(why.isEmpty());
    writeFile("<plist><array/></plist>");
    EXPECT_FALSE(deeplyMutableDictionaryWithContentsOfFile(path, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("array")));
    writeFile("<plist><dict><key>a</key>");
    EXPECT_FALSE(deeplyMutableDictionaryWithContentsOfFile(path));
    writeFile("{ Snippets = (); }");
    EXPECT_TRUE(deeplyMutableDictionaryWithContentsOfFile(path));
}

TEST_F(SettingsDocumentTest, DeepCopySharesNothingAndRefusesCycles)
{
    const plist::DictionaryPtr doc = document();
    const plist::DictionaryPtr copy = deeplyMutableAutoreleasedCopy(doc);
    ASSERT_TRUE(copy);
    EXPECT_TRUE(*copy == *doc);
    copy->arrayForKey(QStringLiteral("Snippets"))->at(0).dictionary()->set(SnippetKey::Mode, 0);
    EXPECT_EQ(doc->arrayForKey(QStringLiteral("Snippets"))
                  ->at(0)
                  .dictionary()
                  ->integerForKey(SnippetKey::Mode),
              1);

    const Value holder = Value::newArray();
    holder.array()->append(holder);
    doc->set(QStringLiteral("cycle"), holder);
    EXPECT_FALSE(deeplyMutableAutoreleasedCopy(doc));
    holder.array()->clear();
}

} // namespace
