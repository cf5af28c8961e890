#pragma once

#include "plist/Dictionary.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <array>
#include <optional>

class QPainter;

// One snippet drawn as a row: type badge, one-line preview, abbreviation in a bevel.
// Both programs draw with it, so the caches below live for the whole process and are
// only touched from the user-interface thread.
namespace JVSXSharedExtensions {

struct CellTextAttributes
{
    QFont font;
    QColor foreground;
    Qt::Alignment alignment;
};

QColor JVSXSnippetCellTypeBevelColor(bool highlighted);
const CellTextAttributes& JVSXSnippetCellTypeAttributes(bool highlighted);
QColor JVSXSnippetCellAbbreviationBevelColor(bool valid, bool highlighted);
const CellTextAttributes& JVSXSnippetCellAbbreviationAttributes();
// The one shared set, recoloured on every call: use it before asking again.
const CellTextAttributes& JVSXSnippetCellReplacementAttributes(bool enabled, bool highlighted);

// Where each element of a row goes; drawing follows it exactly, and tests read it.
struct SnippetCellLayout
{
    QRectF badge;
    QString typeLabel;
    std::optional<QRectF> abbreviationBevel; // absent when the abbreviation is not drawn
    QRectF abbreviationText;
    QString abbreviation;
    bool abbreviationValid = true;
    QRectF preview;
    QString previewText;
    bool previewEnabled = true;
};

SnippetCellLayout snippetCellLayout(const plist::Dictionary& snippet, const QRectF& frame,
                                    bool isPartOfStatusItemMenu);
// Draws no background: the caller paints selection or menu first. The painter's y grows
// downwards.
void drawCellInteriorForSnippet(QPainter& painter, const plist::Dictionary& snippet,
                                const QRectF& frame, bool highlight, bool isPartOfStatusItemMenu);

} // namespace JVSXSharedExtensions

// Radii in the order (minX,maxY), (maxX,maxY), (minX,minY), (maxX,minY); below 1 is square.
// Radii are not clamped to the rectangle.
void JVSXBevelRectFill(QPainter& painter, const QRectF& rect, const std::array<qreal, 4>& radii,
                       const std::optional<QColor>& outline, const std::optional<QColor>& fill);
