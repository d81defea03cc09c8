#pragma once

#include <QCommandLineParser>
#include <QStringList>

// zelnorctl commission and records: the commissioning run without its
// window, and the records it leaves in the project.
namespace CtlCommission {
// commission PROJECT --port DEVICE --under PATH [--assign-next] [--count N]
int Commission(const QStringList &args, const QCommandLineParser &parser);
// records PROJECT [--under PATH] [--json|--csv FILE|--pdf FILE]
int Records(const QStringList &args, const QCommandLineParser &parser);
// The options only these two commands know.
void AddOptions(QCommandLineParser &parser);
} // namespace CtlCommission
