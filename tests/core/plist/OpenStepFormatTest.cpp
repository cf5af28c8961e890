#include "plist/OpenStepFormat.h"

#include "TestSupport.h"

using namespace testsupport;
using plist::Value;

namespace {

TEST(OpenStepFormatTest, ReadsTheTextForms)
{
    const plist::ReadResult r =
        plist::readOpenStep("// comment\n{ a = (1, \"two\", <0fbd 77>, {},); \"b c\" = "
                            "\"x\\n\\\"\\U00e9\\101\"; /* c */ }");
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    const plist::Dictionary& d = *r.value.dictionary();
    const plist::Array& a = *d.arrayForKey(QStringLiteral("a"));
    ASSERT_EQ(a.size(), 4);
    EXPECT_EQ(a.at(0).string(), QStringLiteral("1")); // old-style text has only strings
    EXPECT_EQ(a.at(2).data(), QByteArray("\x0f\xbd\x77"));
    EXPECT_TRUE(a.at(3).isDictionary());
    EXPECT_EQ(d.stringForKey(QStringLiteral("b c")), QStringLiteral("x\n\"éA"));
}

TEST(OpenStepFormatTest, ReadsStringsFiles)
{
    const plist::ReadResult r =
        plist::readOpenStep("\xEF\xBB\xBF\"key\" = \"value\";\nbare;\nx = y;");
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    const plist::Dictionary& d = *r.value.dictionary();
    EXPECT_EQ(d.stringForKey(QStringLiteral("key")), QStringLiteral("value"));
    EXPECT_EQ(d.stringForKey(QStringLiteral("bare")), QStringLiteral("bare"));
    EXPECT_EQ(d.stringForKey(QStringLiteral("x")), QStringLiteral("y"));
}

TEST(OpenStepFormatTest, RoundTripsStringsDataAndContainers)
{
    Value root = Value::newDictionary();
    root.dictionary()->set(QStringLiteral("plain"), QStringLiteral("word"));
    root.dictionary()->set(QStringLiteral("needs quotes"),
                           QStringLiteral("a \"b\" \\ \n\t\x01 ü 😀"));
    root.dictionary()->set(QStringLiteral("empty"), QString());
    root.dictionary()->set(QStringLiteral("lone surrogate"), QString(QChar(0xDC00)));
    root.dictionary()->set(QStringLiteral("data"), QByteArray("\x00\x01\x02\x03\x04", 5));
    Value list = Value::newArray();
    list.array()->append(Value::newDictionary());
    list.array()->append(QStringLiteral("x"));
    root.dictionary()->set(QStringLiteral("list"), list);
    const plist::WriteResult w = plist::writeOpenStep(root);
    ASSERT_TRUE(w.ok()) << w.error.toStdString();
    const plist::ReadResult r = plist::readOpenStep(w.bytes);
    ASSERT_TRUE(r.ok()) << r.error.toStdString() << w.bytes.toStdString();
    EXPECT_TRUE(r.value == root) << w.bytes.toStdString();
}

TEST(OpenStepFormatTest, RefusesTypesItCannotHoldNamingThePath)
{
    Value root = Value::newDictionary();
    Value list = Value::newArray();
    list.array()->append(QStringLiteral("ok"));
    list.array()->append(true);
    root.dictionary()->set(QStringLiteral("Snippets"), list);
    const plist::WriteResult w = plist::writeOpenStep(root);
    EXPECT_FALSE(w.ok());
    EXPECT_TRUE(w.error.contains(QStringLiteral("(root)/Snippets/1 is a boolean")))
        << w.error.toStdString();
}

TEST(OpenStepFormatTest, RefusesMalformedText)
{
    for (const char* text : {"{ a = b }x", "{ a = ; }", "( a b )", "{ a = b", "\"open", "<abc>",
                             "<0g>", "/* open", "{ (a) = b; }", "\xC3\x28", "@", "{ a = b; } c"}) {
        EXPECT_FALSE(plist::readOpenStep(text).ok()) << text;
    }
    EXPECT_FALSE(plist::readOpenStep(QByteArray(100000, '(')).ok());
}

} // namespace
