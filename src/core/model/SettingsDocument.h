#pragma once

#include "plist/Dictionary.h"

namespace JVSXSharedExtensions {

// Reads a property list of any format into a tree that is independent of everything
// else; none when the file cannot be read or parsed, or its root is not a dictionary.
// `why` receives the reason for a refusal.
plist::DictionaryPtr deeplyMutableDictionaryWithContentsOfFile(const QString& path,
                                                               QString* why = nullptr);

// A copy that shares nothing with the source, made by a round trip through the binary
// format; none when the tree holds something that format cannot (a cycle, an empty value).
plist::DictionaryPtr deeplyMutableAutoreleasedCopy(const plist::DictionaryPtr& dictionary);

// Makes sure a directory exists at path ("~" expanded), creating one level at most.
bool JVSXCheckDirectory(const QString& path);

} // namespace JVSXSharedExtensions

namespace snapwick {

// Where the settings document lives: the application-support directory, the product's
// directory in it, and the file.
struct SettingsLocation
{
    QString supportDirectory;
    QString productDirectory;
    QString filePath;

    static SettingsLocation inSupportDirectory(const QString& supportDirectory);
};

// The two directory checks, then an atomic replace of the file with the document as an
// XML property list. A document XML cannot carry unchanged (control characters in a
// snippet) is written in the binary format instead, which every reader accepts.
bool writeSettingsDocument(const plist::DictionaryPtr& document, const SettingsLocation& location,
                           QString* error = nullptr);

} // namespace snapwick
