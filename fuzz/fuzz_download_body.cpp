// libFuzzer target: every input is a download body as a server might send it, plain or packed,
// in pieces of any size. The body must never pass its cap, never crash, and leave no file
// behind unless it is committed.
#include "archive/download_body.h"
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    if (size < 3)
        return 0;
    static QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("f.lmd"));
    static const char *const encodings[] = {"", "gzip", "deflate", "identity", "br"};
    const QByteArray encoding = encodings[bytes[0] % 5];
    const qint64 cap = bytes[1] % 4 == 0 ? 0 : qint64(bytes[1]) * 64;
    const int piece = bytes[2] % 32 + 1;
    const QByteArray input(reinterpret_cast<const char *>(bytes + 3), qsizetype(size - 3));
    QString temporary;
    {
        DownloadBody body(target, cap, QStringLiteral("the fuzz cap"));
        QString why;
        if (!body.open(why))
            __builtin_trap();
        temporary = body.temporaryPath();
        bool ok = body.setEncoding(encoding, why);
        for (qsizetype at = 0; ok && at < input.size(); at += piece)
            ok = body.add(input.mid(at, piece), why);
        if (cap > 0 && body.size() > cap)
            __builtin_trap();
        if (ok && body.finish(why) && body.size() != QFileInfo(temporary).size())
            __builtin_trap();
        if (!ok && why.isEmpty())
            __builtin_trap();   // every refusal says why
    }
    if (QFileInfo::exists(temporary))
        __builtin_trap();   // a dropped body leaves nothing behind
    return 0;
}
