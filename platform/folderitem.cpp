#include "platform/folderitem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
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

// The listing of the folder read last, kept while the folder is unchanged. Walking a folder by
// Count and Item, as the cache purge does from the last entry to the first, would otherwise read
// and sort the whole folder once per entry.
//
// A change shows in the folder's modification and change times. Those advance in clock ticks,
// so a listing taken within a moment of the last change is not reused (a second change in the
// same tick would not show); a Delete through this class updates the kept listing itself.
struct FolderStamp
{
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    timespec changed{};
    off_t size = 0;

    bool operator==(const FolderStamp& other) const
    {
        return device == other.device && inode == other.inode && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec && changed.tv_sec == other.changed.tv_sec &&
               changed.tv_nsec == other.changed.tv_nsec && size == other.size;
    }
};

struct FolderListing
{
    QString path;
    FolderStamp stamp;
    QStringList names;
    bool reusable = false;
};

FolderListing& lastListing()
{
    static FolderListing listing;
    return listing;
}

bool folderStamp(const QString& path, FolderStamp* stamp)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    *stamp = {info.st_dev, info.st_ino, info.st_mtim, info.st_ctim, info.st_size};
    return true;
}

bool settled(const FolderStamp& stamp)
{
    constexpr qint64 SettleNanoseconds = 100'000'000;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    auto nanoseconds = [](const timespec& t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; };
    const qint64 latest = std::max(nanoseconds(stamp.modified), nanoseconds(stamp.changed));
    return nanoseconds(now) - latest > SettleNanoseconds;
}

/// The entries of the folder at `path` in name order; empty when it is no folder.
QStringList folderEntries(const QString& path)
{
    FolderListing& kept = lastListing();
    FolderStamp stamp;
    if (!folderStamp(path, &stamp))
        return {};
    if (kept.reusable && kept.path == path && kept.stamp == stamp)
        return kept.names;
    kept.path = path;
    kept.stamp = stamp;
    kept.names =
        QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    FolderStamp after;
    kept.reusable = folderStamp(path, &after) && after == stamp && settled(stamp);
    return kept.names;
}

/// Brings the kept listing up to date after `name` was deleted from the folder at `path`, when
/// it was current right before; otherwise drops it.
void entryDeleted(const QString& path, const QString& name, const FolderStamp& before, bool hadStamp)
{
    FolderListing& kept = lastListing();
    if (kept.path != path)
        return;
    FolderStamp after;
    if (kept.reusable && hadStamp && kept.stamp == before && folderStamp(path, &after)) {
        kept.names.removeOne(name);
        kept.stamp = after;
    } else {
        kept = FolderListing();
    }
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

bool FolderItem::CreateAsFolder(QString* error, FileAccess access) const
{
    if (isNull())
        return fail(error, tr("No folder to create."));
    const mode_t mode = access == FileAccess::OwnerOnly ? S_IRWXU : (S_IRWXU | S_IRWXG | S_IRWXO);
    if (::mkdir(QFile::encodeName(m_path).constData(), mode) == 0)
        return true;
    const int code = errno;
    if (code == EEXIST && Directory())
        return true;
    return fail(error, tr("Cannot create the folder %1: %2").arg(m_path, systemError(code)));
}

bool FolderItem::RestrictToOwner(QString* error) const
{
    if (isNull())
        return fail(error, tr("No file to restrict."));
    const QByteArray path = QFile::encodeName(m_path);
    struct stat info;
    if (::stat(path.constData(), &info) != 0)
        return fail(error, tr("Cannot change the permissions of %1: %2").arg(m_path, systemError(errno)));
    const mode_t others = S_IRWXG | S_IRWXO;
    if ((info.st_mode & others) == 0)
        return true;
    if (::chmod(path.constData(), info.st_mode & ~others & ALLPERMS) != 0)
        return fail(error, tr("Cannot change the permissions of %1: %2").arg(m_path, systemError(errno)));
    return true;
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
    const QString folder = Parent().path();
    FolderStamp before;
    const bool hadStamp = folderStamp(folder, &before);
    // lstat does not follow links: a link is removed itself, and only a real folder goes
    // through rmdir, which takes empty folders only.
    const int result = S_ISDIR(info.st_mode) ? ::rmdir(path.constData()) : ::unlink(path.constData());
    if (result != 0)
        return fail(error, tr("Cannot delete %1: %2").arg(m_path, systemError(errno)));
    entryDeleted(folder, Name(), before, hadStamp);
    return true;
}

int FolderItem::Count() const
{
    return isNull() ? 0 : static_cast<int>(folderEntries(QDir::cleanPath(m_path)).size());
}

FolderItem FolderItem::Item(int index) const
{
    if (isNull() || index < 1)
        return {};
    const QStringList names = folderEntries(QDir::cleanPath(m_path));
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
