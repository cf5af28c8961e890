#include "plist/Array.h"
#include "plist/Dictionary.h"

#include <gtest/gtest.h>

using plist::Value;

namespace {

struct Reading
{
    friend std::ostream& operator<<(std::ostream& os, const Reading& r)
    {
        return os << plist::Value::typeName(r.value.type()) << " "
                  << r.value.string().toStdString();
    }
    Value value;
    bool boolean;
    std::int64_t integer;
};

class TypedReadingTest : public ::testing::TestWithParam<Reading>
{};

TEST_P(TypedReadingTest, BoolAndIntegerReadingsFollowThePlatform)
{
    plist::Dictionary d;
    d.set(QStringLiteral("k"), GetParam().value);
    EXPECT_EQ(d.boolForKey(QStringLiteral("k")), GetParam().boolean);
    EXPECT_EQ(d.integerForKey(QStringLiteral("k")), GetParam().integer);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TypedReadingTest,
    ::testing::Values(Reading{Value(true), true, 1}, Reading{Value(false), false, 0},
                      Reading{Value(2), true, 2}, Reading{Value(0), false, 0},
                      Reading{Value(-3.9), true, -3}, Reading{Value(0.0), false, 0},
                      Reading{Value(u"YES"), true, 0}, Reading{Value(u"yes"), true, 0},
                      Reading{Value(u"NO"), false, 0}, Reading{Value(u"1"), true, 1},
                      Reading{Value(u"  -0042abc"), true, -42}, Reading{Value(u"0"), false, 0},
                      Reading{Value(u"true"), true, 0}, Reading{Value(u""), false, 0},
                      Reading{Value(u"99999999999999999999"), true, INT64_MAX},
                      Reading{Value(u"-99999999999999999999"), true, INT64_MIN},
                      Reading{Value(1e300), true, INT64_MAX},
                      Reading{Value(plist::Integer{-1, true}), true, INT64_MAX},
                      Reading{Value(QByteArray("1")), false, 0},
                      Reading{Value::newArray(), false, 0}));

TEST(DictionaryTest, MissingKeysReadAsFalseAndZero)
{
    plist::Dictionary d;
    EXPECT_FALSE(d.boolForKey(QStringLiteral("absent")));
    EXPECT_EQ(d.integerForKey(QStringLiteral("absent")), 0);
    EXPECT_TRUE(d.value(QStringLiteral("absent")).isNone());
    d.tryToRemoveObjectForKey(QStringLiteral("absent")); // no effect, no error
    EXPECT_TRUE(d.isEmpty());
}

TEST(DictionaryTest, KeepsInsertionOrderAndReplacesInPlace)
{
    plist::Dictionary d;
    for (int i = 0; i < 40; ++i) // past the size at which the hash index takes over
        d.set(QString::number(39 - i), i);
    d.set(QStringLiteral("20"), QStringLiteral("replaced"));
    d.remove(QStringLiteral("39"));
    d.set(QStringLiteral("new"), true);
    const QStringList keys = d.keys();
    ASSERT_EQ(keys.size(), 40);
    EXPECT_EQ(keys.front(), QStringLiteral("38"));
    EXPECT_EQ(keys[18], QStringLiteral("20"));
    EXPECT_EQ(d.stringForKey(QStringLiteral("20")), QStringLiteral("replaced"));
    EXPECT_EQ(keys.back(), QStringLiteral("new"));
    EXPECT_EQ(d.integerForKey(QStringLiteral("0")), 39);
    EXPECT_FALSE(d.contains(QStringLiteral("39")));
}

TEST(ValueTest, ContainersAreSharedAndFoundByIdentity)
{
    Value record = Value::newDictionary();
    Value twin = Value::newDictionary(); // equal contents, another object
    plist::Array list;
    list.append(twin);
    list.append(record);
    EXPECT_EQ(list.indexOfObjectIdenticalTo(record), 1);
    EXPECT_TRUE(record == twin);
    EXPECT_FALSE(record.isIdenticalTo(twin));

    Value alias = record;
    alias.dictionary()->set(QStringLiteral("Mode"), 1);
    EXPECT_EQ(record.dictionary()->integerForKey(QStringLiteral("Mode")), 1);
    EXPECT_FALSE(record == twin);
}

TEST(ValueTest, EqualityComparesTypesAndContents)
{
    EXPECT_FALSE(Value(1) == Value(true));
    EXPECT_FALSE(Value(1) == Value(1.0));
    EXPECT_TRUE(Value(u"a") == Value(QStringLiteral("a")));
    plist::Dictionary a, b;
    a.set(QStringLiteral("x"), 1);
    a.set(QStringLiteral("y"), 2);
    b.set(QStringLiteral("y"), 2);
    b.set(QStringLiteral("x"), 1);
    EXPECT_TRUE(a == b); // key order does not make dictionaries differ
}

} // namespace
