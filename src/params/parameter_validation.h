#pragma once

#include "params/catalogues.h"
#include "params/module_parameters.h"

#include <QString>
#include <QVariantList>

// The checks a module's parameters pass before they are stored or written
// into a module. The first failed check shows its message (error icon),
// writes it to the output log and ends the check with false.
class ParameterValidator {
public:
    ParameterValidator(const CatalogueSet &catalogues, const ModuleParameters &parameters);

    // Every check of one channel (1 or 2), in order, SIL-2 last.
    bool ValidateChannel(int channel) const;
    // The range-table check of the channels the view shows.
    bool CheckMeasuringRange() const;
    bool CheckMeasuringRange(int channel) const;
    bool CheckSil2(int channel) const;
    // ValidateChannel for every channel the module has, then the limits of
    // the module's parameter blocks that the project itself does not
    // enforce (a relay function has two bits there).
    bool CheckDownloadable() const;

    bool IsSil2Type() const;
    // True for the 7220 types whose input is a live zero.
    bool IsLiveZeroType() const;

private:
    const ChannelParameters &Channel(int channel) const { return *m_parameters.channel(channel); }
    QString ChannelName(int channel) const;
    QString Section(int pageString) const;
    int RelayPage() const;

    bool Refuse(int format, const QVariantList &args) const;
    // Message 2013 (%d), 2014 (%.2f) or 2019 (%.3f) with parameter, section,
    // channel and the two bounds.
    bool RefuseRange(int format, int parameter, int page, int channel, const QVariant &low,
                     const QVariant &high) const;
    bool InRange(qint32 value, qint32 low, qint32 high) const { return value >= low && value <= high; }

    bool CheckOutput(int channel) const;
    bool CheckUnit(int channel) const;
    bool CheckInput(int channel) const;
    bool CheckComparisonTemperature(int channel) const;
    bool CheckRelays(int channel) const;
    bool CheckRelayLimits(int channel, int relay) const;
    bool CheckFrequencyExtras(int channel) const;
    bool CheckRange7230(int channel) const;
    bool CheckRange7210(int channel) const;

    const CatalogueSet &m_catalogues;
    const ModuleParameters &m_parameters;
};
