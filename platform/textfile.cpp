#include "platform/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

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

bool TextFile::Open(const FolderItem& file, QString* error)
{
    Close();
    m_file.setFileName(file.path());
    if (file.isNull() || !m_file.open(QIODevice::ReadOnly)) {
        m_error = tr("Cannot read %1: %2").arg(file.path(), m_file.errorString());
        m_failed = true;
        setError(error, m_error);
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
        m_error = tr("Cannot read %1: %2").arg(m_file.fileName(), m_file.errorString());
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
    m_error.clear();
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

bool TextFile::Rewrite(const FolderItem& file, const QStringList& lines, QString* error)
{
    if (file.isNull()) {
        setError(error, tr("No file to write."));
        return false;
    }
    QSaveFile out(file.path());
    // Unbuffered, because QSaveFile::commit does not notice a failure of the final flush of its
    // buffer (Qt 6.4): a disk that fills up would leave a cut file reported as written.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        setError(error, tr("Cannot write %1: %2").arg(file.path(), out.errorString()));
        return false;
    }
    QString reason;
    if (!WriteLines(out, lines, &reason)) {
        out.cancelWriting();
        setError(error, tr("Cannot write %1: %2").arg(file.path(), reason));
        return false;
    }
    if (!out.commit()) {
        setError(error, tr("Cannot write %1: %2").arg(file.path(), out.errorString()));
        return false;
    }
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
