#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Some tests need an event loop and the application object; every test program gets both.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Expected texts do not depend on the language of the machine that runs the tests.
    QLocale::setDefault(QLocale::c());
    qputenv("QUILLMARK_LIBAV_MODULE", QUILLMARK_LIBAV_MODULE_PATH);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
