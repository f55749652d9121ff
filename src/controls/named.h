#pragma once
// Gives a new control its design name, by which the program and the tests find it, and makes
// the program's push buttons: named, with their hint, never the default button of a window.

#include <QPushButton>
#include <QString>

namespace vrx {

template <class W> W* Named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

template <class W> W* Named(W* widget, const char* name) {
    return Named(widget, QString::fromLatin1(name));
}

inline QPushButton* NamedButton(const QString& name, const QString& caption, const QString& hint,
                                QWidget* parent) {
    auto* button = Named(new QPushButton(caption, parent), name);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

} // namespace vrx
