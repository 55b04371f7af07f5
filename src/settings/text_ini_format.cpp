#include "settings/text_ini_format.h"
#include <QList>
#include <QSet>

namespace TextIni {

namespace {

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

// One line of the file as the reader sees it.
struct Line {
    enum Kind { Other, Header, Entry } kind = Other;
    QString section;     // a header's section, or an entry's
    QString key;         // an entry's key
    qsizetype valueAt = 0;   // where an entry's value starts (after "=" and any blanks)
};

// The file's lines, each with its line ending ("\n" or "\r\n"; the last may have none).
QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype end = text.indexOf(u'\n', from);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        lines << text.mid(from, next - from);
        from = next;
    }
    return lines;
}

QStringView withoutEnding(QStringView line)
{
    if (line.endsWith(u'\n'))
        line.chop(1);
    if (line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

// Reads one line; `section` is the section the lines above left open.
Line classify(QStringView line, const QString &section)
{
    Line out;
    QStringView body = withoutEnding(line);
    const qsizetype bom = body.startsWith(QChar(0xfeff)) ? 1 : 0;
    const QStringView text = body.mid(bom).trimmed();
    if (text.isEmpty() || text.front() == u';' || text.front() == u'#')
        return out;
    if (text.front() == u'[' && text.back() == u']') {
        out.kind = Line::Header;
        out.section = text.mid(1, text.size() - 2).trimmed().toString();
        if (out.section.compare(GeneralSection, Qt::CaseInsensitive) == 0)
            out.section = GeneralSection;
        return out;
    }
    const qsizetype equals = body.indexOf(u'=', bom);
    if (equals < 0)
        return out;
    const QString key = body.mid(bom, equals - bom).trimmed().toString();
    if (key.isEmpty())
        return out;
    out.kind = Line::Entry;
    out.section = section;
    out.key = key;
    out.valueAt = equals + 1;
    while (out.valueAt < body.size() && (body[out.valueAt] == u' ' || body[out.valueAt] == u'\t'))
        ++out.valueAt;   // a new value goes where the old one started
    return out;
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

QString path(const QString &section, const QString &key)
{
    return section + u'/' + key;
}

Values parse(QStringView text)
{
    Values values;
    QString section = GeneralSection;
    for (QStringView raw : splitLines(text)) {
        const Line line = classify(raw, section);
        if (line.kind == Line::Header)
            section = line.section;
        else if (line.kind == Line::Entry)
            values.insert(path(line.section, line.key), decodeValue(withoutEnding(raw).mid(line.valueAt)));
    }
    return values;
}

QString apply(const QString &text, const Changes &changes)
{
    const QString eol = text.contains(QLatin1String("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n");
    const QList<QStringView> lines = splitLines(text);
    QList<QString> out;             // the lines kept, each with its ending
    QMap<QString, qsizetype> last;  // per section: the out line new keys go after
    QSet<QString> found;
    QString section = GeneralSection;
    for (QStringView raw : lines) {
        const Line line = classify(raw, section);
        if (line.kind == Line::Header)
            section = line.section;
        if (line.kind == Line::Entry) {
            const QString key = path(line.section, line.key);
            const auto change = changes.constFind(key);
            if (change != changes.cend()) {
                found.insert(key);
                if (!change.value())
                    continue;   // removed
                const QStringView ending = raw.mid(withoutEnding(raw).size());
                out << raw.left(line.valueAt).toString() + encodeValue(*change.value()) + ending.toString();
                last[section] = out.size() - 1;
                continue;
            }
        }
        out << raw.toString();
        // New keys go after the section's last entry: a comment below it may be about the
        // next section.
        if (line.kind != Line::Other)
            last[section] = out.size() - 1;
    }

    QMap<QString, QStringList> added;   // per section, in key order
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        if (!it.value() || found.contains(it.key()))
            continue;
        const qsizetype slash = it.key().indexOf(u'/');
        added[it.key().left(slash)] << it.key().mid(slash + 1) + u'=' + encodeValue(*it.value()) + eol;
    }
    QMap<qsizetype, QStringList> after;   // out line -> new lines after it
    QStringList atEnd;
    for (auto it = added.cbegin(); it != added.cend(); ++it) {
        if (last.contains(it.key())) {
            after[last[it.key()]] << it.value();
        } else {
            atEnd << u'[' + it.key() + u']' + eol;
            atEnd << it.value();
        }
    }

    QString result;
    for (qsizetype i = 0; i < out.size(); ++i) {
        result += out[i];
        if (after.contains(i) || (i == out.size() - 1 && !atEnd.isEmpty())) {
            if (!result.endsWith(u'\n'))
                result += eol;
        }
        if (after.contains(i))
            result += after[i].join(QString());
    }
    if (!atEnd.isEmpty() && !result.isEmpty())
        result += eol;   // a blank line before a new section
    return result + atEnd.join(QString());
}

} // namespace TextIni
