#include "app/espeak_engine.h"
#include <QHash>
#include <QMutex>
#include <algorithm>
#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

namespace {
QMutex engineLock;
bool tried = false;
QString startProblem;
int rate = 0;
QByteArray *collecting = nullptr;   // where the callback puts samples during one render
QString appliedVoice;

// The voice for a setting: a kind of voice (MALE1, CHILD_FEMALE ...) picks an English voice
// of that sex and age; anything else is taken as one of the engine's voice names.
void applyVoice(const QString &voice)
{
    const QString wanted = voice.isEmpty() ? QStringLiteral("en") : voice;
    if (wanted == appliedVoice)
        return;
    appliedVoice = wanted;
    struct Kind { unsigned char gender, age, variant; };
    static const QHash<QString, Kind> kinds = {
        {QStringLiteral("MALE1"), {1, 0, 1}},   {QStringLiteral("MALE2"), {1, 0, 2}},
        {QStringLiteral("MALE3"), {1, 0, 3}},   {QStringLiteral("FEMALE1"), {2, 0, 1}},
        {QStringLiteral("FEMALE2"), {2, 0, 2}}, {QStringLiteral("FEMALE3"), {2, 0, 3}},
        {QStringLiteral("CHILD_MALE"), {1, 10, 1}}, {QStringLiteral("CHILD_FEMALE"), {2, 10, 1}},
    };
    const auto kind = kinds.constFind(wanted.toUpper());
    if (kind != kinds.constEnd()) {
        espeak_VOICE selector{};
        selector.languages = "en";
        selector.gender = kind->gender;
        selector.age = kind->age;
        selector.variant = kind->variant;
        if (espeak_ng_SetVoiceByProperties(&selector) == ENS_OK)
            return;
    } else if (espeak_ng_SetVoiceByName(wanted.toUtf8().constData()) == ENS_OK) {
        return;
    }
    // A voice this engine does not have (the setting may name one of the service's): English.
    espeak_ng_SetVoiceByName("en");
}

int onSamples(short *samples, int count, espeak_EVENT *)
{
    if (collecting && samples && count > 0)
        collecting->append(reinterpret_cast<const char *>(samples), qsizetype(count) * 2);
    return 0;
}
} // namespace

QString EspeakEngine::start(const QString &dataPath)
{
    QMutexLocker lock(&engineLock);
    if (tried)
        return startProblem;
    tried = true;
    const QByteArray path = dataPath.toLocal8Bit();
    espeak_ng_InitializePath(path.isEmpty() ? nullptr : path.constData());
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    if (status == ENS_OK)
        status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 100, nullptr);
    if (status != ENS_OK) {
        char message[256] = {};
        espeak_ng_GetStatusCodeMessage(status, message, sizeof message);
        startProblem = QStringLiteral("eSpeak NG could not start: ") + QString::fromLocal8Bit(message) + u'.';
        return startProblem;
    }
    espeak_SetSynthCallback(onSamples);
    rate = espeak_ng_GetSampleRate();
    applyVoice({});
    return {};
}

int EspeakEngine::sampleRate()
{
    QMutexLocker lock(&engineLock);
    return rate;
}

int EspeakEngine::wordsPerMinute(int level)
{
    level = std::clamp(level, -100, 100);
    const int span = level < 0 ? espeakRATE_NORMAL - espeakRATE_MINIMUM : espeakRATE_MAXIMUM - espeakRATE_NORMAL;
    return espeakRATE_NORMAL + span * level / 100;
}

int EspeakEngine::pitchLevel(int level)
{
    return 50 + std::clamp(level, -100, 100) / 2;
}

QByteArray EspeakEngine::render(const QString &text, const VoiceStyle &style)
{
    QMutexLocker lock(&engineLock);
    if (rate <= 0)
        return {};
    applyVoice(style.voice);
    // Set for every line, so a change of voice keeps the user's speed and pitch.
    espeak_ng_SetParameter(espeakRATE, wordsPerMinute(style.rate.value_or(0)), 0);
    espeak_ng_SetParameter(espeakPITCH, pitchLevel(style.pitch.value_or(0)), 0);
    QByteArray samples;
    collecting = &samples;
    const QByteArray utf8 = text.toUtf8();
    espeak_ng_Synthesize(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    collecting = nullptr;
    return samples;
}
