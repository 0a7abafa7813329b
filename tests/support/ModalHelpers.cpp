#include "tests/support/ModalHelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace testsupport {

void WhenModal(std::function<void(QWidget*)> act, int timeoutMs)
{
    QPointer<QWidget> before = QApplication::activeModalWidget();
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != before) {
            timer->deleteLater();
            timer->stop();
            act(modal);
        } else if (clock->elapsed() > timeoutMs) {
            timer->deleteLater();
            timer->stop();
            qWarning("WhenModal: no modal window came within %d ms", timeoutMs);
        }
    });
    timer->start();
}

QAbstractButton* FindButton(QWidget* window, const QString& text)
{
    const auto buttons = window->findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        const char latin = c.toLatin1();
        const bool plain = c.unicode() < 0x80 && QChar(latin).isLetterOrNumber();
        const Qt::Key key = plain ? Qt::Key(QChar(latin).toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}

void ClickButton(QWidget* window, const QString& text)
{
    QAbstractButton* button = FindButton(window, text);
    if (!button) {
        qWarning("ClickButton: no button \"%s\"", qUtf8Printable(text));
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace testsupport
