#include "Rtf.h"

#include <QBuffer>
#include <QImageWriter>

namespace text {

namespace {

constexpr double kTwipsPerPoint = 20;

QByteArray pngOf(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(image) ? buffer.data() : QByteArray();
}

class RtfEmitter
{
public:
    explicit RtfEmitter(const AttributedString& s) : m_s(s) {}

    QByteArray emit()
    {
        collectTables();
        QByteArray body;
        qsizetype at = 0;
        const ParagraphStyle* currentStyle = nullptr;
        bool paragraphOpen = false;
        for (const AttributedString::Run& run : m_s.runs()) {
            const Attributes& a = *run.attributes;
            const auto* style = a.get<ParagraphStyle>(AttributeName::ParagraphStyle);
            if (!paragraphOpen || !sameStyle(style, currentStyle)) {
                body += paragraph(style);
                currentStyle = style;
                paragraphOpen = true;
            }
            body += characterFormat(a);
            if (const auto* attachment = a.get<AttachmentPtr>(AttributeName::Attachment)) {
                for (qsizetype i = 0; i < run.length; ++i)
                    body += picture(**attachment);
            } else {
                body += escaped(m_s.string().mid(at, run.length));
            }
            at += run.length;
        }
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\n";
        out += fontTable();
        out += colorTable();
        out += body;
        out += "}";
        return out;
    }

private:
    static bool sameStyle(const ParagraphStyle* a, const ParagraphStyle* b)
    {
        return a == b || (a && b && *a == *b) || (!a && !b);
    }

    void collectTables()
    {
        m_families << QStringLiteral("Helvetica"); // \f0, the default
        for (const AttributedString::Run& run : m_s.runs()) {
            if (const auto* f = run.attributes->get<Font>(AttributeName::Font);
                f && !m_families.contains(f->family()))
                m_families << f->family();
            if (const auto* c = run.attributes->get<Color>(AttributeName::ForegroundColor)) {
                const QColor q = c->toQColor();
                if (!m_colors.contains(q.rgb()))
                    m_colors << q.rgb();
            }
        }
    }

    QByteArray fontTable() const
    {
        QByteArray t = "{\\fonttbl";
        for (qsizetype i = 0; i < m_families.size(); ++i)
            t +=
                "\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 " + escaped(m_families[i]) + ";";
        return t + "}\n";
    }

    QByteArray colorTable() const
    {
        QByteArray t = "{\\colortbl;"; // entry 0: the reader's automatic colour
        for (QRgb c : m_colors) {
            t += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) +
                 "\\blue" + QByteArray::number(qBlue(c)) + ";";
        }
        return t + "}\n";
    }

    static QByteArray twips(double points)
    {
        return QByteArray::number(qRound(points * kTwipsPerPoint));
    }

    QByteArray paragraph(const ParagraphStyle* style) const
    {
        QByteArray p = "\\pard";
        if (!style)
            return p + " ";
        for (const TextTab& tab : style->tabStops) {
            static const char* kinds[] = {"", "\\tqr", "\\tqc", "\\tqdec"};
            p += kinds[std::clamp(tab.type, 0, 3)];
            p += "\\tx" + twips(tab.location);
        }
        static const char* alignments[] = {"\\ql", "\\qr", "\\qc", "\\qj",
                                           ""}; // natural: the reader's own
        p += alignments[std::clamp(style->alignment, 0, 4)];
        if (style->headIndent != 0)
            p += "\\li" + twips(style->headIndent);
        if (style->firstLineHeadIndent != style->headIndent)
            p += "\\fi" + twips(style->firstLineHeadIndent - style->headIndent);
        if (style->tailIndent != 0)
            p += "\\ri" + twips(std::abs(style->tailIndent));
        if (style->paragraphSpacingBefore != 0)
            p += "\\sb" + twips(style->paragraphSpacingBefore);
        if (style->paragraphSpacing != 0)
            p += "\\sa" + twips(style->paragraphSpacing);
        return p + " ";
    }

    QByteArray characterFormat(const Attributes& a) const
    {
        QByteArray f = "\\plain";
        if (const auto* font = a.get<Font>(AttributeName::Font)) {
            f += "\\f" + QByteArray::number(m_families.indexOf(font->family()));
            f += "\\fs" + QByteArray::number(qRound(font->pointSize * 2));
            if (font->isBold())
                f += "\\b";
            if (font->isItalic())
                f += "\\i";
        }
        if (const auto* c = a.get<Color>(AttributeName::ForegroundColor))
            f += "\\cf" + QByteArray::number(m_colors.indexOf(c->toQColor().rgb()) + 1);
        return f + " ";
    }

    static QByteArray escaped(const QString& text)
    {
        QByteArray out;
        for (QChar c : text) {
            const char16_t u = c.unicode();
            if (u == u'\\' || u == u'{' || u == u'}') {
                out += '\\';
                out += char(u);
            } else if (u == u'\n' || u == u'\r' || u == 0x2029) {
                out += "\\par\n";
            } else if (u == 0x2028) {
                out += "\\line ";
            } else if (u == u'\t') {
                out += "\\tab ";
            } else if (u >= 0x20 && u < 0x80) {
                out += char(u);
            } else if (u != 0xFFFC) {
                out += "\\u" + QByteArray::number(std::int16_t(u)) + "?";
            }
        }
        return out;
    }

    static QByteArray picture(const Attachment& attachment)
    {
        const QImage image = attachment.image();
        const QByteArray png = image.isNull() ? QByteArray() : pngOf(image);
        if (png.isEmpty())
            return {};
        QByteArray p = "{\\pict\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" +
                       QByteArray::number(image.height()) + "\\picwgoal" + twips(image.width()) +
                       "\\pichgoal" + twips(image.height()) + "\n";
        const QByteArray hex = png.toHex();
        for (qsizetype i = 0; i < hex.size(); i += 128)
            p += hex.mid(i, 128) + "\n";
        return p + "}";
    }

    const AttributedString& m_s;
    QStringList m_families;
    QList<QRgb> m_colors;
};

} // namespace

QByteArray rtfFromAttributedString(const AttributedString& s)
{
    return RtfEmitter(s).emit();
}

} // namespace text
