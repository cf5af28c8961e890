#include "IsoDate.h"

#include <cmath>
#include <cstdio>

namespace plist {

namespace {

constexpr std::int64_t kDaysFrom1970To2001 = 11323;
constexpr std::int64_t kSecondsPerDay = 86400;

// Proleptic Gregorian calendar, days relative to 1970-01-01.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t* y, unsigned* m, unsigned* d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = std::int64_t(yoe) + era * 400 + (*m <= 2);
}

// Reads exactly `count` digits at `pos`.
bool readDigits(QStringView text, qsizetype& pos, int count, unsigned* out)
{
    if (pos + count > text.size())
        return false;
    unsigned value = 0;
    for (int i = 0; i < count; ++i) {
        const char16_t c = text[pos + i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + unsigned(c - u'0');
    }
    pos += count;
    *out = value;
    return true;
}

bool expect(QStringView text, qsizetype& pos, char16_t c)
{
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

} // namespace

QByteArray isoStringFromDate(Date date)
{
    double seconds = std::floor(date.secondsSince2001);
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e15)
        seconds = 0;
    const std::int64_t total = std::int64_t(seconds) + kDaysFrom1970To2001 * kSecondsPerDay;
    std::int64_t days = total / kSecondsPerDay;
    std::int64_t rest = total % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    std::int64_t y;
    unsigned m, d;
    civilFromDays(days, &y, &m, &d);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04lld-%02u-%02uT%02u:%02u:%02uZ", static_cast<long long>(y), m,
                  d, unsigned(rest / 3600), unsigned(rest / 60 % 60), unsigned(rest % 60));
    return QByteArray(buf);
}

std::optional<Date> dateFromIsoString(QStringView text)
{
    text = text.trimmed();
    qsizetype pos = 0;
    const bool negativeYear = expect(text, pos, u'-');
    unsigned year = 0, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    if (!readDigits(text, pos, 4, &year))
        return std::nullopt;
    if (expect(text, pos, u'-')) {
        if (!readDigits(text, pos, 2, &month))
            return std::nullopt;
        if (expect(text, pos, u'-') && !readDigits(text, pos, 2, &day))
            return std::nullopt;
    }
    if (expect(text, pos, u'T')) {
        if (!readDigits(text, pos, 2, &hour))
            return std::nullopt;
        if (expect(text, pos, u':') && !readDigits(text, pos, 2, &minute))
            return std::nullopt;
        if (expect(text, pos, u':') && !readDigits(text, pos, 2, &second))
            return std::nullopt;
    }
    expect(text, pos, u'Z');
    if (pos != text.size() || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 ||
        minute > 59 || second > 60)
        return std::nullopt;
    const std::int64_t y = negativeYear ? -std::int64_t(year) : std::int64_t(year);
    const std::int64_t days = daysFromCivil(y, month, day) - kDaysFrom1970To2001;
    return Date{double(days * kSecondsPerDay + hour * 3600 + minute * 60 + second)};
}

} // namespace plist
