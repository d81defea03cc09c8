#pragma once

#include "tree/module_dialog_logic.h"
#include "tree/module_dialog_service.h"
#include "tree/my7100_doc.h"
#include "tree_test_support.h"

#include <deque>
#include <functional>

// Takes the place of the module dialog for the life of the object: every
// opening is recorded as the user saw it and answered by the next scripted
// step (OK on the proposals when the script is empty).
class ScriptedModuleDialog {
public:
    using Step = std::function<bool(ModuleDialogLogic &)>;
    struct Seen {
        ModuleDialogMode mode;
        QString title;
        QString name1;
        QString name2;
        QString moduleName;
        bool cancelEnabled;
        bool secondEnabled;
        int channels;
    };

    ScriptedModuleDialog()
    {
        m_previous = ModuleDialogService::setPresenter([this](ModuleDialogLogic &logic) {
            seen.push_back({logic.Mode(), logic.Title(), logic.SignalName1(), logic.SignalName2(),
                            logic.ModuleName(), logic.CancelEnabled(), logic.SecondNameEnabled(),
                            logic.ChannelCount()});
            if (m_steps.empty())
                return logic.Accept();
            Step step = std::move(m_steps.front());
            m_steps.pop_front();
            return step(logic);
        });
    }
    ~ScriptedModuleDialog() { ModuleDialogService::setPresenter(std::move(m_previous)); }
    ScriptedModuleDialog(const ScriptedModuleDialog &) = delete;
    ScriptedModuleDialog &operator=(const ScriptedModuleDialog &) = delete;

    void then(Step step) { m_steps.push_back(std::move(step)); }
    void cancel()
    {
        then([](ModuleDialogLogic &) { return false; });
    }
    // OK with these names typed in.
    void names(const QString &first, const QString &second)
    {
        then([first, second](ModuleDialogLogic &logic) {
            logic.SetSignalName1(first);
            logic.SetSignalName2(second);
            return logic.Accept();
        });
    }

    std::vector<Seen> seen;

private:
    std::deque<Step> m_steps;
    ModuleDialogService::Presenter m_previous;
};

// A project copied from the reference database with the application document
// over it, opened as the program opens one.
class HierarchyProject : public ProjectCopy, public BasicProjectDocument<CMy7100Doc> {
public:
    HierarchyProject() : BasicProjectDocument<CMy7100Doc>(session()) {}

    int rows(const QString &table, const QString &where = QString())
    {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table +
                      (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where))
            .toInt();
    }
    int counter(int row)
    {
        return scalar(QStringLiteral("SELECT Option1 FROM ProjectOptions WHERE ID = %1").arg(row)).toInt();
    }
    void setCounter(int row, int value)
    {
        exec(QStringLiteral("UPDATE ProjectOptions SET Option1 = %1 WHERE ID = %2").arg(value).arg(row));
    }
    QVariant value(const Item &item, const QString &column) { return document.GetValue(item, column, true); }
    // A column of a stored row.
    QVariant stored(const QString &table, int id, const QString &column)
    {
        return scalar(QStringLiteral("SELECT %1 FROM %2 WHERE ID = %3").arg(column, table).arg(id));
    }
    QString signalName(int id) { return stored("Signals", id, "Name").toString(); }

    // Every module row of the twelve tables.
    int moduleRows()
    {
        int count = 0;
        for (const char *family : {"7230", "7210", "7220"})
            for (int depth = 1; depth <= 4; ++depth)
                count += rows(QStringLiteral("Modules%1_%2").arg(family).arg(depth));
        return count;
    }
    // Signals no module refers to.
    int orphanSignals()
    {
        QStringList used;
        for (const char *family : {"7230", "7210", "7220"})
            for (int depth = 1; depth <= 4; ++depth)
                used << QStringLiteral("SELECT Ch1SignalID FROM Modules%1_%2 UNION SELECT Ch2SignalID FROM "
                                       "Modules%1_%2")
                            .arg(family)
                            .arg(depth);
        return rows("Signals", "ID NOT IN (" + used.join(" UNION ") + ")");
    }
    // References to signal rows that do not exist.
    int danglingReferences()
    {
        int count = 0;
        for (const char *family : {"7230", "7210", "7220"})
            for (int depth = 1; depth <= 4; ++depth)
                for (const char *column : {"Ch1SignalID", "Ch2SignalID"})
                    count +=
                        rows(QStringLiteral("Modules%1_%2").arg(family).arg(depth),
                             QStringLiteral("%1 > 0 AND %1 NOT IN (SELECT ID FROM Signals)").arg(column));
        return count;
    }

    Item *addFolder(ContainerItem &parent, int nameString, const QString &name)
    {
        return add(parent, nameString, name);
    }
};
