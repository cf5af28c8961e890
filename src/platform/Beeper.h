#pragma once

namespace snapwick {

class Beeper
{
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

} // namespace snapwick
