#pragma once

#include "db/id_sequence.h"
#include "link/image_mapping.h"
#include "link/module_block_history.h"
#include "link/module_transfer.h"
#include "link/selected_module_view.h"
#include "link_cycle_harness.h"
#include "params/params_test_support.h"
#include "tree/document.h"
#include "tree/module_dialog_service.h"
#include "tree/module_lookup.h"
#include "tree/my7100_doc.h"

#include <memory>

// A project file with the application document over it, opened as the
// program opens one (the link started), and the document's module lookup.
// The simulator of a Z 7230/211-2 (type ID 7): two channels, current
// output, relays.
constexpr int kTwoChannel7230 = 7;
inline SimulatorOptions TwoChannel7230(bool dip = false)
{
    SimulatorOptions options;
    options.family = Family7230;
    options.moduleType = kTwoChannel7230 - 1;
    options.channels = 2;
    options.dipConfigured = dip;
    return options;
}

class TransferProject : public ParamsProject {
public:
    TransferProject() : ids(session()), lookup(document.Lookup()) {}

    void open()
    {
        for (const auto &level : levels().levels()) {
            if (level->kind() != LevelKind::Root)
                level->ReadSchemaFacts(session());
        }
        document.OpenProject({&levels(), &session(), &ids, QStringLiteral("Project file"), false});
        document.StartLink();
    }

    // The module item of a module made by createModule, loaded.
    Item *moduleItem(int typeId, int moduleId)
    {
        return lookup.LoadRow(moduleTable(familyOfType(typeId)), moduleId);
    }

    // What the module's blocks would hold after a perfect download of it:
    // the simulated module starts out as the project describes it.
    CModuleImage imageOfModule(int typeId, int moduleId, const QString &serialNr = QStringLiteral("SIM-1"))
    {
        auto rows = rowsOf(typeId, moduleId);
        ModuleParameterEditor editor(*rows, catalogues());
        if (!editor.Load())
            qFatal("module %d does not load", moduleId);
        ModuleParameters &module = editor.parameters();
        module.module.serialNr = serialNr;
        CModuleImage image;
        FillFromModule(image, module, module.family);
        // The capability bit means the impulse output on 7210 modules.
        if (module.family == Family7210)
            image.TC = module.type.haveImpulseOutput;
        return image;
    }

    CIdSequence ids;
    CMy7100Doc document;
    ModuleLookup &lookup;
};

// A simulated module on a real pseudo-terminal, the link to it and the
// transfer over one project's document, with the messages scripted and
// every text of the output log kept.
class TransferHarness {
public:
    explicit TransferHarness(const SimulatorOptions &options = {}) : link(options)
    {
        QObject::connect(link.log.get(), &OutputLog::textAdded,
                         [this](const QString &text) { texts << text; });
    }

    // The simulated module holds image in blocks 0 to 7.
    void simulate(const CModuleImage &image)
    {
        for (int block = 0; block < 8; ++block)
            link.simulator.setBlock(block, image.EncodeBlock(block, link.simulator.options().family));
    }

    // Binds the transfer to project (replacing an earlier one).
    void attach(TransferProject &project)
    {
        transfer.reset();
        view = std::make_unique<SelectedModuleView>(project.document, project.catalogues());
        transfer = std::make_unique<ModuleTransfer>(project.document, project.lookup, project.catalogues(),
                                                    link.controller, *view);
        hints.clear();
        QObject::connect(&project.document, &C7100Document::updateAllViews, transfer.get(),
                         [this](QObject *, int hint, Item *) { hints << hint; });
    }

    bool goOnline() { return link.startOnline(); }

    // Waits for the notice after entry from; then until the module has been
    // read back and compared (a refresh notice after it).
    bool waitForReadBack(int kind, qsizetype from, int timeoutMs = 10000)
    {
        if (!link.waitForNotice(kind, 0, timeoutMs, from))
            return false;
        const qsizetype after = link.notices.indexOf(qMakePair(kind, 0), from) + 1;
        return link.waitForNotice(2, 0, timeoutMs, after);
    }

    // Runs fn at the next notice (of kind, unless -1), while the worker
    // waits for it to be handled: the only time the test may touch what the
    // worker shares. Call start before whatever brings the notice about.
    class AtNextNotice {
    public:
        template <typename Fn> AtNextNotice(LinkController &controller, int kind, Fn fn)
        {
            m_connection = QObject::connect(&controller, &LinkController::noticeHandled,
                                            [this, kind, fn](int seen, int) {
                                                if (!m_ran && (kind < 0 || seen == kind)) {
                                                    m_ran = true;
                                                    fn();
                                                }
                                            });
        }
        ~AtNextNotice() { QObject::disconnect(m_connection); }
        AtNextNotice(const AtNextNotice &) = delete;
        AtNextNotice &operator=(const AtNextNotice &) = delete;
        bool wait(int timeoutMs = 5000)
        {
            QElapsedTimer clock;
            clock.start();
            while (!m_ran && clock.elapsed() < timeoutMs)
                QTest::qWait(5);
            return m_ran;
        }

    private:
        QMetaObject::Connection m_connection;
        bool m_ran = false;
    };

    template <typename Fn> bool whileWorkerWaits(Fn fn, int timeoutMs = 5000)
    {
        AtNextNotice at(link.controller, -1, fn);
        return at.wait(timeoutMs);
    }

    QStringList writesFrom(qsizetype from) const
    {
        return link.trafficFrom(from).filter(QRegularExpression(QStringLiteral("^W")));
    }

    // The texts appended to the log from entry from on, joined.
    QString textsFrom(qsizetype from) const { return texts.mid(from).join(QString()); }

    ModuleParameterEditor &editor() { return *view->ShownModule(); }

    LinkCycleHarness link;
    ScriptedMessages messages;
    QStringList texts;
    QList<int> hints;
    std::unique_ptr<SelectedModuleView> view;
    std::unique_ptr<ModuleTransfer> transfer;
};
