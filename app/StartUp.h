#pragma once

class TForm1;

namespace forms {
class Application;
}

namespace app {

// Shows the main window and runs the message loop until the program ends;
// returns the exit code. The Shift-JIS converter is checked as soon as the
// window has been painted, before any input is taken: without it every
// claim and roster would be garbled, so the program shows why and ends
// with code 1. Checked after the paint so that the window does not wait
// for the converter to open (about a millisecond).
int Run(forms::Application& app, TForm1& mainWindow, bool (*converterAvailable)());

} // namespace app
