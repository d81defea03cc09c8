#pragma once

#include "tree/item.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>
#include <optional>
#include <vector>

// The snapshot of one item as it travels through the clipboard or a drag:
// enough to write the row anew into a database of the same structure.
struct ItemDescriptor {
    QString table;
    QString path;
    QString accessorClass;
    // Values as stored (no display conversion), in column order, each with
    // the name of its column.
    RowValues values;
    QStringList columnNames;
    // The item's handle in the source document; memory only, it finds the
    // items to mark after a cut.
    ItemHandle handle = 0;

    int valueCount() const { return int(values.size()); }
    // The value of the named column (case ignored); invalid when absent.
    QVariant value(const QString &column) const;
};

// A container item with its whole subtree.
struct ContainerDescriptor {
    ItemDescriptor item;
    std::vector<ItemDescriptor> leaves;
    std::vector<ContainerDescriptor> containers;
};

// What a copy, cut or drag carries.
struct TransferSet {
    std::vector<ItemDescriptor> leaves;
    std::vector<ContainerDescriptor> containers;
    qint32 spare = 0;
    bool move = false;
    // The source document's path name.
    QString sourceDatabase;
    // Rows that items refer to outside their own subtree (the channel
    // signals of modules), by table and ID: a paste into another database
    // reads them from here, since that database has rows of its own under
    // those IDs.
    std::map<QString, std::map<qint64, ItemDescriptor>> companions;

    // Every descriptor, at any depth.
    int descriptorCount() const;
    // The distinct accessor classes of the top-level items, leaves first,
    // in first-seen order.
    QStringList tableList() const;
    bool empty() const { return leaves.empty() && containers.empty(); }
    const ItemDescriptor *companion(const QString &table, qint64 id) const;
};

// The serialised forms of the three private formats and the drag data.
namespace TransferCodec {
QByteArray EncodeSet(const TransferSet &set);
// Nothing for data that is not a well-formed transfer set (foreign, cut
// short, or with absurd counts).
std::optional<TransferSet> DecodeSet(const QByteArray &data);
QByteArray EncodeTableList(const QStringList &tables);
std::optional<QStringList> DecodeTableList(const QByteArray &data);
} // namespace TransferCodec

// The names of the data a transfer carries.
struct TransferFormats {
    QString tableList;  // "Descriptor7100_" + application name
    QString itemData;   // "(7100_" + application name
    QString completion; // "Dummy7100Configurator_" + application name
    static QString RightClickDrag() { return QStringLiteral("RightClickDragDrop"); }
    static QString BitmapDrag() { return QStringLiteral("BitmapDragDrop"); }
};

// Transfer data as format name to bytes: what the clipboard or a drag holds,
// read without knowing which of the two it is.
class TransferData {
public:
    virtual ~TransferData() = default;
    virtual bool HasFormat(const QString &format) const = 0;
    virtual QByteArray Data(const QString &format) const = 0;
};

// Transfer data held in memory (a drag's data, a test's clipboard).
class TransferPayload : public TransferData {
public:
    void Set(const QString &format, const QByteArray &data) { m_data[format] = data; }
    bool HasFormat(const QString &format) const override { return m_data.count(format) != 0; }
    QByteArray Data(const QString &format) const override
    {
        const auto it = m_data.find(format);
        return it == m_data.end() ? QByteArray() : it->second;
    }
    const std::map<QString, QByteArray> &All() const { return m_data; }

private:
    std::map<QString, QByteArray> m_data;
};
