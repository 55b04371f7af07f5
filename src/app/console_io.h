#pragma once
#include <QString>
#include <cstdio>
#include <optional>

// Standard input and output of the console shell: one event per line.
namespace ConsoleIo {

// Backslash, CR, LF and other control characters escaped, so one event is one line.
QString escape(const QString &text);
void writeLine(const QString &line);
// The next input line without its line end; nothing at end of input.
std::optional<QString> readLine();

} // namespace ConsoleIo
