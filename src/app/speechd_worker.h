#pragma once
#include "ports/speech_port.h"
#include <QObject>
#include <QString>

// Owns the connection to speech-dispatcher on a thread of its own: opening the connection
// (which may start the server and take seconds) and every call into libspeechd happen there,
// so a slow or stuck server never stops the window. What the server reports about each
// message (begun, ended, cancelled) arrives as signals, queued to the receiver's thread.
class SpeechdWorker : public QObject {
    Q_OBJECT
public:
    enum Event { Begun, Ended, Cancelled };
    Q_ENUM(Event)

    SpeechdWorker();
    ~SpeechdWorker() override;

public slots:
    virtual void open();
    // Sends one message; answers with accepted() or refused(). A yielding message goes at
    // priority TEXT, which any other client's MESSAGE or TEXT cuts short; otherwise MESSAGE,
    // which nothing but IMPORTANT interrupts.
    virtual void say(qint64 seq, const QString &text, bool yielding);
    // Cancels this program's message being spoken and any of its messages still queued.
    virtual void cancel();
    void close();
    // Rate, pitch and voice for the messages sent from now on; kept for a connection opened later.
    virtual void setStyle(const VoiceStyle &style);

signals:
    void opened();
    void failed(const QString &problem);
    void accepted(qint64 seq, qint64 messageId);
    void refused(qint64 seq);
    void event(qint64 messageId, int event);

private:
    static void onNotification(size_t messageId, size_t clientId, int type);

    void applyStyle(const VoiceStyle &style);

    void *connection_ = nullptr;   // libspeechd's SPDConnection
    VoiceStyle style_;
};
