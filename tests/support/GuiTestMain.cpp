#include "TestEnvironment.h"

#include <QApplication>

#include <gtest/gtest.h>

// Controller and window tests run a real QApplication on the offscreen
// platform, so they need no display (test discovery runs them too).
int main(int argc, char** argv) {
    quillfen::test::isolateHome();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
