#pragma once

#include <QString>
#include <optional>

namespace snapwick {

struct ApplicationIdentity
{
    QString bundleIdentifier; // the application id, lower-cased by the reader; may be empty
    QString displayName;      // may be empty
    QString windowClass;      // the window's class, where the windowing system has one
};

// The application in front. Implementations answer from what they already know (they
// follow the switches as they happen), since this is asked on every typed key.
class FrontApplication
{
public:
    virtual ~FrontApplication() = default;
    virtual std::optional<ApplicationIdentity> activeApplication() const = 0;
};

} // namespace snapwick
