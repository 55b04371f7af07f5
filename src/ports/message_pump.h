#pragma once

// Lets long work keep the window alive: runs pending events (keys, clicks, repaints).
class MessagePump {
public:
    virtual ~MessagePump() = default;
    virtual void pump() = 0;
    // The program has nothing to do until the user acts (a paused scan). A shell that takes
    // its input line by line handles the next line here, where the work would ignore it.
    virtual void waitForUser() { pump(); }
};
