#include "app/console_io.h"
#include <cerrno>
#include <cstdio>
#include <utility>
#ifdef Q_OS_UNIX
#include <poll.h>
#include <unistd.h>
#else
#include <iostream>
#include <string>
#endif

namespace ConsoleIo {

QString escape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const ushort u = ch.unicode();
        if (ch == u'\\')
            out += QLatin1String("\\\\");
        else if (ch == u'\r')
            out += QLatin1String("\\r");
        else if (ch == u'\n')
            out += QLatin1String("\\n");
        else if (u < 0x20 || u == 0x7F)
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0')).toUpper().replace(QLatin1String("\\X"), QLatin1String("\\x"));
        else
            out += ch;
    }
    return out;
}

namespace {
void writeLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
} // namespace

void writeEvent(const char *kind, const QString &text)
{
    writeLine(QLatin1String(kind) + QLatin1String(": ") + escape(text));
}

void writeBox(const QString &title, const QString &text)
{
    writeLine(QStringLiteral("box: ") + escape(title) + QStringLiteral(" | ") + escape(text));
}

} // namespace ConsoleIo

std::optional<QString> ConsoleInput::takeLine()
{
    while (lines_.empty() && !ended_) {
        // Timers (a followed file, its alarm) go on running while the next line is awaited.
        if (!whileWaiting)
            readChunk(-1);
        else if (!readChunk(WaitSliceMs))
            whileWaiting();
    }
    if (lines_.empty())
        return std::nullopt;
    QString line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}

void ConsoleInput::poll()
{
    constexpr qint64 PollEveryNs = 2000000;
    if (sincePoll_.isValid() && sincePoll_.nsecsElapsed() < PollEveryNs)
        return;
    sincePoll_.start();
    // A script may have written many lines at once: read until nothing more is waiting.
    while (!ended_ && readChunk(0)) {
    }
}

#ifdef Q_OS_UNIX
bool ConsoleInput::readChunk(int timeoutMs)
{
    pollfd ready{fd_, POLLIN, 0};
    const int n = ::poll(&ready, 1, timeoutMs);
    if (n < 0 && errno == EINTR)
        return false;
    if (n == 0)
        return false;
    char buffer[4096];
    const ssize_t got = n < 0 ? -1 : ::read(fd_, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return false;
    if (got <= 0) {   // end of input, or input that can no longer be read
        ended_ = true;
        if (!partial_.isEmpty())
            pushLine(std::exchange(partial_, {}));
        return false;
    }
    partial_.append(buffer, got);
    splitLines();
    return true;
}
#else
// Without poll() the console looks at its input only when it waits for a line.
bool ConsoleInput::readChunk(int timeoutMs)
{
    if (timeoutMs == 0)
        return false;
    std::string line;
    if (!std::getline(std::cin, line)) {
        ended_ = true;
        return false;
    }
    pushLine(QByteArray::fromStdString(line));
    return true;
}
#endif

void ConsoleInput::splitLines()
{
    qsizetype start = 0;
    for (qsizetype end = partial_.indexOf('\n'); end >= 0; end = partial_.indexOf('\n', start)) {
        pushLine(partial_.mid(start, end - start));
        start = end + 1;
    }
    partial_.remove(0, start);
}

void ConsoleInput::pushLine(QByteArray bytes)
{
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    lines_.push_back(QString::fromUtf8(bytes));
}
