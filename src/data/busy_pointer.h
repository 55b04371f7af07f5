#pragma once
#include "ports/window_surface.h"

// The busy mouse pointer for the length of a scope, back to normal on every way out.
struct BusyPointer {
    WindowSurface &surface;
    explicit BusyPointer(WindowSurface &s) : surface(s) { surface.setBusy(true); }
    ~BusyPointer() { surface.setBusy(false); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};
