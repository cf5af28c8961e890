#include "Rtf.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QStringDecoder>
#include <array>

namespace text {

namespace {

constexpr int kMaxGroupDepth = 256;
constexpr double kTwipsPerPoint = 20;

enum class Destination
{
    Body,
    FontTable,
    ColorTable,
    Picture,
    Skip
};

struct GroupState
{
    Destination destination = Destination::Body;
    int font = -1;
    double halfPoints = 24;
    bool bold = false;
    bool italic = false;
    int color = 0;
    int unicodeSkip = 1; // \ucN: fallback characters after each \uN
};

struct FontEntry
{
    QString name;
    int charset = 0;
};

// Code pages by number, as \ansicpgN and \fcharsetN name them.
int codePageForCharset(int charset)
{
    switch (charset) {
    case 77:
        return 10000; // Mac Roman
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    default:
        return 0; // the document's code page
    }
}

QStringDecoder decoderForCodePage(int codePage)
{
    QList<QByteArray> names;
    switch (codePage) {
    case 10000:
        names = {"macintosh", "macroman"};
        break;
    case 932:
        names = {"Shift_JIS", "windows-932"};
        break;
    case 936:
        names = {"GBK", "windows-936"};
        break;
    case 949:
        names = {"windows-949", "cp949", "EUC-KR"};
        break;
    case 950:
        names = {"Big5", "windows-950"};
        break;
    default:
        names = {"windows-" + QByteArray::number(codePage), "cp" + QByteArray::number(codePage)};
        break;
    }
    for (const QByteArray& n : names) {
        QStringDecoder d(n.constData());
        if (d.isValid())
            return d;
    }
    return QStringDecoder(QStringConverter::Latin1);
}

// Words that open a destination whose text is not part of the document.
bool isSkippedDestination(const QByteArray& word)
{
    static const char* const kSkipped[] = {"stylesheet",
                                           "info",
                                           "header",
                                           "footer",
                                           "headerl",
                                           "headerr",
                                           "headerf",
                                           "footerl",
                                           "footerr",
                                           "footerf",
                                           "footnote",
                                           "fldinst",
                                           "object",
                                           "nonshppict",
                                           "themedata",
                                           "colorschememapping",
                                           "latentstyles",
                                           "datastore",
                                           "xmlnstbl",
                                           "listtable",
                                           "listoverridetable",
                                           "rsidtbl",
                                           "generator",
                                           "pgdsctbl",
                                           "filetbl",
                                           "revtbl",
                                           "bkmkstart",
                                           "bkmkend",
                                           "annotation",
                                           "atnid",
                                           "atnauthor",
                                           "comment",
                                           "expandedcolortbl",
                                           "NeXTGraphic"};
    for (const char* s : kSkipped) {
        if (word == s)
            return true;
    }
    return false;
}

class RtfParser
{
public:
    explicit RtfParser(const QByteArray& in) : m_in(in) { m_stack.push_back(GroupState{}); }

    AttributedString parse()
    {
        if (!m_in.trimmed().startsWith("{\\rtf"))
            return {};
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            if (c == '{')
                openGroup();
            else if (c == '}')
                closeGroup();
            else if (c == '\\')
                control();
            else if (c != '\r' && c != '\n')
                byte(uchar(c));
        }
        flushBytes();
        return std::move(m_out);
    }

private:
    GroupState& state() { return m_stack.back(); }

    void openGroup()
    {
        flushBytes();
        if (m_skippedDepth > 0 || m_stack.size() >= kMaxGroupDepth) {
            ++m_skippedDepth; // too deep to be a real document: read over it
            return;
        }
        m_stack.push_back(m_stack.back());
        m_ignorableNext = false;
    }

    void closeGroup()
    {
        flushBytes();
        m_fallbackToSkip = 0; // fallback text never reaches past its group
        if (m_skippedDepth > 0) {
            --m_skippedDepth;
            return;
        }
        if (m_stack.size() <= 1)
            return;
        const Destination closing = state().destination;
        m_stack.pop_back();
        if (closing == Destination::Picture && state().destination != Destination::Picture)
            finishPicture();
        if (closing == Destination::FontTable && state().destination != Destination::FontTable)
            m_fontName.clear();
    }

    // A control word or symbol; m_pos is just past the backslash.
    void control()
    {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        if (!std::isalpha(uchar(c))) {
            ++m_pos;
            symbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_in.size() && std::isalpha(uchar(m_in[m_pos])) && m_pos - start < 32)
            ++m_pos;
        const QByteArray word = m_in.mid(start, m_pos - start);
        bool hasParameter = false;
        bool negative = false;
        long long parameter = 0;
        if (m_pos < m_in.size() && m_in[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        for (int digits = 0; m_pos < m_in.size() && std::isdigit(uchar(m_in[m_pos]));
             ++digits, ++m_pos) {
            if (digits < 10)
                parameter = parameter * 10 + (m_in[m_pos] - '0');
            hasParameter = true;
        }
        if (negative)
            parameter = -parameter;
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos;
        controlWord(word, hasParameter,
                    int(std::clamp<long long>(parameter, INT32_MIN, INT32_MAX)));
    }

    void symbol(char c)
    {
        switch (c) {
        case '\'': {
            if (m_pos + 2 > m_in.size())
                return;
            bool ok = false;
            const int value = m_in.mid(m_pos, 2).toInt(&ok, 16);
            m_pos += 2;
            if (ok)
                byte(uchar(value));
            return;
        }
        case '*':
            m_ignorableNext = true;
            return;
        case '~':
            character(QChar(0x00A0));
            return;
        case '_':
            character(QChar(0x2011));
            return;
        case '-':
            return; // optional hyphen
        case '\n':
        case '\r':
            character(QChar(u'\n'));
            return;
        default:
            byte(uchar(c)); // \\ \{ \} and any other literal
        }
    }

    void controlWord(const QByteArray& word, bool hasParameter, int n)
    {
        const bool ignorable = std::exchange(m_ignorableNext, false);
        GroupState& s = state();
        if (s.destination == Destination::Skip)
            return;
        if (s.destination == Destination::Picture) {
            pictureWord(word, n);
            return;
        }
        if (word == "fonttbl") {
            s.destination = Destination::FontTable;
        } else if (word == "colortbl") {
            s.destination = Destination::ColorTable;
            m_colors.clear();
            m_colorPending = false;
        } else if (word == "pict") {
            flushBytes();
            s.destination = Destination::Picture;
            m_pictureHex.clear();
            m_pictureFormat.clear();
        } else if (isSkippedDestination(word) || (ignorable && !isKnownIgnorable(word))) {
            flushBytes();
            s.destination = Destination::Skip;
        } else if (s.destination == Destination::ColorTable) {
            colorWord(word, n);
        } else if (s.destination == Destination::FontTable) {
            if (word == "f")
                m_fontNumber = n;
            else if (word == "fcharset")
                m_fonts[m_fontNumber].charset = n;
        } else {
            bodyWord(word, hasParameter, n);
        }
    }

    static bool isKnownIgnorable(const QByteArray& word)
    {
        return word == "shppict" || word == "fldrslt" || word == "ud" || word == "upr";
    }

    void bodyWord(const QByteArray& word, bool hasParameter, int n)
    {
        GroupState& s = state();
        const bool on = !hasParameter || n != 0;
        if (word == "par" || word == "line" || word == "sect" || word == "page") {
            character(QChar(u'\n'));
        } else if (word == "tab") {
            character(QChar(u'\t'));
        } else if (word == "u") {
            m_fallbackToSkip = 0;
            character(QChar(char16_t(n < 0 ? n + 65536 : n)));
            m_fallbackToSkip = s.unicodeSkip;
        } else if (word == "uc") {
            s.unicodeSkip = std::clamp(n, 0, 8);
        } else if (word == "f") {
            setFormat([&] { s.font = n; });
        } else if (word == "fs") {
            setFormat([&] { s.halfPoints = std::clamp(n, 1, 3200); });
        } else if (word == "b") {
            setFormat([&] { s.bold = on; });
        } else if (word == "i") {
            setFormat([&] { s.italic = on; });
        } else if (word == "cf") {
            setFormat([&] { s.color = n; });
        } else if (word == "plain") {
            setFormat([&] {
                const int uc = s.unicodeSkip;
                const Destination d = s.destination;
                s = GroupState{};
                s.unicodeSkip = uc;
                s.destination = d;
            });
        } else if (word == "pard") {
            setFormat([&] {
                m_paragraph = ParagraphStyle{};
                m_hasParagraphStyle = false;
            });
        } else if (word == "ql" || word == "qr" || word == "qc" || word == "qj") {
            static const QByteArray kinds[] = {"ql", "qr", "qc", "qj"};
            setParagraph(
                [&] { m_paragraph.alignment = int(std::find(kinds, kinds + 4, word) - kinds); });
        } else if (word == "li") {
            setParagraph([&] { m_paragraph.headIndent = n / kTwipsPerPoint; });
        } else if (word == "fi") {
            setParagraph([&] { m_firstLineOffset = n / kTwipsPerPoint; });
        } else if (word == "ri") {
            setParagraph([&] { m_paragraph.tailIndent = -n / kTwipsPerPoint; });
        } else if (word == "sb") {
            setParagraph([&] { m_paragraph.paragraphSpacingBefore = n / kTwipsPerPoint; });
        } else if (word == "sa") {
            setParagraph([&] { m_paragraph.paragraphSpacing = n / kTwipsPerPoint; });
        } else if (word == "tqr" || word == "tqc" || word == "tqdec") {
            m_nextTabType = word == "tqr" ? 1 : word == "tqc" ? 2 : 3;
        } else if (word == "tx") {
            setParagraph([&] {
                if (m_paragraph.tabStops.size() < 256)
                    m_paragraph.tabStops.push_back(
                        {std::exchange(m_nextTabType, 0), n / kTwipsPerPoint});
            });
        } else if (word == "ansicpg") {
            m_codePage = n;
        } else if (word == "mac") {
            m_codePage = 10000;
        } else if (word == "pc") {
            m_codePage = 437;
        } else if (word == "pca") {
            m_codePage = 850;
        } else if (word == "deff") {
            m_defaultFont = n;
        } else {
            namedCharacter(word);
        }
    }

    void namedCharacter(const QByteArray& word)
    {
        static const std::pair<const char*, char16_t> kNamed[] = {
            {"emdash", 0x2014},  {"endash", 0x2013},    {"bullet", 0x2022},    {"lquote", 0x2018},
            {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
            {"enspace", 0x2002}, {"qmspace", 0x2005}};
        for (const auto& [name, c] : kNamed) {
            if (word == name) {
                character(QChar(c));
                return;
            }
        }
    }

    template <typename Change> void setFormat(Change change)
    {
        flushBytes();
        change();
        m_attributesValid = false;
    }

    template <typename Change> void setParagraph(Change change)
    {
        setFormat(change);
        m_hasParagraphStyle = true;
    }

    void colorWord(const QByteArray& word, int n)
    {
        const int v = std::clamp(n, 0, 255);
        if (word == "red")
            m_color.setRed(v);
        else if (word == "green")
            m_color.setGreen(v);
        else if (word == "blue")
            m_color.setBlue(v);
        else
            return;
        m_colorPending = true;
    }

    void pictureWord(const QByteArray& word, int n)
    {
        if (word == "pngblip")
            m_pictureFormat = "png";
        else if (word == "jpegblip")
            m_pictureFormat = "jpg";
        else if (word == "bin" && n > 0) { // raw bytes follow
            const qsizetype length = std::min<qsizetype>(n, m_in.size() - m_pos);
            m_pictureBinary = m_in.mid(m_pos, length);
            m_pos += length;
        }
    }

    void finishPicture()
    {
        QByteArray bytes =
            m_pictureBinary.isEmpty() ? QByteArray::fromHex(m_pictureHex) : m_pictureBinary;
        m_pictureHex.clear();
        m_pictureBinary.clear();
        if (m_pictureFormat.isEmpty() || bytes.isEmpty())
            return; // metafiles and other formats nobody here can draw
        auto attachment = std::make_shared<const Attachment>(Attachment{
            FileWrapper{QStringLiteral("Image.") + QString::fromLatin1(m_pictureFormat), bytes}});
        if (attachment->image().isNull())
            return;
        Attributes a = currentAttributes();
        a.set(AttributeName::Attachment, attachment);
        m_out.append(QString(QChar(0xFFFC)), a);
    }

    // A byte of text: in the body it waits for its neighbours, since multi-byte code
    // pages spell one character with two \'hh.
    void byte(uchar b)
    {
        switch (state().destination) {
        case Destination::Body:
            if (m_fallbackToSkip > 0) {
                --m_fallbackToSkip;
                return;
            }
            m_bytes.append(char(b));
            return;
        case Destination::FontTable:
            if (b == ';') {
                m_fonts[m_fontNumber].name = decode(m_fontName, 0).trimmed();
                m_fontName.clear();
            } else {
                m_fontName.append(char(b));
            }
            return;
        case Destination::ColorTable:
            if (b == ';') {
                m_colors.push_back(m_colorPending ? std::optional<QColor>(m_color) : std::nullopt);
                m_color = QColor(0, 0, 0);
                m_colorPending = false;
            }
            return;
        case Destination::Picture:
            if (std::isxdigit(b))
                m_pictureHex.append(char(b));
            return;
        case Destination::Skip:
            return;
        }
    }

    void character(QChar c)
    {
        if (state().destination != Destination::Body)
            return;
        if (m_fallbackToSkip > 0 && c != u'\n') {
            --m_fallbackToSkip;
            return;
        }
        flushBytes();
        m_out.append(QString(c), currentAttributes());
    }

    QString decode(const QByteArray& bytes, int charset)
    {
        const int fromCharset = codePageForCharset(charset);
        const int codePage = fromCharset ? fromCharset : m_codePage;
        auto it = m_decoders.find(codePage);
        if (it == m_decoders.end())
            it = m_decoders.insert(codePage,
                                   std::make_shared<QStringDecoder>(decoderForCodePage(codePage)));
        return (*it)->decode(bytes);
    }

    void flushBytes()
    {
        if (m_bytes.isEmpty())
            return;
        const FontEntry& font = m_fonts.value(state().font >= 0 ? state().font : m_defaultFont);
        QString text = decode(m_bytes, font.charset);
        m_bytes.clear();
        m_out.append(text, currentAttributes());
    }

    const Attributes& currentAttributes()
    {
        if (m_attributesValid)
            return m_attributes;
        const GroupState& s = state();
        m_attributes = Attributes();
        const int fontNumber = s.font >= 0 ? s.font : m_defaultFont;
        QString name = m_fonts.value(fontNumber).name;
        if (name.isEmpty())
            name = QStringLiteral("Helvetica");
        const Font named{name, 12};
        m_attributes.set(AttributeName::Font,
                         Font{Font::postScriptName(named.family(), s.bold || named.isBold(),
                                                   s.italic || named.isItalic()),
                              s.halfPoints / 2});
        if (s.color > 0 && s.color < int(m_colors.size()) && m_colors[std::size_t(s.color)]) {
            const QColor c = *m_colors[std::size_t(s.color)];
            m_attributes.set(AttributeName::ForegroundColor,
                             Color::rgb(c.redF(), c.greenF(), c.blueF()));
        }
        if (m_hasParagraphStyle) {
            ParagraphStyle p = m_paragraph;
            p.firstLineHeadIndent = p.headIndent + m_firstLineOffset;
            m_attributes.set(AttributeName::ParagraphStyle, p);
        }
        m_attributesValid = true;
        return m_attributes;
    }

    const QByteArray& m_in;
    qsizetype m_pos = 0;
    std::vector<GroupState> m_stack;
    int m_skippedDepth = 0;
    bool m_ignorableNext = false;
    int m_fallbackToSkip = 0;
    int m_codePage = 1252;
    int m_defaultFont = 0;
    QHash<int, FontEntry> m_fonts;
    int m_fontNumber = 0;
    QByteArray m_fontName;
    std::vector<std::optional<QColor>> m_colors; // entry 0 is the automatic colour
    QColor m_color{0, 0, 0};
    bool m_colorPending = false;
    ParagraphStyle m_paragraph;
    double m_firstLineOffset = 0;
    int m_nextTabType = 0;
    bool m_hasParagraphStyle = false;
    QByteArray m_pictureHex;
    QByteArray m_pictureBinary;
    QByteArray m_pictureFormat;
    QByteArray m_bytes;
    QHash<int, std::shared_ptr<QStringDecoder>> m_decoders;
    Attributes m_attributes;
    bool m_attributesValid = false;
    AttributedString m_out;
};

} // namespace

AttributedString attributedStringFromRtf(const QByteArray& rtf)
{
    return RtfParser(rtf).parse();
}

} // namespace text
