#include <gtest/gtest.h>

#include <QCoreApplication>

// Engine tests run under a real event loop so that work posted to the main queue runs.
int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("marrowick-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
