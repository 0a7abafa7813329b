#include "backupwindow/BackupSettings.h"

#include "backup/Backup.h"
#include "files/FileAccess.h"
#include "store/FileNames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStorageInfo>

namespace backupwindow {
namespace {

QSettings Settings()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QSettings(folder + QStringLiteral("/backups.ini"), QSettings::IniFormat);
}

QString Key(const QString& dataFolder, const char* name)
{
    const QByteArray path = QDir(dataFolder).absolutePath().toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(16)) + u'/'
           + QLatin1String(name);
}

bool HasClaims(const QString& dataFolder)
{
    const QStringList names = claims::ListFileNames(dataFolder + QStringLiteral("/seikyu"));
    return std::any_of(names.cbegin(), names.cend(),
                       [](const QString& name) { return claims::ClaimName::Parse(name).has_value(); });
}

// A Windows share's first two parts (\\server\share), or the mount's root.
QString StorageOf(const QString& folder)
{
    const QString path = QDir::fromNativeSeparators(QDir(folder).absolutePath());
    if (path.startsWith(QLatin1String("//")))
        return path.section(u'/', 0, 3).toLower();
    const QStorageInfo storage(path);
    return storage.isValid() ? storage.rootPath() + u'|' + QString::fromUtf8(storage.device()) : QString();
}

} // namespace

BackupSettings::BackupSettings(const QString& dataFolder) : key_(Key(dataFolder, "")) {}

QString BackupSettings::Folder() const
{
    return Settings().value(key_ + QStringLiteral("folder")).toString();
}

void BackupSettings::SetFolder(const QString& folder)
{
    Settings().setValue(key_ + QStringLiteral("folder"), folder);
}

int BackupSettings::RemindDays() const
{
    return Settings().value(key_ + QStringLiteral("remindDays"), kRemindDaysDefault).toInt();
}

void BackupSettings::SetRemindDays(int days)
{
    Settings().setValue(key_ + QStringLiteral("remindDays"), days);
}

std::optional<QDateTime> BackupSettings::LastMade() const
{
    const QDateTime time =
        QDateTime::fromString(Settings().value(key_ + QStringLiteral("lastMade")).toString(), Qt::ISODate);
    return time.isValid() ? std::optional(time) : std::nullopt;
}

void BackupSettings::SetLastMade(const QDateTime& time)
{
    Settings().setValue(key_ + QStringLiteral("lastMade"), time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate));
}

QString SameStorageWarning(const QString& dataFolder, const QString& backupFolder)
{
    const QString data = StorageOf(dataFolder);
    if (data.isEmpty() || data != StorageOf(backupFolder))
        return QString();
    return QStringLiteral("データと同じ場所です。サーバーが壊れたり暗号化されたりすると、両方とも失われます。"
                          "USBメモリなど別の場所を選んでください。");
}

QString DueReminder(const QString& dataFolder, const QDateTime& now)
{
    const BackupSettings settings(dataFolder);
    const int days = settings.RemindDays();
    if (days <= 0)
        return QString();
    const auto due = [&](const QDateTime& last) { return last.secsTo(now) > qint64(days) * 24 * 60 * 60; };
    std::optional<QDateTime> last = settings.LastMade();
    if (last && !due(*last))
        return QString();
    if (!settings.Folder().isEmpty()) {
        const std::optional<QDateTime> found = claims::LastBackupTime(dataFolder, settings.Folder());
        if (found && (!last || *found > *last))
            last = found;
    }
    if (last && !due(*last))
        return QString();
    if (last)
        return QStringLiteral("最後のバックアップは %1日前です。今バックアップしますか？").arg(last->date().daysTo(now.date()));
    if (!HasClaims(dataFolder))
        return QString();
    return QStringLiteral("まだバックアップがありません。今バックアップしますか？");
}

} // namespace backupwindow
