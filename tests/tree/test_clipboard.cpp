#include "hierarchy_test_support.h"

#include "tree/clipboard_port.h"
#include "tree/drag_drop_presenter.h"
#include "tree/item_progress.h"
#include "tree/transfer_set.h"

#include <QSqlRecord>

using namespace TreeNames;

namespace {
// Two programs on one desktop: each document has its own port on a shared
// board, as two processes share the desktop's clipboard.
struct Desktop {
    std::shared_ptr<MemoryClipboardBoard> board = std::make_shared<MemoryClipboardBoard>();
    MemoryClipboard first{board};
    MemoryClipboard second{board};
};

ContainerItem *Folder(HierarchyProject &project, ContainerItem &parent, int nameString, const QString &name)
{
    Item *item = project.addFolder(parent, nameString, name);
    return item ? item->asContainer() : nullptr;
}

// Rewrites the set on the board, as data from a program whose project has
// another structure would read.
void RenameColumnEverywhere(ContainerDescriptor &container, const QString &from, const QString &to)
{
    container.item.columnNames.replaceInStrings(from, to);
    for (ContainerDescriptor &inner : container.containers)
        RenameColumnEverywhere(inner, from, to);
}

// Every value of a stored row from the fourth column on (what a copy takes
// along), by column name.
QVariantMap RowFromFourth(HierarchyProject &project, const QString &table, int id)
{
    QSqlQuery query(project.session().database());
    query.exec(QStringLiteral("SELECT * FROM %1 WHERE ID = %2").arg(table).arg(id));
    QVariantMap values;
    if (!query.next())
        return values;
    for (int i = 3; i < query.record().count(); ++i)
        values[query.record().fieldName(i)] = query.value(i);
    return values;
}

class CountingProgress : public ItemProgress {
public:
    explicit CountingProgress(std::vector<QString> &steps) : m_steps(steps) {}
    bool Step(int, const QString &source, const QString &destination) override
    {
        m_steps.push_back(source + QStringLiteral(" -> ") + destination);
        return true;
    }
    bool Cancelled() const override { return false; }

private:
    std::vector<QString> &m_steps;
};
} // namespace

// Copy, cut, paste and drops between documents of one or two real project
// files, through a clipboard shared as two programs share the desktop's.
class TestClipboard : public QObject {
    Q_OBJECT
private slots:
    void init() { TestSupport::loadEnglish(); }

    void transferDataSurvivesItsStreamAndRefusesDamage()
    {
        TransferSet set;
        set.move = true;
        set.sourceDatabase = QStringLiteral("/projects/a.prj");
        ContainerDescriptor plant;
        plant.item = {"Equipments",
                      "\\\\Project\\P1",
                      "CEquipmentsAccessor",
                      {QVariant(7), QVariant(QString("P1")), QVariant(), QVariant(true), QVariant(2.5),
                       QVariant(QByteArray("\x00\x01\xff", 3)), QVariant(QVariantList{1, "two"})},
                      {"ID", "Name", "Description", "Flag", "Real", "Blob", "Array"},
                      42};
        plant.leaves.push_back(
            {"Modules7230_2", "\\\\Project\\P1\\M", "CModules1Accessor", {QVariant(9)}, {"ID"}, 43});
        set.containers.push_back(plant);
        set.leaves.push_back(
            {"Modules7230_1", "\\\\Project\\M0", "CModules1Accessor", {QVariant(3)}, {"ID"}, 44});
        set.companions["Signals"][5] = {"Signals",          {}, {}, {QVariant(5), QVariant(1234567)},
                                        {"ID", "RangeEnd"}, 0};

        const QByteArray bytes = TransferCodec::EncodeSet(set);
        const std::optional<TransferSet> back = TransferCodec::DecodeSet(bytes);
        QVERIFY(back);
        QCOMPARE(back->move, true);
        QCOMPARE(back->sourceDatabase, set.sourceDatabase);
        QCOMPARE(back->descriptorCount(), 3);
        const ItemDescriptor &item = back->containers.at(0).item;
        QCOMPARE(item.values.size(), size_t(7));
        for (size_t i = 0; i < item.values.size(); ++i) {
            QCOMPARE(item.values[i].metaType(), set.containers[0].item.values[i].metaType());
            QCOMPARE(item.values[i], set.containers[0].item.values[i]);
        }
        QVERIFY(item.values[2].isNull());
        QCOMPARE(item.columnNames, set.containers[0].item.columnNames);
        QCOMPARE(back->containers[0].leaves.at(0).table, QString("Modules7230_2"));
        QCOMPARE(back->tableList(), QStringList({"CModules1Accessor", "CEquipmentsAccessor"}));
        QVERIFY(back->companion("Signals", 5));
        QCOMPARE(back->companion("Signals", 5)->value("rangeend").toInt(), 1234567);

        // Cut short anywhere, padded, or with absurd counts: not a set.
        for (int cut : {0, 1, 10, int(bytes.size()) / 2, int(bytes.size()) - 1})
            QVERIFY2(!TransferCodec::DecodeSet(bytes.left(cut)), qPrintable(QString::number(cut)));
        QVERIFY(!TransferCodec::DecodeSet(bytes + QByteArray("x")));
        QByteArray huge = bytes;
        // The first item's value count sits after two empty texts.
        QDataStream patch(&huge, QIODevice::ReadWrite);
        patch.setByteOrder(QDataStream::LittleEndian);
        patch.device()->seek(8);
        patch << qint32(0x7fffffff);
        QVERIFY(!TransferCodec::DecodeSet(huge));
        QVERIFY(!TransferCodec::DecodeSet(QByteArray(4096, '\xff')));

        const QByteArray list = TransferCodec::EncodeTableList({"CRacksAccessor", "CModules1Accessor"});
        QCOMPARE(*TransferCodec::DecodeTableList(list), QStringList({"CRacksAccessor", "CModules1Accessor"}));
        QVERIFY(!TransferCodec::DecodeTableList(list.left(list.size() - 1)));
    }

    void pastingACopyTwiceMakesBothNamesUnique()
    {
        HierarchyProject project;
        project.open();
        Desktop desktop;
        project.document.SetClipboardPort(&desktop.first);
        ContainerItem *plant = Folder(project, project.projectItem(), Plant, "P1");
        QVERIFY(plant && Folder(project, *plant, Cabinet, "C1"));
        QVERIFY(project.document.CopyToClipboard({plant}, false));
        QVERIFY(!plant->cutMark());

        std::vector<QString> steps;
        auto previous = ProgressService::setFactory([&steps](ProgressKind kind, int length) {
            steps.push_back(QStringLiteral("begin %1 %2").arg(int(kind)).arg(length));
            return std::make_unique<CountingProgress>(steps);
        });
        QVERIFY(project.document.CanPaste(&project.projectItem()));
        QVERIFY(project.document.PasteFromClipboard(&project.projectItem()));
        QVERIFY(project.document.PasteFromClipboard(&project.projectItem()));
        ProgressService::setFactory(std::move(previous));

        QCOMPARE(project.rows("Equipments", "Name = 'Copy_of_P1'"), 1);
        QCOMPARE(project.rows("Equipments", "Name = 'Copy_1_of_P1'"), 1);
        QCOMPARE(project.rows("Racks", "Name = 'C1'"), 3);
        QCOMPARE(project.rows("Equipments", "Name = 'P1'"), 1);
        // Copying, two descriptors a paste, each step from source to destination.
        QCOMPARE(steps.front(), QString("begin 2 2"));
        QVERIFY(std::find(steps.begin(), steps.end(),
                          QString("\\\\Project\\P1 -> \\\\Project\\Copy_1_of_P1")) != steps.end());
        QVERIFY(std::find(steps.begin(), steps.end(),
                          QString("\\\\Project\\P1\\C1 -> \\\\Project\\Copy_1_of_P1\\C1")) != steps.end());
        // A copy completes nothing.
        QCOMPARE(desktop.board->completionRequests, 0);
    }

    void aModuleCutFromAPlantLandsInTheCarriersTable()
    {
        HierarchyProject project;
        project.open();
        project.document.StartLink();
        Desktop desktop;
        project.document.SetClipboardPort(&desktop.first);
        ScriptedModuleDialog dialog;
        ContainerItem *plant = Folder(project, project.projectItem(), Plant, "P1");
        ContainerItem *cabinet = Folder(project, *plant, Cabinet, "C1");
        ContainerItem *carrier = Folder(project, *cabinet, Carrier, "Z1");
        QVERIFY(carrier);
        Item *module = project.document.AddNewModule(*plant, Family7230, 6);
        QVERIFY(module);
        QCOMPARE(module->level().tableName(), QString("Modules7230_2"));
        const int oldId = module->id().toInt();
        const int oldSignal1 = project.value(*module, "Ch1SignalID").toInt();
        const QString signalName = project.signalName(oldSignal1);
        project.exec(QStringLiteral("UPDATE Signals SET RangeEnd = 777000 WHERE ID = %1").arg(oldSignal1));

        QVERIFY(project.document.CopyToClipboard({module}, true));
        QVERIFY(module->cutMark());
        QVERIFY(project.document.PasteFromClipboard(carrier));
        QCOMPARE(desktop.board->completionRequests, 1);

        QCOMPARE(project.rows("Modules7230_4"), 1);
        QCOMPARE(project.rows("Modules7230_2"), 0);
        QVERIFY(!project.document.FindRow("Modules7230_2", oldId, true));
        const int newSignal1 = project.scalar("SELECT Ch1SignalID FROM Modules7230_4").toInt();
        QVERIFY(newSignal1 != oldSignal1);
        // A move keeps the names of its signals and their values.
        QCOMPARE(project.signalName(newSignal1), signalName);
        QCOMPARE(project.stored("Signals", newSignal1, "RangeEnd").toInt(), 777000);
        QCOMPARE(project.orphanSignals(), 0);
        QCOMPARE(project.danglingReferences(), 0);
        QVERIFY(project.document.CutList().empty());
    }

    void aModulePastedIntoAnotherProjectKeepsItsValues()
    {
        HierarchyProject source;
        source.open(false, "/projects/source.prj");
        HierarchyProject target;
        target.open(false, "/projects/target.prj");
        source.document.StartLink();
        target.document.StartLink();
        Desktop desktop;
        source.document.SetClipboardPort(&desktop.first);
        target.document.SetClipboardPort(&desktop.second);
        ScriptedModuleDialog dialog;
        // The target's own module holds signals under the IDs the source's
        // signals have: a paste must not take its values from them.
        QVERIFY(target.document.AddNewModule(target.projectItem(), Family7230, 6));
        Item *module = source.document.AddNewModule(source.projectItem(), Family7230, 6);
        QVERIFY(module);
        const int id = module->id().toInt();
        source.exec(QStringLiteral("UPDATE Modules7230_1 SET Description = 'kept', SerialNr = 'SN-1', "
                                   "Revision = 'R7', Memo = 'memo' WHERE ID = %1")
                        .arg(id));
        const int s1 = source.stored("Modules7230_1", id, "Ch1SignalID").toInt();
        const int s2 = source.stored("Modules7230_1", id, "Ch2SignalID").toInt();
        source.exec(QStringLiteral("UPDATE Signals SET RangeEnd = 123000, Description = 'sig' WHERE ID = %1")
                        .arg(s1));
        source.exec(QStringLiteral("UPDATE Signals SET RangeBegin = -5000 WHERE ID = %1").arg(s2));
        source.document.GlobalRefresh();
        QVERIFY(source.document.EnsureChildren(source.projectItem()));
        module = source.document.FindRow("Modules7230_1", id, true);
        QVERIFY(module);

        QVERIFY(source.document.CopyToClipboard({module}, false));
        QVERIFY(target.document.CanPaste(&target.projectItem()));
        QVERIFY(target.document.PasteFromClipboard(&target.projectItem()));

        QCOMPARE(target.rows("Modules7230_1"), 2);
        const int pasted = target.scalar("SELECT MAX(ID) FROM Modules7230_1").toInt();
        QVariantMap want = RowFromFourth(source, "Modules7230_1", id);
        QVariantMap got = RowFromFourth(target, "Modules7230_1", pasted);
        for (const char *own : {"Ch1SignalID", "Ch2SignalID"}) {
            want.remove(own);
            got.remove(own);
        }
        QCOMPARE(got, want);
        QCOMPARE(target.stored("Modules7230_1", pasted, "ModulTypID").toInt(), 6);
        // Its signals carry the source's channel values, under new names.
        const int t1 = target.stored("Modules7230_1", pasted, "Ch1SignalID").toInt();
        const int t2 = target.stored("Modules7230_1", pasted, "Ch2SignalID").toInt();
        QVariantMap want1 = RowFromFourth(source, "Signals", s1);
        QVariantMap got1 = RowFromFourth(target, "Signals", t1);
        QCOMPARE(got1, want1);
        QCOMPARE(target.stored("Signals", t1, "RangeEnd").toInt(), 123000);
        QCOMPARE(target.stored("Signals", t2, "RangeBegin").toInt(), -5000);
        QCOMPARE(target.orphanSignals(), 0);
        QCOMPARE(target.danglingReferences(), 0);
        // The source is untouched.
        QCOMPARE(source.rows("Modules7230_1"), 1);
    }

    void aCabinetCutIntoItsOwnPlantIsRefusedAndKept()
    {
        HierarchyProject project;
        project.open();
        Desktop desktop;
        project.document.SetClipboardPort(&desktop.first);
        ContainerItem *plant = Folder(project, project.projectItem(), Plant, "P1");
        ContainerItem *other = Folder(project, project.projectItem(), Plant, "P2");
        ContainerItem *cabinet = Folder(project, *plant, Cabinet, "C1");
        QVERIFY(cabinet && Folder(project, *cabinet, Carrier, "Z1"));
        const ItemHandle cabinetHandle = cabinet->handle();
        QVERIFY(project.document.CopyToClipboard({cabinet}, true));

        ScriptedMessages messages;
        messages.answer(MessageAnswer::Ok);
        QVERIFY(!project.document.PasteFromClipboard(plant));
        QCOMPARE(messages.shown().size(), size_t(1));
        const MessageRequest &shown = messages.shown().front();
        QCOMPARE(shown.icon, MessageIcon::Error);
        QCOMPARE(shown.buttons, MessageButtons::Ok);
        QCOMPARE(shown.text, QString("Source: '\\\\Project\\P1\\C1'\nDestination: '\\\\Project\\P1'\n\n"
                                     "Can't move source to destination. "
                                     "The destination item is the same as the source item."));
        QCOMPARE(desktop.board->completionRequests, 0);
        QVERIFY(project.document.FindItem(cabinetHandle));
        QVERIFY(cabinet->cutMark());
        QCOMPARE(project.rows("Racks"), 1);

        // Pasted below itself: refused the same way.
        messages.clear();
        messages.answer(MessageAnswer::Ok);
        QVERIFY(!project.document.PasteFromClipboard(project.document.FindRow("ZelnorHolders", "Z1", false)));
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY(messages.shown()[0].text.endsWith("The destination item is a subitem of source item."));
        QCOMPARE(project.rows("Racks"), 1);
        QVERIFY(cabinet->cutMark());

        messages.clear();
        QVERIFY(project.document.PasteFromClipboard(other));
        QVERIFY(messages.shown().empty());
        QVERIFY(!project.document.FindItem(cabinetHandle));
        QCOMPARE(project.rows("Racks"), 1);
        QCOMPARE(project.rows("ZelnorHolders"), 1);
        QCOMPARE(project.scalar("SELECT ParentID FROM Racks").toInt(), other->id().toInt());
    }

    void pasteIsOfferedOnlyWhereALevelTakesTheItem()
    {
        HierarchyProject project;
        project.open();
        Desktop desktop;
        project.document.SetClipboardPort(&desktop.first);
        ContainerItem *plant = Folder(project, project.projectItem(), Plant, "P1");
        ContainerItem *cabinet = Folder(project, *plant, Cabinet, "C1");
        ContainerItem *carrier = Folder(project, *cabinet, Carrier, "Z1");
        QVERIFY(carrier);
        QVERIFY(!project.document.CanPaste(plant)); // nothing on the clipboard yet
        QVERIFY(project.document.CopyToClipboard({cabinet}, false));
        QVERIFY(project.document.CanPaste(plant));
        QVERIFY(!project.document.CanPaste(carrier));
        QVERIFY(!project.document.CanPaste(&project.projectItem()));
        QVERIFY(!project.document.CanPaste(nullptr));
        // Pasted there anyway, it is refused with the structure message.
        {
            ScriptedMessages messages;
            messages.answer(MessageAnswer::Ok);
            QVERIFY(!project.document.PasteFromClipboard(carrier));
            QCOMPARE(messages.shown().size(), size_t(1));
            QVERIFY(
                messages.shown()[0].text.endsWith("Can't create whole source structure in the destination."));
        }
        QCOMPARE(project.rows("Racks"), 1);

        // Foreign data, or ours cut short, is not offered.
        TransferPayload damaged = desktop.board->data;
        damaged.Set(project.document.Formats().data,
                    desktop.board->data.Data(project.document.Formats().data).left(20));
        desktop.board->data = damaged;
        QVERIFY(!project.document.PasteFromClipboard(plant));
        QCOMPARE(project.rows("Racks"), 1);
        desktop.board->data = TransferPayload();
        desktop.board->data.Set("text/plain", "\\\\Project\\P1");
        QVERIFY(!project.document.CanPaste(plant));
        // Items in an edit, and read-only ones, cannot be copied.
        QVERIFY(!project.document.CanCopy(&project.signalsRoot()));
        QVERIFY(project.document.BeginEdit(*plant));
        QVERIFY(!project.document.CanCopy(plant));
        QVERIFY(!project.document.CopyToClipboard({plant}, false));
        QVERIFY(desktop.board->data.HasFormat("text/plain"));
    }

    void aTargetTableWithAnotherColumnGivesTheStructureError()
    {
        HierarchyProject source;
        source.open(false, "/projects/source.prj");
        HierarchyProject target;
        // The target's plant table has a column the source's has not.
        target.exec("ALTER TABLE Equipments ADD COLUMN Extra VARCHAR(20)");
        target.open(false, "/projects/target.prj");
        Desktop desktop;
        source.document.SetClipboardPort(&desktop.first);
        target.document.SetClipboardPort(&desktop.second);
        Item *p1 = Folder(source, source.projectItem(), Plant, "P1");
        QVERIFY(p1);
        QVERIFY(source.document.CopyToClipboard({p1}, false));
        ScriptedMessages messages;
        messages.answer(MessageAnswer::Ok);
        QVERIFY(!target.document.PasteFromClipboard(&target.projectItem()));
        QCOMPARE(messages.texts(),
                 QStringList{"Source database: '/projects/source.prj'\n"
                             "Source: '\\\\Project\\P1'\nDestination: '\\\\Project'\n\n"
                             "Can't copy source to destination. "
                             "The destination database has diferent structure than the source database."});
        QCOMPARE(messages.shown().front().icon, MessageIcon::Error);
        QCOMPARE(target.rows("Equipments"), 0);
        // Within the source's own file the same plant pastes.
        QVERIFY(source.document.PasteFromClipboard(&source.projectItem()));
        QCOMPARE(source.rows("Equipments"), 2);
    }

    void aStructureErrorAsksPerItemAndTheLastOnlyTellsIt()
    {
        HierarchyProject source;
        source.open(false, "/projects/source.prj");
        HierarchyProject target;
        target.open(false, "/projects/target.prj");
        Desktop desktop;
        source.document.SetClipboardPort(&desktop.first);
        target.document.SetClipboardPort(&desktop.second);
        Item *p1 = Folder(source, source.projectItem(), Plant, "P1");
        Item *p2 = Folder(source, source.projectItem(), Plant, "P2");
        QVERIFY(p1 && p2);
        QVERIFY(source.document.CopyToClipboard({p1, p2}, true));
        // As a program whose plant table has another column would send it.
        const TransferFormats formats = source.document.TransferFormatNames();
        TransferSet set = *TransferCodec::DecodeSet(desktop.board->data.Data(formats.itemData));
        for (ContainerDescriptor &plant : set.containers)
            RenameColumnEverywhere(plant, "Description", "Beschreibung");
        desktop.board->data.Set(formats.itemData, TransferCodec::EncodeSet(set));

        ScriptedMessages messages;
        messages.answer(MessageAnswer::Yes);
        messages.answer(MessageAnswer::Ok);
        QVERIFY(!target.document.PasteFromClipboard(&target.projectItem()));
        QCOMPARE(messages.shown().size(), size_t(2));
        const MessageRequest &first = messages.shown()[0];
        QCOMPARE(first.icon, MessageIcon::Question);
        QCOMPARE(first.buttons, MessageButtons::YesNo);
        QCOMPARE(first.text,
                 QString("Source database: '/projects/source.prj'\n"
                         "Source: '\\\\Project\\P1'\nDestination: '\\\\Project'\n\n"
                         "Can't move source to destination. "
                         "The destination database has diferent structure than the source database."
                         "\n\nDo you want to proceed moving ?"));
        const MessageRequest &last = messages.shown()[1];
        QCOMPARE(last.icon, MessageIcon::Error);
        QCOMPARE(last.buttons, MessageButtons::Ok);
        QVERIFY(last.text.startsWith("Source database: '/projects/source.prj'\nSource: '\\\\Project\\P2'"));
        QVERIFY(
            last.text.endsWith("Can't move source to destination. "
                               "The destination database has diferent structure than the source database."));
        QCOMPARE(target.rows("Equipments"), 0);
        // The cut is not completed: both plants stay, still marked.
        QCOMPARE(desktop.board->completionRequests, 0);
        QCOMPARE(source.rows("Equipments"), 2);
        QVERIFY(p1->cutMark() && p2->cutMark());

        // No to the first question ends the paste at once.
        messages.clear();
        messages.answer(MessageAnswer::No);
        QVERIFY(!target.document.PasteFromClipboard(&target.projectItem()));
        QCOMPARE(messages.shown().size(), size_t(1));
    }

    void aMoveDeletesNothingUnlessEveryItemWasPasted()
    {
        HierarchyProject source;
        source.open(false, "/projects/source.prj");
        HierarchyProject target;
        target.open(false, "/projects/target.prj");
        Desktop desktop;
        source.document.SetClipboardPort(&desktop.first);
        target.document.SetClipboardPort(&desktop.second);
        ContainerItem *p1 = Folder(source, source.projectItem(), Plant, "P1");
        ContainerItem *p2 = Folder(source, source.projectItem(), Plant, "P2");
        QVERIFY(p1 && p2);
        ContainerItem *cabinet = Folder(source, *p2, Cabinet, "C1");
        QVERIFY(cabinet && Folder(source, *cabinet, Carrier, "Z1"));
        QVERIFY(source.document.CopyToClipboard({p1, p2}, true));
        // The carrier deep in the second plant cannot be written there.
        const TransferFormats formats = source.document.TransferFormatNames();
        TransferSet set = *TransferCodec::DecodeSet(desktop.board->data.Data(formats.itemData));
        RenameColumnEverywhere(set.containers.at(1).containers.at(0).containers.at(0), "Name", "Label");
        desktop.board->data.Set(formats.itemData, TransferCodec::EncodeSet(set));

        ScriptedMessages messages;
        messages.answer(MessageAnswer::Ok);
        HintRecorder hints(target.document);
        QVERIFY(!target.document.PasteFromClipboard(&target.projectItem()));
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY(messages.shown()[0].text.startsWith(
            "Source database: '/projects/source.prj'\nSource: '\\\\Project\\P2'"));
        // The first plant stays; of the second nothing, not even its cabinet.
        QCOMPARE(target.rows("Equipments"), 1);
        QCOMPARE(target.rows("Racks"), 0);
        QCOMPARE(target.rows("ZelnorHolders"), 0);
        QCOMPARE(target.document.FindByPath("\\\\Project\\P2", "Equipments"), nullptr);
        QVERIFY(target.document.FindByPath("\\\\Project\\P1", "Equipments"));
        // The views were told of the bulk operation around it.
        const std::vector<int> codes = hints.codes();
        QCOMPARE(codes.front(), int(C7100Document::HintBulkBegins));
        QCOMPARE(codes.back(), int(C7100Document::HintBulkEnds));
        QCOMPARE(desktop.board->completionRequests, 0);
        QCOMPARE(source.rows("Equipments"), 2);
        QCOMPARE(source.rows("Racks"), 1);
    }

    void aCancelKeepsWhatWasPastedBeforeAndAsksNothing()
    {
        HierarchyProject project;
        project.open();
        Desktop desktop;
        project.document.SetClipboardPort(&desktop.first);
        ContainerItem *p1 = Folder(project, project.projectItem(), Plant, "P1");
        ContainerItem *p2 = Folder(project, project.projectItem(), Plant, "P2");
        QVERIFY(p1 && p2 && Folder(project, *p2, Cabinet, "C2"));
        QVERIFY(project.document.CopyToClipboard({p1, p2}, false));

        // The user cancels at the third step: P2's cabinet.
        class CancelAt : public ItemProgress {
        public:
            bool Step(int, const QString &, const QString &) override { return ++steps < 3; }
            bool Cancelled() const override { return steps >= 3; }
            int steps = 0;
        };
        auto previous =
            ProgressService::setFactory([](ProgressKind kind, int) -> std::unique_ptr<ItemProgress> {
                if (kind != ProgressKind::Copying)
                    return nullptr;
                return std::make_unique<CancelAt>();
            });
        ScriptedMessages messages;
        QVERIFY(!project.document.PasteFromClipboard(&project.projectItem()));
        ProgressService::setFactory(std::move(previous));
        QVERIFY2(messages.shown().empty(), qPrintable(messages.texts().join('|')));
        // P1's copy was pasted whole; of P2's nothing.
        QCOMPARE(project.rows("Equipments", "Name = 'Copy_of_P1'"), 1);
        QCOMPARE(project.rows("Equipments", "Name = 'Copy_of_P2'"), 0);
        QCOMPARE(project.rows("Racks"), 1);
        QVERIFY(!project.document.FindByPath("\\\\Project\\Copy_of_P2", "Equipments"));
    }

    void theNextCopyOrAnotherProgramClearsTheCutMarks()
    {
        HierarchyProject project;
        project.open();
        Desktop desktop;
        project.document.SetClipboardPort(&desktop.first);
        Item *p1 = Folder(project, project.projectItem(), Plant, "P1");
        Item *p2 = Folder(project, project.projectItem(), Plant, "P2");
        HintRecorder hints(project.document);
        QVERIFY(project.document.CopyToClipboard({p1}, true));
        QVERIFY(p1->cutMark());
        QCOMPARE(hints.hints.back(), std::make_pair(int(C7100Document::HintCutMark), p1->handle()));
        hints.clear();
        QVERIFY(project.document.CopyToClipboard({p2}, false));
        QVERIFY(!p1->cutMark());
        QCOMPARE(hints.hints.front(), std::make_pair(int(C7100Document::HintCutMark), p1->handle()));
        QVERIFY(project.document.CutList().empty());

        QVERIFY(project.document.CopyToClipboard({p2}, true));
        QVERIFY(p2->cutMark());
        desktop.second.Clear(); // another program takes the clipboard
        QVERIFY(!p2->cutMark());
        // A completion that comes after the release deletes nothing.
        project.document.CompleteCut();
        QCOMPARE(project.rows("Equipments"), 2);
    }

    void findByPathFollowsTheTablesOfThePath_data()
    {
        QTest::addColumn<bool>("rootShown");
        QTest::newRow("root hidden") << false;
        QTest::newRow("root shown") << true;
    }
    void findByPathFollowsTheTablesOfThePath()
    {
        QFETCH(bool, rootShown);
        HierarchyProject project;
        project.open(rootShown);
        project.document.StartLink();
        ScriptedModuleDialog dialog;
        ContainerItem *plant = Folder(project, project.projectItem(), Plant, "P1");
        ContainerItem *cabinet = Folder(project, *plant, Cabinet, "P1");
        Item *module = project.document.AddNewModule(*cabinet, Family7230, 1);
        QVERIFY(module);
        C7100Document &doc = project.document;
        QCOMPARE(doc.FindByPath(doc.GetPath(*cabinet), "Racks"), cabinet);
        QCOMPARE(doc.FindByPath(doc.GetPath(*plant), "Equipments"), plant);
        QCOMPARE(doc.FindByPath(doc.GetPath(*module), "Modules7230_3"), module);
        QCOMPARE(doc.FindByPath(doc.GetPath(*cabinet), "Equipments"), nullptr);
        QCOMPARE(doc.FindByPath(doc.GetPath(*cabinet).mid(2), "Racks"), nullptr);
        QCOMPARE(doc.FindByPath(doc.GetPath(*cabinet).toUpper(), "Racks"), nullptr);
        QCOMPARE(doc.FindByPath(doc.GetPath(*cabinet) + "\\x", "Racks"), nullptr);
    }

    void dragsCopyOrMoveAndARightDragAsks()
    {
        HierarchyProject project;
        project.open();
        C7100Document &doc = project.document;
        ContainerItem *p1 = Folder(project, project.projectItem(), Plant, "P1");
        ContainerItem *p2 = Folder(project, project.projectItem(), Plant, "P2");
        ContainerItem *cabinet = Folder(project, *p1, Cabinet, "C1");
        ContainerItem *carrier = Folder(project, *cabinet, Carrier, "Z1");
        QVERIFY(p2 && carrier);
        const ItemHandle cabinetHandle = cabinet->handle();
        DragDropPresenter source(doc);
        DragDropPresenter target(doc);
        QCOMPARE(DragDropPresenter::AutoExpandDelay(), 1000);

        // A left drag: Ctrl copies, the plain drop moves.
        std::optional<TransferPayload> drag = source.StartDrag({cabinetHandle}, false, QByteArray("png"));
        QVERIFY(drag);
        const TransferFormats formats = doc.TransferFormatNames();
        for (const QString &format :
             {formats.tableList, formats.itemData, formats.completion, TransferFormats::BitmapDrag()})
            QVERIFY2(drag->HasFormat(format), qPrintable(format));
        QVERIFY(!drag->HasFormat(TransferFormats::RightClickDrag()));
        QCOMPARE(drag->Data(TransferFormats::BitmapDrag()), QByteArray("png"));
        QCOMPARE(target.DragOver(*drag, p2->handle(), true), DropEffect::Copy);
        QCOMPARE(target.DragOver(*drag, p2->handle(), false), DropEffect::Move);
        QCOMPARE(target.DragOver(*drag, carrier->handle(), false), DropEffect::None);
        QCOMPARE(target.DragOver(*drag, project.projectItem().handle(), false), DropEffect::None);

        QCOMPARE(target.Drop(*drag, p2->handle(), true), DropEffect::Copy);
        source.DragFinished(DropEffect::Copy);
        QCOMPARE(project.rows("Racks"), 2);
        QVERIFY(doc.FindItem(cabinetHandle));

        // A move onto its own plant fails: nothing is deleted.
        ScriptedMessages messages;
        messages.answer(MessageAnswer::Ok);
        drag = source.StartDrag({cabinetHandle}, false, {});
        QCOMPARE(target.Drop(*drag, p1->handle(), false), DropEffect::None);
        QCOMPARE(target.LastFailure(), QString("OnDrop: don't proceed moving"));
        source.DragFinished(DropEffect::None);
        QVERIFY(doc.FindItem(cabinetHandle));

        // A right drag asks; Cancel does nothing, Move moves.
        std::vector<DropChoice> answers{DropChoice::Cancel, DropChoice::Move};
        auto previous = DropMenuService::setPresenter([&answers](const DropMenuChoice &offer) {
            if (offer.entries != std::vector<DropEffect>{DropEffect::Move, DropEffect::Copy} ||
                offer.proposed != DropEffect::Copy)
                return DropChoice::Cancel;
            const DropChoice choice = answers.front();
            answers.erase(answers.begin());
            return choice;
        });
        drag = source.StartDrag({cabinetHandle}, true, {});
        QVERIFY(drag->HasFormat(TransferFormats::RightClickDrag()));
        QCOMPARE(target.Drop(*drag, p2->handle(), true), DropEffect::None);
        source.DragFinished(DropEffect::None);
        QCOMPARE(project.rows("Racks"), 2);
        drag = source.StartDrag({cabinetHandle}, true, {});
        QCOMPARE(target.Drop(*drag, p2->handle(), true), DropEffect::Move);
        source.DragFinished(DropEffect::Move);
        DropMenuService::setPresenter(std::move(previous));
        QVERIFY(!doc.FindItem(cabinetHandle));
        QCOMPARE(project.rows("Racks"), 2);
        QCOMPARE(project.rows("Racks", QStringLiteral("ParentID = %1").arg(p2->id().toInt())), 2);
        QCOMPARE(project.rows("ZelnorHolders"), 2);
        QVERIFY(messages.shown().size() == 1);

        // Data that is not ours, and a leaf as target.
        TransferPayload foreign;
        foreign.Set("text/plain", "x");
        QCOMPARE(target.Drop(foreign, p2->handle(), false), DropEffect::None);
        QCOMPARE(target.LastFailure(), QString("OnDrop: unsupported drag and drop format"));
        QVERIFY(!source.StartDrag({project.signalsRoot().handle()}, false, {}));
    }
};

QTEST_GUILESS_MAIN(TestClipboard)
#include "test_clipboard.moc"
