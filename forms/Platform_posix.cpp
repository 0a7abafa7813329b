// The control layer's platform calls outside Windows: nothing to do.

#include "forms/Platform.h"

namespace forms::platform {

void InstallFontFallbacks() {}

void SwitchToHiraganaOnFocus(QWidget*) {}

} // namespace forms::platform
