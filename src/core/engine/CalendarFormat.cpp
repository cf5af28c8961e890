#include "CalendarFormat.h"

#include <QTimeZone>

namespace snapwick {

namespace {

QString padded(int value, int width, bool pad)
{
    return pad ? QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'))
               : QString::number(value);
}

QString timeZoneOffset(const QDateTime& date)
{
    const int seconds = date.offsetFromUtc();
    const int minutes = std::abs(seconds) / 60;
    return QStringLiteral("%1%2%3")
        .arg(QChar(seconds < 0 ? u'-' : u'+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// One code letter; pad is false after the digit 1.
QString expandCode(char16_t code, bool pad, const QDateTime& date, const CalendarLocale& locale)
{
    const QDate d = date.date();
    const QTime t = date.time();
    const int weekday = d.dayOfWeek() % 7; // Sunday 0
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    switch (code) {
    case u'a':
        return locale.shortWeekdayNames.value(weekday);
    case u'A':
        return locale.weekdayNames.value(weekday);
    case u'b':
        return locale.shortMonthNames.value(d.month() - 1);
    case u'B':
        return locale.monthNames.value(d.month() - 1);
    case u'c':
        return descriptionWithCalendarFormat(locale.shortDateFormat + u' ' + locale.timeFormat,
                                             date, locale);
    case u'd':
        return padded(d.day(), 2, pad);
    case u'e':
        return QString::number(d.day());
    case u'F':
        return padded(t.msec(), 3, pad);
    case u'H':
        return padded(t.hour(), 2, pad);
    case u'I':
        return padded(hour12, 2, pad);
    case u'j':
        return padded(d.dayOfYear(), 3, pad);
    case u'm':
        return padded(d.month(), 2, pad);
    case u'M':
        return padded(t.minute(), 2, pad);
    case u'p':
        return t.hour() < 12 ? locale.amDesignator : locale.pmDesignator;
    case u'S':
        return padded(t.second(), 2, pad);
    case u'w':
        return QString::number(weekday);
    case u'x':
        return descriptionWithCalendarFormat(locale.shortDateFormat, date, locale);
    case u'X':
        return descriptionWithCalendarFormat(locale.timeFormat, date, locale);
    case u'y':
        return padded(d.year() % 100, 2, pad);
    case u'Y':
        return QString::number(d.year());
    case u'Z':
        return date.timeZoneAbbreviation();
    case u'z':
        return timeZoneOffset(date);
    default:
        return QString();
    }
}

bool isCode(char16_t c)
{
    return QStringView(u"aAbBcdeFHIjmMpSwxXyYZz").contains(QChar(c));
}

} // namespace

CalendarLocale CalendarLocale::fromQLocale(const QLocale& locale)
{
    CalendarLocale c;
    for (int m = 1; m <= 12; ++m) {
        c.monthNames << locale.monthName(m, QLocale::LongFormat);
        c.shortMonthNames << locale.monthName(m, QLocale::ShortFormat);
    }
    for (int day : {7, 1, 2, 3, 4, 5, 6}) { // Qt counts from Monday
        c.weekdayNames << locale.dayName(day, QLocale::LongFormat);
        c.shortWeekdayNames << locale.dayName(day, QLocale::ShortFormat);
    }
    c.amDesignator = locale.amText();
    c.pmDesignator = locale.pmText();
    c.shortDateFormat = calendarFormatFromQtPattern(locale.dateFormat(QLocale::ShortFormat));
    c.longDateFormat = calendarFormatFromQtPattern(locale.dateFormat(QLocale::LongFormat));
    c.timeFormat = calendarFormatFromQtPattern(locale.timeFormat(QLocale::ShortFormat));
    // Fallbacks for a locale that gives no usable pattern.
    if (c.shortDateFormat.isEmpty())
        c.shortDateFormat = QStringLiteral("%m/%d/%y");
    if (c.longDateFormat.isEmpty())
        c.longDateFormat = QStringLiteral("%A, %B %1d, %Y");
    if (c.timeFormat.isEmpty())
        c.timeFormat = QStringLiteral("%H:%M");
    return c;
}

QString descriptionWithCalendarFormat(const QString& format, const QDateTime& date,
                                      const CalendarLocale& locale)
{
    QString out;
    out.reserve(format.size() + 16);
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != u'%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        if (format[i + 1] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        const bool unpadded =
            format[j] == u'1' && j + 1 < format.size() && isCode(format[j + 1].unicode());
        if (unpadded)
            ++j;
        if (isCode(format[j].unicode())) {
            out += expandCode(format[j].unicode(), !unpadded, date, locale);
            i = j;
        } else {
            out += c; // not a code: copied as it stands
        }
    }
    return out;
}

QString calendarFormatFromQtPattern(const QString& pattern)
{
    const bool twelveHour = pattern.contains(u"AP", Qt::CaseInsensitive) ||
                            pattern.contains(u'a') || pattern.contains(u'A');
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'\'') { // quoted literal; '' is a quote
            const qsizetype close = pattern.indexOf(u'\'', i + 1);
            if (close == i + 1) {
                out += u'\'';
                i += 2;
                continue;
            }
            const QString literal = pattern.mid(i + 1, close < 0 ? -1 : close - i - 1);
            out += QString(literal).replace(u'%', QStringLiteral("%%"));
            i = close < 0 ? pattern.size() : close + 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        const bool isAP = (c == u'A' || c == u'a') && i + 1 < pattern.size() &&
                          (pattern[i + 1] == u'P' || pattern[i + 1] == u'p');
        if (isAP)
            run = 2;
        QString code;
        switch (c.unicode()) {
        case u'd':
            code = run == 1   ? QStringLiteral("%1d")
                   : run == 2 ? QStringLiteral("%d")
                   : run == 3 ? QStringLiteral("%a")
                              : QStringLiteral("%A");
            break;
        case u'M':
            code = run == 1   ? QStringLiteral("%1m")
                   : run == 2 ? QStringLiteral("%m")
                   : run == 3 ? QStringLiteral("%b")
                              : QStringLiteral("%B");
            break;
        case u'y':
            code = run == 2 ? QStringLiteral("%y") : QStringLiteral("%Y");
            break;
        case u'h':
            code = twelveHour ? (run == 1 ? QStringLiteral("%1I") : QStringLiteral("%I"))
                              : (run == 1 ? QStringLiteral("%1H") : QStringLiteral("%H"));
            break;
        case u'H':
            code = run == 1 ? QStringLiteral("%1H") : QStringLiteral("%H");
            break;
        case u'm':
            code = run == 1 ? QStringLiteral("%1M") : QStringLiteral("%M");
            break;
        case u's':
            code = run == 1 ? QStringLiteral("%1S") : QStringLiteral("%S");
            break;
        case u'z':
            code = QStringLiteral("%F");
            break;
        case u'A':
        case u'a':
            code = QStringLiteral("%p");
            break;
        case u't':
            code = QStringLiteral("%Z");
            break;
        case u'%':
            code = QString(run * 2, u'%');
            break;
        default:
            if (!c.isLetter())
                code = QString(run, c); // separators as they stand
            break;
        }
        out += code;
        i += run;
    }
    return out;
}

} // namespace snapwick
