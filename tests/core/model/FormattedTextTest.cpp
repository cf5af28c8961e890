#include "model/FormattedText.h"

#include "archive/TypedStream.h"
#include "model/SnippetRecord.h"
#include "text/TextArchive.h"

#include <gtest/gtest.h>

using namespace JVSXSharedExtensions;
using text::AttributedString;

namespace {

const QChar kPicture(0xFFFC);

struct PreviewCase
{
    friend std::ostream& operator<<(std::ostream& os, const PreviewCase& c) { return os << c.name; }
    const char* name;
    QString plain;
    QString preview;
};

class PreviewTest : public ::testing::TestWithParam<PreviewCase>
{};

TEST_P(PreviewTest, GivesTheOneLinePreview)
{
    plist::Dictionary record;
    setPlainSnippetReplacement(record, GetParam().plain);
    EXPECT_EQ(plainSnippetReplacementWithSimplifications(record, true), GetParam().preview);
    EXPECT_EQ(plainSnippetReplacementWithSimplifications(record, false), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewTest,
    ::testing::Values(
        PreviewCase{"plain", QStringLiteral("hello"), QStringLiteral("hello")},
        PreviewCase{"trailing_break_and_tab", QStringLiteral("abc\n\t"), QStringLiteral("abc")},
        PreviewCase{"crlf_gives_two_spaces", QStringLiteral("a\r\nb"), QStringLiteral("a  b")},
        PreviewCase{"lone_picture", QString(kPicture), QStringLiteral("(...Picture...)")},
        PreviewCase{"picture_first", kPicture + QStringLiteral("abc"),
                    QStringLiteral("(Picture...)abc")},
        PreviewCase{"picture_last", QStringLiteral("abc") + kPicture,
                    QStringLiteral("abc(...Picture)")},
        PreviewCase{"two_pictures", QString(2, kPicture),
                    QStringLiteral("(Picture...)(...Picture)")},
        PreviewCase{"pictures_everywhere",
                    kPicture + QStringLiteral("a") + kPicture + QStringLiteral("b") + kPicture,
                    QStringLiteral("(Picture...)a(...Picture...)b(...Picture)")},
        PreviewCase{"space_before_picture", QStringLiteral(" ") + kPicture,
                    QStringLiteral("(...Picture)")},
        PreviewCase{"unicode_spaces_trimmed", QStringLiteral("\u00a0\u2003x\u3000"),
                    QStringLiteral("x")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormattedTextTest, ARecordWithoutPlainTextPreviewsEmpty)
{
    plist::Dictionary record;
    EXPECT_EQ(plainSnippetReplacementWithSimplifications(record, true), QString());
    EXPECT_EQ(plainSnippetReplacementWithSimplifications(record, false), QString());
}

plist::Dictionary formattedRecord(const QString& plain, const QString& formatted)
{
    plist::Dictionary record;
    setPlainSnippetReplacement(record, plain);
    setFormattedSnippetReplacement(
        record, std::make_shared<AttributedString>(formatted, defaultAttributes()));
    return record;
}

TEST(FormattedTextTest, ClearZeroCharactersCleansBothTexts)
{
    plist::Dictionary record =
        formattedRecord(QString::fromUtf16(u"a\0b\0", 4), QString::fromUtf16(u"a\0b", 3));
    clearZeroCharacters(record);
    EXPECT_EQ(plainSnippetReplacement(record), QStringLiteral("ab"));
    EXPECT_EQ(formattedSnippetReplacement(record)->string(), QStringLiteral("ab"));
}

TEST(FormattedTextTest, ClearZeroCharactersLooksOnlyAtThePlainText)
{
    plist::Dictionary record =
        formattedRecord(QStringLiteral("ab"), QString::fromUtf16(u"a\0b", 3));
    const QByteArray before = *formattedSnippetReplacementData(record);
    clearZeroCharacters(record);
    EXPECT_EQ(*formattedSnippetReplacementData(record), before);
}

TEST(FormattedTextTest, AnUndecodableFormattedTextStaysAsItIs)
{
    plist::Dictionary record;
    setPlainSnippetReplacement(record, QString::fromUtf16(u"x\0y", 3));
    record.set(SnippetKey::FormattedText, QByteArray("not an archive"));
    EXPECT_TRUE(isFormattedSnippet(record));
    EXPECT_EQ(formattedSnippetReplacement(record), nullptr);
    clearZeroCharacters(record);
    EXPECT_EQ(plainSnippetReplacement(record), QStringLiteral("xy"));
    EXPECT_EQ(record.value(SnippetKey::FormattedText).data(), QByteArray("not an archive"));
}

TEST(FormattedTextTest, ArchivingNothingKeepsThePreviousValue)
{
    plist::Dictionary record;
    record.set(QStringLiteral("Color"), QByteArray("old"));
    archiveObject(record, nullptr, QStringLiteral("Color"));
    EXPECT_EQ(record.value(QStringLiteral("Color")).data(), QByteArray("old"));
    auto cyclic = std::make_shared<archive::ArchivedObject>(); // written inside itself: no archive
    cyclic->classChain = {{"NSArray", 0}};
    cyclic->groups = {{"@", {archive::ArchivedValue::objectValue(cyclic)}}};
    archiveObject(record, cyclic, QStringLiteral("Color"));
    EXPECT_EQ(record.value(QStringLiteral("Color")).data(), QByteArray("old"));
    cyclic->groups.clear();
}

TEST(FormattedTextTest, SettingNoFormattedTextMakesThePlainSnippet)
{
    plist::Dictionary record = formattedRecord(QStringLiteral("x"), QStringLiteral("x"));
    ASSERT_TRUE(isFormattedSnippet(record));
    setFormattedSnippetReplacement(record, nullptr);
    EXPECT_FALSE(isFormattedSnippet(record));
    EXPECT_EQ(plainSnippetReplacement(record), QStringLiteral("x"));
}

TEST(FormattedTextTest, DeletingOccurrences)
{
    const auto s = std::make_shared<const AttributedString>(QStringLiteral("hello"));
    EXPECT_EQ(attributedStringByDeletingOccurrencesOfString(s, QStringLiteral("z")),
              s); // same object
    EXPECT_EQ(attributedStringByDeletingOccurrencesOfString(s, QString()), s);
    EXPECT_EQ(attributedStringByDeletingOccurrencesOfString(s, QStringLiteral("l"))->string(),
              QStringLiteral("heo"));

    // Deleting can join new occurrences, which go too; the rest keeps its attributes.
    text::Attributes bold;
    bold.set(text::AttributeName::Font, text::Font{QStringLiteral("Times-Bold"), 12});
    AttributedString joined(QStringLiteral("aaabbb"));
    joined.setAttributes(bold, 5, 1);
    deleteOccurrencesOfString(joined, QStringLiteral("ab"));
    EXPECT_EQ(joined.string(), QString());
    AttributedString kept(QStringLiteral("xaabby"));
    kept.setAttributes(bold, 5, 1);
    deleteOccurrencesOfString(kept, QStringLiteral("ab"));
    EXPECT_EQ(kept.string(), QStringLiteral("xy"));
    EXPECT_TRUE(kept.attributesAt(1) == bold);
    EXPECT_TRUE(kept.attributesAt(0).isEmpty());
}

TEST(FormattedTextTest, ReplaceOccurrencesIsLiteralAndLeftToRight)
{
    QString s = QStringLiteral("aaa {YY}{YYYY} %Y");
    replaceOccurrencesOfString(s, QStringLiteral("aa"), QStringLiteral("b"));
    replaceOccurrencesOfString(s, QStringLiteral("{yy}"), QStringLiteral("x")); // case matters
    replaceOccurrencesOfString(s, QString(), QStringLiteral("x"));              // nothing to find
    EXPECT_EQ(s, QStringLiteral("ba {YY}{YYYY} %Y"));
}

TEST(FormattedTextTest, PicturesAreListedInTextOrderOncePerAttachment)
{
    AttributedString none(QStringLiteral("no pictures"));
    EXPECT_TRUE(attachedImages(none).isEmpty());

    QImage red(2, 2, QImage::Format_RGB32), blue(3, 3, QImage::Format_RGB32);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    const auto first = attributedStringWithAttachedTIFFImage(red);
    const auto second = attributedStringWithAttachedTIFFImage(blue);
    ASSERT_TRUE(first && second) << "TIFF plug-in missing";
    EXPECT_EQ(first->string(), QString(kPicture));
    EXPECT_TRUE(first->attributesAt(0).get<text::Font>(text::AttributeName::Font));

    AttributedString s(QStringLiteral("a"));
    s.append(*first);
    s.append(*second);
    s.append(*first); // the same attachment again, not adjacent: listed again
    const QList<QImage> images = attachedImages(s);
    ASSERT_EQ(images.size(), 3);
    EXPECT_EQ(images[0].size(), QSize(2, 2));
    EXPECT_EQ(images[1].size(), QSize(3, 3));

    AttributedString twice(*first);
    twice.append(*first); // the very same attachment side by side: one run, one picture
    EXPECT_EQ(attachedImages(twice).size(), 1);
    EXPECT_EQ(attributedStringWithAttachedTIFFImage(QImage()), nullptr);
}

} // namespace
