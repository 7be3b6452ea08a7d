#pragma once

#include <QString>

namespace Starwick::platform {

/// Who may use a file or folder the program makes or rewrites.
enum class FileAccess
{
    Default,   ///< the mode the user's umask gives a new item; an existing item's mode is kept
    OwnerOnly, ///< the owner only: a folder 0700, a file 0600 (group and others get nothing)
};

/// A reference to a file or folder by path, which need not exist, as the program's file
/// operations are written against. Operations report failure through their result (and `error`
/// where given); none throws.
class FolderItem
{
public:
    FolderItem() = default;
    explicit FolderItem(QString path);

    /// The user's Preferences folder (the XDG config folder), Desktop and Pictures folders.
    static FolderItem PreferencesFolder();
    static FolderItem DesktopFolder();
    static FolderItem PicturesFolder();

    /// No item at all (the framework's nil).
    bool isNull() const { return m_path.isEmpty(); }
    QString path() const { return m_path; }

    /// The entry `name` of this folder. A name that would leave the folder (empty, holding "/",
    /// "." or "..") gives a null item.
    FolderItem Child(const QString& name) const;
    /// The folder holding this item; null for the root.
    FolderItem Parent() const;
    QString Name() const;
    /// Renames the item in its folder; the reference then names the new file. An existing entry
    /// of that name is never replaced. Setting the name it already has changes nothing.
    bool SetName(const QString& name, QString* error = nullptr);

    /// Whether something is at the path; a link counts even when what it points to is gone.
    bool Exists() const;
    /// Whether the path is a folder (or a link to one).
    bool Directory() const;
    /// Whether the item is a symbolic link (which Delete removes, never what it points to).
    bool IsLink() const;

    /// Makes this folder (one level); an existing folder is left as it is and counts as success.
    /// With FileAccess::OwnerOnly a new folder is made 0700 from the start.
    bool CreateAsFolder(QString* error = nullptr, FileAccess access = FileAccess::Default) const;
    /// Takes every permission of group and others from the item (what a link points to, for a
    /// link), keeping the owner's. Nothing changes when they have none already.
    bool RestrictToOwner(QString* error = nullptr) const;

    /// Copies this file to `destination`: into it under this file's name when it is a folder,
    /// else as that file. An existing destination file is replaced whole, never left half written.
    bool CopyFileTo(const FolderItem& destination, QString* error = nullptr) const;

    /// Deletes a file, a link (not its target) or an empty folder; never the contents of one.
    bool Delete(QString* error = nullptr) const;

    /// The entries of a folder, dot-files included, in name order (by character code, so dot-files
    /// and capitals come first), numbered from 1. Each call lists the folder anew; an index out
    /// of range gives a null item.
    int Count() const;
    FolderItem Item(int index) const;

    /// Mac type and creator codes: four characters each, in the first eight bytes (type, then
    /// creator) of the 32-byte Finder-info block kept in the extended attribute
    /// "user.com.apple.FinderInfo". A shorter code is padded with spaces; an empty one clears it;
    /// setting one keeps the other. Where the file system refuses user attributes, the getters
    /// give empty text and the setters false, and nothing else happens.
    QString MacType() const;
    QString MacCreator() const;
    bool SetMacType(const QString& code) const;
    bool SetMacCreator(const QString& code) const;

    friend bool operator==(const FolderItem& a, const FolderItem& b) { return a.m_path == b.m_path; }

private:
    QString m_path;
};

} // namespace Starwick::platform
