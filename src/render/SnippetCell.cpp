#include "SnippetCell.h"

#include "model/FormattedText.h"
#include "model/SnippetRecord.h"
#include "text/SystemAppearance.h"
#include "util/Localization.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace JVSXSharedExtensions {

namespace {

constexpr qreal kBadgeWidth = 19;
constexpr qreal kBadgeGap = 6;
constexpr qreal kBevelRadius = 9;
constexpr qreal kWidestAbbreviation = 94;
constexpr qreal kAbbreviationPadding = 12;
constexpr int kFontSize = 13;

QColor calibratedWhite(float white, float alpha)
{
    return QColor::fromRgbF(white, white, white, alpha);
}

QColor disabledControlTextColor()
{
    return calibratedWhite(0.5f, 1.0f);
}

QFont systemFont(bool bold)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(kFontSize); // one point is one pixel of the drawing
    font.setBold(bold);
    return font;
}

const std::array<qreal, 4> kRoundCorners{kBevelRadius, kBevelRadius, kBevelRadius, kBevelRadius};

bool isSinglePicture(const plist::Dictionary& snippet)
{
    const auto formatted = formattedSnippetReplacement(snippet);
    return formatted && formatted->length() == 1 && attachedImages(*formatted).size() == 1;
}

void drawString(QPainter& painter, const QString& s, const QRectF& rect,
                const CellTextAttributes& attributes)
{
    painter.setFont(attributes.font);
    painter.setPen(attributes.foreground);
    const QString line = QFontMetricsF(attributes.font)
                             .elidedText(s, Qt::ElideMiddle, std::max<qreal>(rect.width(), 0));
    painter.drawText(rect, int(attributes.alignment | Qt::AlignVCenter | Qt::TextSingleLine), line);
}

} // namespace

QColor JVSXSnippetCellTypeBevelColor(bool highlighted)
{
    static const QColor singletonJVSXSnippetCellHighlightedTypeBevelColor =
        calibratedWhite(1.0f, 0.4f);
    static const QColor singletonJVSXSnippetCellTypeBevelColor =
        QColor::fromRgbF(0.6f, 0.75f, 0.9f, 0.3f);
    return highlighted ? singletonJVSXSnippetCellHighlightedTypeBevelColor
                       : singletonJVSXSnippetCellTypeBevelColor;
}

const CellTextAttributes& JVSXSnippetCellTypeAttributes(bool highlighted)
{
    static const CellTextAttributes singletonJVSXSnippetCellHighlightedTypeAttributes{
        systemFont(true), calibratedWhite(1.0f, 0.8f), Qt::AlignHCenter};
    static const CellTextAttributes singletonJVSXSnippetCellTypeAttributes = [] {
        CellTextAttributes normal = singletonJVSXSnippetCellHighlightedTypeAttributes;
        normal.foreground = QColor::fromRgbF(0.0f, 0.3f, 0.5f, 0.4f);
        return normal;
    }();
    return highlighted ? singletonJVSXSnippetCellHighlightedTypeAttributes
                       : singletonJVSXSnippetCellTypeAttributes;
}

QColor JVSXSnippetCellAbbreviationBevelColor(bool valid, bool highlighted)
{
    static const QColor singletonJVSXSnippetCellInvalidAbbreviationBevelColor =
        QColor::fromRgbF(0.75f, 0.0f, 0.0f, 1.0f);
    if (!valid)
        return singletonJVSXSnippetCellInvalidAbbreviationBevelColor;
    return calibratedWhite(0.0f, highlighted ? 0.2f : 0.25f);
}

const CellTextAttributes& JVSXSnippetCellAbbreviationAttributes()
{
    static const CellTextAttributes singletonJVSXSnippetCellAbbreviationAttributes{
        systemFont(false), QColor(Qt::white), Qt::AlignHCenter};
    return singletonJVSXSnippetCellAbbreviationAttributes;
}

const CellTextAttributes& JVSXSnippetCellReplacementAttributes(bool enabled, bool highlighted)
{
    static CellTextAttributes singletonJVSXSnippetCellReplacementAttributes{
        systemFont(false), {}, Qt::AlignLeft};
    singletonJVSXSnippetCellReplacementAttributes.foreground =
        highlighted ? QColor(Qt::white)
                    : (enabled ? text::controlTextColor().toQColor() : disabledControlTextColor());
    return singletonJVSXSnippetCellReplacementAttributes;
}

SnippetCellLayout snippetCellLayout(const plist::Dictionary& snippet, const QRectF& frame,
                                    bool isPartOfStatusItemMenu)
{
    SnippetCellLayout layout;
    layout.abbreviation = snippetAbbreviation(snippet);
    layout.abbreviationValid = hasValidSnippetAbbreviation(snippet);
    const bool formatted = formattedSnippetReplacementData(snippet).has_value();
    layout.typeLabel = JVSXLocalizedString(formatted ? "F" : "T");

    if (plainSnippetReplacement(snippet).isEmpty()) {
        layout.previewText = JVSXLocalizedString("(Empty)");
        layout.previewEnabled = false;
    } else {
        layout.previewText = plainSnippetReplacementWithSimplifications(snippet, true);
        layout.previewEnabled = layout.abbreviationValid;
        if (layout.previewText.isEmpty()) {
            layout.previewText = JVSXLocalizedString("(White Space)");
        } else if (formatted && isSinglePicture(snippet)) {
            layout.typeLabel = JVSXLocalizedString("P");
            layout.previewText = JVSXLocalizedString("(Picture)");
        }
    }

    const qreal top = frame.y() + 1;
    const qreal height = frame.height() - 3;
    // Measured from the drawing's own left edge, not the frame's.
    layout.badge = QRectF(isPartOfStatusItemMenu ? 5 : 3, top, kBadgeWidth, height);

    qreal previewRight = frame.width() - 5;
    const bool drawsAbbreviation =
        !layout.abbreviation.isEmpty() && !(isPartOfStatusItemMenu && !layout.abbreviationValid);
    if (drawsAbbreviation) {
        const qreal textWidth = QFontMetricsF(JVSXSnippetCellAbbreviationAttributes().font)
                                    .horizontalAdvance(layout.abbreviation);
        const qreal bevelWidth = textWidth > kWidestAbbreviation
                                     ? kWidestAbbreviation + kAbbreviationPadding
                                     : textWidth + kAbbreviationPadding;
        layout.abbreviationBevel = QRectF(frame.width() - bevelWidth, top, bevelWidth, height);
        layout.abbreviationText = QRectF(frame.width() - bevelWidth + kAbbreviationPadding / 2, top,
                                         bevelWidth - kAbbreviationPadding, height);
        previewRight = frame.width() - bevelWidth - 10;
    }
    const qreal previewLeft = frame.x() + kBadgeWidth + kBadgeGap;
    layout.preview = QRectF(previewLeft, top, previewRight - previewLeft, height);
    return layout;
}

void drawCellInteriorForSnippet(QPainter& painter, const plist::Dictionary& snippet,
                                const QRectF& frame, bool highlight, bool isPartOfStatusItemMenu)
{
    const SnippetCellLayout layout = snippetCellLayout(snippet, frame, isPartOfStatusItemMenu);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    JVSXBevelRectFill(painter, layout.badge, kRoundCorners, std::nullopt,
                      JVSXSnippetCellTypeBevelColor(highlight));
    drawString(painter, layout.typeLabel, layout.badge, JVSXSnippetCellTypeAttributes(highlight));

    if (layout.abbreviationBevel) {
        JVSXBevelRectFill(
            painter, *layout.abbreviationBevel, kRoundCorners, std::nullopt,
            JVSXSnippetCellAbbreviationBevelColor(layout.abbreviationValid, highlight));
        drawString(painter, layout.abbreviation, layout.abbreviationText,
                   JVSXSnippetCellAbbreviationAttributes());
    }
    drawString(painter, layout.previewText, layout.preview,
               JVSXSnippetCellReplacementAttributes(layout.previewEnabled || isPartOfStatusItemMenu,
                                                    highlight));
    painter.restore();
}

} // namespace JVSXSharedExtensions

namespace {

// Angles as the path's own coordinate space counts them; Qt counts the other way round
// in a y-down space, hence the negated start and sweep.
void appendArc(QPainterPath& path, const QPointF& centre, qreal radius, qreal startDegrees)
{
    path.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
               -startDegrees, -90);
}

} // namespace

void JVSXBevelRectFill(QPainter& painter, const QRectF& rect, const std::array<qreal, 4>& radii,
                       const std::optional<QColor>& outline, const std::optional<QColor>& fill)
{
    const auto [r1, r2, r3, r4] = radii;
    const qreal minX = rect.x(), minY = rect.y(), maxX = rect.x() + rect.width(),
                maxY = rect.y() + rect.height();
    QPainterPath path;
    if (r2 < 1) {
        path.moveTo(maxX, maxY);
    } else {
        path.moveTo(maxX, maxY - r2);
        appendArc(path, {maxX - r2, maxY - r2}, r2, 0);
    }
    if (r1 < 1)
        path.lineTo(minX, maxY);
    else
        appendArc(path, {minX + r1, maxY - r1}, r1, 90);
    if (r3 < 1)
        path.lineTo(minX, minY);
    else
        appendArc(path, {minX + r3, minY + r3}, r3, 180);
    if (r4 < 1)
        path.lineTo(maxX, minY);
    else
        appendArc(path, {maxX - r4, minY + r4}, r4, 270);
    path.closeSubpath();

    if (fill)
        painter.fillPath(path, *fill);
    if (outline)
        painter.strokePath(path, QPen(*outline, 1));
}
