#include "forms/InputMode.h"

#include "forms/Platform.h"

#include <QVariant>
#include <QWidget>

namespace forms {

namespace {

const char* const kModeProperty = "imeMode";
const char* const kHiragana = "hiragana";

} // namespace

void SetHiraganaOnFocus(QWidget* control)
{
    if (HasHiraganaOnFocus(control))
        return;
    control->setProperty(kModeProperty, QString::fromLatin1(kHiragana));
    control->setAttribute(Qt::WA_InputMethodEnabled, true);
    platform::SwitchToHiraganaOnFocus(control);
}

bool HasHiraganaOnFocus(const QWidget* control)
{
    return control->property(kModeProperty).toString() == QLatin1String(kHiragana);
}

} // namespace forms
