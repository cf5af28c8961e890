#include "../plist/TestSupport.h"
#include "archive/Foundation.h"
#include "archive/TypedStream.h"
#include "model/FormattedText.h"
#include "text/TextArchive.h"

#include <QRegularExpression>

using namespace testsupport;
using namespace text;

namespace {

struct ExpectedString
{
    QString name;
    QString text;
    std::vector<std::pair<qsizetype, qsizetype>> runs; // [start, end)
    QStringList attributeKeys;                         // of the first run
    bool isAttributedString = false;
};

// Reads the Python-style quoted text of the expectations file.
QString unquote(const QString& quoted)
{
    QString out;
    for (qsizetype i = 1; i + 1 < quoted.size(); ++i) {
        QChar c = quoted[i];
        if (c != u'\\') {
            out += c;
            continue;
        }
        const QChar e = quoted[++i];
        if (e == u'n')
            out += u'\n';
        else if (e == u't')
            out += u'\t';
        else if (e == u'x' || e == u'u') {
            const int digits = e == u'x' ? 2 : 4;
            out += QChar(char16_t(quoted.mid(i + 1, digits).toUInt(nullptr, 16)));
            i += digits;
        } else
            out += e;
    }
    return out;
}

std::vector<ExpectedString> expectedStrings()
{
    QFile f(fixturePath("typedstream/EXPECTED-attributed-strings.md"));
    std::vector<ExpectedString> all;
    if (!f.open(QIODevice::ReadOnly))
        return all;
    static const QRegularExpression textLine(
        QStringLiteral("^text \\(UTF-16 length \\d+\\): (.*)$"));
    static const QRegularExpression runLine(
        QStringLiteral("^  run utf16\\[(\\d+):(\\d+)\\][^{]*(\\{.*\\})?"));
    static const QRegularExpression key(QStringLiteral("'(__kIM\\w+)': "));
    for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n')) {
        if (line.startsWith(u"## ")) {
            all.push_back({line.mid(3), {}, {}, {}, false});
        } else if (line.startsWith(u"root class: ") && !all.empty()) {
            all.back().isAttributedString = line.endsWith(u"AttributedString");
        } else if (auto m = textLine.match(line); m.hasMatch() && !all.empty()) {
            all.back().text = unquote(m.captured(1));
        } else if (auto r = runLine.match(line); r.hasMatch() && !all.empty()) {
            all.back().runs.emplace_back(r.captured(1).toLongLong(), r.captured(2).toLongLong());
            if (all.back().runs.size() == 1) {
                for (auto it = key.globalMatch(r.captured(3)); it.hasNext();)
                    all.back().attributeKeys << it.next().captured(1);
            }
        }
    }
    return all;
}

TEST(AttributedStringArchiveTest, PlatformArchivesDecodeToTheirTextAndRuns)
{
    const auto expected = expectedStrings();
    if (expected.empty())
        GTEST_SKIP() << "fixtures not available";
    int checked = 0;
    for (const ExpectedString& e : expected) {
        QFile f(fixturePath("typedstream/crabstep/") + e.name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << e.name.toStdString();
        const archive::DecodeResult r = archive::decodeTypedStream(f.readAll());
        if (e.name == u"ExtraData") {
            EXPECT_FALSE(r.ok());
            continue;
        }
        if (!e.isAttributedString)
            continue;
        ASSERT_TRUE(r.ok()) << e.name.toStdString() << ": " << r.error.toStdString();
        const auto s = attributedStringFromArchive(*r.root()->object);
        ASSERT_TRUE(s) << e.name.toStdString();
        EXPECT_EQ(s->string(), e.text) << e.name.toStdString();
        std::vector<std::pair<qsizetype, qsizetype>> runs;
        qsizetype at = 0;
        for (const auto& run : s->runs()) {
            runs.emplace_back(at, at + run.length);
            at += run.length;
        }
        EXPECT_EQ(runs, e.runs) << e.name.toStdString();
        if (!s->runs().empty()) {
            QStringList keys = s->runs().front().attributes->values().keys();
            QStringList want = e.attributeKeys;
            want.sort();
            EXPECT_EQ(keys.join(u',').toStdString(), want.join(u',').toStdString())
                << e.name.toStdString();
        }
        ++checked;
    }
    EXPECT_GE(checked, 25);
}

QImage samplePicture()
{
    QImage image(7, 5, QImage::Format_ARGB32);
    image.fill(QColor(200, 30, 40));
    image.setPixelColor(3, 2, QColor(0, 0, 255));
    return image;
}

AttributedString styledSample()
{
    Attributes plain;
    plain.set(AttributeName::Font, Font{QStringLiteral("Helvetica"), 13});
    plain.set(AttributeName::ForegroundColor,
              Color::white(0.25, 1)); // archived as floats: exact values
    Attributes bold = plain;
    bold.set(AttributeName::Font, Font{QStringLiteral("Helvetica-BoldOblique"), 18.5});
    bold.set(AttributeName::ForegroundColor,
             Color::rgb(1, 0.5, 0.25, 0.75, Color::Space::DeviceRGB));
    ParagraphStyle centered;
    centered.alignment = ParagraphStyle::Center;
    centered.headIndent = 12;
    centered.tabStops = {{0, 28}, {2, 56.5}};
    bold.set(AttributeName::ParagraphStyle, centered);
    bold.set(QStringLiteral("NSUnderline"),
             archive::ObjectPtr(archive::foundation::makeInteger(1)));

    AttributedString s(QStringLiteral("Dear "), plain);
    s.append(QStringLiteral("Grüße 😀"), bold);
    const auto picture =
        JVSXSharedExtensions::attributedStringWithAttachedTIFFImage(samplePicture());
    if (picture)
        s.append(*picture);
    s.append(QStringLiteral("\nend"), plain);
    return s;
}

TEST(AttributedStringArchiveTest, OurArchivesRoundTripEqual)
{
    const AttributedString original = styledSample();
    ASSERT_EQ(original.runs().size(), 4u)
        << "the picture could not be made (TIFF plug-in missing?)";
    const QByteArray bytes = archive::encodeRootObject(archiveAttributedString(original));
    ASSERT_FALSE(bytes.isEmpty());
    const archive::DecodeResult r = archive::decodeTypedStream(bytes);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    const auto decoded = attributedStringFromArchive(*r.root()->object);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(*decoded == original);
    // Written again, the archive is the same bytes: attribute sets shared, nothing lost.
    EXPECT_EQ(archive::encodeRootObject(archiveAttributedString(*decoded)), bytes);
    const QList<QImage> images = JVSXSharedExtensions::attachedImages(*decoded);
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(images.front().size(), QSize(7, 5));
    EXPECT_EQ(images.front().pixelColor(3, 2), QColor(0, 0, 255));
}

// Found by fuzzing: an attribute object whose superclasses differ from ours in version or
// name must not be written as a reference to our classes.
TEST(AttributedStringArchiveTest, ForeignClassVersionsSurviveTheRoundTrip)
{
    namespace fd = archive::foundation;
    Attributes a;
    a.set(QStringLiteral("Shadow"),
          fd::makeObject({{"NSShadow", 1}, {"NSObject", 32}},
                         {fd::group("i", {archive::ArchivedValue::integerValue('i', 5)})}));
    // One of our own classes on top of a root class that is not ours.
    a.set(QStringLiteral("Odd"),
          fd::makeObject({{"NSOdd", 1}, {"NSAttributedString", 0}, {"NSRoot", 0}},
                         {fd::group("i", {archive::ArchivedValue::integerValue('i', 6)})}));
    const AttributedString s(QStringLiteral("shadowed"), a);
    const QByteArray bytes = archive::encodeRootObject(archiveAttributedString(s));
    const auto back =
        attributedStringFromArchive(*archive::decodeTypedStream(bytes).root()->object);
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == s);
}

TEST(AttributedStringArchiveTest, RepeatedAttributeSetsAreWrittenOnce)
{
    Attributes a, b;
    a.set(AttributeName::Font, Font{QStringLiteral("Times-Roman"), 12});
    b.set(AttributeName::Font, Font{QStringLiteral("Times-Bold"), 12});
    AttributedString s(QStringLiteral("one"), a);
    s.append(QStringLiteral("two"), b);
    s.append(QStringLiteral("three"), a);
    const QByteArray bytes = archive::encodeRootObject(archiveAttributedString(s));
    EXPECT_EQ(bytes.count("Times-Roman") + bytes.count(QByteArray("T\0i\0m\0e\0s\0-\0R", 13)), 1);
    const auto back =
        attributedStringFromArchive(*archive::decodeTypedStream(bytes).root()->object);
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == s);
}

TEST(AttributedStringArchiveTest, InconsistentRunsAreRefused)
{
    // Runs that overrun the text, or name an attribute set never defined.
    for (auto [number, length] : {std::pair{1, 9}, std::pair{2, 3}, std::pair{1, 0}}) {
        auto o = archiveAttributedString(AttributedString(QStringLiteral("abc")));
        o->groups[1].values[0].integer = number;
        o->groups[1].values[1].integer = length;
        EXPECT_FALSE(attributedStringFromArchive(*o)) << number << " " << length;
    }
    EXPECT_FALSE(
        attributedStringFromArchive(*archive::foundation::makeString(QStringLiteral("x"))));
}

TEST(AttributedStringArchiveTest, PlatformFontsAndColoursRead)
{
    const QByteArray font =
        fixtureBytes("typedstream/fraise-derived/NSFont-Menlo-Regular-11.typedstream");
    SKIP_WITHOUT(font);
    const auto f = fontFromArchive(*archive::decodeTypedStream(font).root()->object);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->name, QStringLiteral("Menlo-Regular"));
    EXPECT_EQ(f->pointSize, 11);
    // Our own font archive is the platform's, byte for byte.
    EXPECT_EQ(archive::encodeRootObject(archiveAttribute(*f)), font);

    const QByteArray red = fixtureBytes("typedstream/exogen-dotfiles/redColour.typedstream");
    const auto c = colorFromArchive(*archive::decodeTypedStream(red).root()->object);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->space, Color::Space::CalibratedRGB);
    EXPECT_NEAR(c->red, 0.819, 0.001);
    EXPECT_EQ(c->alpha, 1);
    EXPECT_EQ(archive::encodeRootObject(archiveColor(*c)), red);
}

} // namespace
