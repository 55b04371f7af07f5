#include "archive/download_words.h"
#include <QRegularExpression>
#include <QUrl>
#include <cerrno>

namespace DownloadWords {

QString shortened(const QString &text)
{
    return text.size() <= NameLimit ? text : text.left(NameLimit) + QStringLiteral("...");
}

QString withoutUserInfo(const QString &address)
{
    const QUrl url(address);
    if (url.isValid() && !url.userInfo().isEmpty())
        return url.toString(QUrl::RemoveUserInfo);
    // Text that is no valid address may still hold "name:password@" after its scheme.
    static const QRegularExpression userInfo(QStringLiteral("(//)[^/@?#\\s]*@"));
    return QString(address).replace(userInfo, QStringLiteral("\\1"));
}

QString redacted(const QString &text, const QString &address)
{
    QString out = text;
    const QUrl url(address);
    if (!url.userInfo().isEmpty()) {
        for (const QString &secret : {url.userInfo(QUrl::FullyEncoded), url.userInfo(QUrl::PrettyDecoded)})
            out.replace(secret + u'@', QString());
        for (const QString &secret : {url.password(QUrl::FullyEncoded), url.password(QUrl::FullyDecoded)}) {
            if (!secret.isEmpty())
                out.replace(secret, QStringLiteral("..."));
        }
    }
    return withoutUserInfo(out);
}

QString writeFailure(int errorNumber, const QString &fallback)
{
    switch (errorNumber) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("The disk is full. Make room on it, or set DataDirectory to a folder on another disk.");
    case EROFS:
        return QStringLiteral("The disk can only be read, not written. Set DataDirectory to a folder you can write to.");
    case EACCES:
    case EPERM:
        return QStringLiteral("You may not write in that folder. Set DataDirectory to a folder you can write to.");
    case ENOTDIR:
        return QStringLiteral("A part of the folder's path is a file, not a folder.");
    case ENAMETOOLONG:
        return QStringLiteral("The file name is too long for the disk.");
    case EISDIR:
        return QStringLiteral("A folder of that name is in the way.");
    default:
        return fallback.isEmpty() ? QStringLiteral("The disk refused the file.") : fallback;
    }
}

} // namespace DownloadWords
