#pragma once
#include "ports/speech_port.h"
#include <QByteArray>
#include <QString>

// The eSpeak NG synthesizer inside the program: text in, samples out, no sound device
// involved. The library keeps one engine per process, so this is a set of functions around
// it; render() may be called from any one thread at a time.
namespace EspeakEngine {
// Starts the engine once (later calls answer the same). Empty when ready, otherwise why not,
// such as its voice data missing. An empty dataPath means the library's own data folder.
QString start(const QString &dataPath = {});
// Samples per second of what render() gives; 0 before a successful start.
int sampleRate();
// The text spoken in the given style, as 16-bit signed mono samples; empty when not started.
QByteArray render(const QString &text, const VoiceStyle &style);

// The engine's speed in words a minute for a rate of -100 .. 100 (0 is its normal speed),
// and its pitch 0 .. 100 for a pitch of -100 .. 100, as the speech service maps them.
int wordsPerMinute(int rate);
int pitchLevel(int pitch);
} // namespace EspeakEngine
