#include "app/StartUp.h"

#include "app/KiboruMain.h"
#include "forms/Application.h"

namespace app {

int Run(forms::Application& app, TForm1& mainWindow)
{
    mainWindow.show();
    return app.exec();
}

} // namespace app
