#pragma once

#include <QApplication>
#include <QString>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace forms {

// An error with a text for the user, shown as it is in the error box.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message);
    QString message() const;

private:
    QString message_;
};

// The application object. An exception that escapes an event handler is
// shown in the error box, and the program goes on.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the exception's text in the error box: Error::message() for an
// Error, otherwise what() read as UTF-8.
void ReportException(const std::exception& e);

// Connects a handler to a signal so that an exception thrown by the handler
// ends only the handler and reaches the error box; none crosses Qt's signal
// machinery. The handler takes the signal's arguments or none; it may be a
// member function of the context.
template <typename Sender, typename Signal, typename Context, typename Handler>
void OnEvent(Sender* sender, Signal signal, Context* context, Handler handler)
{
    QObject::connect(sender, signal, context, [context, handler](auto&&... args) {
        try {
            if constexpr (std::is_member_function_pointer_v<Handler>) {
                if constexpr (std::is_invocable_v<Handler, Context*, decltype(args)...>)
                    (context->*handler)(std::forward<decltype(args)>(args)...);
                else
                    (context->*handler)();
            } else if constexpr (std::is_invocable_v<const Handler&, decltype(args)...>) {
                handler(std::forward<decltype(args)>(args)...);
            } else {
                handler();
            }
        } catch (const std::exception& e) {
            ReportException(e);
        }
    });
}

} // namespace forms
