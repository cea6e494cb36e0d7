#include "platform/gui/FileIconProvider.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marrowick"));
    QApplication::setOrganizationName(QStringLiteral("Marrowick"));
    FileIconProvider::install();

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Marrowick"));
    window.resize(800, 560);
    window.show();
    return QApplication::exec();
}
