#include "plist/BinaryFormat.h"

#include "TestSupport.h"
#include "plist/XmlFormat.h"

using namespace testsupport;
using plist::Value;

namespace {

// A hand-made binary property list: objects laid out in order, 1-byte offsets and refs.
QByteArray bplist(const std::vector<QByteArray>& objects, std::uint64_t top = 0)
{
    QByteArray out = "bplist00";
    std::vector<int> offsets;
    for (const QByteArray& o : objects) {
        offsets.push_back(int(out.size()));
        out += o;
    }
    const int table = int(out.size());
    for (int off : offsets)
        out += char(off);
    out += QByteArray(6, '\0');
    out += char(1);
    out += char(1);
    auto be64 = [&](std::uint64_t v) {
        for (int i = 7; i >= 0; --i)
            out += char((v >> (8 * i)) & 0xFF);
    };
    be64(objects.size());
    be64(top);
    be64(std::uint64_t(table));
    return out;
}

TEST(BinaryFormatTest, RoundTripsEveryType)
{
    const Value tree = sampleTree();
    const plist::WriteResult w = plist::writeBinary(tree);
    ASSERT_TRUE(w.ok());
    const plist::ReadResult r = plist::readBinary(w.bytes);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_TRUE(r.value == tree);
    EXPECT_EQ(r.value.dictionary()->keys(), tree.dictionary()->keys());
}

TEST(BinaryFormatTest, WritesEqualStringsOnceAndReadsSharedObjectsAsSeparateCopies)
{
    Value list = Value::newArray();
    for (int i = 0; i < 300; ++i) { // more than 256 objects: two-byte references
        Value record = Value::newDictionary();
        record.dictionary()->set(QStringLiteral("Abbreviation"), QString::number(i));
        record.dictionary()->set(QStringLiteral("Plain Text"), QStringLiteral("same text"));
        list.array()->append(record);
    }
    const plist::WriteResult w = plist::writeBinary(list);
    ASSERT_TRUE(w.ok());
    EXPECT_EQ(w.bytes.count("same text"), 1);
    EXPECT_EQ(w.bytes.count("Abbreviation"), 1);
    const plist::ReadResult r = plist::readBinary(w.bytes);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.value == list);
    // Mutating one record read back must not touch another.
    r.value.array()->at(0).dictionary()->set(QStringLiteral("Plain Text"),
                                             QStringLiteral("changed"));
    EXPECT_EQ(r.value.array()->at(1).dictionary()->stringForKey(QStringLiteral("Plain Text")),
              QStringLiteral("same text"));
}

TEST(BinaryFormatTest, ReadsWhatThePlatformWrote)
{
    const QByteArray binary = fixtureBytes("plist/cpython/test_plistlib_TESTDATA_binary.bplist");
    const QByteArray xml = fixtureBytes("plist/cpython/test_plistlib_TESTDATA_xml.plist");
    SKIP_WITHOUT(binary);
    const plist::ReadResult b = plist::readBinary(binary);
    const plist::ReadResult x = plist::readXml(xml);
    ASSERT_TRUE(b.ok()) << b.error.toStdString();
    ASSERT_TRUE(x.ok());
    EXPECT_TRUE(b.value == x.value);
    const plist::Integer big = b.value.dictionary()->value(QStringLiteral("aBigInt2")).integer();
    EXPECT_TRUE(big.isUnsigned);
    EXPECT_EQ(big.unsignedValue(), 9223372036854775852ULL);
}

TEST(BinaryFormatTest, RefusesEveryTruncation)
{
    const plist::WriteResult w = plist::writeBinary(sampleTree());
    ASSERT_TRUE(w.ok());
    for (qsizetype n = 0; n < w.bytes.size(); ++n)
        EXPECT_FALSE(plist::readBinary(w.bytes.left(n)).ok()) << "length " << n;
}

struct HostileCase
{
    friend std::ostream& operator<<(std::ostream& os, const HostileCase& c) { return os << c.name; }
    const char* name;
    std::vector<QByteArray> objects;
    std::uint64_t top;
};

class BinaryHostileTest : public ::testing::TestWithParam<HostileCase>
{};

TEST_P(BinaryHostileTest, IsRefused)
{
    const plist::ReadResult r = plist::readBinary(bplist(GetParam().objects, GetParam().top));
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BinaryHostileTest,
    ::testing::Values(
        HostileCase{"array_contains_itself", {QByteArray("\xA1\x00", 2)}, 0},
        HostileCase{"indirect_cycle", {QByteArray("\xA1\x01", 2), QByteArray("\xA1\x00", 2)}, 0},
        HostileCase{"reference_out_of_range", {QByteArray("\xA1\x05", 2)}, 0},
        HostileCase{"top_out_of_range", {QByteArray("\x09", 1)}, 3},
        HostileCase{
            "count_beyond_file", {QByteArray("\xAF\x13\x7F\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 10)}, 0},
        HostileCase{"string_beyond_file", {QByteArray("\x5F\x10\xFF", 3)}, 0},
        HostileCase{"utf16_beyond_file", {QByteArray("\x6F\x12\x40\x00\x00\x00", 6)}, 0},
        HostileCase{
            "non_string_key", {QByteArray("\xD1\x01\x01", 3), QByteArray("\x10\x01", 2)}, 0},
        HostileCase{"unknown_marker", {QByteArray("\xE0", 1)}, 0},
        HostileCase{"null_object", {QByteArray("\x00", 1)}, 0},
        HostileCase{
            "int_wider_than_64_bits",
            {QByteArray("\x14\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00",
                        17)},
            0},
        HostileCase{"bad_length_marker", {QByteArray("\x5F\x23\x00", 3)}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BinaryFormatTest, RefusesBadTrailers)
{
    QByteArray good = bplist({QByteArray("\x09", 1)});
    ASSERT_TRUE(plist::readBinary(good).ok());
    for (int field : {6, 7}) { // offset size, reference size
        for (char size : {char(0), char(9)}) {
            QByteArray bad = good;
            bad[bad.size() - 32 + field] = size;
            EXPECT_FALSE(plist::readBinary(bad).ok());
        }
    }
    QByteArray hugeCount = good;
    hugeCount[hugeCount.size() - 24] = char(0x7F);
    EXPECT_FALSE(plist::readBinary(hugeCount).ok());
    QByteArray tableOutside = good;
    tableOutside[tableOutside.size() - 1] = char(0xF0);
    EXPECT_FALSE(plist::readBinary(tableOutside).ok());
}

TEST(BinaryFormatTest, BoundsTheExpansionOfSharedReferences)
{
    // Each array refers to the next one twice: 2^40 leaves if expanded naively.
    std::vector<QByteArray> objects;
    for (int i = 0; i < 40; ++i)
        objects.push_back(QByteArray("\xA2") + char(i + 1) + char(i + 1));
    objects.push_back(QByteArray("\x09", 1));
    EXPECT_FALSE(plist::readBinary(bplist(objects)).ok());
}

TEST(BinaryFormatTest, RefusesNestingBeyondTheLimit)
{
    Value deep = nested(plist::kMaxDepth + 10);
    EXPECT_FALSE(plist::writeBinary(deep).ok());
    EXPECT_TRUE(plist::writeBinary(nested(100)).ok());
}

TEST(BinaryFormatTest, RefusesCyclesOnWrite)
{
    Value cyclic = Value::newDictionary();
    cyclic.dictionary()->set(QStringLiteral("self"), cyclic);
    EXPECT_FALSE(plist::writeBinary(cyclic).ok());
    cyclic.dictionary()->remove(QStringLiteral("self"));
}

} // namespace
