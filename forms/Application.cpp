#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/ScreenFit.h"
#include "forms/ScreenPlace.h"

#include <QWidget>

namespace forms {

Error::Error(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message)
{
}

QString Error::message() const
{
    return message_;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    // The name only: a display name would be appended to every window caption.
    setApplicationName(QStringLiteral("Kiboru"));
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    NoteWindowResize(receiver, event);
    // Before it shows, a window is made to fit the screen and goes where it
    // can be seen.
    if (event->type() == QEvent::Show && receiver->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(receiver);
        if (widget->isWindow() && widget->windowType() != Qt::Popup && widget->windowType() != Qt::ToolTip) {
            FitOnScreen(widget);
            KeepOnScreen(widget);
        }
    }
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportException(e);
        return false;
    }
}

void ReportException(const std::exception& e)
{
    const auto* error = dynamic_cast<const Error*>(&e);
    const QString text = error ? error->message() : QString::fromUtf8(e.what());
    ShowErrorBox(QApplication::activeWindow(), text);
}

} // namespace forms
