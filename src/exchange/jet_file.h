#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A database file of the older tool (Jet 4, read-only), through the one
// small adapter over the Jet reading library: no other file includes its
// headers. Values come as QVariant: nothing for NULL, -1/0 for Yes/No,
// whole numbers as qint64, Single, Double and Currency as double,
// Date/Time as "yyyy-MM-dd hh:mm:ss", Text and Memo as text.
namespace Jet {

enum class ColumnKind { YesNo, Byte, Integer, Long, Currency, Single, Double, DateTime, Text, Memo, Other };

struct Column {
    QString name;
    ColumnKind kind = ColumnKind::Other;
    // Characters of a Text column; 0 for the others.
    int width = 0;
};

// Whether the file starts as a Jet database does: read from its first page
// alone, so that it can be asked of any file the user opens.
bool HasJetHeader(const QString &path);

class File {
public:
    // The file opened for reading only; nothing and the reason in *error
    // when it is no readable Jet 4 database.
    static std::unique_ptr<File> Open(const QString &path, QString *error);
    ~File();
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    QStringList TableNames() const;
    // The table's name as the file spells it, found without regard to case.
    std::optional<QString> FindTable(const QString &name) const;
    std::vector<Column> Columns(const QString &table) const;

    // Reads every row of a table in file order and hands row() the values of
    // the named columns (names as Columns() gives them); row() returning
    // false stops the reading. False with the reason in *error when the
    // table cannot be read whole.
    using RowSink = std::function<bool(const QVariantList &values)>;
    bool ReadRows(const QString &table, const QStringList &columns, const RowSink &row, QString *error) const;

private:
    struct Handle;
    File(QString path, std::unique_ptr<Handle> handle);
    QString m_path;
    std::unique_ptr<Handle> m_handle;
};

} // namespace Jet
