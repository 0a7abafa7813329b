#pragma once

#include "forms/Application.h"
#include "forms/Fonts.h"

#include <QTest>

// A test main() like QTEST_MAIN, but with forms::Application as the
// application object (its notify() catches what escapes a handler) and the
// program's font substitutions installed. Runs offscreen unless told
// otherwise.
#define KIBORU_GUI_TEST_MAIN(TestClass)                              \
    int main(int argc, char** argv)                                  \
    {                                                                \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))          \
            qputenv("QT_QPA_PLATFORM", "offscreen");                 \
        forms::Application app(argc, argv);                          \
        forms::InstallFontSubstitutions();                           \
        TestClass test;                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                   \
        return QTest::qExec(&test, argc, argv);                      \
    }
