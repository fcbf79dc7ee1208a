#include "TestEnvironment.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// Tests of the Qt-side layers run with a real event loop object, so timers,
// socket notifiers and D-Bus replies work as they do in the application.
int main(int argc, char** argv) {
    quillfen::test::isolateHome();
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
