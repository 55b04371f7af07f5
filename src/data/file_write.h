#pragma once
#include <QFileDevice>
#include <QSaveFile>
#include <QString>
#include <optional>

// Writing a file the user asked for, and telling why it failed in words a user can act on.
namespace FileWrite {

// Writes every byte, trying again after a short write: a disk that fills up takes part of a
// block and refuses the rest, and only that refusal says why.
bool writeAll(QFileDevice &file, const char *bytes, qint64 size);

// Puts the file in place once every byte reached the disk. QSaveFile::commit alone replaces the
// target even when its last buffered bytes could not be written (Qt 6.4), so they go first.
bool commit(QSaveFile &file);

// Why a write, open or commit of `file` failed: an error number and its description.
// A full disk says "The disk is full."; an error the device never named, that the file
// could not be written completely.
struct Failure {
    int number;
    QString description;
};
Failure failureOf(const QFileDevice &file);

// A target that exists but is no regular file (a device, a pipe, a folder) is refused: saving
// through a temporary file would replace a device node such as /dev/null with a plain file,
// and a pipe without a reader would never open.
std::optional<Failure> refusedTarget(const QString &path);

} // namespace FileWrite
