#pragma once

#include "link/serial_link.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The ports of the commissioning bench, one lane each, kept in the setting
// "CommissioningPorts" (separated by ";"), each a name with the line
// settings of its own: "/dev/ttyUSB0:baud=19200,parity=odd,timeout=800".
// A name alone (as older versions stored them) has the usual settings. None:
// the run uses the single-module window's port as it always has.
namespace CommissioningPorts {
constexpr int kMaxLanes = 8;

// A lane's port and how its line is set up.
struct LanePort {
    QString name;
    LineSettings settings;

    // The name alone when the settings are the usual ones, otherwise the
    // name and, behind a ':', the settings that differ from them.
    QString Text() const;
    bool operator==(const LanePort &) const = default;
};

// Reads a port as Text() writes it; settings not named are the usual ones.
// Only a last part behind ':' that holds '=' is read as settings: a port's
// own name may hold colons. Nothing, with the reason in refusal, when a
// setting is unknown or out of range.
std::optional<LanePort> Parse(const QString &text, QString *refusal = nullptr);

QStringList configured();
// Why the ports cannot be the bench's: a setting that cannot be read, more
// than eight, one named twice, or the single-module window's own port
// (interfacePort), which a lane never uses beside it. Blank entries are
// left out first.
std::optional<QString> Refusal(const QStringList &ports, const QString &interfacePort);
// Stores the ports, blank entries left out, each as Text() writes it; false
// after nothing was stored when Refusal has an objection.
bool Configure(const QStringList &ports, const QString &interfacePort, QString *refusal = nullptr);
// The entries without blanks, trimmed.
QStringList Named(const QStringList &ports);
// The ports read; those that cannot be read are left out (Refusal names
// them).
std::vector<LanePort> Read(const QStringList &ports);
} // namespace CommissioningPorts
