#include "platform/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Starwick::platform {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("Starwick::platform::TextFile", text);
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

void setError(QString* error, QString* cause, const QString& message, const QString& reason)
{
    setError(error, message);
    setError(cause, reason);
}

/// A system or Qt error text as the middle of a sentence: "No space left on device" becomes
/// "no space left on device"; a text that starts with an abbreviation stays as it is.
QString asCause(QString text)
{
    if (text.size() > 1 && text.at(0).isUpper() && text.at(1).isLower())
        text[0] = text.at(0).toLower();
    return text;
}

/// What stands in a regular file's place, as a cause.
QString notRegular(mode_t mode, bool throughLink)
{
    if (S_ISDIR(mode))
        return throughLink ? tr("the file links to a folder") : tr("the file is a folder");
    if (S_ISFIFO(mode))
        return throughLink ? tr("the file links to a named pipe") : tr("the file is a named pipe");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return throughLink ? tr("the file links to a device") : tr("the file is a device");
    if (S_ISSOCK(mode))
        return throughLink ? tr("the file links to a socket") : tr("the file is a socket");
    return tr("the file is not a regular file");
}

/// Opens the regular file at `path` for reading, following links; -1 with the cause otherwise.
/// The type is checked before the open, so a named pipe is never opened (which would wait for a
/// writer), and again on the open file, opened without waiting, in case the path changed between.
int openRegularFile(const QByteArray& path, QString* cause)
{
    struct stat info;
    if (::lstat(path.constData(), &info) != 0) {
        *cause = asCause(qt_error_string(errno));
        return -1;
    }
    const bool link = S_ISLNK(info.st_mode);
    if (link && ::stat(path.constData(), &info) != 0) {
        *cause = errno == ENOENT ? tr("the file is a broken link") : asCause(qt_error_string(errno));
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        *cause = notRegular(info.st_mode, link);
        return -1;
    }
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *cause = asCause(qt_error_string(errno));
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *cause = notRegular(info.st_mode, link);
        ::close(fd);
        return -1;
    }
    // Regular files read alike either way; the flag only kept the open from waiting.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

/// The regular file a rewrite of `path` replaces: the path itself, or what a link at it points
/// to. `exists` tells whether there is one yet, `mode` its permissions. False with the cause when
/// something else stands there.
bool replaceableFile(const QString& path, QString* target, bool* exists, mode_t* mode, QString* cause)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    *target = path;
    *exists = false;
    if (::lstat(name.constData(), &info) != 0) {
        if (errno == ENOENT)
            return true;
        *cause = asCause(qt_error_string(errno));
        return false;
    }
    const bool link = S_ISLNK(info.st_mode);
    if (link) {
        char resolved[PATH_MAX];
        if (!::realpath(name.constData(), resolved)) {
            *cause = errno == ENOENT ? tr("the file is a broken link") : asCause(qt_error_string(errno));
            return false;
        }
        *target = QFile::decodeName(resolved);
        if (::stat(resolved, &info) != 0) {
            *cause = asCause(qt_error_string(errno));
            return false;
        }
    }
    if (!S_ISREG(info.st_mode)) {
        *cause = notRegular(info.st_mode, link);
        return false;
    }
    *exists = true;
    *mode = info.st_mode & ALLPERMS;
    return true;
}

// A rewrite's temporary file is named after the file: its name, ".", and six random letters.
bool isRewriteTemporary(const QString& name, const QString& fileName)
{
    constexpr int kRandomLetters = 6;
    if (name.size() != fileName.size() + 1 + kRandomLetters || !name.startsWith(fileName) ||
        name.at(fileName.size()) != u'.')
        return false;
    for (qsizetype i = fileName.size() + 1; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    return true;
}

} // namespace

bool TextFile::Open(const FolderItem& file, QString* error, QString* cause)
{
    Close();
    m_path = file.path();
    int fd = -1;
    if (file.isNull())
        m_cause = tr("no file was named");
    else
        fd = openRegularFile(QFile::encodeName(m_path), &m_cause);
    if (fd >= 0 && !m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        m_cause = asCause(m_file.errorString());
        ::close(fd);
    }
    if (!m_file.isOpen()) {
        m_error = tr("Cannot read %1: %2").arg(m_path, m_cause);
        m_failed = true;
        setError(error, cause, m_error, m_cause);
        return false;
    }
    return true;
}

QString TextFile::ReadLine()
{
    if (!m_file.isOpen())
        return {};
    QByteArray line;
    char c = 0;
    while (m_file.getChar(&c)) {
        if (c == '\n')
            break;
        if (c == '\r') {
            char next = 0;
            if (m_file.peek(&next, 1) == 1 && next == '\n')
                m_file.getChar(&next);
            break;
        }
        line += c;
    }
    if (m_file.error() != QFileDevice::NoError) {
        m_failed = true;
        m_cause = asCause(m_file.errorString());
        m_error = tr("Cannot read %1: %2").arg(m_path, m_cause);
        m_file.close();
        return {};
    }
    if (m_atStart) {
        m_atStart = false;
        if (line.startsWith("\xEF\xBB\xBF"))
            line.remove(0, 3);
    }
    return QString::fromUtf8(line);
}

bool TextFile::EndOfFile()
{
    return !m_file.isOpen() || m_file.atEnd();
}

void TextFile::Close()
{
    m_file.close();
    m_failed = false;
    m_atStart = true;
    m_path.clear();
    m_error.clear();
    m_cause.clear();
}

bool TextFile::WriteLines(QIODevice& device, const QStringList& lines, QString* error)
{
    for (const QString& line : lines) {
        const QByteArray bytes = line.toUtf8() + '\n';
        // A short write is followed by another, which then tells why the device stopped.
        for (qint64 done = 0; done < bytes.size();) {
            const qint64 written = device.write(bytes.constData() + done, bytes.size() - done);
            if (written <= 0) {
                setError(error,
                         device.errorString().isEmpty() ? tr("The data could not be written.") : device.errorString());
                return false;
            }
            done += written;
        }
    }
    return true;
}

bool TextFile::Rewrite(const FolderItem& file, const QStringList& lines, QString* error, FileAccess access,
                       QString* cause)
{
    const auto failed = [&](const QString& reason) {
        setError(error, cause, tr("Cannot write %1: %2").arg(file.path(), reason), reason);
        return false;
    };
    if (file.isNull())
        return failed(tr("no file was named"));
    QString target;
    bool exists = false;
    mode_t mode = S_IRUSR | S_IWUSR;
    QString reason;
    if (!replaceableFile(file.path(), &target, &exists, &mode, &reason))
        return failed(reason);
    if (access == FileAccess::OwnerOnly) {
        // Narrowed on the old file first: the save file starts from its permissions.
        mode = exists ? (mode & (S_IRUSR | S_IWUSR)) : (S_IRUSR | S_IWUSR);
        if (exists && ::chmod(QFile::encodeName(target).constData(), mode) != 0)
            return failed(asCause(qt_error_string(errno)));
    }

    QSaveFile out(target);
    // Unbuffered, because QSaveFile::commit does not notice a failure of the final flush of its
    // buffer (Qt 6.4): a disk that fills up would leave a cut file reported as written.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(asCause(out.errorString()));
    if (access == FileAccess::OwnerOnly && ::fchmod(out.handle(), mode) != 0) {
        const QString why = asCause(qt_error_string(errno));
        out.cancelWriting();
        return failed(why);
    }
    if (!WriteLines(out, lines, &reason)) {
        out.cancelWriting();
        return failed(asCause(reason));
    }
    if (!out.commit())
        return failed(asCause(out.errorString()));
    return true;
}

int TextFile::RemoveRewriteLeftovers(const FolderItem& file)
{
    if (file.isNull())
        return 0;
    const QFileInfo info(file.path());
    const QString fileName = info.fileName();
    int removed = 0;
    const QFileInfoList entries = info.dir().entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || !entry.isFile() || !isRewriteTemporary(entry.fileName(), fileName))
            continue;
        if (QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace Starwick::platform
