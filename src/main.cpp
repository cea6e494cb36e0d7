#include "platform/gui/FileIconProvider.h"
#include "windows/AppDelegate.h"

#include <QApplication>
#include <QIcon>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Marrowick"_s);
    QApplication::setApplicationVersion(QStringLiteral(MARROWICK_VERSION));
    QApplication::setOrganizationName(u"Marrowick"_s);
    QGuiApplication::setDesktopFileName(u"marrowick"_s);
    // The installed theme icon, else the artwork built into the program (a run from the build).
    QApplication::setWindowIcon(QIcon::fromTheme(u"marrowick"_s, QIcon(u":/images/marrowick.svg"_s)));
    // Only the main window's close ends the application; the Preferences window never does.
    QApplication::setQuitOnLastWindowClosed(false);
    FileIconProvider::install();

    AppDelegate delegate;
    delegate.finishLaunchingOnFirstTurn();
    return QApplication::exec();
}
