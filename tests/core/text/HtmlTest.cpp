#include "text/Html.h"

#include "../../QtPrinters.h"
#include "model/FormattedText.h"

#include <QTextDocument>
#include <gtest/gtest.h>

using namespace text;

namespace {

AttributedString sample()
{
    Attributes plain, bold;
    plain.set(AttributeName::Font, Font{QStringLiteral("Helvetica"), 13});
    bold.set(AttributeName::Font, Font{QStringLiteral("Helvetica-BoldItalic"), 18});
    bold.set(AttributeName::ForegroundColor, Color::rgb(0, 0, 1));
    AttributedString s(QStringLiteral("a <b> & \"c\"\nsecond line  "), plain);
    s.append(QStringLiteral("styled"), bold);
    QImage picture(5, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    s.append(*JVSXSharedExtensions::attributedStringWithAttachedTIFFImage(picture));
    return s;
}

void expectSameContent(const AttributedString& back, const AttributedString& original)
{
    EXPECT_EQ(back.string(), original.string());
    const qsizetype styled = original.string().indexOf(u"styled");
    const Font* f = back.attributesAt(styled).get<Font>(AttributeName::Font);
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->isBold());
    EXPECT_TRUE(f->isItalic());
    EXPECT_EQ(f->pointSize, 18);
    EXPECT_EQ(back.attributesAt(styled).get<Color>(AttributeName::ForegroundColor)->toQColor(),
              QColor(Qt::blue));
    const QList<QImage> images = JVSXSharedExtensions::attachedImages(back);
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(images.front().size(), QSize(5, 4));
}

TEST(HtmlTest, OurHtmlReadsBackWithStylesAndPictures)
{
    const AttributedString s = sample();
    const QByteArray html = htmlFromAttributedString(s);
    EXPECT_TRUE(html.contains("data:image/png;base64,"));
    EXPECT_TRUE(html.contains("a &lt;b&gt; &amp; &quot;c&quot;"));
    expectSameContent(attributedStringFromHtml(QString::fromUtf8(html)), s);
}

TEST(HtmlTest, TextDocumentRoundTripKeepsThePictureBytes)
{
    const AttributedString s = sample();
    QTextDocument document;
    fillTextDocument(document, s);
    EXPECT_EQ(document.toPlainText().replace(QChar(0xFFFC), u'#'),
              QString(s.string()).replace(QChar(0xFFFC), u'#'));
    const AttributedString back = attributedStringFromTextDocument(document);
    expectSameContent(back, s);
    const auto* attachment =
        back.attributesAt(back.length() - 1).get<AttachmentPtr>(AttributeName::Attachment);
    ASSERT_TRUE(attachment);
    EXPECT_EQ((*attachment)->fileWrapper.preferredFilename, QStringLiteral("Image.tiff"));
}

} // namespace
