#pragma once
// Gives a new control its design name, by which the program and the tests find it.

#include <QString>

namespace vrx::drivers {

template <class W> W* Named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

template <class W> W* Named(W* widget, const char* name) {
    return Named(widget, QString::fromLatin1(name));
}

} // namespace vrx::drivers
