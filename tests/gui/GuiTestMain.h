#pragma once

#include "Application.h"

#include <QTest>

// main() for widget tests: the program's own application object, so that the tests run
// with its fonts, icon and error handling.
#define TOVEX_GUI_TEST_MAIN(TestClass)                                                             \
    int main(int argc, char** argv) {                                                              \
        TApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
