#include "archive/open_kinds.h"
#include <QMimeDatabase>

namespace OpenKinds {
namespace {

bool ofKind(const QMimeType &type, QChar key)
{
    const QString name = type.name();
    switch (key.unicode()) {
    case u'W': return name.startsWith(QLatin1String("audio/"));
    case u'I': return name.startsWith(QLatin1String("image/"));
    // Only plain text: scripts, web pages and launchers are text too, but run when opened.
    default: return name == QLatin1String("text/plain");
    }
}

} // namespace

bool fits(const QString &path, QChar key)
{
    const QMimeDatabase types;
    if (!ofKind(types.mimeTypeForFile(path, QMimeDatabase::MatchExtension), key))
        return false;
    const QMimeType content = types.mimeTypeForFile(path, QMimeDatabase::MatchContent);
    if (ofKind(content, key))
        return true;
    // Sounds and pictures without a signature the database knows: their name decides. Bytes
    // that read as anything else (a script, a page) never pass.
    return key != u'T' && content.name() == QLatin1String("application/octet-stream");
}

QString kindWord(QChar key)
{
    switch (key.unicode()) {
    case u'W': return QStringLiteral("sound");
    case u'I': return QStringLiteral("image");
    default: return QStringLiteral("text");
    }
}

} // namespace OpenKinds
