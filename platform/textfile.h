#pragma once

#include "platform/folderitem.h"

#include <QFile>
#include <QString>
#include <QStringList>

class QIODevice;

namespace Starwick::platform {

/// A text file read one line at a time, and the writing of whole text files.
///
/// Text is UTF-8. Reading takes LF, CR LF and CR as line ends (a byte order mark at the start is
/// dropped); writing ends every line with LF. A rewrite replaces the file atomically: the lines go
/// to a temporary file beside it, which takes the file's place only once everything was written,
/// so a failed write leaves the previous file whole.
///
/// Only regular files are read or replaced; a link to one is followed. Anything else in the
/// file's place (a folder, a named pipe, a device, a socket, a link to nothing) is refused
/// without being opened, so a pipe never blocks and a device is never written to or replaced.
///
/// Failures give two texts: `error`, the whole message naming the file (for the log), and
/// `cause`, the reason alone in a few words and starting in lower case ("no space left on
/// device", "the file is a named pipe"), short enough for a status line.
class TextFile
{
public:
    TextFile() = default;

    /// Opens `file` for reading. False, with the reason in `error` and `cause`, when it is missing,
    /// is no regular file or cannot be read; the object then reads as an empty file.
    bool Open(const FolderItem& file, QString* error = nullptr, QString* cause = nullptr);

    /// The next line without its line end. Past the last line (or when nothing is open) it is
    /// empty text.
    QString ReadLine();
    /// True once every line has been read, or when nothing is open.
    bool EndOfFile();
    /// False once reading failed part-way; errorString() then tells why.
    bool readFailed() const { return m_failed; }
    QString errorString() const { return m_error; }
    /// The reason alone of the failure errorString() tells.
    QString errorCause() const { return m_cause; }
    void Close();

    /// Writes `lines` to `device` (open for writing), each followed by LF. False with the device's
    /// error when a write fails.
    static bool WriteLines(QIODevice& device, const QStringList& lines, QString* error = nullptr);

    /// Replaces `file` with `lines`, atomically; through a link, the file it points to is
    /// replaced and the link stays. Its extended attributes are not kept (they belong to the
    /// replaced file). False with the reason in `error` and `cause`; the previous file is then
    /// unchanged, and nothing is written when the path holds anything but a regular file, a link
    /// to one, or nothing.
    ///
    /// FileAccess::Default keeps an existing file's permissions. FileAccess::OwnerOnly takes
    /// every permission of group and others from the old file before the new one is made (which
    /// copies them), and gives the new one the owner's read and write only before a byte is
    /// written. A file that did not exist is made by the save file with the umask's mode and
    /// narrowed at once, still empty; a caller that keeps secrets in it keeps it in a folder only
    /// its owner can enter, so that no one else can open it meanwhile.
    static bool Rewrite(const FolderItem& file, const QStringList& lines, QString* error = nullptr,
                        FileAccess access = FileAccess::Default, QString* cause = nullptr);

    /// Removes what rewrites of `file` that were cut short (the process killed between writing
    /// the temporary file and moving it into place) left beside it: regular files named as the
    /// file plus "." and six ASCII letters. Never `file` itself, nor anything else. Returns how
    /// many were removed.
    static int RemoveRewriteLeftovers(const FolderItem& file);

private:
    QFile m_file;
    bool m_failed = false;
    bool m_atStart = true;
    QString m_path;
    QString m_error;
    QString m_cause;
};

} // namespace Starwick::platform
