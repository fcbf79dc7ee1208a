#include "TestEnvironment.h"

#include <cstdlib>
#include <gtest/gtest.h>

#if defined(QUILLFEN_TEST_WIDGETS)
#include <QApplication>
using Application = QApplication;
#elif defined(QUILLFEN_TEST_QT)
#include <QCoreApplication>
using Application = QCoreApplication;
#endif

// The Qt-side layers' tests run with a real application object, so timers and
// D-Bus replies work; windows use the offscreen platform (no display needed).
int main(int argc, char** argv) {
    quillfen::test::isolateHome();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
#if defined(QUILLFEN_TEST_WIDGETS) || defined(QUILLFEN_TEST_QT)
    Application app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
