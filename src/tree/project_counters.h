#pragma once

#include <optional>

class C7100Document;

// The running numbers of default names, kept in the Option1 column of the
// "ProjectOptions" rows. A counter is read when a name is proposed and
// raised when a name is accepted; without its row there is neither.
class ProjectCounters {
public:
    enum Row : int { SignalRow = 1, PlantRow = 2, CabinetRow = 3, CarrierRow = 4 };

    explicit ProjectCounters(C7100Document &document) : m_document(document) {}

    // The counter's value; nothing when its row is missing or cannot be read
    // (a data error is reported).
    std::optional<int> Read(int row) const;
    // Raises the counter by one and stores it; false when its row is missing
    // or cannot be written (reported).
    bool Raise(int row);

    // The counter row of a folder's name string (486 to 488), or 0.
    static int RowOfFolder(int nameStringId);

private:
    void UpdateLoadedItem(int row, int value);

    C7100Document &m_document;
};
