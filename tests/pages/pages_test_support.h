#pragma once

#include "db/id_sequence.h"
#include "link/selected_module_view.h"
#include "params/params_test_support.h"
#include "pages/widgets/chanel_pages.h"
#include "pages/widgets/chanel_tab_view.h"
#include "pages/widgets/num_spin_edit.h"
#include "support/test_support.h"
#include "tree/my7100_doc.h"

#include <QComboBox>
#include <QPushButton>

#include <memory>

// A project file opened by the application document as the program opens
// it, with the parameter view of one of its items and the link's state as
// the test sets it.
class PagesProject : public ParamsProject {
public:
    PagesProject() : ids(session()), transferView(document, catalogues())
    {
        for (const auto &level : levels().levels()) {
            if (level->kind() != LevelKind::Root)
                level->ReadSchemaFacts(session());
        }
        document.OpenProject({&levels(), &session(), &ids, QStringLiteral("Project file"), false});
        document.StartLink();
        facts.linkStarted = true;
    }

    // The first module type of the family whose row fits the condition.
    int typeWhere(ModuleFamily family, const QString &condition)
    {
        return scalar(QString("SELECT MIN(ID) FROM %1 WHERE %2").arg(TablesOfFamily(family).moduleTypes, condition))
            .toInt();
    }

    Item *moduleItem(int typeId, int moduleId)
    {
        return document.Lookup().LoadRow(moduleTable(familyOfType(typeId)), moduleId);
    }

    // Selects the item and shows the parameter view for it.
    CChanelTabView &show(Item *item)
    {
        view.reset();
        if (!item || !document.Select(item->handle()))
            qFatal("item cannot be selected");
        ChanelTabViewContext context;
        context.document = &document;
        context.catalogues = &catalogues();
        context.facts = [this] { return facts; };
        context.download = [this] { return ++downloads > 0; };
        context.upload = [this] { return ++uploads > 0; };
        context.transferView = &transferView;
        view = std::make_unique<CChanelTabView>(context);
        view->resize(900, 600);
        return *view;
    }
    CChanelTabView &showModule(int typeId, const QString &prefix)
    {
        lastModuleId = createModule(typeId, prefix);
        return show(moduleItem(typeId, lastModuleId));
    }

    template <typename W> W *control(PageKind kind, const QString &name, int tab = 0)
    {
        CChanelPage *page = view->Page(kind);
        if (!page)
            return nullptr;
        return page->form(tab)->findChild<W *>(name);
    }
    // Chooses the entry of a drop-down list as the user does.
    static void choose(QComboBox *box, int index)
    {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    static void type(CNumSpinEdit *edit, const QString &text)
    {
        edit->setText(text);
        emit edit->textEdited(text);
    }

    CIdSequence ids;
    CMy7100Doc document;
    // What the transfer and the document's questions see of the shown module.
    SelectedModuleView transferView;
    LinkFacts facts;
    int downloads = 0;
    int uploads = 0;
    int lastModuleId = 0;
    std::unique_ptr<CChanelTabView> view;
};
