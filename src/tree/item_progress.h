#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class C7100Document;

// The long item operations; the number is the kind the progress window
// chooses its caption, animation and step text by.
// Checking: the rows of a list tried without being kept, before an import.
enum class ProgressKind : int { Multiplying = 0, Deleting = 1, Copying = 2, Moving = 3, Importing = 4, Checking = 5 };

// What a long item operation (multiply, paste, drop, multiple delete)
// reports its steps to. The program shows the progress window; the
// command-line tool and the tests count. Destroying it ends the progress.
class ItemProgress {
public:
    virtual ~ItemProgress() = default;
    // One step of count items from source to destination (destination is
    // empty for a delete). False once the user cancelled: the operation then
    // ends as a failure.
    virtual bool Step(int count, const QString &source, const QString &destination) = 0;
    virtual bool Cancelled() const = 0;
};

// The steps of an operation made inside a transaction, passed on once it
// ended: the program's window lets messages through at a step, and nothing
// outside the database may run while other programs wait for the project.
class HeldProgress : public ItemProgress {
public:
    explicit HeldProgress(ItemProgress &progress) : m_progress(progress) {}
    ~HeldProgress() override { Release(); }
    HeldProgress(const HeldProgress &) = delete;
    HeldProgress &operator=(const HeldProgress &) = delete;

    bool Step(int count, const QString &source, const QString &destination) override;
    bool Cancelled() const override { return m_progress.Cancelled(); }
    // Passes the held steps on in their order; false once the user cancelled.
    bool Release();

private:
    struct Held {
        int count;
        QString source;
        QString destination;
    };
    ItemProgress &m_progress;
    std::vector<Held> m_steps;
};

// Where long item operations get their progress from: the program installs
// the window, everything else gets a silent progress that never cancels.
class ProgressService {
public:
    using Factory = std::function<std::unique_ptr<ItemProgress>(ProgressKind kind, int length)>;

    // Installs a factory and returns the one it replaces.
    static Factory setFactory(Factory factory);
    static std::unique_ptr<ItemProgress> Begin(ProgressKind kind, int length);
};

// The bulk context of a paste, drop, completed cut, multiply or multiple
// delete: views postpone redrawing and sorting while it is open, and the
// application document treats new modules as copies (or moves, with move).
class BulkScope {
public:
    BulkScope(C7100Document &document, bool move);
    ~BulkScope();
    BulkScope(const BulkScope &) = delete;
    BulkScope &operator=(const BulkScope &) = delete;

private:
    C7100Document &m_document;
    bool m_outermost;
};
