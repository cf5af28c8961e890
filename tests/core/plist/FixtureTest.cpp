#include "TestSupport.h"
#include "plist/XmlFormat.h"

#include <QDir>

using namespace testsupport;
using plist::Value;

namespace {

// Every fixture that libplist's own tests read successfully, and those they reject.
TEST(PlistFixtureTest, LibplistSamplesReadOrAreRefusedAsTheirTestsExpect)
{
    const QDir dir(fixturePath("plist/libplist"));
    if (!dir.exists())
        GTEST_SKIP() << "fixtures not available";
    const QStringList mustFail = {QStringLiteral("recursion.bplist"),
                                  QStringLiteral("malformed_dict.bplist"),
                                  QStringLiteral("invalid_tag.plist"), QStringLiteral("amp.plist")};
    int read = 0;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files)) {
        if (info.suffix() == u"json")
            continue; // not a property-list format
        QFile f(info.filePath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const plist::ReadResult r = plist::read(f.readAll());
        EXPECT_EQ(r.ok(), !mustFail.contains(info.fileName()))
            << info.fileName().toStdString() << ": " << r.error.toStdString();
        read += r.ok();
    }
    EXPECT_GT(read, 30);
}

TEST(PlistFixtureTest, OffsetAndReferenceSizesAllGiveTheSameTree)
{
    const QByteArray xml = fixtureBytes("plist/libplist/offxml.plist");
    SKIP_WITHOUT(xml);
    const plist::ReadResult expected = plist::read(xml);
    ASSERT_TRUE(expected.ok());
    for (int n = 1; n <= 8; ++n) {
        for (const char* kind : {"off", "dictref"}) {
            const QByteArray path = QByteArray("plist/libplist/") + kind + QByteArray::number(n) +
                                    (n == 1 ? "byte.bplist" : "bytes.bplist");
            const plist::ReadResult r = plist::read(fixtureBytes(path.constData()));
            ASSERT_TRUE(r.ok()) << path.toStdString() << ": " << r.error.toStdString();
            EXPECT_TRUE(r.value == expected.value) << path.toStdString();
        }
    }
}

TEST(PlistFixtureTest, BinaryAndXmlTwinsAgree)
{
    for (const char* name : {"order", "signed", "unsigned", "signedunsigned"}) {
        const QByteArray stem = QByteArray("plist/libplist/") + name;
        const QByteArray xml = fixtureBytes((stem + ".plist").constData());
        SKIP_WITHOUT(xml);
        const plist::ReadResult x = plist::read(xml);
        const plist::ReadResult b = plist::read(fixtureBytes((stem + ".bplist").constData()));
        ASSERT_TRUE(x.ok() && b.ok()) << name;
        EXPECT_TRUE(x.value == b.value) << name;
        if (x.value.isDictionary()) {
            EXPECT_EQ(x.value.dictionary()->keys(), b.value.dictionary()->keys()) << name;
        }
    }
}

TEST(PlistFixtureTest, SignedAndUnsignedExtremes)
{
    const plist::ReadResult r = plist::read(fixtureBytes("plist/libplist/signedunsigned.plist"));
    if (!r.ok())
        GTEST_SKIP() << "fixture not available";
    const plist::Array& a = *r.value.array();
    ASSERT_EQ(a.size(), 5);
    EXPECT_EQ(a.at(0).integer().bits, -1);
    EXPECT_TRUE(a.at(1).integer().isUnsigned);
    EXPECT_EQ(a.at(1).integer().unsignedValue(), UINT64_MAX);
    EXPECT_EQ(a.at(3).integer().bits, INT64_MIN);
    EXPECT_EQ(a.at(4).integer().unsignedValue(), 9223372036854775808ULL);
}

TEST(PlistFixtureTest, PlatformPreferencesFilesRead)
{
    for (const char* name : {"plist/dathree12-piscine/com.apple.HIToolbox.plist",
                             "plist/dathree12-piscine/com.apple.systempreferences.plist",
                             "plist/dathree12-piscine/com.apple.dt.xcodebuild.plist",
                             "plist/exogen-dotfiles/Solarized Dark xterm-256color.terminal",
                             "plist/swift-corelibs-foundation/NSKeyedUnarchiver-ComplexTest.plist",
                             "plist/swift-corelibs-foundation/NSAttributedString.archive"}) {
        const QByteArray bytes = fixtureBytes(name);
        SKIP_WITHOUT(bytes);
        const plist::ReadResult r = plist::read(bytes);
        ASSERT_TRUE(r.ok()) << name << ": " << r.error.toStdString();
        // What we read, we write and read back unchanged, in both formats.
        for (plist::Format f : {plist::Format::Xml, plist::Format::Binary}) {
            const plist::WriteResult w = plist::write(r.value, f);
            ASSERT_TRUE(w.ok()) << name << ": " << w.error.toStdString();
            EXPECT_TRUE(plist::read(w.bytes).value == r.value) << name;
        }
    }
}

TEST(PlistFixtureTest, KeyedArchiveUidsReadFromXmlAndBinary)
{
    const plist::ReadResult r = plist::read(
        fixtureBytes("plist/swift-corelibs-foundation/NSKeyedUnarchiver-ComplexTest.plist"));
    if (!r.ok())
        GTEST_SKIP() << "fixture not available";
    const plist::Dictionary* top = r.value.dictionary()->dictionaryForKey(QStringLiteral("$top"));
    ASSERT_NE(top, nullptr);
    ASSERT_FALSE(top->isEmpty());
    EXPECT_EQ(top->entries().front().value.type(), Value::Type::Uid);
}

} // namespace
