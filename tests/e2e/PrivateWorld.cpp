#include "PrivateWorld.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

using namespace Qt::StringLiterals;

PrivateWorld::PrivateWorld()
{
    for (const QString &folder : {u"home"_s, u"home/.config"_s, u"home/.local/share"_s, u"home/.cache"_s,
                                  u"runtime"_s, u"trees"_s})
        m_folder.makeFolder(folder);
    if (!QFile::setPermissions(m_folder.filePath(u"runtime"_s),
                               QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
        throw std::runtime_error("cannot make the runtime folder private");
}

QString PrivateWorld::home() const
{
    return m_folder.filePath(u"home"_s);
}

QString PrivateWorld::dataHome() const
{
    return m_folder.filePath(u"home/.local/share"_s);
}

QString PrivateWorld::trashFolder() const
{
    return dataHome() + u"/Trash"_s;
}

QString PrivateWorld::treeFolder(const QString &name) const
{
    return m_folder.makeFolder(u"trees/"_s + name);
}

QProcessEnvironment PrivateWorld::environment(const QString &display) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // What could lead the application out of its world, or change how it looks.
    for (const QString &name :
         {u"DBUS_SESSION_BUS_ADDRESS"_s, u"XAUTHORITY"_s, u"WAYLAND_DISPLAY"_s, u"LC_ALL"_s, u"LANGUAGE"_s,
          u"QT_SCALE_FACTOR"_s, u"QT_SCREEN_SCALE_FACTORS"_s, u"QT_AUTO_SCREEN_SCALE_FACTOR"_s,
          u"QT_FONT_DPI"_s, u"QT_STYLE_OVERRIDE"_s, u"QT_QPA_PLATFORMTHEME"_s, u"QT_MESSAGE_PATTERN"_s,
          u"QT_FATAL_WARNINGS"_s, u"XDG_CURRENT_DESKTOP"_s, u"DESKTOP_SESSION"_s, u"XDG_DATA_DIRS"_s,
          u"XDG_CONFIG_DIRS"_s})
        environment.remove(name);
    environment.insert(u"HOME"_s, home());
    environment.insert(u"XDG_CONFIG_HOME"_s, m_folder.filePath(u"home/.config"_s));
    environment.insert(u"XDG_DATA_HOME"_s, dataHome());
    environment.insert(u"XDG_CACHE_HOME"_s, m_folder.filePath(u"home/.cache"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, m_folder.filePath(u"runtime"_s));
    environment.insert(u"LANG"_s, u"C.UTF-8"_s);
    environment.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, u"unix:path="_s + m_folder.filePath(u"runtime/no-system-bus"_s));
    environment.insert(u"QT_LOGGING_RULES"_s, u"marrowick.windows.debug=true"_s);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    environment.insert(u"DISPLAY"_s, display);
    return environment;
}
