#pragma once

#include "plist/Dictionary.h"

#include <optional>

// Snippet records are plain dictionaries: a missing key is never an error; strings
// read as empty, numbers as 0, booleans as false.
namespace JVSXSharedExtensions {

namespace SnippetKey {
inline const QString Abbreviation = QStringLiteral("Abbreviation");
inline const QString Mode = QStringLiteral("Mode");
inline const QString PlainText = QStringLiteral("Plain Text");
inline const QString FormattedText = QStringLiteral("Formatted Text");
// Marks that live only in the daemon's memory.
inline const QString Valid = QStringLiteral("Valid");
inline const QString RemovesWhiteSpace = QStringLiteral("-");
inline const QString SelectsByCharacter = QStringLiteral("$");
inline const QString Cursor = QStringLiteral("Cursor");
} // namespace SnippetKey

enum AbbreviationMode
{
    AbbreviationModeMatch = 0,
    AbbreviationModeIgnore = 1,
    AbbreviationModeApply = 2
};

QString snippetAbbreviation(const plist::Dictionary& record);
std::int64_t snippetAbbreviationMode(const plist::Dictionary& record);
// Without simplification: "Plain Text" as stored, empty when absent.
QString plainSnippetReplacement(const plist::Dictionary& record);
std::optional<QByteArray> formattedSnippetReplacementData(const plist::Dictionary& record);
bool isFormattedSnippet(const plist::Dictionary& record);
bool hasValidSnippetAbbreviation(const plist::Dictionary& record);

void setSnippetAbbreviation(plist::Dictionary& record, const std::optional<QString>& abbreviation);
void setSnippetAbbreviationMode(plist::Dictionary& record, std::int64_t mode);
void setPlainSnippetReplacement(plist::Dictionary& record, const std::optional<QString>& text);
void setHasValidSnippetAbbreviation(plist::Dictionary& record, bool valid);

} // namespace JVSXSharedExtensions
