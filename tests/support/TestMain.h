#pragma once

#include "forms/Application.h"
#include "forms/Fonts.h"

#include <QDir>
#include <QSize>
#include <QTemporaryFile>
#include <QTest>

#include <algorithm>

namespace testsupport {

// The screen size "-screen WxH" names on the command line, taken out of the
// arguments (Qt Test would refuse it); 1280 x 1024 without one.
inline QSize TakeScreenSize(int& argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        const QList<QByteArray> wh = QByteArray(argv[i + 1]).split('x');
        if (qstrcmp(argv[i], "-screen") == 0 && wh.size() == 2) {
            std::copy(argv + i + 2, argv + argc + 1, argv + i);
            argc -= 2;
            return QSize(wh[0].toInt(), wh[1].toInt());
        }
    }
    return QSize(1280, 1024);
}

// Runs the test offscreen unless told otherwise, on one screen of size:
// 1280 x 1024 is an office monitor, on which every layout's own window place
// lies (the offscreen platform's own screen of 800 x 600 would move them).
// The screen is described in file, which must live until the end; its name
// is relative, as a drive letter's ":" would end the platform's option.
inline void UseOffscreenScreen(QTemporaryFile& file, QSize size = QSize(1280, 1024))
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen")
        return;
    if (!file.open())
        qFatal("no screen file");
    const QString screens = QStringLiteral(R"({"screens": [{"name": "office", "x": 0, "y": 0,
        "width": %1, "height": %2, "logicalDpi": 96, "dpr": 1}]})");
    file.write(screens.arg(size.width()).arg(size.height()).toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QDir::current().relativeFilePath(file.fileName()).toLocal8Bit());
}

} // namespace testsupport

// A test main() like QTEST_MAIN, but with forms::Application as the
// application object (its notify() catches what escapes a handler) and the
// program's font substitutions installed, on the screen "-screen WxH" names.
#define KIBORU_GUI_TEST_MAIN(TestClass)                                                \
    int main(int argc, char** argv)                                                    \
    {                                                                                  \
        QTemporaryFile screen(QStringLiteral("kiboru-screen-XXXXXX.json"));            \
        testsupport::UseOffscreenScreen(screen,                                        \
                                        testsupport::TakeScreenSize(argc, argv));      \
        forms::Application app(argc, argv);                                            \
        forms::InstallFontSubstitutions();                                             \
        TestClass test;                                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                                     \
        return QTest::qExec(&test, argc, argv);                                        \
    }
