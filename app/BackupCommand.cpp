#include "app/BackupCommand.h"

#include "backup/Backup.h"
#include "backupwindow/BackupSettings.h"

#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace app {

bool IsBackupCommand(int argc, char** argv)
{
    return argc >= 2 && std::strcmp(argv[1], "--backup") == 0;
}

int RunBackupCommand(const QStringList& arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (arguments.size() != 3 || arguments[2].isEmpty()) {
        err << "使い方: kiboru --backup バックアップ先のフォルダ\n";
        return 1;
    }
    const claims::Result<QString> made =
        claims::MakeBackup(QDir::currentPath(), QDir::fromNativeSeparators(QDir(arguments[2]).absolutePath()));
    if (!made) {
        err << made.error().message << '\n';
        return 1;
    }
    backupwindow::BackupSettings(QDir::currentPath()).SetLastMade(QDateTime::currentDateTime());
    out << QDir::toNativeSeparators(*made) << '\n';
    return 0;
}

} // namespace app
