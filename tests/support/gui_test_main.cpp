#include "ui/accessibility.h"

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Widget tests run on the offscreen platform: no display needed, real widgets all the same. CTest
// gives it a laptop's screen; a run by hand may name another platform.
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Expected texts do not depend on the language of the machine that runs the tests.
    QLocale::setDefault(QLocale::c());
    qputenv("QUILLMARK_LIBAV_MODULE", QUILLMARK_LIBAV_MODULE_PATH);
    quillmark::installAccessibility();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
