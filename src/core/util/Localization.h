#pragma once

#include <QString>

// User-visible texts, keyed by their English text; a missing translation gives the key.
QString JVSXLocalizedString(const char* key);
