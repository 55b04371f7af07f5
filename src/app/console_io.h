#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

// Standard input and output of the console shell: one event per line.
namespace ConsoleIo {

// Backslash, CR, LF and other control characters escaped, so one event is one line.
QString escape(const QString &text);
// One output event "KIND: TEXT", TEXT escaped. Every line the console prints goes through here.
void writeEvent(const char *kind, const QString &text);
// "box: TITLE | TEXT", each part escaped.
void writeBox(const QString &title, const QString &text);

} // namespace ConsoleIo

// Standard input as protocol lines. Long work looks at the next line without waiting for
// it (poll), so a script can stop a scan or a download while it runs; everything else
// takes lines in order, waiting when none has arrived yet.
class ConsoleInput {
public:
    explicit ConsoleInput(int fd = 0) : fd_(fd) {}

    // The next line without its line end, waiting for it; nothing once input has ended.
    std::optional<QString> takeLine();
    // Run about every WaitSliceMs while takeLine waits, when set.
    std::function<void()> whileWaiting;
    static constexpr int WaitSliceMs = 20;
    // Reads what has arrived so far, never waiting. Looks at most every few milliseconds:
    // long work pumps far more often than anyone types.
    void poll();
    // The next line if it has arrived (after poll), left in place.
    const QString *peek() const { return lines_.empty() ? nullptr : &lines_.front(); }
    void dropLine() { if (!lines_.empty()) lines_.pop_front(); }
    // Input has ended and every line has been taken.
    bool ended() const { return ended_ && lines_.empty(); }

private:
    // Reads one chunk, waiting up to timeoutMs (-1 = as long as it takes); false when nothing came.
    bool readChunk(int timeoutMs);
    void splitLines();
    void pushLine(QByteArray bytes);

    int fd_;
    QElapsedTimer sincePoll_;
    QByteArray partial_;   // bytes after the last line end
    std::deque<QString> lines_;
    bool ended_ = false;
};
