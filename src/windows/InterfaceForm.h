#pragma once

#include <QWidget>

#include <memory>

// Builds a widget of class Widget from an interface file's form class (uic's Ui::<ClassName>)
// and keeps the form in form, for its outlets. The caller owns the widget.
template <typename Widget, typename Form>
QWidget *loadInterfaceForm(std::unique_ptr<Form> &form)
{
    auto widget = std::make_unique<Widget>();
    form = std::make_unique<Form>();
    form->setupUi(widget.get());
    return widget.release();
}
