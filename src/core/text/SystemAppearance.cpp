#include "SystemAppearance.h"

namespace text {

namespace {

struct Appearance
{
    QString family = QStringLiteral("Helvetica");
    Color textColor = Color::white(0, 1);
};

Appearance& appearance()
{
    static Appearance singletonAppearance;
    return singletonAppearance;
}

} // namespace

void setSystemAppearance(const QString& fontFamily, const Color& controlTextColor)
{
    appearance() = Appearance{fontFamily, controlTextColor};
}

Font systemFont(double pointSize)
{
    return Font{Font::postScriptName(appearance().family, false, false), pointSize};
}

Color controlTextColor()
{
    return appearance().textColor;
}

} // namespace text
