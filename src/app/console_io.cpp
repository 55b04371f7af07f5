#include "app/console_io.h"
#include <iostream>
#include <string>

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

void writeLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::optional<QString> readLine()
{
    std::string line;
    if (!std::getline(std::cin, line))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromUtf8(line.data(), qsizetype(line.size()));
}

} // namespace ConsoleIo
