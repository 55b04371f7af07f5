#pragma once
#include <QString>
#include <Qt>

// A key press as the program names it: "Escape", "Return", "Space", "Tab", "F1", "Left",
// "S", "7", with "Ctrl+", "Alt+" and "Shift+" in front (in that order). Empty for a
// modifier key pressed alone.
QString keyName(int key, Qt::KeyboardModifiers modifiers);
