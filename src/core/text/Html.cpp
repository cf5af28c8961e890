#include "Html.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QImageWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <functional>

namespace text {

namespace {

// Where a picture's original bytes ride along in the document's image formats.
constexpr int kAttachmentBytesProperty = QTextFormat::UserProperty + 1;
constexpr int kAttachmentNameProperty = QTextFormat::UserProperty + 2;
constexpr QChar kAttachmentCharacter(0xFFFC);

using PictureLookup = std::function<std::optional<FileWrapper>(const QString& name)>;

QByteArray encoded(const QImage& image, const char* format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    return writer.write(image) ? buffer.data() : QByteArray();
}

// Font names in archives have no spaces ("DejaVuSans"); the installed family has.
QString installedFamily(const QString& family)
{
    static QHash<QString, QString> cache;
    auto it = cache.constFind(family);
    if (it != cache.constEnd())
        return *it;
    QString found = family;
    const QString wanted = QString(family).remove(u' ').toLower();
    for (const QString& f : QFontDatabase::families()) {
        if (QString(f).remove(u' ').toLower() == wanted) {
            found = f;
            break;
        }
    }
    cache.insert(family, found);
    return found;
}

QTextCharFormat charFormat(const Attributes& a)
{
    QTextCharFormat f;
    if (const auto* font = a.get<Font>(AttributeName::Font)) {
        f.setFontFamilies({installedFamily(font->family())});
        f.setFontPointSize(font->pointSize);
        f.setFontWeight(font->isBold() ? QFont::Bold : QFont::Normal);
        f.setFontItalic(font->isItalic());
    }
    if (const auto* c = a.get<Color>(AttributeName::ForegroundColor))
        f.setForeground(c->toQColor());
    return f;
}

QTextBlockFormat blockFormat(const Attributes& a)
{
    QTextBlockFormat b;
    const auto* p = a.get<ParagraphStyle>(AttributeName::ParagraphStyle);
    if (!p)
        return b;
    static const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                               Qt::AlignJustify, Qt::AlignLeading};
    b.setAlignment(alignments[std::clamp(p->alignment, 0, 4)]);
    b.setLeftMargin(p->headIndent);
    b.setTextIndent(p->firstLineHeadIndent - p->headIndent);
    b.setTopMargin(p->paragraphSpacingBefore);
    b.setBottomMargin(p->paragraphSpacing);
    QList<QTextOption::Tab> tabs;
    for (const TextTab& t : p->tabStops) {
        static const QTextOption::TabType types[] = {QTextOption::LeftTab, QTextOption::RightTab,
                                                     QTextOption::CenterTab,
                                                     QTextOption::DelimiterTab};
        tabs.append(QTextOption::Tab(t.location, types[std::clamp(t.type, 0, 3)]));
    }
    b.setTabPositions(tabs);
    return b;
}

std::optional<ParagraphStyle> paragraphStyle(const QTextBlockFormat& b)
{
    if (!b.hasProperty(QTextFormat::BlockAlignment) && b.leftMargin() == 0 && b.textIndent() == 0 &&
        b.tabPositions().isEmpty())
        return std::nullopt;
    ParagraphStyle p;
    const Qt::Alignment h = b.alignment() & Qt::AlignHorizontal_Mask;
    p.alignment = h & Qt::AlignHCenter   ? ParagraphStyle::Center
                  : h & Qt::AlignJustify ? ParagraphStyle::Justified
                  : h & Qt::AlignRight   ? ParagraphStyle::Right
                  : h & Qt::AlignLeft    ? ParagraphStyle::Left
                                         : ParagraphStyle::Natural;
    p.headIndent = b.leftMargin();
    p.firstLineHeadIndent = b.leftMargin() + b.textIndent();
    p.paragraphSpacingBefore = b.topMargin();
    p.paragraphSpacing = b.bottomMargin();
    for (const QTextOption::Tab& t : b.tabPositions())
        p.tabStops.push_back({t.type == QTextOption::RightTab    ? 1
                              : t.type == QTextOption::CenterTab ? 2
                                                                 : 0,
                              t.position});
    return p;
}

Attributes attributesOf(const QTextCharFormat& f)
{
    Attributes a;
    const QFont font = f.font();
    const QStringList families = f.fontFamilies().toStringList();
    const QString family = families.isEmpty() ? font.family() : families.front();
    const double size = f.fontPointSize() > 0 ? f.fontPointSize() : font.pointSizeF();
    a.set(AttributeName::Font,
          Font{Font::postScriptName(family, f.fontWeight() >= QFont::DemiBold, f.fontItalic()),
               size > 0 ? size : 12});
    if (f.hasProperty(QTextFormat::ForegroundBrush)) {
        const QColor c = f.foreground().color();
        a.set(AttributeName::ForegroundColor,
              Color::rgb(c.redF(), c.greenF(), c.blueF(), c.alphaF()));
    }
    return a;
}

std::optional<FileWrapper> pictureOf(const QTextImageFormat& f, const QTextDocument& document,
                                     const PictureLookup& lookup)
{
    if (f.hasProperty(kAttachmentBytesProperty))
        return FileWrapper{f.stringProperty(kAttachmentNameProperty),
                           f.property(kAttachmentBytesProperty).toByteArray()};
    if (lookup) {
        if (auto found = lookup(f.name()))
            return found;
    }
    const QImage image =
        document.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
    if (image.isNull())
        return std::nullopt;
    return FileWrapper{QStringLiteral("Image.tiff"), encoded(image, "tiff")};
}

AttributedString fromDocument(const QTextDocument& document, const PictureLookup& lookup)
{
    AttributedString out;
    Attributes last;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            out.append(QStringLiteral("\n"), last);
        const auto style = paragraphStyle(block.blockFormat());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            Attributes a = attributesOf(fragment.charFormat());
            if (style)
                a.set(AttributeName::ParagraphStyle, *style);
            last = a;
            if (!fragment.charFormat().isImageFormat()) {
                out.append(QString(fragment.text()).replace(QChar::LineSeparator, u'\n'), a);
                continue;
            }
            const auto picture = pictureOf(fragment.charFormat().toImageFormat(), document, lookup);
            for (qsizetype i = 0; i < fragment.length(); ++i) {
                if (!picture)
                    continue;
                Attributes withPicture = a;
                withPicture.set(AttributeName::Attachment,
                                std::make_shared<const Attachment>(Attachment{*picture}));
                out.append(QString(kAttachmentCharacter), withPicture);
            }
        }
    }
    return out;
}

QString cssColor(const Color& c)
{
    const QColor q = c.toQColor();
    return q.alpha() == 255 ? q.name()
                            : QStringLiteral("rgba(%1,%2,%3,%4)")
                                  .arg(q.red())
                                  .arg(q.green())
                                  .arg(q.blue())
                                  .arg(q.alphaF());
}

QString spanStyle(const Attributes& a)
{
    QStringList css;
    if (const auto* f = a.get<Font>(AttributeName::Font)) {
        css << QStringLiteral("font-family:'%1'").arg(installedFamily(f->family()).toHtmlEscaped());
        css << QStringLiteral("font-size:%1pt").arg(f->pointSize);
        if (f->isBold())
            css << QStringLiteral("font-weight:bold");
        if (f->isItalic())
            css << QStringLiteral("font-style:italic");
    }
    if (const auto* c = a.get<Color>(AttributeName::ForegroundColor))
        css << QStringLiteral("color:") + cssColor(*c);
    return css.join(u';');
}

QString paragraphOpen(const Attributes& a)
{
    QString css = QStringLiteral("margin:0");
    if (const auto* p = a.get<ParagraphStyle>(AttributeName::ParagraphStyle)) {
        static const char* alignments[] = {"left", "right", "center", "justify", nullptr};
        if (const char* align = alignments[std::clamp(p->alignment, 0, 4)])
            css += QStringLiteral(";text-align:") + QLatin1String(align);
        if (p->headIndent != 0)
            css += QStringLiteral(";margin-left:%1pt").arg(p->headIndent);
        if (p->firstLineHeadIndent != p->headIndent)
            css += QStringLiteral(";text-indent:%1pt").arg(p->firstLineHeadIndent - p->headIndent);
    }
    return QStringLiteral("<p style=\"%1\">").arg(css);
}

QString imageTag(const Attachment& attachment)
{
    const QImage image = attachment.image();
    if (image.isNull())
        return {};
    return QStringLiteral(
               "<img src=\"data:image/png;base64,%1\" width=\"%2\" height=\"%3\" alt=\"%4\">")
        .arg(QString::fromLatin1(encoded(image, "png").toBase64()))
        .arg(image.width())
        .arg(image.height())
        .arg(attachment.fileWrapper.preferredFilename.toHtmlEscaped());
}

} // namespace

QByteArray htmlFromAttributedString(const AttributedString& s)
{
    QString html = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head>"
                                  "<body style=\"white-space:pre-wrap\">");
    bool inParagraph = false;
    qsizetype at = 0;
    for (const AttributedString::Run& run : s.runs()) {
        const Attributes& a = *run.attributes;
        const QString text = s.string().mid(at, run.length);
        at += run.length;
        if (!inParagraph) {
            html += paragraphOpen(a);
            inParagraph = true;
        }
        if (const auto* attachment = a.get<AttachmentPtr>(AttributeName::Attachment)) {
            for (qsizetype i = 0; i < text.size(); ++i)
                html += imageTag(**attachment);
            continue;
        }
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                html += QStringLiteral("</p>") + paragraphOpen(a);
            if (!lines[i].isEmpty())
                html += QStringLiteral("<span style=\"%1\">%2</span>")
                            .arg(spanStyle(a), lines[i].toHtmlEscaped());
        }
    }
    if (inParagraph)
        html += QStringLiteral("</p>");
    html += QStringLiteral("</body></html>");
    return html.toUtf8();
}

AttributedString attributedStringFromHtml(const QString& html)
{
    QTextDocument document;
    QHash<QString, FileWrapper> pictures;
    static const QRegularExpression dataUri(
        QStringLiteral("src\\s*=\\s*[\"'](data:image/(png|jpeg|jpg|gif|tiff);base64,([A-Za-z0-9+/"
                       "=\\s]+))[\"']"),
        QRegularExpression::CaseInsensitiveOption);
    for (auto it = dataUri.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QByteArray bytes = QByteArray::fromBase64(
            m.captured(3).remove(QRegularExpression(QStringLiteral("\\s"))).toLatin1());
        const QImage image = QImage::fromData(bytes);
        if (image.isNull())
            continue;
        document.addResource(QTextDocument::ImageResource, QUrl(m.captured(1)), image);
        const QString suffix =
            m.captured(2).toLower() == u"jpeg" ? QStringLiteral("jpg") : m.captured(2).toLower();
        pictures.insert(m.captured(1), FileWrapper{QStringLiteral("Image.") + suffix, bytes});
    }
    document.setHtml(html);
    return fromDocument(document, [&](const QString& name) -> std::optional<FileWrapper> {
        auto it = pictures.constFind(name);
        return it == pictures.constEnd() ? std::nullopt : std::optional(*it);
    });
}

void fillTextDocument(QTextDocument& document, const AttributedString& s)
{
    document.clear();
    QTextCursor cursor(&document);
    qsizetype at = 0;
    int pictureNumber = 0;
    bool firstBlock = true;
    for (const AttributedString::Run& run : s.runs()) {
        const Attributes& a = *run.attributes;
        const QString text = s.string().mid(at, run.length);
        at += run.length;
        if (firstBlock) {
            cursor.setBlockFormat(blockFormat(a));
            firstBlock = false;
        }
        if (const auto* attachment = a.get<AttachmentPtr>(AttributeName::Attachment)) {
            const QImage image = (*attachment)->image();
            for (qsizetype i = 0; i < text.size(); ++i) {
                const QUrl url(QStringLiteral("snapwick-attachment:%1").arg(++pictureNumber));
                document.addResource(QTextDocument::ImageResource, url, image);
                QTextImageFormat f;
                f.merge(charFormat(a));
                f.setName(url.toString());
                f.setWidth(image.width());
                f.setHeight(image.height());
                f.setProperty(kAttachmentBytesProperty, (*attachment)->fileWrapper.contents);
                f.setProperty(kAttachmentNameProperty,
                              (*attachment)->fileWrapper.preferredFilename);
                cursor.insertImage(f);
            }
            continue;
        }
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                cursor.insertBlock(blockFormat(a), charFormat(a));
            cursor.insertText(lines[i], charFormat(a));
        }
    }
}

AttributedString attributedStringFromTextDocument(const QTextDocument& document)
{
    return fromDocument(document, nullptr);
}

} // namespace text
