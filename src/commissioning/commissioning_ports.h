#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The ports of the commissioning bench, one lane each, kept in the setting
// "CommissioningPorts" (names separated by ";"). None: the run uses the
// single-module window's port as it always has.
namespace CommissioningPorts {
constexpr int kMaxLanes = 8;

QStringList configured();
// Why the ports cannot be the bench's: more than eight, one named twice, or
// the single-module window's own port (interfacePort), which a lane never
// uses beside it. Blank names are left out first.
std::optional<QString> Refusal(const QStringList &ports, const QString &interfacePort);
// Stores the ports, blank names left out; false after nothing was stored
// when Refusal has an objection.
bool Configure(const QStringList &ports, const QString &interfacePort, QString *refusal = nullptr);
// The names without blanks, trimmed.
QStringList Named(const QStringList &ports);
} // namespace CommissioningPorts
