#pragma once

#include "windows/InterfaceForm.h"
#include "windows/WidgetOnFirstUse.h"

#include <QObject>
#include <QPalette>

#include <memory>

// The base of the application's window controllers: the window is built on first use from
// the controller's interface file (resources/ui/<ClassName>.ui) and always keeps the light
// look, whatever the desktop's colour scheme. A class without an interface file has no
// window. The controller owns its window until the window is given a parent. Main thread
// only.
class RQWindowController : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RQWindowController)

public:
    explicit RQWindowController(QObject *parent = nullptr);

    // Builds the window on the first call; null when the class has no interface file.
    QWidget *window();
    bool isWindowLoaded() const { return m_window.isLoaded(); }

    // The light palette every window of these controllers wears.
    static QPalette lightPalette();

protected:
    // Makes the window; the base class has no interface file and answers null.
    virtual QWidget *loadWindow();
    // Called once, after the window is made and given the light look.
    virtual void windowDidLoad();

    // Builds a window from the interface file's form class (uic's Ui::<ClassName>), keeping
    // the form for the subclass's outlets. Window is the form's top-level class.
    template <typename Window, typename Form>
    static QWidget *loadForm(std::unique_ptr<Form> &form)
    {
        return loadInterfaceForm<Window>(form);
    }

private:
    WidgetOnFirstUse m_window;
};
