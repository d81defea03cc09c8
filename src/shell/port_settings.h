#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// One serial port the "PC - port settings" dialog offers.
struct PortChoice {
    QString device;      // the system name the link opens ("/dev/ttyUSB0")
    QString description; // the adapter's description, may be empty
    QString stableName;  // its name under /dev/serial/by-id, may be empty

    // "/dev/ttyUSB0 - FT232R USB UART (usb-FTDI_...)".
    QString Label() const;
};

// What the port dialog decides; the dialog only shows it.
class PortSettingsLogic {
public:
    // The ports of the system; a pseudo-terminal is never among them.
    static std::vector<PortChoice> SystemPorts();
    static const QStringList &BaudRates();
    static constexpr int kSelectedBaudRate = 4; // 9600

    // currentPort: the port the link uses now (also one typed earlier).
    PortSettingsLogic(QString currentPort, std::vector<PortChoice> ports);

    const std::vector<PortChoice> &Ports() const { return m_ports; }
    // The place of the current port in Ports(), -1 when none.
    int CurrentIndex() const;

    // "Save" with the chosen entry, or a typed device path: a chosen entry
    // gives its device. Without either the refusal is shown and nothing
    // is answered (the dialog stays open).
    std::optional<QString> Save(int chosenIndex, const QString &typedText) const;

    // After a successful "Save": changes the link's port when it differs
    // from the current one, and logs the change when it differs from the
    // stored setting. changePort stores the setting and reopens the link.
    static void Conclude(const QString &chosen, const QString &current, const QString &stored,
                         const std::function<void(const QString &)> &changePort);

private:
    QString m_current;
    std::vector<PortChoice> m_ports;
};
