#pragma once

class SpeechPort;
class WindowSurface;
class MessagePump;
class SettingsStore;

// The outside world as the core sees it; the window, the console shell and the tests each
// supply their own.
struct Ports {
    SpeechPort &speech;
    WindowSurface &surface;
    MessagePump &pump;
    SettingsStore &settings;
};
