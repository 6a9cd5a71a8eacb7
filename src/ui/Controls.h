#pragma once

#include <QComboBox>
#include <QString>
#include <QWidget>
#include <utility>

namespace kolvane {

// A control of the main window: created on `window`, named as tests and the tab order find it.
template <typename Widget, typename... Args>
Widget* Named(QWidget* window, const QString& name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)..., window);
    widget->setObjectName(name);
    return widget;
}

// A list to choose from, never to type in.
inline QComboBox* DropDownList(QWidget* window, const QString& name) {
    auto* box = Named<QComboBox>(window, name);
    box->setEditable(false);
    return box;
}

} // namespace kolvane
