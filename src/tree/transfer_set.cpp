#include "tree/transfer_set.h"

#include <QDataStream>
#include <QIODevice>

namespace {
// Both ends are this program; one fixed stream version keeps them agreeing
// whichever Qt each was built with.
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;
// Deeper than any project hierarchy; a deeper stream is not ours.
constexpr int kMaxDepth = 32;

QDataStream &Writer(QDataStream &stream)
{
    stream.setVersion(kStreamVersion);
    stream.setByteOrder(QDataStream::LittleEndian);
    return stream;
}

void WriteItem(QDataStream &out, const ItemDescriptor &item)
{
    out << item.table << item.path << qint32(item.values.size()) << item.accessorClass;
    for (size_t i = 0; i < item.values.size(); ++i)
        out << item.values[i]
            << (i < size_t(item.columnNames.size()) ? item.columnNames[qsizetype(i)] : QString());
}

void WriteContainer(QDataStream &out, const ContainerDescriptor &container)
{
    WriteItem(out, container.item);
    out << qint32(container.leaves.size()) << qint32(container.containers.size());
    for (const ItemDescriptor &leaf : container.leaves)
        WriteItem(out, leaf);
    for (const ContainerDescriptor &inner : container.containers)
        WriteContainer(out, inner);
}

// A count read from the stream: refused when negative or larger than the
// bytes left could possibly hold (each entry takes at least four bytes).
bool ReadCount(QDataStream &in, qint32 &count)
{
    in >> count;
    if (in.status() != QDataStream::Ok || count < 0)
        return false;
    const qint64 left = in.device()->bytesAvailable();
    return qint64(count) * 4 <= left;
}

bool ReadItem(QDataStream &in, ItemDescriptor &item)
{
    qint32 count = 0;
    in >> item.table >> item.path;
    if (!ReadCount(in, count))
        return false;
    in >> item.accessorClass;
    item.values.reserve(size_t(count));
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QVariant value;
        QString column;
        in >> value >> column;
        item.values.push_back(value);
        item.columnNames << column;
    }
    return in.status() == QDataStream::Ok;
}

bool ReadContainer(QDataStream &in, ContainerDescriptor &container, int depth)
{
    if (depth > kMaxDepth || !ReadItem(in, container.item))
        return false;
    qint32 leaves = 0;
    qint32 containers = 0;
    if (!ReadCount(in, leaves) || !ReadCount(in, containers))
        return false;
    container.leaves.resize(size_t(leaves));
    for (ItemDescriptor &leaf : container.leaves)
        if (!ReadItem(in, leaf))
            return false;
    container.containers.resize(size_t(containers));
    for (ContainerDescriptor &inner : container.containers)
        if (!ReadContainer(in, inner, depth + 1))
            return false;
    return true;
}

int CountContainer(const ContainerDescriptor &container)
{
    int count = 1 + int(container.leaves.size());
    for (const ContainerDescriptor &inner : container.containers)
        count += CountContainer(inner);
    return count;
}
} // namespace

QVariant ItemDescriptor::value(const QString &column) const
{
    for (qsizetype i = 0; i < columnNames.size() && size_t(i) < values.size(); ++i)
        if (columnNames[i].compare(column, Qt::CaseInsensitive) == 0)
            return values[size_t(i)];
    return QVariant();
}

int TransferSet::descriptorCount() const
{
    int count = int(leaves.size());
    for (const ContainerDescriptor &container : containers)
        count += CountContainer(container);
    return count;
}

QStringList TransferSet::tableList() const
{
    QStringList tables;
    auto add = [&tables](const QString &accessor) {
        if (!tables.contains(accessor))
            tables << accessor;
    };
    for (const ItemDescriptor &leaf : leaves)
        add(leaf.accessorClass);
    for (const ContainerDescriptor &container : containers)
        add(container.item.accessorClass);
    return tables;
}

const ItemDescriptor *TransferSet::companion(const QString &table, qint64 id) const
{
    const auto rows = companions.find(table);
    if (rows == companions.end())
        return nullptr;
    const auto row = rows->second.find(id);
    return row == rows->second.end() ? nullptr : &row->second;
}

QByteArray TransferCodec::EncodeSet(const TransferSet &set)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    Writer(out);
    ContainerDescriptor top;
    top.leaves = set.leaves;
    top.containers = set.containers;
    WriteContainer(out, top);
    out << set.spare << qint32(set.move ? 1 : 0) << set.sourceDatabase;
    out << qint32(set.companions.size());
    for (const auto &[table, rows] : set.companions) {
        out << table << qint32(rows.size());
        for (const auto &[id, row] : rows) {
            out << qint64(id);
            WriteItem(out, row);
        }
    }
    return bytes;
}

std::optional<TransferSet> TransferCodec::DecodeSet(const QByteArray &data)
{
    QDataStream in(data);
    Writer(in);
    ContainerDescriptor top;
    if (!ReadContainer(in, top, 0) || !top.item.values.empty())
        return std::nullopt;
    TransferSet set;
    set.leaves = std::move(top.leaves);
    set.containers = std::move(top.containers);
    qint32 move = 0;
    in >> set.spare >> move >> set.sourceDatabase;
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    set.move = move != 0;
    qint32 tables = 0;
    if (!ReadCount(in, tables))
        return std::nullopt;
    for (qint32 t = 0; t < tables; ++t) {
        QString table;
        qint32 rows = 0;
        in >> table;
        if (!ReadCount(in, rows))
            return std::nullopt;
        for (qint32 r = 0; r < rows; ++r) {
            qint64 id = 0;
            in >> id;
            ItemDescriptor row;
            if (!ReadItem(in, row))
                return std::nullopt;
            set.companions[table][id] = std::move(row);
        }
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return set;
}

QByteArray TransferCodec::EncodeTableList(const QStringList &tables)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    Writer(out);
    out << qint32(tables.size());
    for (const QString &table : tables)
        out << table;
    return bytes;
}

std::optional<QStringList> TransferCodec::DecodeTableList(const QByteArray &data)
{
    QDataStream in(data);
    Writer(in);
    qint32 count = 0;
    if (!ReadCount(in, count))
        return std::nullopt;
    QStringList tables;
    for (qint32 i = 0; i < count; ++i) {
        QString table;
        in >> table;
        tables << table;
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return tables;
}
