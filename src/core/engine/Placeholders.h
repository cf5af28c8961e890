#pragma once

#include "CalendarFormat.h"
#include "ExpansionModes.h"
#include "platform/ClipboardText.h"
#include "text/AttributedString.h"

#include <optional>

// The placeholder language at expansion time: dates, the clipboard text, "%%", and the
// case the abbreviation was typed in.
namespace JVSXExtensions {

// In place. The clipboard is read at most once per call, and only when a clipboard code
// occurs; null reads as no clipboard.
void replaceDateFormattersWithDate(QString& text, const QDateTime& date,
                                   const snapwick::CalendarLocale& locale, int caseConversionMode,
                                   snapwick::ClipboardText* clipboard = nullptr);
void replaceDateFormattersWithDate(text::AttributedString& text, const QDateTime& date,
                                   const snapwick::CalendarLocale& locale, int caseConversionMode,
                                   snapwick::ClipboardText* clipboard = nullptr);
QString stringByReplacingDateFormattersWithDate(const QString& text, const QDateTime& date,
                                                const snapwick::CalendarLocale& locale,
                                                int caseConversionMode,
                                                snapwick::ClipboardText* clipboard = nullptr);

// The text without the first occurrence of needle; the very same when it does not occur.
QString stringByDeletingFirstOccurenceString(const QString& s, const QString& needle);
text::AttributedStringPtr
attributedStringByDeletingFirstOccurenceString(const text::AttributedStringPtr& s,
                                               const QString& needle);

bool JVIsUppercaseString(const QString& s);
// Apply mode takes the case from the abbreviation as typed; everything else, and an
// expansion without a typed abbreviation, converts nothing.
snapwick::CaseConversionMode caseConversionModeFor(std::int64_t abbreviationMode,
                                                   const std::optional<QString>& typedAbbreviation);

} // namespace JVSXExtensions
