#pragma once
// The choices of the port combo box: COM1..COM9 (COMn is /dev/ttyS(n-1)), the USB serial
// devices present at start-up, and one simulated board per board variant.

#include <QString>
#include <QStringList>

#include <optional>

namespace vrx {

// Variant names as the simulated board knows them: plain, zepha, balsen, 516, 52x, 880.
struct SimulatedPort {
    QString label;
    QString variant;
};

const QList<SimulatedPort>& SimulatedPorts();

// The simulated board a combo text names, if any.
std::optional<SimulatedPort> FindSimulatedPort(const QString& text);

// `devDir` is searched for ttyUSB* and ttyACM* devices.
QStringList PortChoices(const QString& devDir = QStringLiteral("/dev"));

} // namespace vrx
