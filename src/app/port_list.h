#pragma once
// The choices of the port combo box: COM1..COM9 (COMn is /dev/ttyS(n-1)), the USB serial
// adapters present (by their by-id names where udev gives them one), and one simulated board
// per board variant. Each choice has the text the list shows and the port it opens and saves.

#include <QList>
#include <QString>

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

struct PortChoice {
    QString text;
    QString port;
    bool operator==(const PortChoice&) const = default;
};

// `devDir` is where the adapters are looked for (serial/by-id, ttyUSB*, ttyACM*).
QList<PortChoice> PortChoices(const QString& devDir = QStringLiteral("/dev"));

} // namespace vrx
