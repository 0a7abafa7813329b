#pragma once

class TForm1;

namespace forms {
class Application;
}

namespace app {

// Shows the main window and runs the message loop until the program ends;
// returns the exit code.
int Run(forms::Application& app, TForm1& mainWindow);

} // namespace app
