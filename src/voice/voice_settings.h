#pragma once
#include "ports/speech_port.h"

class SettingsStore;

// The stored choice of speech rate, pitch and voice (section "Settings": SpeechRate,
// SpeechPitch, SpeechVoice). Nothing stored leaves the speech service's defaults alone.
namespace VoiceSettings {
constexpr int Lowest = -100, Highest = 100;

// An absent, empty or non-numeric rate or pitch stays unset; a number outside the range is
// taken at the nearest end.
VoiceStyle read(const SettingsStore &store);
// Remembers the rate the user chose.
void writeRate(SettingsStore &store, int rate);

// The whole number a typed or stored text holds, if it starts with one ("20", " -5 ", "12abc").
std::optional<double> numberIn(const QString &text);
} // namespace VoiceSettings
