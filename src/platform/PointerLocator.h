#pragma once

#include <QPointF>

namespace snapwick {

class PointerLocator
{
public:
    virtual ~PointerLocator() = default;
    // The pointer's position in screen coordinates.
    virtual QPointF mouseLocation() const = 0;
};

} // namespace snapwick
