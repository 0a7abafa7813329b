// Kiboru: school-accident benefit claims for the office of a high school.

#include "app/BackupCommand.h"
#include "app/KiboruMain.h"
#include "app/StartUp.h"
#include "entry/EntryState.h"
#include "forms/Application.h"
#include "forms/Fonts.h"

#include <QCoreApplication>

#include <csignal>

int main(int argc, char** argv)
{
#ifdef SIGXFSZ
    // A file-size limit then fails the write ("disk full") instead of
    // ending the program in the middle of a save.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    if (app::IsBackupCommand(argc, argv)) {
        QCoreApplication core(argc, argv);
        return app::RunBackupCommand(core.arguments());
    }
    forms::Application app(argc, argv);
    forms::InstallFontSubstitutions();

    entry::EntryState state;   // lives for the whole run, shared by every entry window
    TForm1 form1(state);
    form1.SetToday();
    return app::Run(app, form1);
}
