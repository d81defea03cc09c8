#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "params/catalogue_choices.h"

#include <optional>
#include <vector>

class ModuleParameterEditor;
struct ChannelParameters;

// Changes of a module's values named by their project column, in the units
// the pages show ("RangeEnd=150.0" is 150 in the channel's unit), carried out
// through the same operations the pages call, so that a new working mode or
// sensor takes its default range and a new temperature unit converts the
// range. Only the editor's parameters change; Apply writes them.
class ParameterColumnEdit {
public:
    explicit ParameterColumnEdit(ModuleParameterEditor &editor) : m_editor(editor) {}

    // Applies every assignment to the channel (module columns ignore it):
    // the catalogue codes first, in the order the Input page offers them,
    // then the values. Empty on success, else the message of the first
    // refused assignment; the parameters are then left as they were.
    QString Apply(int channel, const QList<QPair<QString, QString>> &assignments);

    // The columns that can be set, module columns first.
    static QStringList Columns();

    // A column as the pages show it: the stored value, the text that Apply
    // takes back unchanged, and the unit of a number. Empty stored value
    // for a column the module does not have.
    struct Shown {
        QVariant stored;
        QString text;
        QString unit;
        // The admissible values the checks apply, where a table gives them.
        std::optional<double> low = {};
        std::optional<double> high = {};
    };
    Shown Value(int channel, const QString &column) const;
    // The codes a coded column offers now (set takes them), with their texts;
    // empty for a column that is no catalogue choice or not offered.
    std::vector<ChoiceEntry> OfferedCodes(int channel, const QString &column) const;
    // Module columns belong to no channel.
    static bool IsChannelColumn(const QString &column);
    // The columns the module (or its channel) has.
    QStringList ColumnsOf(int channel) const;

private:
    QList<int> FixedCodes(const QString &column) const;
    // The text the pages show for a code without a catalogue (a radio
    // button's, the DIP switch's); empty where they show none.
    QString FixedCodeText(const QString &column, int code) const;
    void RangeLimits(const ChannelParameters &channel, bool begin, Shown &into) const;
    CatalogueChoice ChoiceOf(ChannelParameters &probe, const QString &column, int &offset) const;
    QString SetOne(int channel, const QString &column, const QString &text);
    QString SetModuleColumn(const QString &column, const QString &text);
    QString SetCode(int channel, const QString &column, int code);
    // The refusal of a value its field cannot hold, empty when it fits.
    QString RefuseBeyondField(int channel, const QString &column, const QString &text, double value) const;
    QString SetValue(int channel, const QString &column, double value);

    ModuleParameterEditor &m_editor;
};
