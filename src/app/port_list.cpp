#include "app/port_list.h"

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
    QStringList devices = dir.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
                                        QDir::System | QDir::Files);
    // ttyUSB2 before ttyUSB10: by name, then by number.
    const auto key = [](const QString& name) {
        qsizetype digits = name.size();
        while (digits > 0 && name[digits - 1].isDigit()) {
            --digits;
        }
        return std::make_pair(name.left(digits), name.mid(digits).toInt());
    };
    std::sort(devices.begin(), devices.end(),
              [&](const QString& a, const QString& b) { return key(a) < key(b); });
    for (const QString& name : devices) {
        choices << dir.filePath(name);
    }
    for (const SimulatedPort& port : SimulatedPorts()) {
        choices << port.label;
    }
    return choices;
}

} // namespace vrx
