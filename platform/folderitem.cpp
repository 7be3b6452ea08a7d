#include "platform/folderitem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <array>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace Starwick::platform {

namespace {

// The Finder-info block: 32 bytes, the first four the file type, the next four the creator.
constexpr const char* FinderInfoAttribute = "user.com.apple.FinderInfo";
constexpr int FinderInfoSize = 32;
constexpr int CodeSize = 4;

QString tr(const char* text)
{
    return QCoreApplication::translate("Starwick::platform::FolderItem", text);
}

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

QString systemError(int code)
{
    return qt_error_string(code);
}

/// A name that stays inside its folder: not empty, no "/", not "." or "..".
bool isPlainName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..") && !name.contains(QChar::Null);
}

FolderItem standardFolder(QStandardPaths::StandardLocation location)
{
    const QString path = QStandardPaths::writableLocation(location);
    return path.isEmpty() ? FolderItem() : FolderItem(QDir::cleanPath(path));
}

QByteArray readFinderInfo(const QByteArray& path, bool* ok)
{
    std::array<char, FinderInfoSize> buffer{};
    const ssize_t size = ::getxattr(path.constData(), FinderInfoAttribute, buffer.data(), buffer.size());
    if (size < 0) {
        // No block yet is fine; a file system that refuses user attributes is not.
        *ok = errno == ENODATA;
        return QByteArray(FinderInfoSize, '\0');
    }
    *ok = true;
    QByteArray block(buffer.data(), size);
    block.resize(FinderInfoSize, '\0');
    return block;
}

QString codeAt(const FolderItem& item, int offset)
{
    if (item.isNull())
        return {};
    bool ok = false;
    const QByteArray block = readFinderInfo(QFile::encodeName(item.path()), &ok);
    const QByteArray code = block.mid(offset, CodeSize);
    if (!ok || code == QByteArray(CodeSize, '\0'))
        return {};
    return QString::fromLatin1(code);
}

bool setCodeAt(const FolderItem& item, int offset, const QString& code)
{
    if (item.isNull() || code.size() > CodeSize)
        return false;
    for (const QChar c : code) {
        if (c.unicode() > 0xff)
            return false;
    }
    const QByteArray path = QFile::encodeName(item.path());
    bool ok = false;
    QByteArray block = readFinderInfo(path, &ok);
    if (!ok)
        return false;
    QByteArray bytes = code.toLatin1();
    if (!bytes.isEmpty())
        bytes.resize(CodeSize, ' ');
    else
        bytes = QByteArray(CodeSize, '\0');
    block.replace(offset, CodeSize, bytes);
    return ::setxattr(path.constData(), FinderInfoAttribute, block.constData(), block.size(), 0) == 0;
}

} // namespace

FolderItem::FolderItem(QString path)
    : m_path(std::move(path))
{}

FolderItem FolderItem::PreferencesFolder()
{
    return standardFolder(QStandardPaths::GenericConfigLocation);
}

FolderItem FolderItem::DesktopFolder()
{
    return standardFolder(QStandardPaths::DesktopLocation);
}

FolderItem FolderItem::PicturesFolder()
{
    return standardFolder(QStandardPaths::PicturesLocation);
}

FolderItem FolderItem::Child(const QString& name) const
{
    if (isNull() || !isPlainName(name))
        return {};
    if (m_path.endsWith(QLatin1Char('/')))
        return FolderItem(m_path + name);
    return FolderItem(m_path + QLatin1Char('/') + name);
}

FolderItem FolderItem::Parent() const
{
    const QString clean = QDir::cleanPath(m_path);
    if (isNull() || clean == QLatin1String("/"))
        return {};
    const qsizetype slash = clean.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return FolderItem(QStringLiteral("."));
    return FolderItem(slash == 0 ? QStringLiteral("/") : clean.left(slash));
}

QString FolderItem::Name() const
{
    const QString clean = QDir::cleanPath(m_path);
    if (isNull() || clean == QLatin1String("/"))
        return {};
    return clean.mid(clean.lastIndexOf(QLatin1Char('/')) + 1);
}

bool FolderItem::SetName(const QString& name, QString* error)
{
    if (isNull() || !isPlainName(name))
        return fail(error, tr("\"%1\" is not a usable file name.").arg(name));
    if (name == Name())
        return Exists() || fail(error, tr("%1 does not exist.").arg(m_path));
    const FolderItem renamed = Parent().Child(name);
    if (renamed.Exists())
        return fail(error, tr("Cannot rename %1: %2 already exists.").arg(m_path, renamed.path()));
    if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(renamed.path()).constData()) != 0)
        return fail(error, tr("Cannot rename %1: %2").arg(m_path, systemError(errno)));
    m_path = renamed.path();
    return true;
}

bool FolderItem::Exists() const
{
    if (isNull())
        return false;
    struct stat info;
    return ::lstat(QFile::encodeName(m_path).constData(), &info) == 0;
}

bool FolderItem::Directory() const
{
    return !isNull() && QFileInfo(m_path).isDir();
}

bool FolderItem::IsLink() const
{
    return !isNull() && QFileInfo(m_path).isSymLink();
}

bool FolderItem::CreateAsFolder(QString* error) const
{
    if (isNull())
        return fail(error, tr("No folder to create."));
    if (::mkdir(QFile::encodeName(m_path).constData(), 0777) == 0)
        return true;
    const int code = errno;
    if (code == EEXIST && Directory())
        return true;
    return fail(error, tr("Cannot create the folder %1: %2").arg(m_path, systemError(code)));
}

bool FolderItem::CopyFileTo(const FolderItem& destination, QString* error) const
{
    if (isNull() || destination.isNull())
        return fail(error, tr("No file to copy."));
    const FolderItem target = destination.Directory() ? destination.Child(Name()) : destination;
    if (target.isNull())
        return fail(error, tr("Cannot copy %1 into %2.").arg(m_path, destination.path()));
    if (Directory())
        return fail(error, tr("Cannot copy %1: it is a folder.").arg(m_path));

    QFile source(m_path);
    if (!source.open(QIODevice::ReadOnly))
        return fail(error, tr("Cannot read %1: %2").arg(m_path, source.errorString()));
    // The copy goes to a temporary file beside the target and takes its place only when it is
    // complete, so an existing target is never left half written. Unbuffered, because
    // QSaveFile::commit does not notice a failure of the final flush of its buffer (Qt 6.4).
    QSaveFile out(target.path());
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(error, tr("Cannot write %1: %2").arg(target.path(), out.errorString()));
    constexpr qint64 ChunkSize = 256 * 1024;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(ChunkSize);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError) {
            out.cancelWriting();
            return fail(error, tr("Cannot read %1: %2").arg(m_path, source.errorString()));
        }
        for (qint64 done = 0; done < chunk.size();) {
            const qint64 written = out.write(chunk.constData() + done, chunk.size() - done);
            if (written <= 0) {
                out.cancelWriting();
                return fail(error, tr("Cannot write %1: %2").arg(target.path(), out.errorString()));
            }
            done += written;
        }
    }
    if (!out.commit())
        return fail(error, tr("Cannot write %1: %2").arg(target.path(), out.errorString()));
    return true;
}

bool FolderItem::Delete(QString* error) const
{
    if (isNull())
        return fail(error, tr("No file to delete."));
    const QByteArray path = QFile::encodeName(m_path);
    struct stat info;
    if (::lstat(path.constData(), &info) != 0)
        return fail(error, tr("Cannot delete %1: %2").arg(m_path, systemError(errno)));
    // lstat does not follow links: a link is removed itself, and only a real folder goes
    // through rmdir, which takes empty folders only.
    const int result = S_ISDIR(info.st_mode) ? ::rmdir(path.constData()) : ::unlink(path.constData());
    if (result != 0)
        return fail(error, tr("Cannot delete %1: %2").arg(m_path, systemError(errno)));
    return true;
}

int FolderItem::Count() const
{
    if (!Directory())
        return 0;
    const QStringList names =
        QDir(m_path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    return static_cast<int>(names.size());
}

FolderItem FolderItem::Item(int index) const
{
    if (!Directory() || index < 1)
        return {};
    const QStringList names =
        QDir(m_path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (index > names.size())
        return {};
    return Child(names.at(index - 1));
}

QString FolderItem::MacType() const
{
    return codeAt(*this, 0);
}

QString FolderItem::MacCreator() const
{
    return codeAt(*this, CodeSize);
}

bool FolderItem::SetMacType(const QString& code) const
{
    return setCodeAt(*this, 0, code);
}

bool FolderItem::SetMacCreator(const QString& code) const
{
    return setCodeAt(*this, CodeSize, code);
}

} // namespace Starwick::platform
