#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace testsupport {

// Builds classic resource files and AppleDouble containers for tests and benchmarks.
struct ResourceSpec
{
    QByteArray type; // four bytes
    std::int16_t id;
    std::optional<QByteArray> name;
    QByteArray data;
};

QByteArray writeResourceFork(const QList<ResourceSpec>& resources);
// An AppleDouble (or, with dataFork, AppleSingle) container holding the fork.
QByteArray writeAppleContainer(const QByteArray& resourceFork,
                               const std::optional<QByteArray>& dataFork = std::nullopt);

} // namespace testsupport
