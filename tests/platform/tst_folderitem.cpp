#include "platform/folderitem.h"
#include "support/filesizelimit.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <sys/xattr.h>

using Starwick::platform::FileAccess;
using Starwick::platform::FolderItem;

namespace {

int modeOf(const QString& path, bool followLink = true)
{
    struct stat info;
    const QByteArray name = QFile::encodeName(path);
    if ((followLink ? ::stat(name.constData(), &info) : ::lstat(name.constData(), &info)) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

void setMode(const QString& path, int mode)
{
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
}

} // namespace

class TestFolderItem : public QObject
{
    Q_OBJECT

private:
    QString m_root;

private slots:
    void init()
    {
        Starwick::Test::clearHome();
        m_root = Starwick::Test::homePath() + QStringLiteral("/work");
        QVERIFY(QDir().mkpath(m_root));
    }

    void pathsAndNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("child");

        QTest::newRow("nested") << "/a/b"
                                << "b"
                                << "/a"
                                << "/a/b/c";
        QTest::newRow("trailing slash") << "/a/b/"
                                        << "b"
                                        << "/a"
                                        << "/a/b/c";
        QTest::newRow("below the root") << "/a"
                                        << "a"
                                        << "/"
                                        << "/a/c";
        QTest::newRow("the root") << "/" << QString() << QString() << "/c";
        QTest::newRow("dot-file") << "/a/.hidden"
                                  << ".hidden"
                                  << "/a"
                                  << "/a/.hidden/c";
    }

    void pathsAndNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QString, child);

        const FolderItem item(path);
        QCOMPARE(item.Name(), name);
        QCOMPARE(item.Parent().path(), parent);
        QCOMPARE(item.Child(QStringLiteral("c")).path(), child);
        QCOMPARE(item.Child(QStringLiteral("c")).Parent().path(), QDir::cleanPath(path));
    }

    void childNamesThatLeaveTheFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("dot") << ".";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("slash inside") << "x/../../etc";
        QTest::newRow("absolute") << "/etc";
    }

    void childNamesThatLeaveTheFolder()
    {
        QFETCH(QString, name);
        QVERIFY(FolderItem(m_root).Child(name).isNull());
        QVERIFY(FolderItem().Child(QStringLiteral("a")).isNull());
    }

    void standardFoldersLieInTheHome()
    {
        const QString home = Starwick::Test::homePath();
        QCOMPARE(FolderItem::PreferencesFolder().path(), home + QStringLiteral("/.config"));
        QVERIFY(FolderItem::DesktopFolder().path().startsWith(home + QLatin1Char('/')));
        QVERIFY(FolderItem::PicturesFolder().path().startsWith(home + QLatin1Char('/')));
    }

    void createAsFolder()
    {
        const FolderItem folder = FolderItem(m_root).Child(QStringLiteral("new"));
        QVERIFY(folder.CreateAsFolder());
        QVERIFY(folder.Directory());
        QVERIFY(Starwick::Test::writeFileBytes(folder.Child(QStringLiteral("kept")).path(), "kept"));
        QVERIFY(folder.CreateAsFolder()); // existing: success, contents untouched
        QCOMPARE(Starwick::Test::folderEntries(folder.path()), QStringList{QStringLiteral("kept")});

        QString error;
        QVERIFY(!folder.Child(QStringLiteral("kept")).CreateAsFolder(&error)); // a file is there
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(!FolderItem(m_root + QStringLiteral("/missing/deeper")).CreateAsFolder(&error)); // one level only
        QVERIFY(!error.isEmpty());
    }

    void ownerOnlyFoldersAndRestriction()
    {
        const mode_t previous = ::umask(022);
        const FolderItem root(m_root);
        QVERIFY(root.Child(QStringLiteral("open")).CreateAsFolder());
        QVERIFY(root.Child(QStringLiteral("closed")).CreateAsFolder(nullptr, FileAccess::OwnerOnly));
        ::umask(previous);
        QCOMPARE(modeOf(m_root + QStringLiteral("/open")), 0755);
        QCOMPARE(modeOf(m_root + QStringLiteral("/closed")), 0700);
        setMode(m_root + QStringLiteral("/closed"), 0750); // an existing folder is left as it is
        QVERIFY(root.Child(QStringLiteral("closed")).CreateAsFolder(nullptr, FileAccess::OwnerOnly));
        QCOMPARE(modeOf(m_root + QStringLiteral("/closed")), 0750);

        // Group and others lose everything, the owner nothing; a link narrows what it points to.
        const QString file = m_root + QStringLiteral("/file");
        QVERIFY(Starwick::Test::writeFileBytes(file));
        const QString link = m_root + QStringLiteral("/link");
        QVERIFY(QFile::link(file, link));
        const QList<std::pair<int, int>> cases{{0644, 0600}, {0777, 0700}, {0400, 0400}, {0000, 0000}};
        for (const auto& [before, after] : cases) {
            setMode(file, before);
            QVERIFY(FolderItem(link).RestrictToOwner());
            QCOMPARE(modeOf(file), after);
        }
        QVERIFY(FolderItem(m_root + QStringLiteral("/open")).RestrictToOwner());
        QCOMPARE(modeOf(m_root + QStringLiteral("/open")), 0700);
        QString error;
        QVERIFY(!FolderItem(m_root + QStringLiteral("/missing")).RestrictToOwner(&error));
        QVERIFY(!error.isEmpty());
    }

    void copyFileTo_data()
    {
        QTest::addColumn<QString>("destination"); // relative to the root
        QTest::addColumn<QString>("result");      // where the copy lands
        QTest::addColumn<QByteArray>("previous"); // content already at the result, if any

        QTest::newRow("into a folder") << "folder"
                                       << "folder/picture.jpg" << QByteArray();
        QTest::newRow("as a new file") << "folder/saved.jpg"
                                       << "folder/saved.jpg" << QByteArray();
        QTest::newRow("over an existing file")
            << "folder/saved.jpg"
            << "folder/saved.jpg" << QByteArray("an older and much longer picture file");
        QTest::newRow("over an existing file in a folder") << "folder"
                                                           << "folder/picture.jpg" << QByteArray("old");
    }

    void copyFileTo()
    {
        QFETCH(QString, destination);
        QFETCH(QString, result);
        QFETCH(QByteArray, previous);

        const QByteArray content = QByteArray("picture data ").repeated(100000); // crosses chunks
        QVERIFY(Starwick::Test::writeFileBytes(m_root + QStringLiteral("/picture.jpg"), content));
        QVERIFY(QDir(m_root).mkdir(QStringLiteral("folder")));
        if (!previous.isNull())
            QVERIFY(Starwick::Test::writeFileBytes(m_root + QLatin1Char('/') + result, previous));

        QString error;
        QVERIFY2(FolderItem(m_root + QStringLiteral("/picture.jpg"))
                     .CopyFileTo(FolderItem(m_root + QLatin1Char('/') + destination), &error),
                 qPrintable(error));
        QCOMPARE(Starwick::Test::readFileBytes(m_root + QLatin1Char('/') + result), content);
        // No temporary file is left beside the copy.
        QCOMPARE(Starwick::Test::folderEntries(m_root + QStringLiteral("/folder")),
                 QStringList{QFileInfo(result).fileName()});
    }

    void copyFileToFailures()
    {
        QVERIFY(Starwick::Test::writeFileBytes(m_root + QStringLiteral("/picture.jpg"), "data"));
        QString error;
        QVERIFY(!FolderItem(m_root + QStringLiteral("/absent.jpg")).CopyFileTo(FolderItem(m_root + "/x"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(m_root + QStringLiteral("/x")));
        error.clear();
        QVERIFY(!FolderItem(m_root + QStringLiteral("/picture.jpg"))
                     .CopyFileTo(FolderItem(m_root + QStringLiteral("/missing/x.jpg")), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(Starwick::Test::folderEntries(m_root), QStringList{QStringLiteral("picture.jpg")});
    }

    void copyThatFailsPartWayKeepsTheTarget()
    {
        QVERIFY(Starwick::Test::writeFileBytes(m_root + QStringLiteral("/picture.jpg"), QByteArray(5000, 'p')));
        QVERIFY(Starwick::Test::writeFileBytes(m_root + QStringLiteral("/saved.jpg"), "the earlier copy"));
        QString error;
        {
            Starwick::Test::FileSizeLimit limit(1000);
            if (!limit.isActive())
                QSKIP("The file size limit cannot be set here.");
            QVERIFY(!FolderItem(m_root + QStringLiteral("/picture.jpg"))
                         .CopyFileTo(FolderItem(m_root + QStringLiteral("/saved.jpg")), &error));
        }
        QVERIFY(!error.isEmpty());
        QCOMPARE(Starwick::Test::readFileBytes(m_root + QStringLiteral("/saved.jpg")), QByteArray("the earlier copy"));
        QCOMPARE(Starwick::Test::folderEntries(m_root), (QStringList{"picture.jpg", "saved.jpg"}));
    }

    void deleteRemovesLinksNotTargets()
    {
        QVERIFY(Starwick::Test::writeFileBytes(m_root + QStringLiteral("/target"), "target"));
        QVERIFY(QDir(m_root).mkdir(QStringLiteral("folder")));
        QVERIFY(Starwick::Test::writeFileBytes(m_root + QStringLiteral("/folder/inside"), "inside"));
        QVERIFY(QFile::link(m_root + QStringLiteral("/target"), m_root + QStringLiteral("/file link")));
        QVERIFY(QFile::link(m_root + QStringLiteral("/folder"), m_root + QStringLiteral("/folder link")));
        QVERIFY(QFile::link(m_root + QStringLiteral("/gone"), m_root + QStringLiteral("/dangling link")));

        for (const char* name : {"file link", "folder link", "dangling link"}) {
            const FolderItem link(m_root + QLatin1Char('/') + QLatin1String(name));
            QVERIFY2(link.IsLink() && link.Exists(), name);
            QVERIFY2(link.Delete(), name);
            QVERIFY2(!link.Exists(), name);
        }
        QCOMPARE(Starwick::Test::readFileBytes(m_root + QStringLiteral("/target")), QByteArray("target"));
        QCOMPARE(Starwick::Test::readFileBytes(m_root + QStringLiteral("/folder/inside")), QByteArray("inside"));
    }

    void deleteNeverRecurses()
    {
        const FolderItem folder(m_root + QStringLiteral("/folder"));
        QVERIFY(folder.CreateAsFolder());
        QVERIFY(Starwick::Test::writeFileBytes(folder.Child(QStringLiteral("inside")).path(), "inside"));
        QString error;
        QVERIFY(!folder.Delete(&error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(Starwick::Test::readFileBytes(folder.Child(QStringLiteral("inside")).path()), QByteArray("inside"));

        QVERIFY(folder.Child(QStringLiteral("inside")).Delete());
        QVERIFY(folder.Delete());
        QVERIFY(!folder.Exists());
        QVERIFY(!folder.Delete(&error)); // already gone
    }

    void countAndItemListInNameOrder()
    {
        for (const char* name : {"b", ".hidden", "a", "C", "..double"})
            QVERIFY(Starwick::Test::writeFileBytes(m_root + QLatin1Char('/') + QLatin1String(name), "x"));
        QVERIFY(QDir(m_root).mkdir(QStringLiteral("d")));

        const FolderItem folder(m_root);
        QCOMPARE(folder.Count(), 6);
        QStringList names;
        for (int i = 1; i <= folder.Count(); ++i)
            names << folder.Item(i).Name();
        QCOMPARE(names, (QStringList{"..double", ".hidden", "C", "a", "b", "d"}));
        QCOMPARE(folder.Item(1).Parent(), folder);
        QVERIFY(folder.Item(0).isNull());
        QVERIFY(folder.Item(7).isNull());
        QCOMPARE(folder.Child(QStringLiteral("a")).Count(), 0); // a file has no entries
        QCOMPARE(folder.Child(QStringLiteral("absent")).Count(), 0);
    }

    void listingFollowsChanges()
    {
        for (const char* name : {"a", "b", "c", ".keep"})
            QVERIFY(Starwick::Test::writeFileBytes(m_root + QLatin1Char('/') + QLatin1String(name), "x"));
        // Let the folder's times settle, so that its listing is kept between calls.
        QTest::qWait(150);
        const FolderItem folder(m_root);
        QCOMPARE(folder.Count(), 4);

        QVERIFY(Starwick::Test::writeFileBytes(m_root + QStringLiteral("/d"), "x")); // behind the class's back
        QCOMPARE(folder.Count(), 5);
        QCOMPARE(folder.Item(5).Name(), QStringLiteral("d"));
        QVERIFY(QFile::remove(m_root + QStringLiteral("/a")));
        QCOMPARE(folder.Item(2).Name(), QStringLiteral("b"));

        // A walk from the last entry to the first that deletes as it goes, as the purge does.
        for (int i = folder.Count(); i >= 1; --i) {
            const FolderItem item = folder.Item(i);
            if (!item.Name().startsWith(QLatin1Char('.')))
                QVERIFY2(item.Delete(), qPrintable(item.path()));
        }
        QCOMPARE(folder.Count(), 1);
        QCOMPARE(Starwick::Test::folderEntries(m_root), QStringList{".keep"});
        QVERIFY(Starwick::Test::writeFileBytes(m_root + QStringLiteral("/e"), "x"));
        QCOMPARE(folder.Count(), 2);
    }

    void setNameRenamesWithoutReplacing()
    {
        QVERIFY(Starwick::Test::writeFileBytes(m_root + QStringLiteral("/old"), "old"));
        QVERIFY(Starwick::Test::writeFileBytes(m_root + QStringLiteral("/taken"), "taken"));
        FolderItem item(m_root + QStringLiteral("/old"));
        QString error;
        QVERIFY(!item.SetName(QStringLiteral("taken"), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(Starwick::Test::readFileBytes(m_root + QStringLiteral("/taken")), QByteArray("taken"));
        QVERIFY(!item.SetName(QStringLiteral("../escape")));
        QVERIFY(item.SetName(QStringLiteral("old"))); // its own name: nothing to do
        QVERIFY(item.SetName(QStringLiteral("new")));
        QCOMPARE(item.path(), m_root + QStringLiteral("/new"));
        QCOMPARE(Starwick::Test::folderEntries(m_root), (QStringList{"new", "taken"}));
    }

    void macCodesRoundTrip()
    {
        const QString path = m_root + QStringLiteral("/file");
        QVERIFY(Starwick::Test::writeFileBytes(path, "x"));
        const QByteArray name = QFile::encodeName(path);
        if (::setxattr(name.constData(), "user.probe", "1", 1, 0) != 0)
            QSKIP("The temporary folder's file system refuses user extended attributes.");

        const FolderItem file(path);
        QCOMPARE(file.MacType(), QString());
        QVERIFY(file.SetMacType(QStringLiteral("pref")));
        QCOMPARE(file.MacType(), QStringLiteral("pref"));
        QCOMPARE(file.MacCreator(), QString());
        QVERIFY(file.SetMacCreator(QStringLiteral("Qwlk")));
        QVERIFY(file.SetMacType(QStringLiteral("TEXT")));
        QCOMPARE(file.MacCreator(), QStringLiteral("Qwlk"));
        QCOMPARE(file.MacType(), QStringLiteral("TEXT"));

        // The block as other programs read it: 32 bytes, type then creator.
        char block[64] = {};
        QCOMPARE(::getxattr(name.constData(), "user.com.apple.FinderInfo", block, sizeof block), ssize_t(32));
        QCOMPARE(QByteArray(block, 8), QByteArray("TEXTQwlk"));
        QCOMPARE(QByteArray(block + 8, 24), QByteArray(24, '\0'));

        QVERIFY(file.SetMacType(QStringLiteral("ab")));
        QCOMPARE(file.MacType(), QStringLiteral("ab  "));
        QVERIFY(!file.SetMacType(QStringLiteral("toolong")));
        QCOMPARE(file.MacType(), QStringLiteral("ab  "));
        QVERIFY(!FolderItem(m_root + QStringLiteral("/absent")).SetMacCreator(QStringLiteral("Qwlk")));
        QCOMPARE(FolderItem(m_root + QStringLiteral("/absent")).MacCreator(), QString());
    }
};

STARWICK_TEST_MAIN(TestFolderItem)
#include "tst_folderitem.moc"
