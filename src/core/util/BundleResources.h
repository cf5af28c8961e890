#pragma once

#include <QImage>

namespace JVSXExtensions {

// A picture among the program's own resources, by name and type; a null image when
// there is no such resource.
QImage bundleImageNamed(const QString& name, const QString& type);

} // namespace JVSXExtensions
