#include "app/port_list.h"

#include <QCollator>
#include <QDir>

#include <algorithm>

namespace vrx {

const QList<SimulatedPort>& SimulatedPorts() {
    static const QList<SimulatedPort> ports = {
        {QStringLiteral("Simulated board (VRX630)"), QStringLiteral("plain")},
        {QStringLiteral("Simulated board (ZEPHA)"), QStringLiteral("zepha")},
        {QStringLiteral("Simulated board (Balsen)"), QStringLiteral("balsen")},
        {QStringLiteral("Simulated board (VRX516 kit)"), QStringLiteral("516")},
        {QStringLiteral("Simulated board (VRX52x kit)"), QStringLiteral("52x")},
        {QStringLiteral("Simulated board (VRX880 kit)"), QStringLiteral("880")},
    };
    return ports;
}

std::optional<SimulatedPort> FindSimulatedPort(const QString& text) {
    for (const SimulatedPort& port : SimulatedPorts()) {
        if (port.label == text) {
            return port;
        }
    }
    return std::nullopt;
}

QStringList PortChoices(const QString& devDir) {
    QStringList choices;
    for (int i = 1; i <= 9; ++i) {
        choices << QStringLiteral("COM%1").arg(i);
    }
    QDir dir(devDir);
    QStringList devices =
        dir.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")}, QDir::System);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(devices.begin(), devices.end(), numeric);
    for (const QString& name : devices) {
        choices << dir.filePath(name);
    }
    for (const SimulatedPort& port : SimulatedPorts()) {
        choices << port.label;
    }
    return choices;
}

} // namespace vrx
