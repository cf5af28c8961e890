#include "SnippetCell.h"

#include "StatusMenuPicture.h"
#include "model/FormattedText.h"
#include "model/SnippetRecord.h"

#include <QDir>
#include <QPainter>
#include <gtest/gtest.h>

using namespace JVSXSharedExtensions;

namespace {

const QRectF kTableFrame(10, 20, 300, 22);

plist::Dictionary snippet(const QString& abbreviation, const QString& text, bool valid = true)
{
    plist::Dictionary record;
    setSnippetAbbreviation(record, abbreviation);
    setPlainSnippetReplacement(record, text);
    setHasValidSnippetAbbreviation(record, valid);
    return record;
}

plist::Dictionary pictureSnippet(const QString& besideThePicture)
{
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    auto formatted = attributedStringWithAttachedTIFFImage(image);
    formatted->append(besideThePicture, defaultAttributes());
    plist::Dictionary record = snippet(QStringLiteral("pic"), formatted->string());
    setFormattedSnippetReplacement(record, formatted);
    return record;
}

qreal abbreviationBevelWidth(const QString& abbreviation)
{
    return snippetCellLayout(snippet(abbreviation, QStringLiteral("x")), kTableFrame, false)
        .abbreviationBevel->width();
}

TEST(SnippetCellLayout, PlacesBadgePreviewAndBevelInTheTable)
{
    const auto layout = snippetCellLayout(
        snippet(QStringLiteral("sig"), QStringLiteral("Hi\tthere")), kTableFrame, false);
    EXPECT_EQ(layout.typeLabel, QStringLiteral("T"));
    EXPECT_EQ(layout.badge, QRectF(3, 21, 19, 19)); // from the view's edge, not the frame's
    ASSERT_TRUE(layout.abbreviationBevel);
    const QRectF bevel = *layout.abbreviationBevel;
    EXPECT_EQ(bevel.right(), 300); // the frame's width, not its right edge
    EXPECT_EQ(bevel.top(), 21);
    EXPECT_EQ(layout.abbreviationText, bevel.adjusted(6, 0, -6, 0));
    EXPECT_EQ(layout.preview, QRectF(35, 21, bevel.left() - 10 - 35, 19));
    EXPECT_EQ(layout.previewText, QStringLiteral("Hi there"));
    EXPECT_TRUE(layout.previewEnabled);
}

TEST(SnippetCellLayout, BevelGrowsWithTheAbbreviationUpToAFixedWidth)
{
    const qreal shortWidth = abbreviationBevelWidth(QStringLiteral("ab"));
    EXPECT_GT(shortWidth, 12);
    EXPECT_LT(shortWidth, 106);
    EXPECT_EQ(abbreviationBevelWidth(QString(60, u'W')), 106);
}

struct PreviewCase
{
    const char* name;
    plist::Dictionary record;
    bool menu;
    const char* label;
    const char* text;
    bool enabled;
    bool bevel;
};

class SnippetCellPreview : public testing::TestWithParam<PreviewCase>
{};

TEST_P(SnippetCellPreview, ChoosesLabelTextAndColour)
{
    const PreviewCase& c = GetParam();
    const auto layout = snippetCellLayout(c.record, kTableFrame, c.menu);
    EXPECT_EQ(layout.typeLabel, QString::fromUtf8(c.label));
    EXPECT_EQ(layout.previewText, QString::fromUtf8(c.text));
    EXPECT_EQ(layout.previewEnabled, c.enabled);
    EXPECT_EQ(layout.abbreviationBevel.has_value(), c.bevel);
    if (!c.bevel) {
        EXPECT_EQ(layout.preview.right(), kTableFrame.width() - 5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SnippetCellPreview,
    testing::Values(
        PreviewCase{"empty", snippet(QStringLiteral("a"), {}), false, "T", "(Empty)", false, true},
        PreviewCase{"white_space", snippet(QStringLiteral("a"), QStringLiteral(" \t\n ")), false,
                    "T", "(White Space)", true, true},
        PreviewCase{"invalid_in_table", snippet(QStringLiteral("a"), QStringLiteral("x"), false),
                    false, "T", "x", false, true},
        PreviewCase{"invalid_in_menu_hides_abbreviation",
                    snippet(QStringLiteral("a"), QStringLiteral("x"), false), true, "T", "x", false,
                    false},
        PreviewCase{"no_abbreviation", snippet({}, QStringLiteral("x")), false, "T", "x", true,
                    false},
        PreviewCase{"lone_picture", pictureSnippet({}), false, "P", "(Picture)", true, true},
        PreviewCase{"picture_with_text", pictureSnippet(QStringLiteral("ok")), false, "F",
                    "(Picture...)ok", true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SnippetCellColours, InvalidRedWhateverTheHighlightValidBlackLighterWhenSelected)
{
    EXPECT_EQ(JVSXSnippetCellAbbreviationBevelColor(false, true),
              JVSXSnippetCellAbbreviationBevelColor(false, false));
    EXPECT_EQ(JVSXSnippetCellAbbreviationBevelColor(false, false).red(), 191);
    EXPECT_NEAR(JVSXSnippetCellAbbreviationBevelColor(true, false).alphaF(), 0.25, 0.002);
    EXPECT_NEAR(JVSXSnippetCellAbbreviationBevelColor(true, true).alphaF(), 0.2, 0.002);
    // One shared set, recoloured per call: read each colour before asking again.
    const QColor selected = JVSXSnippetCellReplacementAttributes(true, true).foreground;
    const QColor enabled = JVSXSnippetCellReplacementAttributes(true, false).foreground;
    const QColor disabled = JVSXSnippetCellReplacementAttributes(false, false).foreground;
    EXPECT_EQ(selected, QColor(Qt::white));
    EXPECT_NE(enabled, disabled);
}

int alphaAt(const QImage& image, int x, int y)
{
    return qAlpha(image.pixel(x, y));
}

TEST(BevelRectFill, RadiusBelowOneIsSquareAndOneIsRound)
{
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Corners in flipped space: (minX,maxY) bottom-left, (maxX,maxY) bottom-right,
    // (minX,minY) top-left, (maxX,minY) top-right.
    JVSXBevelRectFill(painter, QRectF(0, 0, 40, 40), {0.5, 10, 1, 0}, std::nullopt, Qt::black);
    painter.end();
    EXPECT_EQ(alphaAt(image, 0, 39), 255);  // bottom-left square
    EXPECT_EQ(alphaAt(image, 39, 0), 255);  // top-right square
    EXPECT_EQ(alphaAt(image, 39, 39), 0);   // bottom-right rounded by 10
    EXPECT_EQ(alphaAt(image, 20, 20), 255); // inside
}

TEST(StatusMenuPicture, HasTheCardBordersAndKeepsOneMenuForPeopleToLookAt)
{
    const QImage item =
        statusMenuItemPicture(snippet(QStringLiteral("sig"), QStringLiteral("Best regards")), 300);
    ASSERT_EQ(item.size(), QSize(300, 28));
    EXPECT_EQ(alphaAt(item, 150, 0), 0);   // spacing above
    EXPECT_EQ(alphaAt(item, 150, 27), 0);  // and below
    EXPECT_EQ(alphaAt(item, 150, 2), 77);  // top border, black at 0.3
    EXPECT_EQ(alphaAt(item, 0, 14), 77);   // left border
    EXPECT_EQ(alphaAt(item, 299, 14), 77); // right border
    // The badge starts at x 5 in the menu; its fill is over the white card.
    EXPECT_NE(item.pixel(6 + 9, 14), item.pixel(3, 14));

    const QList<plist::Dictionary> menu{
        snippet(QStringLiteral("sig"), QStringLiteral("Best regards,\nAnna")),
        snippet(QStringLiteral("addr"), QStringLiteral("12 Long Street, Springfield")),
        snippet(QStringLiteral("bad abbreviation"), QStringLiteral("not valid"), false),
        pictureSnippet({})};
    QImage sheet(300, 28 * int(menu.size()), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xee, 0xee, 0xee));
    QPainter painter(&sheet);
    for (int i = 0; i < menu.size(); ++i)
        painter.drawImage(0, 28 * i, statusMenuItemPicture(menu[i], 300));
    painter.end();
    EXPECT_TRUE(sheet.save(QDir::current().filePath(QStringLiteral("status-menu.png"))));
}

TEST(StatusItemPicture, HasThreeDistinctIcons)
{
    const QImage aqua = statusItemPicture(QStringLiteral("JVSXStatusItemAqua"), 22);
    const QImage graphite = statusItemPicture(QStringLiteral("JVSXStatusItemGraphite"), 22);
    const QImage selected = statusItemPicture(QStringLiteral("JVSXStatusItemSelected"), 22);
    ASSERT_FALSE(aqua.isNull());
    EXPECT_NE(aqua, graphite);
    EXPECT_NE(aqua, selected);
    EXPECT_TRUE(statusItemPicture(QStringLiteral("Other"), 22).isNull());
}

} // namespace
