#pragma once

#include "base/module_family.h"

#include <QString>

#include <array>
#include <vector>

class CModuleImage;
class ImageParameterTexts;

// What the Diagnose page shows of the connected module: its identity and
// one row of live states per parameter, a cell per channel.
struct DiagnoseHeader {
    QString moduleType;
    QString revision;
    QString serialNumber;
    QString moduleTag;
    QString date;
};

struct DiagnoseRow {
    QString label;
    std::array<QString, 2> cells;
};

struct DiagnoseContent {
    DiagnoseHeader header;
    std::vector<DiagnoseRow> rows;
};

class DiagnoseRows {
public:
    enum class Kind;

    explicit DiagnoseRows(const ImageParameterTexts &texts) : m_texts(texts) {}

    // The texts of the columns "Parameters", "Channel 1", "Channel 2".
    static std::array<QString, 3> ColumnTitles();

    // The rows of the family; the second cell stays empty on a
    // one-channel module.
    DiagnoseContent Build(const CModuleImage &image, ModuleFamily family) const;

    // The measured value of channel 1 or 2 with its unit; empty while the
    // module reports an error.
    QString MeasuredValue(const CModuleImage &image, int channel, ModuleFamily family) const;

private:
    QString Cell(Kind kind, const CModuleImage &image, int channel, ModuleFamily family) const;
    QString ComparisonTemperature(const CModuleImage &image, int channel) const;
    QString OutputFrequency(const CModuleImage &image, int channel) const;

    const ImageParameterTexts &m_texts;
};
