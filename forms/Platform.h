#pragma once
// What the control layer asks of each platform: Platform_win.cpp and
// Platform_posix.cpp give the same calls, and CMake builds one of them.
// Inside the forms library only.

class QWidget;

namespace forms::platform {

// Fonts that stand in for a layout font the system lacks, beside the table
// of installed fonts (LayoutFonts.h). Windows only; none elsewhere.
void InstallFontFallbacks();

// Opens the input method in hiragana each time the control takes the focus.
// Windows only: elsewhere the input method keeps the mode the user chose.
void SwitchToHiraganaOnFocus(QWidget* control);

} // namespace forms::platform
