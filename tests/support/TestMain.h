#pragma once

#include "forms/Application.h"
#include "forms/Fonts.h"

#include <QDir>
#include <QTemporaryFile>
#include <QTest>

namespace testsupport {

// Runs the test offscreen unless told otherwise, on one screen of 1280 x 1024
// (an office monitor, on which every layout's own window place lies; the
// offscreen platform's own screen of 800 x 600 would move them). The screen
// is described in file, which must live until the end; its name is relative,
// as a drive letter's ":" would end the platform's option.
inline void UseOffscreenScreen(QTemporaryFile& file)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen")
        return;
    if (!file.open())
        qFatal("no screen file");
    file.write(R"({"screens": [{"name": "office", "x": 0, "y": 0, "width": 1280, "height": 1024,
                                "logicalDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QDir::current().relativeFilePath(file.fileName()).toLocal8Bit());
}

} // namespace testsupport

// A test main() like QTEST_MAIN, but with forms::Application as the
// application object (its notify() catches what escapes a handler) and the
// program's font substitutions installed.
#define KIBORU_GUI_TEST_MAIN(TestClass)                                             \
    int main(int argc, char** argv)                                                 \
    {                                                                               \
        QTemporaryFile screen(QStringLiteral("kiboru-screen-XXXXXX.json"));         \
        testsupport::UseOffscreenScreen(screen);                                    \
        forms::Application app(argc, argv);                                         \
        forms::InstallFontSubstitutions();                                          \
        TestClass test;                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                  \
        return QTest::qExec(&test, argc, argv);                                     \
    }
