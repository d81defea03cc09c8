#pragma once

#include <QString>

#include <functional>
#include <memory>

class C7100Document;

// The long item operations; the number is the kind the progress window
// chooses its caption, animation and step text by.
enum class ProgressKind : int { Multiplying = 0, Deleting = 1, Copying = 2, Moving = 3, Importing = 4 };

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
