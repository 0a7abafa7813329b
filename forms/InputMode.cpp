#include "forms/InputMode.h"

#include <QVariant>
#include <QWidget>

#ifdef Q_OS_WIN
#include <QEvent>
#include <QPointer>
#include <windows.h>
#include <imm.h>
#endif

namespace forms {

namespace {

const char* const kModeProperty = "imeMode";
const char* const kHiragana = "hiragana";

#ifdef Q_OS_WIN
void switchToHiragana(QWidget* control)
{
    const HWND window = reinterpret_cast<HWND>(control->window()->winId());
    const HIMC context = ImmGetContext(window);
    if (!context)
        return;
    ImmSetOpenStatus(context, TRUE);
    DWORD conversion = 0;
    DWORD sentence = 0;
    ImmGetConversionStatus(context, &conversion, &sentence);
    ImmSetConversionStatus(context, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, sentence);
    ImmReleaseContext(window, context);
}

// Switches after Qt has finished its own focus handling, which also talks
// to the input method.
class HiraganaOnFocus : public QObject {
public:
    explicit HiraganaOnFocus(QWidget* control) : QObject(control) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn) {
            QPointer<QWidget> control = static_cast<QWidget*>(watched);
            QMetaObject::invokeMethod(this, [control] {
                if (control && control->hasFocus())
                    switchToHiragana(control);
            }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};
#endif

} // namespace

void SetHiraganaOnFocus(QWidget* control)
{
    if (HasHiraganaOnFocus(control))
        return;
    control->setProperty(kModeProperty, QString::fromLatin1(kHiragana));
    control->setAttribute(Qt::WA_InputMethodEnabled, true);
#ifdef Q_OS_WIN
    control->installEventFilter(new HiraganaOnFocus(control));
#endif
}

bool HasHiraganaOnFocus(const QWidget* control)
{
    return control->property(kModeProperty).toString() == QLatin1String(kHiragana);
}

} // namespace forms
