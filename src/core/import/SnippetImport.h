#pragma once

#include "plist/Array.h"

// Appending snippets from other files to a snippet list. Each importer inserts its records
// at *index and moves the index past them, so a second file lands behind the first; with
// no index they go in from 0. A false result does not mean that nothing arrived.
namespace JVSXSharedExtensions {

// By the file's name: ".snapwick", ".plist" and ".nlang" are dictionary files, anything
// else a TypeIt4Me file.
bool appendSnippetsFromFile(plist::Array& snippets, const QString& path, qsizetype* index,
                            std::int64_t defaultAbbreviationMode);
// Settings documents, Typinator sets and correction dictionaries, tried in that order.
bool appendSnippetsFromDictionaryFile(plist::Array& snippets, const QString& path, qsizetype* index,
                                      std::int64_t defaultAbbreviationMode);
// The 'STMP' resources of the file's resource fork.
bool appendSnippetsFromTypeIt4MeFile(plist::Array& snippets, const QString& path, qsizetype* index,
                                     std::int64_t defaultAbbreviationMode);

} // namespace JVSXSharedExtensions

namespace snapwick {

// The home pages of the Typinator rewrite, in one place.
inline const QString kTypinatorHomePage =
    QStringLiteral("http://www.ergonis.com/products/typinator");
inline const QString kSnapwickHomePage = QStringLiteral("https://snapwick.org");

// Typinator's placeholders in this system's codes, in the order they are replaced.
QString convertTypinatorExpansion(QString expansion);
// TypeIt4Me's date tokens in this system's codes.
QString convertTypeIt4MeText(QString text);

} // namespace snapwick
