#pragma once

namespace snapwick {

// True when the panel shows tray icons as StatusNotifierItems: it then draws exported menus
// itself, and menu entries can carry only text and small icons, not whole pictures.
bool statusNotifierHostPresent();

} // namespace snapwick
