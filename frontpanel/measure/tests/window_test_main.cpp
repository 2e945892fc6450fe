// Test runner for the measurement loop in the real window: one QApplication for all tests,
// offscreen unless a platform was chosen, and the signal-processing library of this build.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("ZRDSP_LIBRARY")) {
        qputenv("ZRDSP_LIBRARY", ZR_DSP_LIBRARY);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
