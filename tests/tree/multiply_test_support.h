#pragma once

#include "hierarchy_test_support.h"
#include "tree/item_progress.h"
#include "tree/multiply_dialog_logic.h"

// Takes the place of the multiply dialog: fills the fields as a user types
// them and presses OK (false when OK refused them), or Cancel.
class ScriptedMultiplyDialog {
public:
    struct Fields {
        QString first = QStringLiteral("1");
        QString items = QStringLiteral("1");
        QString places = QStringLiteral("3");
        bool subtree = true;
        QString baseText; // empty: the item's name stays
        bool cancel = false;
    };
    explicit ScriptedMultiplyDialog(Fields fields) : fields(std::move(fields))
    {
        m_previous = MultiplyDialogService::setPresenter([this](MultiplyDialogLogic &logic) {
            openedWith = logic.BaseText();
            pathShown = logic.ItemName();
            leaf = logic.Leaf();
            if (this->fields.cancel)
                return false;
            if (!this->fields.baseText.isEmpty())
                logic.SetBaseText(this->fields.baseText);
            logic.SetFirstNumberText(this->fields.first);
            logic.SetNumberOfItemsText(this->fields.items);
            logic.SetNumericPlacesText(this->fields.places);
            logic.SetIncludingSubtree(this->fields.subtree);
            return logic.Accept();
        });
    }
    ~ScriptedMultiplyDialog() { MultiplyDialogService::setPresenter(std::move(m_previous)); }
    ScriptedMultiplyDialog(const ScriptedMultiplyDialog &) = delete;
    ScriptedMultiplyDialog &operator=(const ScriptedMultiplyDialog &) = delete;

    Fields fields;
    QString openedWith;
    QString pathShown;
    bool leaf = false;

private:
    MultiplyDialogService::Presenter m_previous;
};

// Takes the place of the progress window: records the kind, the length and
// every step; the user presses Cancel once cancelAfter steps were made.
class RecordedProgress {
public:
    struct Step {
        QString source;
        QString destination;
    };
    RecordedProgress()
    {
        m_previous = ProgressService::setFactory([this](ProgressKind kind, int length) {
            kinds.push_back(kind);
            lengths.push_back(length);
            ++opened;
            return std::make_unique<Window>(*this);
        });
    }
    ~RecordedProgress() { ProgressService::setFactory(std::move(m_previous)); }
    RecordedProgress(const RecordedProgress &) = delete;
    RecordedProgress &operator=(const RecordedProgress &) = delete;

    std::vector<ProgressKind> kinds;
    std::vector<int> lengths;
    std::vector<Step> steps;
    int cancelAfter = -1;
    int opened = 0;
    int closed = 0;

private:
    class Window : public ItemProgress {
    public:
        explicit Window(RecordedProgress &owner) : m_owner(owner) {}
        ~Window() override { ++m_owner.closed; }
        bool Step(int, const QString &source, const QString &destination) override
        {
            if (Cancelled())
                return false;
            m_owner.steps.push_back({source, destination});
            return true;
        }
        bool Cancelled() const override
        {
            return m_owner.cancelAfter >= 0 && int(m_owner.steps.size()) >= m_owner.cancelAfter;
        }

    private:
        RecordedProgress &m_owner;
    };
    ProgressService::Factory m_previous;
};
