#pragma once
#include <QString>

// How the download speaks of addresses, file names and the reasons a file could not be written.
namespace DownloadWords {

// Longer names are cut here and end in "...": a name is heard, not read.
constexpr qsizetype NameLimit = 80;
QString shortened(const QString &text);

// An address as it may be spoken or logged: without a user name or password.
QString withoutUserInfo(const QString &address);
// `text` (an error description that may quote the address) with any user info of `address` removed.
QString redacted(const QString &text, const QString &address);

// Why a file could not be written, from the system's error number, in words a user can act on;
// `fallback` when the number says nothing more useful.
QString writeFailure(int errorNumber, const QString &fallback);

} // namespace DownloadWords
