#pragma once

#include <QDateTime>
#include <QLocale>
#include <QStringList>

namespace snapwick {

// The names and formats the calendar format takes from the user's locale.
struct CalendarLocale
{
    QStringList monthNames, shortMonthNames;     // January first
    QStringList weekdayNames, shortWeekdayNames; // Sunday first
    QString amDesignator, pmDesignator;
    QString shortDateFormat; // calendar codes: %x, and the short date of imports
    QString longDateFormat;
    QString timeFormat; // %X

    static CalendarLocale fromQLocale(const QLocale& locale);
};

// The platform's calendar format: every "%" code in format replaced for the moment
// (%a %A %b %B %c %d %e %F %H %I %j %m %M %p %S %w %x %X %y %Y %Z %z %%, and with a digit 1
// after the "%" without leading zero); any other character is copied unchanged.
QString descriptionWithCalendarFormat(const QString& format, const QDateTime& date,
                                      const CalendarLocale& locale);

// A Qt date/time pattern ("dd.MM.yy", "h:mm AP") in calendar codes ("%d.%m.%y",
// "%1I:%M %p"). Quoted text is kept literally; letters that have no code (era,
// week-of-year...) are dropped, with the separators around them kept.
QString calendarFormatFromQtPattern(const QString& pattern);

} // namespace snapwick
