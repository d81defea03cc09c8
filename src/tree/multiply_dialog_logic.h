#pragma once

#include <QString>

#include <functional>
#include <optional>

// The multiply dialog without its widgets: the members as the user typed
// them, the checks run on OK with the framework's messages, the three
// settings it starts from and writes back, and the naming of the copies.
// The program's dialog shows it; the command-line tool and tests fill it.
class MultiplyDialogLogic {
public:
    static constexpr int kMaxBaseText = 50; // characters
    static constexpr int kMinItems = 1;
    static constexpr int kMaxItems = 100000;
    static constexpr int kMinPlaces = 1;
    static constexpr int kMaxPlaces = 40;

    // Fills the dialog for an item: its name as base text, its path, whether
    // it is a leaf (no subtree to include); the numbers from the settings.
    void Open(const QString &name, const QString &path, bool leaf);

    // The fields as typed; numbers are text until OK checks them.
    void SetBaseText(const QString &text) { m_baseText = text; }
    void SetFirstNumberText(const QString &text) { m_firstNumberText = text; }
    void SetNumberOfItemsText(const QString &text) { m_numberOfItemsText = text; }
    void SetNumericPlacesText(const QString &text) { m_numericPlacesText = text; }
    void SetIncludingSubtree(bool including) { m_includingSubtree = including; }

    // OK: checks the members in order, shows the first refusal and answers
    // false (the dialog stays open); else takes the numbers, writes the three
    // settings and answers true.
    bool Accept();
    // The refusal of the first member that fails, without showing it; the
    // numbers are taken when none fails.
    std::optional<QString> Check();

    const QString &BaseText() const { return m_baseText; }
    const QString &FirstNumberText() const { return m_firstNumberText; }
    const QString &NumberOfItemsText() const { return m_numberOfItemsText; }
    const QString &NumericPlacesText() const { return m_numericPlacesText; }
    const QString &ItemName() const { return m_itemName; }
    bool IncludingSubtree() const { return m_includingSubtree; }
    bool Leaf() const { return m_leaf; }
    // The subtree is copied only for a container item with the box checked.
    bool CopiesSubtree() const { return m_includingSubtree && !m_leaf; }

    // The checked numbers (valid after Accept or a passed Check).
    int FirstNumber() const { return m_firstNumber; }
    int NumberOfItems() const { return m_numberOfItems; }
    int NumericPlaces() const { return m_numericPlaces; }

    // The name pattern "%s%0Nd" with N the numeric places, and the name of
    // copy index (from 0): the base text and the first number plus index,
    // padded with zeros to at least the numeric places.
    QString NamePattern() const;
    QString CopyName(int index) const;

private:
    std::optional<QString> CheckInteger(const QString &text, int min, int max, int &into) const;

    QString m_baseText;
    QString m_firstNumberText;
    QString m_numberOfItemsText;
    QString m_numericPlacesText;
    QString m_itemName;
    bool m_includingSubtree = true;
    bool m_leaf = false;
    int m_firstNumber = 1;
    int m_numberOfItems = 1;
    int m_numericPlaces = 3;
};

// Where the document shows the multiply dialog: the program installs the Qt
// dialog, the command-line tool and the tests fill the logic themselves and
// answer true for OK. Without a presenter nobody can answer: Cancel.
class MultiplyDialogService {
public:
    using Presenter = std::function<bool(MultiplyDialogLogic &)>;
    static Presenter setPresenter(Presenter presenter);
    static bool run(MultiplyDialogLogic &logic);
};
