#include "import/SnippetImport.h"

#include "../plist/TestSupport.h"
#include "ResourceForkWriter.h"
#include "archive/Foundation.h"
#include "archive/TypedStream.h"
#include "model/FormattedText.h"
#include "model/SnippetRecord.h"
#include "plist/XmlFormat.h"
#include "text/TextArchive.h"
#include "util/Log.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>

using namespace JVSXSharedExtensions;
using plist::Value;

namespace {

class ImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previousSink = snapwick::setLogSink([this](const QString& line) { m_log << line; });
    }
    void TearDown() override { snapwick::setLogSink(m_previousSink); }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    QString writePlist(const QString& name, const Value& root)
    {
        return write(name, plist::writeXml(root).bytes);
    }

    static Value entry(std::initializer_list<std::pair<const char16_t*, Value>> keys)
    {
        Value d = Value::newDictionary();
        for (const auto& [k, v] : keys)
            d.dictionary()->set(QString::fromUtf16(k), v);
        return d;
    }

    static Value list(std::initializer_list<Value> values)
    {
        Value a = Value::newArray();
        for (const Value& v : values)
            a.array()->append(v);
        return a;
    }

    static QString abbreviationAt(const plist::Array& a, qsizetype i)
    {
        return snippetAbbreviation(*a.at(i).dictionary());
    }
    static QString textAt(const plist::Array& a, qsizetype i)
    {
        return plainSnippetReplacement(*a.at(i).dictionary());
    }

    QTemporaryDir m_dir;
    QStringList m_log;
    snapwick::LogSink m_previousSink;
};

TEST_F(ImportTest, SettingsDocumentsComeInAsTheyAre)
{
    const Value record = entry({{u"Abbreviation", QStringLiteral("addr")},
                                {u"Plain Text", QStringLiteral("x")},
                                {u"Mode", 2},
                                {u"Extra", QStringLiteral("kept")}});
    const QString path =
        writePlist(QStringLiteral("s.plist"),
                   entry({{u"Snippets", list({record})},
                          {u"Abbreviations", list({entry({{u"Abbreviation", QStringLiteral("no")},
                                                          {u"Expansion", QStringLiteral("no")}})})},
                          {u"Remote Snippets", list({record})}}));
    plist::Array snippets;
    EXPECT_TRUE(appendSnippetsFromFile(snippets, path, nullptr, 0));
    ASSERT_EQ(snippets.size(), 1);
    EXPECT_TRUE(snippets.at(0) == record);

    plist::Array none;
    EXPECT_TRUE(appendSnippetsFromFile(
        none, writePlist(QStringLiteral("e.snapwick"), entry({{u"Snippets", list({})}})), nullptr,
        0));
    EXPECT_TRUE(none.isEmpty());
}

TEST_F(ImportTest, TypinatorSetsConvertTheirPlaceholders)
{
    const QString path = writePlist(
        QStringLiteral("t.plist"),
        entry({{u"Abbreviations",
                list({entry({{u"Abbreviation", QStringLiteral(" today\n")},
                             {u"Expansion",
                              QStringLiteral("Today is {WW}, {D}. {NN} {YYYY} at {h24}:{m} 50%")},
                             {u"Case", QStringLiteral("apply")}}),
                      entry({{u"Abbreviation", QStringLiteral("d")},
                             {u"Expansion", QStringLiteral("{MM}/{M} {m}{M}")},
                             {u"Case", QStringLiteral("Apply")}}),
                      entry({{u"Abbreviation", QStringLiteral("web")},
                             {u"Expansion",
                              QStringLiteral("http://www.ergonis.com/products/typinator/ and "
                                             "http://www.ergonis.com/products/typinator")},
                             {u"Case", QStringLiteral("ignore")}})})}}));
    plist::Array snippets;
    EXPECT_TRUE(appendSnippetsFromFile(snippets, path, nullptr, 1));
    ASSERT_EQ(snippets.size(), 3);
    EXPECT_EQ(abbreviationAt(snippets, 0), QStringLiteral("today"));
    EXPECT_EQ(textAt(snippets, 0), QStringLiteral("Today is %A, %1d. %B %Y at %H:%M 50%"));
    EXPECT_EQ(snippetAbbreviationMode(*snippets.at(0).dictionary()), 2);
    EXPECT_EQ(textAt(snippets, 1), QStringLiteral("%m/%1m %M%1m"));
    EXPECT_EQ(snippetAbbreviationMode(*snippets.at(1).dictionary()), 1); // "Apply" is not "apply"
    EXPECT_EQ(textAt(snippets, 2), QStringLiteral("https://snapwick.org and https://snapwick.org"));
    EXPECT_TRUE(m_log.isEmpty());
}

TEST_F(ImportTest, TypinatorEntriesWithoutTextCountAsErrors)
{
    const QString path = writePlist(
        QStringLiteral("t.plist"),
        entry({{u"Abbreviations", list({entry({{u"Abbreviation", QStringLiteral("a")},
                                               {u"Expansion", QStringLiteral("1")}}),
                                        entry({{u"Abbreviation", QStringLiteral("b")}}),
                                        entry({{u"Abbreviation", QStringLiteral("c")},
                                               {u"Expansion", QStringLiteral("3")}})})}}));
    plist::Array snippets;
    EXPECT_FALSE(appendSnippetsFromFile(snippets, path, nullptr, 0));
    EXPECT_EQ(snippets.size(), 2);
    EXPECT_EQ(m_log,
              QStringList{QStringLiteral("[Snapwick] 1 error(s) while importing Typinator data")});
}

QByteArray tiffOf(const QImage& image)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    image.save(&b, "TIFF");
    return b.data();
}

TEST_F(ImportTest, TypinatorPicturesBecomePictureSnippets)
{
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    const QByteArray withPicture =
        archive::encodeRootObject(text::archiveImage(tiffOf(picture), QSizeF(6, 4)));
    // An image archive with no representation at all: the logo stands in.
    namespace fd = archive::foundation;
    const QByteArray empty = archive::encodeRootObject(
        fd::makeObject({{"NSImage", 0}, {"NSObject", 0}},
                       {fd::group("i", {archive::ArchivedValue::integerValue('i', 0)})}));
    const QString path = writePlist(
        QStringLiteral("p.plist"),
        entry({{u"Abbreviations",
                list({entry({{u"Abbreviation", QStringLiteral("pic")},
                             {u"Picture", withPicture},
                             {u"Expansion", QStringLiteral("ignored")}}),
                      entry({{u"Abbreviation", QStringLiteral("logo")}, {u"Picture", empty}}),
                      entry({{u"Abbreviation", QStringLiteral("bad")},
                             {u"Picture", QByteArray("junk")}})})}}));
    plist::Array snippets;
    EXPECT_FALSE(appendSnippetsFromFile(snippets, path, nullptr, 0));
    ASSERT_EQ(snippets.size(), 2);
    for (qsizetype i = 0; i < 2; ++i) {
        EXPECT_EQ(textAt(snippets, i), QString(QChar(0xFFFC)));
        const auto formatted = formattedSnippetReplacement(*snippets.at(i).dictionary());
        ASSERT_TRUE(formatted);
        ASSERT_EQ(attachedImages(*formatted).size(), 1);
    }
    EXPECT_EQ(
        attachedImages(*formattedSnippetReplacement(*snippets.at(0).dictionary())).front().size(),
        QSize(6, 4));
    EXPECT_EQ(
        attachedImages(*formattedSnippetReplacement(*snippets.at(1).dictionary())).front().size(),
        QSize(64, 64));
    EXPECT_EQ(m_log,
              QStringList{QStringLiteral("[Snapwick] 1 error(s) while importing Typinator data")});
}

TEST_F(ImportTest, CorrectionDictionaries)
{
    const QString path = writePlist(
        QStringLiteral("fr.nlang"),
        entry({{u"modifications",
                entry({{u"typos",
                        entry({{u"custom", entry({{u" teh ", QStringLiteral("the")},
                                                  {u"adn", QStringLiteral("and")}})}})}})}}));
    plist::Array snippets;
    EXPECT_TRUE(appendSnippetsFromFile(snippets, path, nullptr, 2));
    ASSERT_EQ(snippets.size(), 2);
    EXPECT_EQ(abbreviationAt(snippets, 0), QStringLiteral("teh"));
    EXPECT_EQ(textAt(snippets, 0), QStringLiteral("the"));
    EXPECT_EQ(snippetAbbreviationMode(*snippets.at(1).dictionary()), 2);
}

TEST_F(ImportTest, UnrecognisedDictionariesAreRefusedWithALogLine)
{
    for (const QString& path : {writePlist(QStringLiteral("x.plist"), entry({{u"Other", 1}})),
                                write(QStringLiteral("y.plist"), "garbage"),
                                m_dir.filePath(QStringLiteral("missing.snapwick"))}) {
        m_log.clear();
        plist::Array snippets;
        EXPECT_FALSE(appendSnippetsFromFile(snippets, path, nullptr, 0));
        EXPECT_EQ(
            m_log,
            QStringList{
                QStringLiteral("[Snapwick] <%1> is not a valid settings dictionary").arg(path)});
    }
}

TEST_F(ImportTest, TheMovingIndexPlacesFilesOneBehindTheOther)
{
    const auto file = [&](const QString& name,
                          std::initializer_list<const char16_t*> abbreviations) {
        Value records = Value::newArray();
        for (const char16_t* a : abbreviations)
            records.array()->append(entry({{u"Abbreviation", QString::fromUtf16(a)}}));
        return writePlist(name, entry({{u"Snippets", records}}));
    };
    plist::Array snippets;
    for (const char16_t* a : {u"first", u"last"})
        snippets.append(entry({{u"Abbreviation", QString::fromUtf16(a)}}));
    qsizetype index = 1;
    EXPECT_TRUE(appendSnippetsFromFile(snippets, file(QStringLiteral("a.plist"), {u"a1", u"a2"}),
                                       &index, 0));
    EXPECT_TRUE(
        appendSnippetsFromFile(snippets, file(QStringLiteral("b.plist"), {u"b1"}), &index, 0));
    EXPECT_EQ(index, 4);
    QStringList order;
    for (qsizetype i = 0; i < snippets.size(); ++i)
        order << abbreviationAt(snippets, i);
    EXPECT_EQ(order,
              (QStringList{QStringLiteral("first"), QStringLiteral("a1"), QStringLiteral("a2"),
                           QStringLiteral("b1"), QStringLiteral("last")}));
}

QByteArray typeIt4MeFork()
{
    using testsupport::ResourceSpec;
    return testsupport::writeResourceFork({
        ResourceSpec{"STMP", 128, QByteArray(" sig "), QByteArray("See you\0\0", 9)},
        ResourceSpec{"STMP", 129, std::nullopt, QByteArray()},
        ResourceSpec{"STMP", 130, QByteArray("caf\x8e"), QByteArray("[[5]] [[:]] [[2]] 100%")},
        ResourceSpec{"STR ", 1, QByteArray("other"), QByteArray("not a snippet")},
    });
}

TEST_F(ImportTest, TypeIt4MeResources)
{
    plist::Array snippets;
    const QString path = write(QStringLiteral("Snippets.t4me"), typeIt4MeFork());
    EXPECT_TRUE(appendSnippetsFromFile(snippets, path, nullptr, 1));
    ASSERT_EQ(snippets.size(), 3);
    EXPECT_EQ(abbreviationAt(snippets, 0), QStringLiteral("sig"));
    EXPECT_EQ(textAt(snippets, 0), QString::fromUtf16(u"See you\0", 8)); // only one final NUL goes
    EXPECT_EQ(textAt(snippets, 1), QString());
    EXPECT_FALSE(snippets.at(1).dictionary()->contains(SnippetKey::Abbreviation));
    EXPECT_EQ(abbreviationAt(snippets, 2), QStringLiteral("café"));
    EXPECT_EQ(textAt(snippets, 2), QStringLiteral("%Y%m%d %y-%m-%d %a, %b %1d, %Y 100%"));
    for (qsizetype i = 0; i < 3; ++i)
        EXPECT_EQ(snippetAbbreviationMode(*snippets.at(i).dictionary()), 1);
    EXPECT_TRUE(m_log.isEmpty());
}

TEST_F(ImportTest, TypeIt4MeForksAreFoundWhereOtherSystemsKeepThem)
{
    const QByteArray fork = typeIt4MeFork();
    const QString beside = write(QStringLiteral("a/Beside"), "data fork");
    write(QStringLiteral("a/._Beside"), testsupport::writeAppleContainer(fork));
    const QString zipped = write(QStringLiteral("z/sub/Zipped"), "data fork");
    write(QStringLiteral("z/__MACOSX/sub/._Zipped"), testsupport::writeAppleContainer(fork));
    const QString single =
        write(QStringLiteral("Single"), testsupport::writeAppleContainer(fork, QByteArray("data")));
    const QString bare = write(QStringLiteral("Bare.rsrc"), fork);
    for (const QString& path : {beside, zipped, single, bare}) {
        plist::Array snippets;
        EXPECT_TRUE(appendSnippetsFromFile(snippets, path, nullptr, 0)) << path.toStdString();
        EXPECT_EQ(snippets.size(), 3) << path.toStdString();
    }
}

TEST_F(ImportTest, FilesWithoutSnippetResourcesAreRefusedSilently)
{
    using testsupport::ResourceSpec;
    for (const QString& path :
         {write(QStringLiteral("plain.txt"), "just text"),
          write(QStringLiteral("other.rsrc"),
                testsupport::writeResourceFork({ResourceSpec{"STR ", 1, {}, "x"}})),
          m_dir.filePath(QStringLiteral("missing"))}) {
        plist::Array snippets;
        EXPECT_FALSE(appendSnippetsFromFile(snippets, path, nullptr, 0));
        EXPECT_TRUE(snippets.isEmpty());
    }
    EXPECT_TRUE(m_log.isEmpty());
}

TEST_F(ImportTest, UnreadableResourcesCountAsErrors)
{
    QByteArray fork = typeIt4MeFork();
    // Point the first reference's data beyond the end of the data area.
    const quint32 mapOffset = qFromBigEndian<quint32>(fork.constData() + 4);
    const quint16 typeList = qFromBigEndian<quint16>(fork.constData() + mapOffset + 24);
    const qsizetype types = mapOffset + typeList;
    for (int t = 0; t < 2; ++t) {
        const char* entry = fork.constData() + types + 2 + 8 * t;
        if (QByteArray(entry, 4) == "STMP") {
            const quint16 refs = qFromBigEndian<quint16>(entry + 6);
            char far[3] = {char(0x7F), char(0xFF), char(0xFF)};
            fork.replace(types + refs + 5, 3, QByteArray(far, 3));
        }
    }
    plist::Array snippets;
    EXPECT_FALSE(
        appendSnippetsFromFile(snippets, write(QStringLiteral("broken"), fork), nullptr, 0));
    EXPECT_EQ(snippets.size(), 2);
    EXPECT_EQ(m_log,
              QStringList{QStringLiteral("[Snapwick] 1 error(s) while importing T4ME data")});
}

} // namespace
