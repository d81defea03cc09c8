#include "tree/item_progress.h"

#include "base/presenter_slot.h"
#include "tree/document.h"

#include <utility>

namespace {

class SilentProgress : public ItemProgress {
public:
    bool Step(int, const QString &, const QString &) override { return true; }
    bool Cancelled() const override { return false; }
};

using ProgressSlot = PresenterSlot<ProgressService, ProgressService::Factory>;

} // namespace

ProgressService::Factory ProgressService::setFactory(Factory factory)
{
    return ProgressSlot::replace(std::move(factory));
}

std::unique_ptr<ItemProgress> ProgressService::Begin(ProgressKind kind, int length)
{
    if (const Factory &factory = ProgressSlot::current())
        if (std::unique_ptr<ItemProgress> progress = factory(kind, length))
            return progress;
    return std::make_unique<SilentProgress>();
}

bool HeldProgress::Step(int count, const QString &source, const QString &destination)
{
    m_steps.push_back({count, source, destination});
    return !Cancelled();
}

bool HeldProgress::Release()
{
    bool goOn = !Cancelled();
    for (const Held &step : std::exchange(m_steps, {}))
        goOn = goOn && m_progress.Step(step.count, step.source, step.destination);
    return goOn;
}

BulkScope::BulkScope(C7100Document &document, bool move)
    : m_document(document), m_outermost(!document.Bulk())
{
    // A paste inside a completed cut's bulk keeps the outer context.
    if (!m_outermost)
        return;
    document.Bulk() = C7100Document::BulkContext{move};
    document.BulkBegins();
}

BulkScope::~BulkScope()
{
    if (!m_outermost)
        return;
    m_document.Bulk().reset();
    m_document.BulkEnds();
}
