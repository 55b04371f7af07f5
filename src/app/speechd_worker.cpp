#include "app/speechd_worker.h"
#include <QMutex>
#include <QHash>
#include <QSet>
#include <libspeechd.h>

namespace {
// libspeechd's callbacks carry no user data: the living workers are found here.
QMutex workersLock;
QSet<SpeechdWorker *> &workers()
{
    static QSet<SpeechdWorker *> all;
    return all;
}
QHash<SpeechdWorker *, size_t> &clientIds()
{
    static QHash<SpeechdWorker *, size_t> ids;
    return ids;
}
} // namespace

SpeechdWorker::SpeechdWorker() = default;

SpeechdWorker::~SpeechdWorker()
{
    close();
}

void SpeechdWorker::open()
{
    if (connection_)
        return;
    char *error = nullptr;
    SPDConnectionAddress *address = spd_get_default_address(&error);
    if (!address) {
        emit failed(QString::fromUtf8(error ? error : "No speech-dispatcher address."));
        free(error);
        return;
    }
    free(error);
    error = nullptr;
    SPDConnection *c = spd_open2("lumora-viewer", "main", nullptr, SPD_MODE_THREADED, address, 1, &error);
    SPDConnectionAddress__free(address);
    if (!c) {
        emit failed(QStringLiteral("Speech-dispatcher could not be reached: ") + QString::fromUtf8(error ? error : "unknown error"));
        free(error);
        return;
    }
    free(error);
    c->callback_begin = c->callback_end = c->callback_cancel = [](size_t id, size_t client, SPDNotificationType type) {
        onNotification(id, client, int(type));
    };
    spd_set_notification_on(c, SPD_BEGIN);
    spd_set_notification_on(c, SPD_END);
    spd_set_notification_on(c, SPD_CANCEL);
    connection_ = c;
    applyStyle(style_);
    {
        QMutexLocker lock(&workersLock);
        workers().insert(this);
        clientIds().insert(this, size_t(spd_get_client_id(c)));
    }
    emit opened();
}

void SpeechdWorker::say(qint64 seq, const QString &text, bool yielding)
{
    // MESSAGE: never cut off by another program's speech, never cutting another program's
    // MESSAGE short in turn (IMPORTANT would); messages of one priority are spoken in the order
    // they came. TEXT beside a screen reader: its speech, at MESSAGE or TEXT, cancels ours at
    // once instead of waiting behind it.
    auto *c = static_cast<SPDConnection *>(connection_);
    const int id = c ? spd_say(c, yielding ? SPD_TEXT : SPD_MESSAGE, text.toUtf8().constData()) : -1;
    if (id > 0)
        emit accepted(seq, id);
    else
        emit refused(seq);
}

void SpeechdWorker::setStyle(const VoiceStyle &style)
{
    style_.takeSetParts(style);
    applyStyle(style);
}

void SpeechdWorker::applyStyle(const VoiceStyle &style)
{
    auto *c = static_cast<SPDConnection *>(connection_);
    if (!c)
        return;
    if (style.rate)
        spd_set_voice_rate(c, *style.rate);
    if (style.pitch)
        spd_set_voice_pitch(c, *style.pitch);
    if (style.voice.isEmpty())
        return;
    // A kind of voice (MALE1, CHILD_FEMALE ...) or the name of one of the service's voices.
    static const QHash<QString, SPDVoiceType> kinds = {
        {QStringLiteral("MALE1"), SPD_MALE1},   {QStringLiteral("MALE2"), SPD_MALE2},
        {QStringLiteral("MALE3"), SPD_MALE3},   {QStringLiteral("FEMALE1"), SPD_FEMALE1},
        {QStringLiteral("FEMALE2"), SPD_FEMALE2}, {QStringLiteral("FEMALE3"), SPD_FEMALE3},
        {QStringLiteral("CHILD_MALE"), SPD_CHILD_MALE}, {QStringLiteral("CHILD_FEMALE"), SPD_CHILD_FEMALE},
    };
    const auto kind = kinds.constFind(style.voice.toUpper());
    if (kind != kinds.constEnd())
        spd_set_voice_type(c, kind.value());
    else
        spd_set_synthesis_voice(c, style.voice.toUtf8().constData());
}

void SpeechdWorker::cancel()
{
    if (connection_)
        spd_cancel(static_cast<SPDConnection *>(connection_));
}

void SpeechdWorker::close()
{
    if (!connection_)
        return;
    {
        QMutexLocker lock(&workersLock);
        workers().remove(this);
        clientIds().remove(this);
    }
    spd_close(static_cast<SPDConnection *>(connection_));
    connection_ = nullptr;
}

void SpeechdWorker::onNotification(size_t messageId, size_t clientId, int type)
{
    Event e;
    switch (type) {
    case SPD_EVENT_BEGIN: e = Begun; break;
    case SPD_EVENT_END: e = Ended; break;
    case SPD_EVENT_CANCEL: e = Cancelled; break;
    default: return;
    }
    QMutexLocker lock(&workersLock);
    for (SpeechdWorker *w : std::as_const(workers())) {
        if (clientIds().value(w) == clientId)
            emit w->event(qint64(messageId), int(e));
    }
}
