#include "archive/TypedStream.h"

#include "../plist/TestSupport.h"
#include "archive/Foundation.h"

#include <QDirIterator>

using namespace testsupport;
using namespace archive;

namespace {

QStringList archiveFixtures()
{
    QStringList files;
    QDirIterator it(fixturePath("typedstream"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.contains(u"EXPECTED") && !path.endsWith(u".md") && !path.endsWith(u".txt"))
            files << path;
    }
    files.sort();
    return files;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(TypedStreamTest, EveryPlatformArchiveDecodesAndTheTruncatedOneIsRefused)
{
    const QStringList files = archiveFixtures();
    if (files.isEmpty())
        GTEST_SKIP() << "fixtures not available";
    for (const QString& path : files) {
        const DecodeResult r = decodeTypedStream(readFile(path));
        EXPECT_EQ(r.ok(), !path.endsWith(u"/ExtraData"))
            << path.toStdString() << ": " << r.error.toStdString();
    }
}

// Our writer puts back the very bytes the platform's archiver wrote: same sharing of
// strings, classes and objects, same number forms.
TEST(TypedStreamTest, RewritesPlatformArchivesByteForByte)
{
    const QStringList files = archiveFixtures();
    if (files.isEmpty())
        GTEST_SKIP() << "fixtures not available";
    for (const QString& path : files) {
        const QByteArray original = readFile(path);
        const DecodeResult r = decodeTypedStream(original);
        if (!r.ok())
            continue;
        const QByteArray written = encodeTypedStream(r.groups);
        EXPECT_EQ(written.toHex().toStdString(), original.toHex().toStdString())
            << path.toStdString();
        const DecodeResult again = decodeTypedStream(written);
        ASSERT_TRUE(again.ok()) << path.toStdString();
        EXPECT_TRUE(again.groups == r.groups) << path.toStdString();
    }
}

TEST(TypedStreamTest, ReadsFoundationValues)
{
    const QByteArray dict = readFile(fixturePath("typedstream/uetchy/NSDictionary"));
    SKIP_WITHOUT(dict);
    const DecodeResult r = decodeTypedStream(dict);
    ASSERT_TRUE(r.ok());
    const auto entries = foundation::dictionaryEntries(*r.root()->object);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1u);
    EXPECT_EQ(foundation::stringValue(*entries->front().first), QStringLiteral("key"));
    EXPECT_EQ(foundation::numberValue(*entries->front().second)->value.integer, 123);

    const DecodeResult big =
        decodeTypedStream(readFile(fixturePath("typedstream/crabstep/foundation/NumberInt64")));
    ASSERT_TRUE(big.ok());
    EXPECT_EQ(foundation::numberValue(*big.root()->object)->value.integer, -9000000000LL);

    const DecodeResult date = decodeTypedStream(
        readFile(fixturePath("typedstream/crabstep/foundation/NSDateFractional")));
    ASSERT_TRUE(date.ok());
    EXPECT_DOUBLE_EQ(*foundation::dateValue(*date.root()->object), 700000000.523);

    const DecodeResult url =
        decodeTypedStream(readFile(fixturePath("typedstream/crabstep/foundation/NSURLRelative")));
    ASSERT_TRUE(url.ok());
    const auto u = foundation::urlValue(*url.root()->object);
    ASSERT_TRUE(u && u->base);
    EXPECT_EQ(u->string, QStringLiteral("page.html"));
    EXPECT_EQ(foundation::urlValue(*u->base)->string, QStringLiteral("https://example.com/dir/"));
}

TEST(TypedStreamTest, BackReferencesToEnclosingObjectsSurviveARoundTrip)
{
    const QByteArray grapher =
        readFile(fixturePath("typedstream/pytypedstream/Empty2D macOS 13.gcx"));
    SKIP_WITHOUT(grapher);
    const DecodeResult r = decodeTypedStream(grapher);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(encodeTypedStream(r.groups), grapher);
}

TEST(TypedStreamTest, RefusesEveryTruncationOfAnArchive)
{
    const QByteArray full = readFile(fixturePath("typedstream/crabstep/AttributedBodyTextOnly"));
    SKIP_WITHOUT(full);
    for (qsizetype n = 0; n < full.size(); ++n)
        EXPECT_FALSE(decodeTypedStream(full.left(n)).ok()) << n;
}

struct HostileArchive
{
    friend std::ostream& operator<<(std::ostream& os, const HostileArchive& c)
    {
        return os << c.name;
    }
    const char* name;
    QByteArray body; // after the header
};

class TypedStreamHostileTest : public ::testing::TestWithParam<HostileArchive>
{};

TEST_P(TypedStreamHostileTest, IsRefused)
{
    const QByteArray bytes = QByteArray("\x04\x0bstreamtyped\x81\xe8\x03", 16) + GetParam().body;
    const DecodeResult r = decodeTypedStream(bytes);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.groups.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedStreamHostileTest,
    ::testing::Values(
        HostileArchive{"shared_string_reference_out_of_range", QByteArray("\x99", 1)},
        HostileArchive{"object_reference_out_of_range", QByteArray("\x84\x01@\xA0", 4)},
        HostileArchive{"absurd_length", QByteArray("\x84\x82\xff\xff\xff\x7f@", 7)},
        HostileArchive{"negative_length", QByteArray("\x84\xf0@", 3)},
        HostileArchive{"huge_array", QByteArray("\x84\x0c[999999999c]", 14)},
        HostileArchive{"object_without_end",
                       QByteArray("\x84\x01@\x84\x84\x84\x08NSString\x01\x85\x84\x01+\x01x", 23)},
        HostileArchive{"tag_as_number", QByteArray("\x84\x01i\x88", 4)},
        HostileArchive{"unsupported_type", QByteArray("\x84\x01^\x00", 4)},
        HostileArchive{
            "class_reference_to_object",
            QByteArray("\x84\x02@@\x84\x84\x84\x08NSObject\x00\x85\x86\x84\x92\x86", 20)},
        HostileArchive{"unclosed_struct", QByteArray("\x84\x03{ii\x01\x02", 6)},
        HostileArchive{"not_streamtyped", QByteArray()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TypedStreamTest, RefusesNestingBeyondTheLimit)
{
    QByteArray deep = QByteArray("\x04\x0bstreamtyped\x81\xe8\x03", 16);
    deep += QByteArray("\x84\x01@", 3);
    deep += QByteArray("\x84\x84\x84\x07NSArray\x00\x85", 13);
    for (int i = 0; i < 5000; ++i)
        deep += QByteArray("\x92\x84\x95", 3); // "@", a new object of the NSArray class
    EXPECT_FALSE(decodeTypedStream(deep).ok());
}

// Found by fuzzing: a float written as a large integer must come back as the same number.
TEST(TypedStreamTest, LargeIntegralRealsRoundTripExactly)
{
    const ArchivedGroup g{"fdf",
                          {ArchivedValue::realValue('f', 1099511627776.0),
                           ArchivedValue::realValue('d', -4e18),
                           ArchivedValue::realValue('f', -9223372034580969472.0)}};
    const DecodeResult r = decodeTypedStream(encodeTypedStream({g}));
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.groups.front() == g);
}

TEST(TypedStreamTest, WritesFoundationObjectsTheReaderUnderstands)
{
    plist::Value tree = sampleTree();
    tree.dictionary()->remove(QStringLiteral("big unsigned"));
    const ObjectPtr archived = foundation::makeFromPropertyList(tree);
    const QByteArray bytes = encodeRootObject(archived);
    const DecodeResult r = decodeTypedStream(bytes);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_TRUE(*r.root()->object == *archived);
}

} // namespace
