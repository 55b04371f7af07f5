#include "settings/text_ini_format.h"
#include <QIODevice>
#include <QMap>

namespace TextIni {

namespace {

// Keys outside any section live under this header, as in Qt's own INI files.
const QString GeneralSection = QStringLiteral("General");

bool needsQuotes(const QString &value)
{
    if (value.isEmpty())
        return false;
    if (value.front().isSpace() || value.back().isSpace() || value.front() == u'"')
        return true;
    for (QChar c : value) {
        if (c.unicode() < 0x20 || c == QChar(0x7f))
            return true;
    }
    return false;
}

} // namespace

QString encodeValue(const QString &value)
{
    if (!needsQuotes(value))
        return value;
    QString out = QStringLiteral("\"");
    for (QChar c : value) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20 || c == QChar(0x7f))
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

QString decodeValue(QStringView text)
{
    text = text.trimmed();
    if (text.size() < 2 || text.front() != u'"' || text.back() != u'"')
        return text.toString();
    const QStringView inner = text.mid(1, text.size() - 2);
    QString out;
    out.reserve(inner.size());
    for (qsizetype i = 0; i < inner.size(); ++i) {
        const QChar c = inner[i];
        if (c != u'\\' || i + 1 == inner.size()) {
            out += c;
            continue;
        }
        const QChar next = inner[++i];
        switch (next.unicode()) {
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case 'x': {
            // \xHH, as written for other control characters.
            bool ok = false;
            const uint code = inner.mid(i + 1, 2).toUInt(&ok, 16);
            if (ok && i + 2 < inner.size()) {
                out += QChar(char16_t(code));
                i += 2;
            } else {
                out += QLatin1String("\\x");
            }
            break;
        }
        case '"': case '\\': out += next; break;
        default:
            // Not one of ours: keep the backslash, so a hand-typed Windows path survives.
            out += u'\\';
            out += next;
        }
    }
    return out;
}

bool read(QIODevice &device, QSettings::SettingsMap &map)
{
    QString text = QString::fromUtf8(device.readAll());
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    QString section;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.front() == u';' || line.front() == u'#')
            continue;
        if (line.front() == u'[' && line.back() == u']') {
            section = line.mid(1, line.size() - 2).trimmed().toString();
            if (section.compare(GeneralSection, Qt::CaseInsensitive) == 0)
                section.clear();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed().toString();
        if (key.isEmpty())
            continue;
        map.insert(section.isEmpty() ? key : section + u'/' + key, decodeValue(line.mid(equals + 1)));
    }
    return true;
}

bool write(QIODevice &device, const QSettings::SettingsMap &map)
{
    // Grouped by section, sections and keys in the map's (sorted) order, [General] first.
    QMap<QString, QStringList> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        const QString key = slash < 0 ? it.key() : it.key().mid(slash + 1);
        sections[section] << key + u'=' + encodeValue(it.value().toString());
    }
    QString out;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (!out.isEmpty())
            out += u'\n';
        out += u'[' + (it.key().isEmpty() ? GeneralSection : it.key()) + QLatin1String("]\n");
        for (const QString &line : it.value())
            out += line + u'\n';
    }
    return device.write(out.toUtf8()) >= 0;
}

QSettings::Format format()
{
    static const QSettings::Format registered = QSettings::registerFormat(QStringLiteral("conf"), read, write);
    return registered;
}

} // namespace TextIni
