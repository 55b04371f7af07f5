#pragma once
#include "ports/message_pump.h"
#include <QCoreApplication>

// Runs the window's pending events (keys, clicks, repaints) in the middle of long work.
class QtMessagePump : public MessagePump {
public:
    void pump() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
};
