#include "E2eSession.h"
#include "ScreenShooter.h"
#include "XServer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>

namespace {

XServer *startedServer = nullptr;
QString serverProblem;

} // namespace

XServer *E2eSession::xServer()
{
    return startedServer;
}

QString E2eSession::whyNoXServer()
{
    return serverProblem;
}

QString E2eSession::program()
{
    return QStringLiteral(MARROWICK_PROGRAM);
}

// The driver starts its own X server first, then joins it through Qt's xcb platform so that it
// can photograph the screens. Without a server the tests skip and say why.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    XServer server;
    std::unique_ptr<QCoreApplication> application;
    if (!::testing::GTEST_FLAG(list_tests))
        serverProblem = server.start();
    if (server.isRunning()) {
        qputenv("DISPLAY", server.display().toUtf8());
        qputenv("QT_QPA_PLATFORM", "xcb");
        for (const char *name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR"})
            qunsetenv(name);
        startedServer = &server;
        ScreenShooter::removeEarlierPhotographs();
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    const int status = RUN_ALL_TESTS();
    application.reset();
    return status;
}
