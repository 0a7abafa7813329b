// The control layer's platform calls on Windows: font stand-ins and the
// input method's mode.

#include "forms/Platform.h"

#include <QEvent>
#include <QFont>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <windows.h>   // after the Qt headers, whose min and max it would spoil
#include <imm.h>

namespace forms::platform {
namespace {

// Windows draws the layouts' fonts by their own names; where one is missing
// (「HG丸ｺﾞｼｯｸM-PRO」 comes with some office suites only, the MS fonts only
// with Japanese Windows or its optional Japanese fonts), these stand in, the
// first one installed. MS P Gothic comes first: it is the layouts' other
// font, proportional like the rounded one, with the compact line height the
// controls were sized for. Meiryo and Yu Gothic (Windows since Vista and
// 8.1) have a taller line that can cut text at the foot of small fields, so
// they come after. The Japanese fonts of Linux come last: Wine shows them to Windows
// programs.
struct Fallback {
    const char16_t* layout;
    std::initializer_list<const char16_t*> families;
};

const Fallback kWindowsFallbacks[] = {
    {u"HG丸ｺﾞｼｯｸM-PRO", {u"ＭＳ Ｐゴシック", u"MS PGothic", u"Meiryo", u"Yu Gothic", u"MotoyaLMaru", u"IPAPGothic"}},
    {u"ＭＳ Ｐゴシック", {u"MS PGothic", u"Meiryo", u"Yu Gothic", u"IPAPGothic"}},
    {u"ＭＳ Ｐ明朝", {u"MS PMincho", u"Yu Mincho", u"IPAPMincho"}},
};

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

} // namespace

void InstallFontFallbacks()
{
    for (const Fallback& fallback : kWindowsFallbacks) {
        QStringList families;
        for (const char16_t* family : fallback.families)
            families.append(QString::fromUtf16(family));
        QFont::insertSubstitutions(QString::fromUtf16(fallback.layout), families);
    }
}

void SwitchToHiraganaOnFocus(QWidget* control)
{
    control->installEventFilter(new HiraganaOnFocus(control));
}

} // namespace forms::platform
