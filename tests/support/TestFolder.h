#pragma once
// Where the tests keep their working folders. Unset, in the system's
// temporary folder. KIBORU_TEST_ROOT names another folder, such as a file
// server's share as one office PC mounts it (scripts/smb-share.sh); then
// KIBORU_TEST_ROOT_B names the same share as a second PC mounts it, and a
// test that plays the second PC works on SecondPcPath() of its folder.
// Qt Core only.

#include <QString>
#include <QTemporaryDir>
#include <QTest>

namespace testsupport {

// KIBORU_TEST_ROOT, or empty.
QString TestRoot();

// A fresh folder under TestRoot() (else the system's temporary folder),
// removed with all it holds when the object is gone.
class TestFolder : public QTemporaryDir {
public:
    TestFolder();
};

// The same file or folder as the second PC sees it: path with the leading
// KIBORU_TEST_ROOT replaced by KIBORU_TEST_ROOT_B; path itself when either
// is unset or path lies elsewhere.
QString SecondPcPath(const QString& path);

// True under Wine with the working folders on a share (see below).
bool SavesCannotPassHere();

// Whether path lies on a mount of smbnetfs, the FUSE client of the share in
// the tests. Across its two mounts, as two PCs, it keeps no file exclusive
// to the one that made it (two processes, one on each mount, making and
// removing one name for 5 s: 70 of 623 makes found the file another's or
// gone while they held it; on one mount or a local disk none) and it
// replaces a file by removing it first, so that the other PC finds no file
// for a moment. Windows' SMB client and Linux's kernel client do neither.
bool OnSmbnetfs(const QString& path);

// Writes bytes to path, making the folders it needs; false when that fails.
bool WriteMakingFolders(const QString& path, const QByteArray& bytes);

// A file's bytes, or none when it cannot be read.
QByteArray ReadOrNothing(const QString& path);

} // namespace testsupport

// Starts a test function that saves. Under Wine on a share mounted through
// FUSE no save can pass: Wine renames the new file into place through a
// handle it holds open on it, and Samba refuses to rename an open file
// (Windows' own SMB client renames on the server in one request).
#define KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE()                                                      \
    do {                                                                                             \
        if (testsupport::SavesCannotPassHere())                                                      \
            QSKIP("saves over the share cannot pass under Wine: Wine renames through a handle open " \
                  "on the file, which Samba refuses");                                               \
    } while (false)
