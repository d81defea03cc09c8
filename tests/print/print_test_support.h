#pragma once

#include "params/catalogues.h"
#include "print/project_report.h"
#include "print/report_commands.h"
#include "tree/hierarchy_test_support.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>

// A project copied from the reference database with the application
// document and the catalogues over it, as the program holds them, and the
// poppler tools that read the reports back.
class ReportProject : public HierarchyProject {
public:
    // Writes plants and 7230 modules of two channels (two Signals rows
    // each), the modules dealt out over the plants in turn, straight into
    // the file; call before open().
    void generate(int plants, int modules)
    {
        for (int p = 0; p < plants; ++p)
            exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name, Description) VALUES (%1, 1, "
                                "'Plant %2', 'Process area %2')")
                     .arg(500 + p)
                     .arg(p + 1));
        for (int m = 0; m < modules; ++m) {
            const int moduleId = 500 + m;
            const int signalId = 500 + 2 * m;
            const QString tag = QStringLiteral("TT%1").arg(moduleId);
            for (int channel = 0; channel < 2; ++channel)
                exec(
                    QStringLiteral("INSERT INTO Signals (ID, ParentID, Name, Sequence, RangeBegin, RangeEnd, "
                                   "Description) VALUES (%1, 1, '%2/%3', %3, 0, 100000, 'Loop %2')")
                        .arg(signalId + channel)
                        .arg(tag)
                        .arg(channel + 1));
            exec(QStringLiteral("INSERT INTO Modules7230_2 (ID, ParentID, Name, Sequence, ModulTypID, "
                                "Ch1SignalID, Ch2SignalID, Description) VALUES (%1, %2, '%3', %4, 7, %5, %6, "
                                "'Module %3')")
                     .arg(moduleId)
                     .arg(500 + m % plants)
                     .arg(tag)
                     .arg(m)
                     .arg(signalId)
                     .arg(signalId + 1));
        }
        exec(QStringLiteral("UPDATE IDSequences SET ID = 5000 WHERE SeqName IN ('Equipments', "
                            "'Modules7230_2', 'Signals')"));
    }

    void openWithCatalogues()
    {
        open();
        catalogues.Load(session(), levels());
    }

    // The report of a mode for an item, as the commands make it.
    std::unique_ptr<CProjectReport> report(PrintMode mode, Item *module = nullptr)
    {
        return ReportCommands::MakeReport(mode, document, catalogues, module);
    }

    // The first module of a family made through the document, with its tags.
    Item *addModule(ContainerItem &parent, ModuleFamily family, int typeId, const QString &tag1,
                    const QString &tag2 = QString())
    {
        ScriptedModuleDialog dialog;
        dialog.names(tag1, tag2);
        return document.AddNewModule(parent, family, typeId);
    }

    CatalogueSet catalogues;
};

namespace PdfTools {
// The text of one page (0: all pages) in its layout.
inline QString Text(const QString &pdf, int page = 0)
{
    QStringList args = {QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
             << QString::number(page);
    args << pdf << QStringLiteral("-");
    QProcess process;
    process.start(QStringLiteral("pdftotext"), args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int Pages(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    process.waitForFinished(60000);
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString &line : info.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// A word of a page and where it stands, in points.
struct Word {
    QString text;
    double xMin = 0;
    double xMax = 0;
    double yMin = 0;
    double yMax = 0;
};

inline std::vector<Word> Words(const QString &pdf, int page)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                   QString::number(page), pdf, QStringLiteral("-")});
    process.waitForFinished(60000);
    std::vector<Word> words;
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    auto it = word.globalMatch(QString::fromUtf8(process.readAllStandardOutput()));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        words.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(3).toDouble(), m.captured(2).toDouble(),
                         m.captured(4).toDouble()});
    }
    return words;
}

// The size of the first page in points, "W x H".
inline QString PageSize(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    process.waitForFinished(60000);
    for (const QString &line : QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Page size:")))
            return line.mid(10).trimmed().section(QLatin1Char(' '), 0, 2);
    return QString();
}

// One page rendered at the resolution (dots per inch).
inline QImage Render(const QString &pdf, int page, int dpi)
{
    const QString prefix = pdf + QStringLiteral(".page");
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                   QString::number(page), QStringLiteral("-l"), QString::number(page),
                   QStringLiteral("-singlefile"), pdf, prefix});
    process.waitForFinished(60000);
    return QImage(prefix + QStringLiteral(".png"));
}
} // namespace PdfTools
