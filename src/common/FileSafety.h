#pragma once

#include <QByteArray>
#include <QString>

namespace nerina {

// What was being done with the file: a missing file or permission reads differently.
enum class FileAccess { Write, Read };

// The reason a file operation failed, in Japanese, from the system's error number
// (disk full, no permission, ...). Never the system's English text.
QString fileErrorText(int systemError, FileAccess access = FileAccess::Write);

// A file written next to its final place under a name no reader takes for the real
// thing, flushed to the disk and only then renamed into place, so that a copy cut off
// half way never carries the final name.
QString partialPathFor(const QString &path);

// Flushes a written file to the disk. Throws AppError with fileErrorText.
void syncFile(const QString &path);

// Renames `from` (a flushed partial file) to `to` in the same folder and flushes the
// folder, so the rename itself survives a power cut. Throws AppError with fileErrorText.
void renameIntoPlace(const QString &from, const QString &to);

// The files that no file the program writes may ever replace: the diary, with its journal
// files and its backups beside it, and the program itself.
struct KeptFiles
{
    QString diary;   // the diary's path
    QString program; // the program's executable
};

// Why `target` must not be written, in Japanese: it is one of `kept`, by its name, through
// a symbolic link (one that leads nowhere yet included) or as the same file under another
// name. The empty text when it may be written.
QString keptFileProblem(const QString &target, const KeptFiles &kept);

// Writes `data` to `path` through a partial file: readable and writable by its owner
// only, flushed, renamed into place. A path that is one of `kept` is refused before
// anything is written. On failure `path` is untouched, no partial file is left, and
// AppError says why in Japanese.
void writeFileSafely(const QString &path, const QByteArray &data, const KeptFiles &kept);

} // namespace nerina
