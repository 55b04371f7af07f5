#include "voice/voice_settings.h"
#include "ports/settings_store.h"
#include "util/leading_number.h"
#include "voice/spoken_numbers.h"
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {
const QString Section = QStringLiteral("Settings");

std::optional<int> level(const SettingsStore &store, const char *key)
{
    const std::optional<double> v = VoiceSettings::numberIn(store.read(Section, QLatin1String(key), QString()));
    if (!v)
        return std::nullopt;
    return int(std::lround(std::clamp(*v, double(VoiceSettings::Lowest), double(VoiceSettings::Highest))));
}
} // namespace

std::optional<double> VoiceSettings::numberIn(const QString &text)
{
    static const QRegularExpression startsWithNumber(QStringLiteral("^\\s*[+-]?\\s*(\\d|\\.\\d)"));
    if (!startsWithNumber.match(text).hasMatch())
        return std::nullopt;
    const double v = leadingNumber(QString(text).remove(u' '));
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

VoiceStyle VoiceSettings::read(const SettingsStore &store)
{
    VoiceStyle style;
    style.rate = level(store, "SpeechRate");
    style.pitch = level(store, "SpeechPitch");
    style.voice = store.read(Section, QStringLiteral("SpeechVoice"), QString()).trimmed();
    return style;
}

void VoiceSettings::writeRate(SettingsStore &store, int rate)
{
    store.write(Section, QStringLiteral("SpeechRate"), QString::number(rate));
}

int VoiceSettings::readSpokenDigits(const SettingsStore &store)
{
    const std::optional<double> v = numberIn(store.read(Section, QStringLiteral("SpokenDigits"), QString()));
    if (!v || *v != std::floor(*v) || *v < 0 || *v > SpokenNumbers::MaxDigits)
        return 0;
    return int(*v);
}

void VoiceSettings::writeSpokenDigits(SettingsStore &store, int digits)
{
    store.write(Section, QStringLiteral("SpokenDigits"), QString::number(digits));
}
