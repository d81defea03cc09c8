#pragma once

#include "link/module_image.h"
#include "link/parameter_texts.h"

#include <QString>
#include <QStringList>

#include <vector>

// One parameter that differs between two images of a module.
struct ParameterDifference {
    int number = 0;
    int channel = 0; // 0 for the module-level parameters
    QString name;    // with "Channel 1: " or "Channel 2: " in front
    QString moduleText;
    QString otherText;
};

// Compares a module's image parameter by parameter with the image the
// project (or a download) holds for it, in the order and by the rules the
// difference report uses.
class ModuleComparison {
public:
    // Which of the module-level parameters take part: the report and the
    // silent check compare all four, a read-back after a download only the
    // date it wrote.
    enum class Scope { Report, Silent, ReadBack, TagsOnly };

    explicit ModuleComparison(const ImageParameterTexts &texts) : m_texts(texts) {}

    // The differences of module against other; the channels are those of
    // other, the family that of the module.
    std::vector<ParameterDifference> Compare(const CModuleImage &other, const CModuleImage &module,
                                             ModuleFamily family, Scope scope) const;

    // Every parameter the report compares, with the text the report shows
    // of image (in moduleText and otherText), whether it differs or not.
    std::vector<ParameterDifference> Parameters(const CModuleImage &image, ModuleFamily family) const;

    // The report: an empty line, the heading, a line of "=", one line per
    // difference and the "=" line again; every line ends in "\n".
    static QStringList ReportLines(const std::vector<ParameterDifference> &differences,
                                   const QString &otherHeading);
    // name, blanks up to 40 characters, the module's text, blanks up to 80,
    // the other text; a column that is full or overfull is followed by one
    // blank all the same.
    static QString ReportLine(const QString &name, const QString &moduleText, const QString &otherText);

    // The widths of the name column and of the module's column.
    static constexpr int kNameWidth = 40;
    static constexpr int kModuleWidth = 40;

    // The report holds at most this many lines.
    static constexpr int kMaxReportLines = 500;

private:
    struct Entry {
        int number;
        int nameString;
        bool text;
    };
    static std::vector<Entry> ChannelEntries(const CModuleImage &other, ModuleFamily family, Scope scope);
    // With every set, the parameter is given also when it does not differ.
    bool Differs(const CModuleImage &other, const CModuleImage &module, const Entry &entry, int channel,
                 ModuleFamily family, bool every, ParameterDifference &difference) const;
    std::vector<ParameterDifference> Collect(const CModuleImage &other, const CModuleImage &module,
                                             ModuleFamily family, Scope scope, bool every) const;

    const ImageParameterTexts &m_texts;
};
