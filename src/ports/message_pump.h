#pragma once

// Lets long work keep the window alive: runs pending events (keys, clicks, repaints).
class MessagePump {
public:
    virtual ~MessagePump() = default;
    virtual void pump() = 0;
};
