#include "exchange/jet_file.h"

#include "exchange/exchange_strings.h"
#include "base/input_file.h"
#include "base/string_table.h"

#include <QFile>
#include <QFileInfo>

#include <mdbtools.h>

namespace Jet {
namespace {

constexpr qint64 kJet3PageSize = 2048;
constexpr qint64 kJet4PageSize = 4096;
constexpr int kVersionOffset = 0x14;
// The first page, the page-usage page and the catalogue's definition: a
// file shorter than this holds no table at all.
constexpr qint64 kLeastPages = 3;

struct Header {
    bool jet = false;
    qint64 pageSize = 0;
};

Header ReadHeader(const QString &path)
{
    if (InputFile::Refusal(path))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(kVersionOffset + 4);
    if (head.size() < kVersionOffset + 4 || head.at(0) != 0)
        return {};
    const QByteArray signature = head.mid(4, 16);
    if (signature != QByteArray("Standard Jet DB", 16))
        return {};
    const int version = static_cast<unsigned char>(head.at(kVersionOffset));
    if (version == MDB_VER_JET3)
        return {true, kJet3PageSize};
    if (version == MDB_VER_JET4)
        return {true, kJet4PageSize};
    return {};
}

ColumnKind KindOf(int type)
{
    switch (type) {
    case MDB_BOOL: return ColumnKind::YesNo;
    case MDB_BYTE: return ColumnKind::Byte;
    case MDB_INT: return ColumnKind::Integer;
    case MDB_LONGINT: return ColumnKind::Long;
    case MDB_MONEY: return ColumnKind::Currency;
    case MDB_FLOAT: return ColumnKind::Single;
    case MDB_DOUBLE: return ColumnKind::Double;
    case MDB_DATETIME: return ColumnKind::DateTime;
    case MDB_TEXT: return ColumnKind::Text;
    case MDB_MEMO: return ColumnKind::Memo;
    default: return ColumnKind::Other;
    }
}

// The library hands every value over as text (UTF-8); a NULL as no text.
QVariant ValueOf(ColumnKind kind, const char *text, int length)
{
    const QByteArray bytes(text, length);
    switch (kind) {
    case ColumnKind::YesNo:
        // Never NULL: the value is the bit itself. Stored as -1 and 0.
        return bytes == "1" ? -1 : 0;
    case ColumnKind::Byte:
    case ColumnKind::Integer:
    case ColumnKind::Long:
        return length == 0 ? QVariant() : QVariant(bytes.toLongLong());
    case ColumnKind::Currency:
    case ColumnKind::Single:
    case ColumnKind::Double:
        return length == 0 ? QVariant() : QVariant(bytes.toDouble());
    case ColumnKind::DateTime:
    case ColumnKind::Text:
    case ColumnKind::Memo:
    case ColumnKind::Other:
        break;
    }
    return length == 0 ? QVariant() : QVariant(QString::fromUtf8(bytes));
}

struct TableDef {
    explicit TableDef(MdbTableDef *table) : table(table) {}
    ~TableDef()
    {
        if (table)
            mdb_free_tabledef(table);
    }
    TableDef(const TableDef &) = delete;
    TableDef &operator=(const TableDef &) = delete;
    MdbTableDef *table;
};

} // namespace

struct File::Handle {
    ~Handle()
    {
        if (mdb)
            mdb_close(mdb);
    }
    MdbHandle *mdb = nullptr;
    qint64 pageSize = 0;
    QStringList tables;

    std::unique_ptr<TableDef> Read(const QString &name) const
    {
        MdbCatalogEntry *entry = mdb_get_catalogentry_by_name(mdb, name.toUtf8().constData());
        if (!entry || entry->object_type != MDB_TABLE)
            return nullptr;
        auto table = std::make_unique<TableDef>(mdb_read_table(entry));
        if (!table->table || !mdb_read_columns(table->table))
            return nullptr;
        return table;
    }
};

bool HasJetHeader(const QString &path)
{
    return ReadHeader(path).jet;
}

File::File(QString path, std::unique_ptr<Handle> handle) : m_path(std::move(path)), m_handle(std::move(handle)) {}

File::~File() = default;

std::unique_ptr<File> File::Open(const QString &path, QString *error)
{
    if (const std::optional<QString> refusal = InputFile::Refusal(path)) {
        *error = StrF(ExchangeStrings::CantRead, {path, *refusal});
        return nullptr;
    }
    const Header header = ReadHeader(path);
    if (!header.jet) {
        *error = StrF(ExchangeStrings::NotAJetFile, {path});
        return nullptr;
    }
    // A copy broken off in the middle ends inside a page or before the
    // catalogue; the library would read such a file as far as it goes.
    const qint64 size = QFileInfo(path).size();
    if (size % header.pageSize != 0 || size < kLeastPages * header.pageSize) {
        *error = StrF(ExchangeStrings::CutShort, {path, size});
        return nullptr;
    }
    auto handle = std::make_unique<Handle>();
    handle->pageSize = header.pageSize;
    // Read-only: the old file is never written.
    handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!handle->mdb) {
        *error = StrF(ExchangeStrings::NotAJetFile, {path});
        return nullptr;
    }
    if (!mdb_read_catalog(handle->mdb, MDB_TABLE)) {
        *error = StrF(ExchangeStrings::CatalogueUnreadable, {path});
        return nullptr;
    }
    mdb_set_date_fmt(handle->mdb, "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(handle->mdb);
    for (guint i = 0; i < handle->mdb->num_catalog; ++i) {
        const auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(handle->mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && !mdb_is_system_table(const_cast<MdbCatalogEntry *>(entry)))
            handle->tables.append(QString::fromUtf8(entry->object_name));
    }
    return std::unique_ptr<File>(new File(path, std::move(handle)));
}

QStringList File::TableNames() const
{
    return m_handle->tables;
}

std::optional<QString> File::FindTable(const QString &name) const
{
    for (const QString &table : m_handle->tables) {
        if (table.compare(name, Qt::CaseInsensitive) == 0)
            return table;
    }
    return std::nullopt;
}

std::vector<Column> File::Columns(const QString &table) const
{
    std::vector<Column> columns;
    const std::unique_ptr<TableDef> def = m_handle->Read(table);
    if (!def)
        return columns;
    for (guint i = 0; i < def->table->num_cols; ++i) {
        const auto *column = static_cast<MdbColumn *>(g_ptr_array_index(def->table->columns, i));
        const ColumnKind kind = KindOf(column->col_type);
        // Jet 4 keeps a text's width in bytes of UCS-2.
        const int width = kind != ColumnKind::Text ? 0
                          : m_handle->pageSize == kJet4PageSize ? column->col_size / 2
                                                                : column->col_size;
        columns.push_back({QString::fromUtf8(column->name), kind, width});
    }
    return columns;
}

bool File::ReadRows(const QString &table, const QStringList &columns, const RowSink &row, QString *error) const
{
    const std::unique_ptr<TableDef> def = m_handle->Read(table);
    if (!def) {
        *error = StrF(ExchangeStrings::TableNotFound, {table, m_path});
        return false;
    }
    MdbTableDef *t = def->table;
    const size_t bindSize = m_handle->mdb->bind_size;
    std::vector<std::vector<char>> buffers(size_t(columns.size()), std::vector<char>(bindSize + 1));
    std::vector<int> lengths(size_t(columns.size()), 0);
    std::vector<ColumnKind> kinds;
    for (int c = 0; c < columns.size(); ++c) {
        int found = -1;
        for (guint i = 0; i < t->num_cols; ++i) {
            const auto *column = static_cast<MdbColumn *>(g_ptr_array_index(t->columns, i));
            if (columns[c] == QString::fromUtf8(column->name)) {
                found = int(i);
                kinds.push_back(KindOf(column->col_type));
            }
        }
        if (found < 0) {
            *error = StrF(ExchangeStrings::ColumnNotFound, {columns[c], table, m_path});
            return false;
        }
        mdb_bind_column(t, found + 1, buffers[size_t(c)].data(), &lengths[size_t(c)]);
    }
    mdb_rewind_table(t);
    unsigned int read = 0;
    QVariantList values;
    values.reserve(columns.size());
    while (mdb_fetch_row(t)) {
        ++read;
        values.clear();
        for (size_t c = 0; c < kinds.size(); ++c)
            values.append(ValueOf(kinds[c], buffers[c].data(), lengths[c]));
        if (!row(values))
            return true;
    }
    // The definition counts the rows: fewer read means pages are missing.
    if (read != t->num_rows) {
        *error = StrF(ExchangeStrings::TableDamaged, {table, m_path, read, t->num_rows});
        return false;
    }
    return true;
}

} // namespace Jet
