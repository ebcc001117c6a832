#include <QCoreApplication>

#include <gtest/gtest.h>

// Some tests need an event loop and the application object; every test program gets both.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
