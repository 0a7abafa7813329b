#pragma once
// kiboru --backup FOLDER, run in the data folder: makes and verifies one
// backup without opening a window, for a scheduled task. The only option.

#include <QString>
#include <QStringList>

namespace app {

// Whether the arguments (the program's name first) ask for a backup.
bool IsBackupCommand(int argc, char** argv);

// Makes the backup of the current folder into the folder named after
// --backup. The exit status: 0 with the backup's path on standard output;
// otherwise 1 with the reason on standard error.
int RunBackupCommand(const QStringList& arguments);

} // namespace app
