#include "app/port_list.h"

#include "serial/port_discovery.h"

#include <QFile>

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

QList<PortChoice> PortChoices([[maybe_unused]] const QString& devDir) {
    QList<PortChoice> choices;
    for (int i = 1; i <= 9; ++i) {
        const QString name = QStringLiteral("COM%1").arg(i);
        choices.append({name, name});
    }
#ifdef _WIN32
    // The system's ports by their friendly names; COM1 to COM9 keep their places.
    for (const SerialPortInfo& info : ListSerialPorts()) {
        const QString port = QString::fromStdString(info.port);
        const QString label = QString::fromStdString(info.label);
        const auto fixed = std::find_if(choices.begin(), choices.begin() + 9,
                                        [&](const PortChoice& c) { return c.port == port; });
        if (fixed != choices.begin() + 9) {
            fixed->text = label;
        } else {
            choices.append({label, port});
        }
    }
#else
    for (const SerialPortInfo& info : ListSerialPortsIn(QFile::encodeName(devDir).toStdString())) {
        choices.append({QString::fromStdString(info.label), QFile::decodeName(info.port.c_str())});
    }
#endif
    for (const SimulatedPort& port : SimulatedPorts()) {
        choices.append({port.label, port.label});
    }
    return choices;
}

} // namespace vrx
