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
class TextFile
{
public:
    TextFile() = default;

    /// Opens `file` for reading. False, with the reason in `error`, when it is missing or cannot
    /// be read (a folder, no permission); the object then reads as an empty file.
    bool Open(const FolderItem& file, QString* error = nullptr);

    /// The next line without its line end. Past the last line (or when nothing is open) it is
    /// empty text.
    QString ReadLine();
    /// True once every line has been read, or when nothing is open.
    bool EndOfFile();
    /// False once reading failed part-way; errorString() then tells why.
    bool readFailed() const { return m_failed; }
    QString errorString() const { return m_error; }
    void Close();

    /// Writes `lines` to `device` (open for writing), each followed by LF. False with the device's
    /// error when a write fails.
    static bool WriteLines(QIODevice& device, const QStringList& lines, QString* error = nullptr);

    /// Replaces `file` with `lines`, atomically. The file's permissions are kept; its extended
    /// attributes are not (they belong to the replaced file). False with the reason in `error`;
    /// the previous file is then unchanged.
    static bool Rewrite(const FolderItem& file, const QStringList& lines, QString* error = nullptr);

    /// Removes what rewrites of `file` that were cut short (the process killed between writing
    /// the temporary file and moving it into place) left beside it: regular files named as the
    /// file plus "." and six ASCII letters. Never `file` itself, nor anything else. Returns how
    /// many were removed.
    static int RemoveRewriteLeftovers(const FolderItem& file);

private:
    QFile m_file;
    bool m_failed = false;
    bool m_atStart = true;
    QString m_error;
};

} // namespace Starwick::platform
