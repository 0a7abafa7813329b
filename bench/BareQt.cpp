// The reference for start-up: a Qt program that shows one window with one
// button and nothing else.

#include <QApplication>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    QPushButton button(QStringLiteral("OK"), &window);
    button.move(20, 20);
    window.resize(200, 80);
    window.show();
    return app.exec();
}
