#include "windows/MainMenu.h"

#include "windows/AppDelegate.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {

struct MenuItem
{
    QString name;
    QString text;
    QKeySequence key;
    void (AppDelegate::*command)();
    bool startsGroup = false;
};

void addMenu(QMenuBar &menuBar, const QString &title, std::initializer_list<MenuItem> items,
             AppDelegate &delegate)
{
    QMenu *menu = menuBar.addMenu(title);
    for (const MenuItem &item : items) {
        if (item.startsGroup)
            menu->addSeparator();
        QAction *action = menu->addAction(item.text);
        action->setObjectName(item.name);
        action->setShortcut(item.key);
        action->setShortcutContext(Qt::ApplicationShortcut);
        QObject::connect(action, &QAction::triggered, &delegate, item.command);
    }
}

} // namespace

void MainMenu::addTo(QMenuBar &menuBar, AppDelegate &delegate)
{
    addMenu(menuBar, u"&File"_s,
            {{u"newScan"_s, u"&New Scan"_s, QKeySequence(Qt::CTRL | Qt::Key_N), &AppDelegate::newScan},
             {u"rescan"_s, u"&Rescan"_s, QKeySequence(Qt::CTRL | Qt::Key_R), &AppDelegate::rescan},
             {u"openPreferences"_s, u"&Preferences…"_s, QKeySequence(Qt::CTRL | Qt::Key_Comma),
              &AppDelegate::openPreferences, true},
             {u"closeWindow"_s, u"&Close Window"_s, QKeySequence(Qt::CTRL | Qt::Key_W),
              &AppDelegate::closeWindow, true},
             {u"quit"_s, u"&Quit Marrowick"_s, QKeySequence(Qt::CTRL | Qt::Key_Q), &AppDelegate::quit}},
            delegate);
    addMenu(menuBar, u"&Help"_s,
            {{u"help"_s, u"Marrowick &Help"_s, QKeySequence(Qt::Key_F1), &AppDelegate::help},
             {u"rateApp"_s, u"&Rate Marrowick"_s, QKeySequence(), &AppDelegate::rateApp, true},
             {u"followROVAQUIN"_s, u"&Follow Rovaquin"_s, QKeySequence(), &AppDelegate::followROVAQUIN},
             {u"joinMailingList"_s, u"&Join Mailing List"_s, QKeySequence(), &AppDelegate::joinMailingList},
             {u"openAbout"_s, u"&About Marrowick"_s, QKeySequence(), &AppDelegate::openAbout, true}},
            delegate);
}
