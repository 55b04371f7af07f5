#include "voice/command_box.h"
#include "session/viewer.h"

bool CommandBox::txtIn_KeyPress(const QString &) { return false; }
void CommandBox::txtIn_GotFocus() {}
void CommandBox::DoTextCmd() {}
void CommandBox::handleEnter() {}
bool CommandBox::answerPending(const QString &) { return false; }
void CommandBox::speak(const QString &text) { viewer_.speech.speak(text); }
