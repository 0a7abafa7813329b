#include "store/History.h"

#include "files/FileAccess.h"
#include "store/FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QThread>

namespace claims {
namespace {

const char kTimeFormat[] = "yyyyMMdd-hhmmss-zzz";
constexpr int kTimeLength = 19;

// The path up to and with the "/" before its last part; "" for a bare name.
QString FolderPart(const QString& path) { return path.left(path.lastIndexOf(u'/') + 1); }

QString LastPart(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

bool IsClaimName(const QString& name)
{
    return ClaimName::Parse(name).has_value();
}

const QString& ThisPcName()
{
    static const QString name = PcNameForFiles(QSysInfo::machineHostName());
    return name;
}

// Makes folder and those of its parents that are missing; made gets them,
// outermost first.
bool MakeFolders(const QString& folder, QStringList& made)
{
    QStringList missing;
    for (QString f = folder; !f.isEmpty() && !QFileInfo(f).isDir(); f = f.left(qMax<qsizetype>(f.lastIndexOf(u'/'), 0)))
        missing.prepend(f);
    for (const QString& f : std::as_const(missing)) {
        if (!QDir().mkdir(f))
            return false;
        made.append(f);
    }
    return true;
}

void RemoveFolders(const QStringList& made)
{
    for (auto it = made.crbegin(); it != made.crend(); ++it)
        QDir().rmdir(*it);
}

Failure NotKept(const QString& folder, const IoError& why)
{
    return Refused(Refusal::HistoryNotKept,
                   QStringLiteral("履歴フォルダ %1 に前の内容を保存できないため（%2）、保存を中止しました。"
                                  "フォルダの空き容量と書き込み権限を確かめて下さい。")
                       .arg(QDir::toNativeSeparators(folder), why.message));
}

// A name for the version that no file in the folder has (saves of one file
// take turns, but two may fall in one millisecond); empty when the clock
// gives none.
QString NewVersionPath(const QString& folder)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString path = folder + u'/' + VersionFileName(QDateTime::currentDateTime());
        if (!EntryExists(path))
            return path;
        QThread::msleep(1);
    }
    return QString();
}

} // namespace

QString HistoryFolderFor(const QString& path)
{
    const QString name = LastPart(path);
    const QString folder = FolderPart(path).chopped(qMin<qsizetype>(1, FolderPart(path).size()));
    const QString data = FolderPart(folder);
    const QString history = data + QStringLiteral("履歴/");
    if (LastPart(folder) == QLatin1String("seikyu") && IsClaimName(name))
        return history + QStringLiteral("seikyu/") + name.chopped(4);
    if (LastPart(folder) == QStringLiteral("請求状況") && IsClaimName(name))
        return history + QStringLiteral("請求状況/") + name.chopped(4);
    if (LastPart(folder) == QStringLiteral("請求状況")) {
        for (const QString kept : {QStringLiteral("学校"), QStringLiteral("支払通知")}) {
            if (name.compare(kept + QStringLiteral(".CSV"), Qt::CaseInsensitive) == 0)
                return history + QStringLiteral("請求状況/") + kept;
        }
    }
    if (IsRosterFileName(name))
        return FolderPart(path) + QStringLiteral("履歴/名簿/") + name.chopped(4) + QStringLiteral(".CSV");
    return QString();
}

QString PcNameForFiles(const QString& hostName)
{
    QString name = hostName.isEmpty() ? QStringLiteral("_") : hostName;
    for (QChar& c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = u'_';
    }
    return name;
}

QString VersionFileName(const QDateTime& time)
{
    return time.toString(QLatin1String(kTimeFormat)) + u'-' + ThisPcName() + QStringLiteral(".CSV");
}

bool IsVersionFileName(const QString& name)
{
    if (name.size() < kTimeLength + 6 || !name.endsWith(QLatin1String(".CSV"), Qt::CaseInsensitive)
        || name[kTimeLength] != u'-')
        return false;
    for (int i = 0; i < kTimeLength; ++i) {
        const bool dash = i == 8 || i == 15;
        if (dash ? name[i] != u'-' : !name[i].isDigit())
            return false;
    }
    return true;
}

Result<KeptVersion> KeepVersion(const QString& folder, QByteArrayView bytes)
{
    KeptVersion kept;
    if (!MakeFolders(folder, kept.madeFolders)) {
        RemoveFolders(kept.madeFolders);
        return NotKept(folder, IoFailure(AccessDenied).error());
    }
    const QString path = NewVersionPath(folder);
    const IoResult written = path.isEmpty() ? IoResult(IoFailure(AccessDenied)) : WriteVersionFile(path, bytes);
    if (!written) {
        RemoveFolders(kept.madeFolders);
        return NotKept(folder, written.error());
    }
    kept.path = path;
    return kept;
}

void DropVersion(const KeptVersion& version)
{
    QFile::remove(version.path);
    RemoveFolders(version.madeFolders);
}

void PruneVersions(const QString& folder)
{
    const QDir dir(folder);
    QStringList versions = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    versions.removeIf([](const QString& name) { return !IsVersionFileName(name); });
    for (qsizetype i = 0; i + kVersionsKept < versions.size(); ++i)
        QFile::remove(dir.filePath(versions[i]));
}

} // namespace claims
