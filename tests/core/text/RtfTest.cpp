#include "text/Rtf.h"

#include "../plist/TestSupport.h"
#include "model/FormattedText.h"
#include "text/FlatFileWrapper.h"

#include <QBuffer>

using namespace testsupport;
using namespace text;

namespace {

const Font* fontAt(const AttributedString& s, qsizetype i)
{
    return s.attributesAt(i).get<Font>(AttributeName::Font);
}
const Color* colorAt(const AttributedString& s, qsizetype i)
{
    return s.attributesAt(i).get<Color>(AttributeName::ForegroundColor);
}

TEST(RtfTest, OurRtfReadsBackWithTextStylesColoursAndPictures)
{
    Attributes plain, bold, italicRed;
    plain.set(AttributeName::Font, Font{QStringLiteral("Helvetica"), 13});
    bold.set(AttributeName::Font, Font{QStringLiteral("Helvetica-Bold"), 13});
    italicRed.set(AttributeName::Font, Font{QStringLiteral("Times-Italic"), 20});
    italicRed.set(AttributeName::ForegroundColor, Color::rgb(1, 0, 0));
    ParagraphStyle centered;
    centered.alignment = ParagraphStyle::Center;
    italicRed.set(AttributeName::ParagraphStyle, centered);

    AttributedString s(QStringLiteral("Plain {braces} \\ and tab\there, "), plain);
    s.append(QStringLiteral("bold Grüße 😀"), bold);
    s.append(QStringLiteral("\nitalic red"), italicRed);
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::green);
    const auto withPicture = JVSXSharedExtensions::attributedStringWithAttachedTIFFImage(picture);
    ASSERT_TRUE(withPicture);
    s.append(*withPicture);

    const QByteArray rtf = rtfFromAttributedString(s);
    EXPECT_FALSE(rtf.contains("\xC3")) << "RTF must stay 7-bit";
    const AttributedString back = attributedStringFromRtf(rtf);
    EXPECT_EQ(back.string(), s.string());
    EXPECT_EQ(fontAt(back, 0)->name, QStringLiteral("Helvetica"));
    EXPECT_EQ(fontAt(back, 0)->pointSize, 13);
    const qsizetype boldAt = s.string().indexOf(u"bold");
    EXPECT_TRUE(fontAt(back, boldAt)->isBold());
    EXPECT_FALSE(fontAt(back, boldAt)->isItalic());
    const qsizetype redAt = s.string().indexOf(u"italic");
    EXPECT_EQ(fontAt(back, redAt)->family(), QStringLiteral("Times"));
    EXPECT_TRUE(fontAt(back, redAt)->isItalic());
    EXPECT_EQ(fontAt(back, redAt)->pointSize, 20);
    ASSERT_TRUE(colorAt(back, redAt));
    EXPECT_EQ(colorAt(back, redAt)->toQColor(), QColor(Qt::red));
    EXPECT_EQ(colorAt(back, 0), nullptr);
    EXPECT_EQ(
        back.attributesAt(redAt).get<ParagraphStyle>(AttributeName::ParagraphStyle)->alignment,
        ParagraphStyle::Center);
    const QList<QImage> images = JVSXSharedExtensions::attachedImages(back);
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(images.front().size(), QSize(4, 3));
    EXPECT_EQ(images.front().pixelColor(1, 1), QColor(Qt::green));
}

TEST(RtfTest, ReadsTheRtfOfThePlatformsTextSystem)
{
    const QByteArray rtf = fixtureBytes("rtf/democracycrisis.TXT.rtf");
    SKIP_WITHOUT(rtf);
    const AttributedString s = attributedStringFromRtf(rtf);
    EXPECT_TRUE(s.string().startsWith(
        QStringLiteral("THE CRISES OF DEMOCRATIC CAPITALISM\n\nThe collapse")));
    EXPECT_TRUE(fontAt(s, 0)->isBold());
    EXPECT_EQ(fontAt(s, 0)->name, QStringLiteral("Times-Bold"));
    EXPECT_EQ(fontAt(s, 0)->pointSize, 24);
    const qsizetype body = s.string().indexOf(u"The collapse");
    EXPECT_FALSE(fontAt(s, body)->isBold());
    EXPECT_EQ(fontAt(s, body)->pointSize, 12);
    EXPECT_TRUE(
        s.string().contains(QStringLiteral("\u2018Great Recession\u2019"))); // \'91 \'92 in cp1252
    EXPECT_FALSE(s.string().contains(u"HYPERLINK"));                         // field instructions
}

TEST(RtfTest, ReadsDoubleByteCodePagesAndUnicodeEscapes)
{
    const QByteArray flat = fixtureBytes("rtf/StickiesDatabase-note0.flat-rtfd");
    SKIP_WITHOUT(flat);
    const auto directory = parseFlatDirectory(flat);
    ASSERT_TRUE(directory);
    ASSERT_EQ(directory->files.size(), 1u);
    EXPECT_EQ(directory->files.front().preferredFilename, QStringLiteral("TXT.rtf"));
    const AttributedString note = attributedStringFromRtf(directory->files.front().contents);
    EXPECT_TRUE(
        note.string().startsWith(QStringLiteral("Rush- team project due to Sunday 11:42pm\n")));
    EXPECT_TRUE(std::any_of(note.string().begin(), note.string().end(), [](QChar c) {
        return c.script() == QChar::Script_Hangul;
    })) << note.string().toStdString();

    const AttributedString chinese = attributedStringFromRtf(fixtureBytes("rtf/svn.rtfd/TXT.rtf"));
    EXPECT_TRUE(
        chinese.string().startsWith(QStringLiteral("在开发中，除了在本机文件夹上进行svn更新外")))
        << chinese.string().left(40).toStdString();
}

TEST(RtfTest, ReadsWhatOfficeSuitesPutOnTheClipboard)
{
    QImage dot(2, 2, QImage::Format_RGB32);
    dot.fill(Qt::blue);
    QByteArray png;
    {
        QBuffer b(&png);
        b.open(QIODevice::WriteOnly);
        dot.save(&b, "PNG");
    }
    // LibreOffice: \uc2 with two fallback bytes, a picture twice (PNG, then a metafile to skip).
    const QByteArray libreOffice = "{\\rtf1\\ansi\\deff4\\adeflang1025{\\fonttbl{"
                                   "\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}"
                                   "{\\f4\\fswiss\\fprq2\\fcharset0 Liberation Sans{\\*\\falt "
                                   "Arial};}}{\\colortbl;\\red0\\green0\\blue0;"
                                   "\\red201\\green33\\blue30;}{\\stylesheet{\\s0\\snext0 Default "
                                   "Style;}}{\\*\\generator LibreOffice/7.4}"
                                   "{\\info{\\creatim\\yr2026}}\\pard\\plain "
                                   "\\s0\\f4\\fs24{\\cf2\\b Price \\uc2 \\u8364\\'80\\'80 5}"
                                   "{\\*\\shppict{\\pict\\pngblip\\picw2\\pich2 " +
                                   png.toHex() + "}}{\\nonshppict{\\pict\\wmetafile8 0102}}\\par}";
    const AttributedString lo = attributedStringFromRtf(libreOffice);
    EXPECT_EQ(lo.string(), QStringLiteral("Price € 5\uFFFC\n"));
    EXPECT_EQ(fontAt(lo, 0)->name, QStringLiteral("LiberationSans-Bold"));
    EXPECT_EQ(colorAt(lo, 0)->toQColor(), QColor(201, 33, 30));
    EXPECT_EQ(JVSXSharedExtensions::attachedImages(lo).size(), 1);

    // AbiWord: \'hh in the document's code page, \ul and unknown words to pass over.
    const QByteArray abiWord =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 DejaVu Sans;}}"
        "{\\*\\abiversion 3.0}\\pard\\plain\\f0\\fs20 caf\\'e9 \\i na\\'efve\\i0  \\ul "
        "x\\ulnone\\par}";
    const AttributedString abi = attributedStringFromRtf(abiWord);
    EXPECT_EQ(abi.string(), QStringLiteral("café naïve x\n")); // a control word eats one space
    EXPECT_EQ(fontAt(abi, 0)->name, QStringLiteral("DejaVuSans"));
    EXPECT_EQ(fontAt(abi, 0)->pointSize, 10);
    EXPECT_TRUE(fontAt(abi, 6)->isItalic());
}

TEST(RtfTest, HostileInputGivesAnEmptyOrPartialTextQuickly)
{
    for (const QByteArray& rtf :
         {QByteArray(), QByteArray("not rtf"), QByteArray("{\\rtf1") + QByteArray(100000, '{'),
          QByteArray("{\\rtf1 \\u-99999999999999 \\bin999999999 x}"),
          QByteArray("{\\rtf1 \\'zz \\'4"), QByteArray("{\\rtf1 {\\pict\\pngblip 89504e47}}"),
          QByteArray("{\\rtf1 }}}}} text")}) {
        const AttributedString s = attributedStringFromRtf(rtf);
        EXPECT_LE(s.length(), rtf.size());
    }
}

} // namespace
