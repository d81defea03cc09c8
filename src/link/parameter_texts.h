#pragma once

#include "link/module_image.h"

#include <QString>

#include <functional>

class CatalogueSet;
struct ParameterRow;

// One image parameter as the comparison, the reports and the live values
// show it.
struct ImageParameter {
    bool applies = false;
    double value = 0;
    QString valueText;
    QString unitText;
    QString nameText;
    // What a caller that passes one string for the value text and the name
    // text ends up with: the text written last.
    QString sharedText;

    void setValueText(const QString &text);
    void setNameText(const QString &text);
    // What a report shows of the parameter: a text parameter its text, a
    // coded one its catalogue name (relay 1's function also has a value
    // text, which would show the bare code) with the unit, "----" when it
    // does not apply.
    QString Shown(bool text) const;
};

// The parameters 0 to 37 of a module image and the unit helpers, read with
// the project's catalogues in the current language.
class ImageParameterTexts {
public:
    static constexpr int kLastParameter = 37;
    // The project name of a module from its type ID and its two channel
    // tags; the document's module-name service provides it.
    using ModuleNaming = std::function<QString(int typeId, const QString &tag1, const QString &tag2)>;

    explicit ImageParameterTexts(const CatalogueSet &catalogues, ModuleNaming naming = {});

    // Parameter number of the channel (1 or 2; the numbers below 10 do not
    // depend on it). A channel the image does not have, or a number outside
    // 0..37, does not apply and has no texts.
    ImageParameter GetParameter(const CModuleImage &image, int number, int channel,
                                ModuleFamily family) const;

    // The divisor between a block's range or measured value and the value
    // in the unit: the unit's Digits, 1000 on 7220, 1 without a unit row.
    int UnitFactor(int code, ModuleFamily family) const;
    QString UnitName(int code, ModuleFamily family) const;
    static int ValueDecimals(int code, ModuleFamily family);
    // value with the unit of the channel, for instance "12.345 mV".
    QString FormatValue(const CModuleImage &image, double value, int channel, ModuleFamily family) const;

    // Half away from zero to the given decimals.
    static double Round(double value, int decimals);

private:
    void ReadModule(const CModuleImage &image, int number, ModuleFamily family, ImageParameter &out) const;
    void ReadInput(const ChannelImage &channel, int number, ModuleFamily family, ImageParameter &out) const;
    void ReadRange(const ChannelConfiguration &config, int raw, ModuleFamily family,
                   ImageParameter &out) const;
    void ReadOutput(const CModuleImage &image, const ChannelConfiguration &config, int number,
                    ModuleFamily family, ImageParameter &out) const;
    void ReadOutputSignalType(const CModuleImage &image, const ChannelConfiguration &config,
                              ModuleFamily family, ImageParameter &out) const;
    void ReadRelay(const CModuleImage &image, const ChannelConfiguration &config, int number,
                   ModuleFamily family, ImageParameter &out) const;
    void ReadImpulse(const ChannelConfiguration &config, int number, ImageParameter &out) const;
    QString RowName(const QString &table, int id, const QString &column = QStringLiteral("Name")) const;

    const CatalogueSet &m_catalogues;
    ModuleNaming m_naming;
};
