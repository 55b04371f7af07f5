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

// The stored count of significant digits for spoken values ("SpokenDigits"): 0, the usual
// forms, when absent or not a whole number from 0 to 15.
int readSpokenDigits(const SettingsStore &store);
void writeSpokenDigits(SettingsStore &store, int digits);

// The whole number a typed or stored text holds, if it starts with one ("20", " -5 ", "12abc").
std::optional<double> numberIn(const QString &text);
} // namespace VoiceSettings
