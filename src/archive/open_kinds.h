#pragma once
#include <QChar>
#include <QString>

// Which downloaded files W, I and T may hand to the desktop's opener: a sound, a picture, plain
// text. A file is opened only when both its name and its bytes say it is of that kind, so an
// archive record cannot make the desktop run a script or a launcher.
namespace OpenKinds {

bool fits(const QString &path, QChar key);
// "sound", "image" or "text": the word for the key's kind.
QString kindWord(QChar key);

} // namespace OpenKinds
