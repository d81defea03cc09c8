#include "tree/module_dialog_logic.h"

#include "db/text_rules.h"
#include "params/params_strings.h"
#include "params/text_field_check.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/variant_value.h"
#include "log/output_log.h"
#include "params/parameter_rows.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "tree/document.h"
#include "tree/hierarchy_strings.h"
#include "tree/project_counters.h"
#include "tree/tree_queries.h"

#include <QSqlQuery>

void ModuleDialogLogic::Reset()
{
    m_channelCount = 1;
    m_signalName1.clear();
    m_signalName2.clear();
    m_moduleName.clear();
    m_ownSignal1 = 0;
    m_ownSignal2 = 0;
    m_titleString = 0;
    m_typeName.clear();
    m_mode = ModuleDialogMode::NewModule;
    m_typeId = 0;
    m_interactive = true;
    m_prepared = false;
    m_typeChoices.clear();
    m_chosenType = -1;
}

void ModuleDialogLogic::SetSignalNames(const QString &first, const QString &second)
{
    m_signalName1 = first;
    m_signalName2 = second;
}

void ModuleDialogLogic::SetOwnSignals(qint32 first, qint32 second)
{
    m_ownSignal1 = first;
    m_ownSignal2 = second;
}

QString ModuleDialogLogic::Title() const
{
    return m_titleString > 0 ? Str(m_titleString) : QString();
}

bool ModuleDialogLogic::Prepare()
{
    m_prepared = false;
    if (m_mode == ModuleDialogMode::Conversion) {
        ListConversionTypes();
        if (m_typeChoices.isEmpty())
            return false;
        m_chosenType = 0;
        m_typeId = m_typeChoices.first().id;
    }
    if (!FindType())
        return false;
    switch (m_mode) {
    case ModuleDialogMode::NewModule:
    case ModuleDialogMode::NewWhileConnected:
    case ModuleDialogMode::Conversion:
        ProposeNames(false);
        break;
    case ModuleDialogMode::CopyOrMove:
        // A copy is named anew; a move keeps its source's names.
        if (m_interactive)
            ProposeNames(true);
        break;
    case ModuleDialogMode::Rename:
        break;
    }
    m_prepared = true;
    Compose();
    return true;
}

bool ModuleDialogLogic::FindType()
{
    DbSession *session = m_document.Registry().session();
    CLevelList *levels = m_document.Registry().levels();
    if (!session || !levels)
        return false;
    try {
        const std::optional<ModuleTypeInfo> type = FindModuleType(*session, *levels, m_typeId);
        if (!type)
            return false;
        m_lookup.SetFamily(type->family);
        m_channelCount = type->channelCount;
        m_typeName = type->name;
        return true;
    } catch (COLEDBException &error) {
        ReportDataError(error, m_document.ReportErrors());
        return false;
    }
}

void ModuleDialogLogic::ListConversionTypes()
{
    m_typeChoices.clear();
    DbSession *session = m_document.Registry().session();
    CLevelList *levels = m_document.Registry().levels();
    CTableLevel *types = levels ? levels->FindByTable(ModuleTypeTable(Family7230)) : nullptr;
    if (!session || !types)
        return;
    try {
        for (const ParameterRow &row : ProjectParameterRows::ReadAllRows(*session, *types))
            m_typeChoices.push_back({row.textValue("Name"), row.intValue("ID")});
    } catch (COLEDBException &error) {
        m_typeChoices.clear();
        ReportDataError(error, m_document.ReportErrors());
    }
}

void ModuleDialogLogic::ProposeNames(bool replace)
{
    const std::optional<int> counter = ProjectCounters(m_document).Read(ProjectCounters::SignalRow);
    if (!counter)
        return;
    if (replace || m_signalName1.isEmpty())
        m_signalName1 = FormatText(Str(HierarchyStrings::DefaultSignal1), {*counter});
    if (replace || m_signalName2.isEmpty())
        m_signalName2 = FormatText(Str(HierarchyStrings::DefaultSignal2), {*counter});
}

void ModuleDialogLogic::Compose()
{
    m_moduleName = ComposeModuleName(m_typeName, m_signalName1, m_signalName2, m_channelCount);
}

void ModuleDialogLogic::ChooseType(int index)
{
    if (index < 0 || index >= m_typeChoices.size())
        return;
    m_chosenType = index;
    m_typeId = m_typeChoices.at(index).id;
    FindType();
    Compose();
}

void ModuleDialogLogic::SetSignalName1(const QString &name)
{
    m_signalName1 = name;
    Compose();
}

void ModuleDialogLogic::SetSignalName2(const QString &name)
{
    m_signalName2 = name;
    Compose();
}

void ModuleDialogLogic::Refuse(const QString &text) const
{
    MessageService::error(text);
    WriteLogLine(text);
}

bool ModuleDialogLogic::SignalNameTaken(const QString &name, qint32 ownSignal) const
{
    DbSession *session = m_document.Registry().session();
    if (!session)
        return false;
    QSqlQuery query;
    try {
        query = RunStatement(
            *session, QStringLiteral("SELECT [ID] FROM Signals WHERE [Name] = %1").arg(SqlLiteral(name)));
    } catch (COLEDBException &error) {
        ReportDataError(error, m_document.ReportErrors());
        return true; // unknown counts as taken, so that nothing is stored
    }
    const bool ownMayStay = m_mode == ModuleDialogMode::Rename || m_mode == ModuleDialogMode::Conversion;
    while (query.next()) {
        if (!ownMayStay || query.value(0).toInt() != ownSignal)
            return true;
    }
    return false;
}

bool ModuleDialogLogic::ProposedNamesFree() const
{
    return !SignalNameTaken(m_signalName1, m_ownSignal1) &&
           (m_channelCount != 2 || !SignalNameTaken(m_signalName2, m_ownSignal2));
}

bool ModuleDialogLogic::ProposeNextNames()
{
    if (!ProjectCounters(m_document).Raise(ProjectCounters::SignalRow))
        return false;
    ProposeNames(true);
    Compose();
    return true;
}

bool ModuleDialogLogic::RaisesCounter() const
{
    return m_mode == ModuleDialogMode::NewModule || m_mode == ModuleDialogMode::CopyOrMove ||
           m_mode == ModuleDialogMode::NewWhileConnected;
}

bool ModuleDialogLogic::Accept()
{
    if (ClosesItself())
        return true;
    // The dialog keeps the names the module name is made of.
    m_signalName1 = TrimSignalName(m_signalName1);
    m_signalName2 = TrimSignalName(m_signalName2);
    Compose();
    if (TextRules::CharacterCount(m_moduleName) > kMaxModuleName) {
        Refuse(Str(HierarchyStrings::ModuleNameTooLong));
        return false;
    }
    if (TextRules::CharacterCount(m_signalName1) > kMaxSignalName) {
        Refuse(Str(HierarchyStrings::SignalName1TooLong));
        return false;
    }
    if (TextRules::CharacterCount(m_signalName2) > kMaxSignalName) {
        Refuse(Str(HierarchyStrings::SignalName2TooLong));
        return false;
    }
    if (m_signalName1.compare(m_signalName2, Qt::CaseInsensitive) == 0) {
        Refuse(Str(HierarchyStrings::SameChannelNames));
        return false;
    }
    // The tags become part of the module's name and path, and are written
    // into the module: a path separator or a control character would make
    // the module unreachable or garble what shows it.
    for (int channel = 1; channel <= m_channelCount; ++channel) {
        const QString refusal = TextFieldRefusal({channel == 1 ? ParamsStrings::Channel1 : ParamsStrings::Channel2,
                                                  ParamsStrings::FieldSignalTag,
                                                  channel == 1 ? m_signalName1 : m_signalName2, 0, true, true,
                                                  false});
        if (!refusal.isEmpty()) {
            Refuse(refusal);
            return false;
        }
    }
    if (SignalNameTaken(m_signalName1, m_ownSignal1)) {
        Refuse(StrF(HierarchyStrings::SignalNameExists, {m_signalName1, Str(HierarchyStrings::Channel1)}));
        return false;
    }
    if (m_channelCount == 2 && SignalNameTaken(m_signalName2, m_ownSignal2)) {
        Refuse(StrF(HierarchyStrings::SignalNameExists, {m_signalName2, Str(HierarchyStrings::Channel2)}));
        return false;
    }
    if (RaisesCounter())
        ProjectCounters(m_document).Raise(ProjectCounters::SignalRow);
    return true;
}
