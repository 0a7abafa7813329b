#pragma once
// File-system helpers shared by the roster and claim files. Paths are Qt
// paths with "/"; names on disk are the Unicode (UTF-8) form of the texts.

#include "files/IoResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace claims {

// Whether a process of that number runs on this PC.
bool ProcessRunning(qint64 pid);

// Writes a kept version of a file as a new file of its own, as a save
// writes (through the calls a test's failing device may take the place of).
IoResult WriteVersionFile(const QString& versionPath, QByteArrayView bytes);

// Waits before the next try of a move or removal that was refused for a
// reason that may pass (a file server refuses both while another program
// holds the file open): 1 ms, doubling, about two seconds in all. False
// once the time is up.
bool WaitBeforeTryingAgain(int& waitedMs);

// True when a directory entry of that name exists: a file, a folder, or a
// link even if it leads nowhere.
bool EntryExists(const QString& path);

// The directory entry that answers to path, whatever the case of a ".CSV"
// ending (file or folder), spelled as the folder holds it; path itself when
// it exists (on a file system that heeds case, and on a file server, which
// answers to any case); empty when none does.
QString FindExistingEntry(const QString& path);

// Every entry whose name is path's whatever the case of its ".CSV" ending,
// as the folder spells it, path itself first; from one listing of the
// folder, so that each file counts once also where a file server answers to
// every spelling of a name, each with an entry id of its own.
QStringList FindExistingEntries(const QString& path);

// The names of the entries of folder (files and folders, hidden ones too)
// that begin with prefix whatever its case, in no order; empty when the
// folder cannot be listed. One directory query: on Windows the server picks
// the names, elsewhere the whole folder is read.
QStringList ListNamesStartingWith(const QString& folder, const QString& prefix);

// The names of the entries in folder that are not folders, in no order,
// none that begins with "." (hidden: a save's temporary files); empty when
// the folder cannot be listed. One directory read, no look at each file,
// for folders of many names.
QStringList ListFileNames(const QString& folder);

// An entry of a folder listing with what the listing tells of it.
struct ListedFile {
    QString name;
    qint64 size = -1;      // -1: not known (a link that leads nowhere)
    qint64 modified = 0;   // last write, nanoseconds since 1970 (UTC)
    bool operator==(const ListedFile&) const = default;
};

// The entries ListFileNames lists, each with its size and time of last write. On Windows
// these come with the names from the one directory query; on POSIX systems
// the names need one stat each besides (fstatat on the open folder, several
// at once in a large folder).
QList<ListedFile> ListFiles(const QString& folder);

// Reads a file piece by piece. Only a plain file opens: a folder, a pipe or a
// device fails with AccessDenied.
class FileReader {
public:
    explicit FileReader(const QString& path);   // Outcome() tells whether it opened
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    const IoResult& Outcome() const { return outcome_; }
    qint64 Size() const { return size_; }   // the size when opened
    qint64 Modified() const { return modified_; }   // last write when opened, nanoseconds since 1970 (UTC)


    // Up to size bytes into data: the count read, 0 at the end of the file,
    // -1 on failure (see Outcome()).
    qsizetype Read(char* data, qsizetype size);

private:
    QString path_;
    int fd_ = -1;
    qint64 size_ = 0;
    qint64 modified_ = 0;
    IoResult outcome_;
};

// The whole content of a file.
Result<QByteArray> ReadWholeFile(const QString& path);

// The same with the file's time of last write, which comes with opening it
// (no look of its own, which on a file server would be a round trip).
struct TimedBytes {
    QByteArray bytes;
    qint64 modified = 0;   // nanoseconds since 1970 (UTC)
};
Result<TimedBytes> ReadWholeFileTimed(const QString& path);

// Whether a file or folder may be changed. Refuses with AccessDenied an entry
// that has no write permission bit at all, even for the superuser, who the
// system would otherwise let write anyway.
IoResult CheckWritable(const QString& path);

// Makes a new file at path holding data, flushed to disk; fails when an
// entry of that name exists. A save that found its file gone after a failed
// move puts the replaced bytes back with it (a file server may refuse every
// move, but not a new file).
IoResult WriteNewFile(const QString& path, QByteArrayView data);

// Replaces the file at path by data, or creates it: the data go to a new file
// in the same folder, are flushed to disk, closed (a file server refuses to
// move an open file) and only then take the old file's place; a move that
// another program's open handle refuses for a moment is tried again for
// about two seconds, and a failure that remains names the file. On any
// failure the new file is removed and the old file stays as it was, unless
// the file system itself lost it in the failed move. An existing file keeps
// its permission bits. Temporary files that saves cut short (killed, power
// lost) left in the folder are removed first; a new file that another
// program took for such a file meanwhile is written again.
// beforeRename, when given, runs once the new file is on disk, right before
// it takes the old one's place; a failure it returns stops the save there
// (the new file removed, the old one as it was) and is returned.
IoResult ReplaceFileContents(const QString& path, QByteArrayView data,
                             const std::function<IoResult()>& beforeRename = {});

} // namespace claims
