#pragma once

#include <QString>

namespace Starwick::platform {

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

    FolderItem Child(const QString& name) const;
    FolderItem Parent() const;
    QString Name() const;
    /// Renames the item in its folder; the reference then names the new file.
    bool SetName(const QString& name, QString* error = nullptr);

    bool Exists() const;
    bool Directory() const;
    /// Whether the item is a symbolic link (which Delete removes, never what it points to).
    bool IsLink() const;

    /// Makes this folder (one level); an existing folder is left as it is and counts as success.
    bool CreateAsFolder(QString* error = nullptr) const;

    /// Copies this file to `destination`: into it under this file's name when it is a folder,
    /// else as that file. An existing destination file is replaced whole, never left half written.
    bool CopyFileTo(const FolderItem& destination, QString* error = nullptr) const;

    /// Deletes a file, a link (not its target) or an empty folder.
    bool Delete(QString* error = nullptr) const;

    /// The entries of a folder, dot-files included, in name order, numbered from 1.
    int Count() const;
    FolderItem Item(int index) const;

    /// Mac type and creator codes, kept where the file system takes user extended attributes and
    /// silently absent elsewhere.
    QString MacType() const;
    QString MacCreator() const;
    bool SetMacType(const QString& code) const;
    bool SetMacCreator(const QString& code) const;

    friend bool operator==(const FolderItem& a, const FolderItem& b) { return a.m_path == b.m_path; }

private:
    QString m_path;
};

} // namespace Starwick::platform
