#pragma once

#include <QPageLayout>
#include <QString>

#include <optional>

// zelnorctl print: a report of the project as a PDF file, without a window.
namespace CtlPrint {
struct Request {
    QString project;
    QString pdf;
    QString modulePath; // empty: the project output
    bool card = false;
    QPageLayout::Orientation orientation = QPageLayout::Landscape;
    // An existing file that is no PDF may be replaced.
    bool force = false;
};

// The orientation an option names ("portrait" or "landscape"), or the one
// stored for the printer when none is given; nothing after a printed
// refusal.
std::optional<QPageLayout::Orientation> OrientationOption(const QString &given, bool isSet);

int Print(const Request &request);

// Whether the command line asks for a report, which needs the offscreen
// platform of the GUI library before the application object is made.
bool IsPrintCommandLine(int argc, char **argv);
} // namespace CtlPrint
