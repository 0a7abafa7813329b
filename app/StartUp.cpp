#include "app/StartUp.h"

#include "app/KiboruMain.h"
#include "forms/Application.h"
#include "forms/Messages.h"

#include <QEvent>

#include <functional>

namespace app {
namespace {

// Runs an action once, on the turn of the message loop after the first
// paint of a window, and then removes itself.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget* window, std::function<void()> action)
        : QObject(window), action_(std::move(action))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(this, [this] { RunOnce(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void RunOnce()
    {
        const auto action = std::move(action_);
        deleteLater();
        action();
    }

    std::function<void()> action_;
};

const char* const kNoConverter = "Shift-JIS の変換機能が見つからないため、Kiboru を起動できません。\n"
                                 "ICU を使う Qt 6 を入れてから起動して下さい。";

} // namespace

int Run(forms::Application& app, TForm1& mainWindow, bool (*converterAvailable)())
{
    new AfterFirstPaint(&mainWindow, [&app, &mainWindow, converterAvailable] {
        if (converterAvailable())
            return;
        forms::ShowErrorBox(&mainWindow, QString::fromUtf8(kNoConverter));
        app.exit(1);
    });
    mainWindow.show();
    return app.exec();
}

} // namespace app
