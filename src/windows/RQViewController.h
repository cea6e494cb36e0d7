#pragma once

#include "windows/InterfaceForm.h"
#include "windows/WidgetOnFirstUse.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

// The base of the application's screens: a controller whose view is built on first use from
// its interface file (resources/ui/<ClassName>.ui), with the four appearance hooks that the
// main window sends when it switches screens and the view the screen puts on the touch bar.
// A class without an interface file has no view. The controller owns its view until the view
// is given a parent. Main thread only.
class RQViewController : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RQViewController)

public:
    explicit RQViewController(QObject *parent = nullptr);

    // Builds the view on the first call; null when the class has no interface file.
    QWidget *view();
    bool isViewLoaded() const { return m_view.isLoaded(); }

    // The view shown on the touch bar while the screen is shown; not owned; may be null.
    QWidget *touchBarView() const { return m_touchBarView; }
    void setTouchBarView(QWidget *view);

    // Sent by the main window around a screen switch: will-disappear (old), will-appear
    // (new), the swap, did-appear (new), did-disappear (old). Overrides call the base first.
    virtual void rq_viewWillAppear();
    virtual void rq_viewDidAppear();
    virtual void rq_viewWillDisappear();
    virtual void rq_viewDidDisappear();

    void addTouchBarIfNeeded();

protected:
    // Makes the view; the base class has no interface file and answers null.
    virtual QWidget *loadView();
    // Called once, after the view is made, to connect it up.
    virtual void viewDidLoad();

    // Builds the view from the interface file's form class (uic's Ui::<ClassName>), keeping
    // the form for the subclass's outlets.
    template <typename Form>
    static QWidget *loadForm(std::unique_ptr<Form> &form)
    {
        return loadInterfaceForm<QWidget>(form);
    }

private:
    WidgetOnFirstUse m_view;
    QPointer<QWidget> m_touchBarView;
};
