// Kiboru: school-accident benefit claims for the office of a high school.

#include "app/KiboruMain.h"
#include "claims/ShiftJis.h"
#include "entry/EntryState.h"
#include "forms/Application.h"
#include "forms/Fonts.h"
#include "forms/Messages.h"

#include <csignal>

int main(int argc, char** argv)
{
#ifdef SIGXFSZ
    // A file-size limit then fails the write ("disk full") instead of
    // ending the program in the middle of a save.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    forms::Application app(argc, argv);
    if (!claims::ShiftJisAvailable()) {
        // Without the converter every claim and roster would be garbled.
        forms::ShowErrorBox(nullptr,
                            QStringLiteral("Shift-JIS の変換機能が見つからないため、Kiboru を起動できません。\n"
                                           "ICU を使う Qt 6 を入れてから起動して下さい。"));
        return 1;
    }
    forms::InstallFontSubstitutions();

    entry::EntryState state;   // lives for the whole run, shared by every entry window
    TForm1 form1(state);
    form1.SetToday();
    form1.show();
    app.exec();
    return 0;
}
