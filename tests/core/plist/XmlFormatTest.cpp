#include "plist/XmlFormat.h"

#include "TestSupport.h"

using namespace testsupport;
using plist::Value;

namespace {

QByteArray xmlDocument(const QByteArray& body)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                      "<plist version=\"1.0\">\n") +
           body + "</plist>\n";
}

TEST(XmlWriterTest, RewritesPlatformOutputByteForByte)
{
    const QByteArray original = fixtureBytes("plist/cpython/test_plistlib_TESTDATA_xml.plist");
    SKIP_WITHOUT(original);
    const plist::ReadResult read = plist::readXml(original);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    const plist::WriteResult written = plist::writeXml(read.value);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written.bytes.toStdString(), original.toStdString());
}

TEST(XmlWriterTest, WritesThePlatformLayout)
{
    Value root = Value::newDictionary();
    root.dictionary()->set(QStringLiteral("a<b"), QStringLiteral("x & y > z\r"));
    root.dictionary()->set(QStringLiteral("n"), Value::newArray());
    root.dictionary()->set(QStringLiteral("r"), 0.1);
    root.dictionary()->set(QStringLiteral("u"), plist::Uid{3});
    root.dictionary()->set(QStringLiteral("d"), QByteArray(60, 'x'));
    const plist::WriteResult w = plist::writeXml(root);
    ASSERT_TRUE(w.ok());
    EXPECT_EQ(w.bytes.toStdString(),
              xmlDocument(QByteArray("<dict>\n"
                                     "\t<key>a&lt;b</key>\n"
                                     "\t<string>x &amp; y &gt; z&#13;</string>\n"
                                     "\t<key>n</key>\n"
                                     "\t<array/>\n"
                                     "\t<key>r</key>\n"
                                     "\t<real>0.1</real>\n"
                                     "\t<key>u</key>\n"
                                     "\t<dict>\n"
                                     "\t\t<key>CF$UID</key>\n"
                                     "\t\t<integer>3</integer>\n"
                                     "\t</dict>\n"
                                     "\t<key>d</key>\n"
                                     "\t<data>\n"
                                     "\t" +
                                     QByteArray("eHh4").repeated(17) +
                                     "\n"
                                     "\teHh4eHh4eHh4\n"
                                     "\t</data>\n"
                                     "</dict>\n"))
                  .toStdString());
}

TEST(XmlWriterTest, RoundTripsEveryType)
{
    const Value tree = sampleTree();
    const plist::WriteResult w = plist::writeXml(tree);
    ASSERT_TRUE(w.ok());
    const plist::ReadResult r = plist::readXml(w.bytes);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_TRUE(r.value == tree);
    EXPECT_EQ(r.value.dictionary()->keys(), tree.dictionary()->keys());
}

TEST(XmlWriterTest, RefusesWhatXmlCannotCarry)
{
    for (const QString& s :
         {QStringLiteral("bell \a"), QString(QChar(0xD800)), QString(QChar(0xFFFF))}) {
        Value root = Value::newArray();
        root.array()->append(s);
        EXPECT_FALSE(plist::writeXml(root).ok());
    }
    Value cyclic = Value::newArray();
    cyclic.array()->append(cyclic);
    EXPECT_FALSE(plist::writeXml(cyclic).ok());
    cyclic.array()->clear(); // break the cycle so the test does not leak
}

TEST(XmlWriterTest, FormatsRealsAsThePlatformDoes)
{
    EXPECT_EQ(plist::formatReal(0.5), "0.5");
    EXPECT_EQ(plist::formatReal(32.5), "32.5");
    EXPECT_EQ(plist::formatReal(0.1), "0.1");
    EXPECT_EQ(plist::formatReal(1.0 / 3), "0.33333333333333331");
    EXPECT_EQ(plist::formatReal(1e20), "1e+20");
    EXPECT_EQ(plist::formatReal(-0.0), "-0");
}

struct XmlCase
{
    friend std::ostream& operator<<(std::ostream& os, const XmlCase& c) { return os << c.name; }
    const char* name;
    const char* xml;
    const char* expectedTree; // OpenStep-like rendering through the reader, or null: refused
};

class XmlReaderCaseTest : public ::testing::TestWithParam<XmlCase>
{};

QString render(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Dictionary: {
        QString s = QStringLiteral("{");
        for (const auto& e : *v.dictionary())
            s += e.key + u'=' + render(e.value) + u';';
        return s + u'}';
    }
    case Value::Type::Array: {
        QStringList parts;
        for (const Value& e : *v.array())
            parts << render(e);
        return u'(' + parts.join(u',') + u')';
    }
    case Value::Type::String:
        return u'"' + v.string() + u'"';
    case Value::Type::Integer:
        return v.integer().isUnsigned ? QString::number(v.integer().unsignedValue()) + u'u'
                                      : QString::number(v.integer().bits);
    case Value::Type::Real:
        return QString::fromLatin1(plist::formatReal(v.real()));
    case Value::Type::Boolean:
        return v.boolean() ? QStringLiteral("T") : QStringLiteral("F");
    case Value::Type::Data:
        return u'<' + QString::fromLatin1(v.data().toHex()) + u'>';
    case Value::Type::Date:
        return QStringLiteral("@%1").arg(v.date().secondsSince2001);
    case Value::Type::Uid:
        return QStringLiteral("uid%1").arg(v.uid().value);
    default:
        return QStringLiteral("?");
    }
}

TEST_P(XmlReaderCaseTest, Reads)
{
    const plist::ReadResult r = plist::readXml(QByteArray(GetParam().xml));
    if (!GetParam().expectedTree) {
        EXPECT_FALSE(r.ok()) << render(r.value).toStdString();
        EXPECT_FALSE(r.error.isEmpty());
        return;
    }
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(render(r.value).toStdString(), GetParam().expectedTree);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlReaderCaseTest,
    ::testing::Values(
        XmlCase{"bare_root", "<dict><key>a</key><integer>1</integer></dict>", "{a=1;}"},
        XmlCase{"entities_and_references",
                "<plist><string>&lt;&#169;&#x2F20;&amp;</string></plist>", "\"<©⼠&\""},
        XmlCase{"key_in_array",
                "<plist><array><string>a<![CDATA[<b>]]><!-- c -->d</string><key><!-- x --></key>"
                "</array></plist>",
                nullptr},
        XmlCase{"comment_in_key", "<dict><key><!-- c --></key><string>v</string></dict>",
                "{=\"v\";}"},
        XmlCase{"cdata", "<array><string>a<![CDATA[<b>]]>c</string></array>", "(\"a<b>c\")"},
        XmlCase{"internal_entity",
                "<!DOCTYPE plist [<!ENTITY me \"Snap\">]><plist><string>&me;wick</string></plist>",
                "\"Snapwick\""},
        XmlCase{"integers",
                "<array><integer>0x1F</integer><integer> -5 </integer><integer>"
                "18446744073709551615</integer><integer>-9223372036854775808</integer></array>",
                "(31,-5,18446744073709551615u,-9223372036854775808)"},
        XmlCase{"reals_and_booleans",
                "<array><real>1.5</real><real>-infinity</real><true/><false/></array>",
                "(1.5,-infinity,T,F)"},
        XmlCase{"data_with_line_breaks", "<data>\n\tAAEC\n\tAw==\n</data>", "<00010203>"},
        XmlCase{"date", "<date>2001-01-02T00:00:01Z</date>", "@86401"},
        XmlCase{"uid", "<dict><key>CF$UID</key><integer>7</integer></dict>", "uid7"},
        XmlCase{"duplicate_key_last_wins",
                "<dict><key>a</key><string>1</string><key>a</key><string>2</string></dict>",
                "{a=\"2\";}"},
        XmlCase{"unknown_element", "<plist><dict><key>a</key><foo/></dict></plist>", nullptr},
        XmlCase{"key_without_value", "<dict><key>a</key></dict>", nullptr},
        XmlCase{"value_without_key", "<dict><string>a</string></dict>", nullptr},
        XmlCase{"integer_overflow", "<integer>18446744073709551616</integer>", nullptr},
        XmlCase{"negative_overflow", "<integer>-9223372036854775809</integer>", nullptr},
        XmlCase{"empty_integer", "<integer></integer>", nullptr},
        XmlCase{"bad_real", "<real>1.5x</real>", nullptr},
        XmlCase{"bad_date", "<date>2001-13-01T00:00:00Z</date>", nullptr},
        XmlCase{"bad_base64", "<data>A*==</data>", nullptr},
        XmlCase{"nonempty_true", "<true>yes</true>", nullptr},
        XmlCase{"child_in_string", "<string>a<b/></string>", nullptr},
        XmlCase{"truncated", "<plist><dict><key>a</key><string>b", nullptr},
        XmlCase{"two_roots", "<plist><string>a</string><string>b</string></plist>", nullptr},
        XmlCase{"mismatched_tags", "<array></dict>", nullptr},
        XmlCase{"unterminated_entity", "<dict><key>test&amp</key><string>v</string></dict>",
                nullptr},
        XmlCase{"invalid_utf8", "<string>\xC3\x28</string>", nullptr},
        XmlCase{"empty", "", nullptr},
        XmlCase{"control_reference", "<string>&#1;</string>", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XmlReaderTest, RefusesNestingBeyondTheLimit)
{
    QByteArray deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<array>";
    EXPECT_FALSE(plist::readXml(deep).ok());

    QByteArray ok;
    for (int i = 0; i < 100; ++i)
        ok += "<array>";
    for (int i = 0; i < 100; ++i)
        ok += "</array>";
    EXPECT_TRUE(plist::readXml(ok).ok());
}

TEST(XmlReaderTest, RefusesEntityExpansionBombs)
{
    QByteArray bomb = "<!DOCTYPE plist [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">";
    char prev = 'a';
    for (char c = 'b'; c <= 'k'; ++c) {
        bomb += QByteArray("<!ENTITY ") + c + " \"" + QByteArray("&") + prev + ";" +
                QByteArray("&") + prev + ";" + QByteArray("&") + prev + ";" + QByteArray("&") +
                prev + ";\">";
        prev = c;
    }
    bomb += "]><string>&k;</string>";
    EXPECT_FALSE(plist::readXml(bomb).ok());
}

} // namespace
