#pragma once

#include "tree/module_lookup.h"

#include <QList>
#include <QString>

class C7100Document;

// What the module dialog is opened for; the number is the one it has always
// carried.
enum class ModuleDialogMode : int {
    NewModule = 0,         // a new module, no module connected
    Rename = 1,            // new names for a module and its signals
    Conversion = 2,        // a module converted into another 7230 type
    CopyOrMove = 3,        // a module made by a copy or a move
    NewWhileConnected = 4, // a new module while a module is connected
};

// One entry of the type list of a conversion.
struct ModuleTypeChoice {
    QString name;
    qint32 id = 0;
};

// The checks and proposals of the module dialog, without the widget: the
// program's dialog shows it, the command-line tool and the tests drive it.
// Set the mode, title, type and names, Prepare, change names or the type as
// the user does, and Accept on OK.
class ModuleDialogLogic {
public:
    static constexpr int kMaxModuleName = 100; // characters; longer is refused
    static constexpr int kMaxSignalName = 33;  // characters; longer is refused

    ModuleDialogLogic(C7100Document &document, ModuleLookup &lookup) : m_document(document), m_lookup(lookup)
    {
    }

    // Back to the state of a dialog never opened.
    void Reset();
    void SetMode(ModuleDialogMode mode) { m_mode = mode; }
    void SetTitle(int stringId) { m_titleString = stringId; }
    void SetTypeId(qint32 typeId) { m_typeId = typeId; }
    // Names given before opening: the old names (rename, conversion), the
    // connected module's, or the source module's signal names.
    void SetSignalNames(const QString &first, const QString &second);
    // The IDs of the module's own signal rows (rename, conversion).
    void SetOwnSignals(qint32 first, qint32 second);
    void SetInteractive(bool interactive) { m_interactive = interactive; }

    // Opening: finds the type (the conversion lists the 7230 types and takes
    // the first) and proposes the names of the mode. False when the type is
    // in no type table; the dialog then stays unprepared.
    bool Prepare();

    // The user's gestures; each composes the module name anew.
    void ChooseType(int index);
    void SetSignalName1(const QString &name);
    void SetSignalName2(const QString &name);
    // OK: runs the checks in order, reports the first failure and answers
    // false (the dialog stays open); else raises the signal counter where the
    // mode says so and answers true.
    bool Accept();
    // Whether no other signal carries the proposed names yet (checked
    // quietly, unlike Accept).
    bool ProposedNamesFree() const;
    // The names the next counter value proposes, the counter raised: for a
    // copy that cannot be cancelled when the proposal is taken. False when
    // the counter cannot be read or raised.
    bool ProposeNextNames();
    // A move keeps the source's names: the dialog ends at once with OK.
    bool ClosesItself() const { return m_mode == ModuleDialogMode::CopyOrMove && !m_interactive; }

    ModuleDialogMode Mode() const { return m_mode; }
    QString Title() const;
    bool Prepared() const { return m_prepared; }
    qint32 TypeId() const { return m_typeId; }
    const QString &TypeName() const { return m_typeName; }
    int ChannelCount() const { return m_channelCount; }
    QString ChannelCountText() const { return QString::number(m_channelCount); }
    const QString &SignalName1() const { return m_signalName1; }
    const QString &SignalName2() const { return m_signalName2; }
    const QString &ModuleName() const { return m_moduleName; }
    bool Interactive() const { return m_interactive; }
    qint32 OwnSignal(int channel) const { return channel == 1 ? m_ownSignal1 : m_ownSignal2; }
    const QList<ModuleTypeChoice> &TypeChoices() const { return m_typeChoices; }
    int ChosenType() const { return m_chosenType; }

    bool TypeChoiceEnabled() const { return m_mode == ModuleDialogMode::Conversion; }
    bool SecondNameEnabled() const { return m_channelCount == 2; }
    bool CancelEnabled() const { return m_mode != ModuleDialogMode::CopyOrMove; }

private:
    bool FindType();
    void ListConversionTypes();
    void ProposeNames(bool replace);
    void Compose();
    void Refuse(const QString &text) const;
    bool SignalNameTaken(const QString &name, qint32 ownSignal) const;
    bool RaisesCounter() const;

    C7100Document &m_document;
    ModuleLookup &m_lookup;
    int m_channelCount = 1;
    QString m_signalName1;
    QString m_signalName2;
    QString m_moduleName;
    qint32 m_ownSignal1 = 0;
    qint32 m_ownSignal2 = 0;
    int m_titleString = 0;
    QString m_typeName;
    ModuleDialogMode m_mode = ModuleDialogMode::NewModule;
    qint32 m_typeId = 0;
    bool m_interactive = true;
    bool m_prepared = false;
    QList<ModuleTypeChoice> m_typeChoices;
    int m_chosenType = -1;
};
