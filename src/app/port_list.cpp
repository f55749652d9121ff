#include "app/port_list.h"

#include "serial/port_discovery.h"

#include <QFile>

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

QList<PortChoice> PortChoices(const QString& devDir) {
    QList<PortChoice> choices;
    for (const SerialPortInfo& info : ListPortChoices(QFile::encodeName(devDir).toStdString())) {
        choices.append({QString::fromStdString(info.label), QFile::decodeName(info.port.c_str())});
    }
    for (const SimulatedPort& port : SimulatedPorts()) {
        choices.append({port.label, port.label});
    }
    return choices;
}

} // namespace vrx
