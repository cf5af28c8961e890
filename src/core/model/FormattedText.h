#pragma once

#include "archive/ArchivedObject.h"
#include "plist/Dictionary.h"
#include "text/AttributedString.h"

#include <QList>

// Operations on replacement texts, shared by both programs.
namespace JVSXSharedExtensions {

// With simplify false, "Plain Text" as stored; with true, the one-line preview: pictures
// as markers, line breaks and tabs as spaces, trimmed.
QString plainSnippetReplacementWithSimplifications(const plist::Dictionary& record, bool simplify);
// Removes every U+0000 from the record's plain text and, when it decodes, its formatted text.
void clearZeroCharacters(plist::Dictionary& record);

// The root object archived under key, or null when absent or not decodable.
archive::ObjectPtr unarchivedObjectForKey(const plist::Dictionary& dictionary, const QString& key);
// Stores the archive of object under key; when archiving yields nothing, leaves the key as it was.
void archiveObject(plist::Dictionary& dictionary, const archive::ObjectPtr& object,
                   const QString& key);

text::AttributedStringPtr formattedSnippetReplacement(const plist::Dictionary& record);
// Null removes "Formatted Text", which makes the snippet plain.
void setFormattedSnippetReplacement(plist::Dictionary& record, const text::AttributedStringPtr& s);

// The system font at 13 points and the control text colour, built once.
const text::Attributes& defaultAttributes();
std::shared_ptr<text::AttributedString> attributedStringWithAttachedTIFFImage(const QImage& image);
QList<QImage> attachedImages(const text::AttributedString& s);
// The same object when sub does not occur; otherwise a new string without any occurrence.
text::AttributedStringPtr
attributedStringByDeletingOccurrencesOfString(const text::AttributedStringPtr& s,
                                              const QString& sub);
void deleteOccurrencesOfString(text::AttributedString& s, const QString& sub);
// Literal, case-sensitive, left to right, without overlaps; an empty target changes nothing.
void replaceOccurrencesOfString(QString& s, const QString& target, const QString& replacement);

} // namespace JVSXSharedExtensions
