#pragma once
#include <QIcon>
#include <QString>

// The button pictures, drawn here rather than loaded: one per button and state ("plain" /
// "highlighted" for the tool buttons, "enabled" / "disabled" for auto-scroll and auto-scale,
// "open" / "closed" for the offset panel). An unknown button or state gives a null icon.
namespace ArrowPictures {
QIcon icon(const QString &button, const QString &state, int size = 20);
// True for the buttons whose picture stands in for their caption.
bool replacesCaption(const QString &button);
} // namespace ArrowPictures
