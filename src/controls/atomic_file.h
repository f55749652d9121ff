#pragma once
// Writes a whole file or nothing: the data go to a temporary file beside the target, which
// replaces the target only once everything is written, so a failed save never leaves a
// half-written picture or table behind.

#include <QByteArray>
#include <QString>

namespace vrx {

// Empty on success, else the system's reason.
QString WriteFileAtomically(const QString& path, const QByteArray& data);

} // namespace vrx
