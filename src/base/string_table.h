#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

#include <initializer_list>

// The numbered texts of the active language pack. Every text the program
// shows is looked up here by its number.
class StringTable {
public:
    static StringTable &instance();

    // Parses the text form "NUMBER<blank>TEXT" (one entry a line, C escapes
    // \n \r \t \\ in TEXT, '#' lines are comments). Returns false and says why
    // in error on a malformed line or a number given twice.
    static bool parse(const QByteArray &source, QHash<int, QString> &into, QString *error);

    // Replaces the table by the given entries (the old ones are dropped).
    void replace(QHash<int, QString> entries);
    // Loads every *.txt below the resource folder (":/lang/strings"...).
    bool loadFromResourceDir(const QString &dir, QString *error);
    // The English table compiled into the program itself.
    bool loadBuiltin();

    bool contains(int id) const { return m_texts.contains(id); }
    // The text of id, or "#<id>" when the pack lacks it (so that a missing
    // text shows up instead of vanishing).
    QString text(int id) const;
    const QHash<int, QString> &entries() const { return m_texts; }

private:
    QHash<int, QString> m_texts;
};

// Fills printf placeholders (%s %d %i %u %x %X %c %f %e %g with flags, width
// and precision, %% for a percent sign) from args in order.
QString FormatText(const QString &format, const QVariantList &args);

// The text of number id in the active pack.
QString Str(int id);
// The text of number id with its placeholders filled.
QString StrF(int id, std::initializer_list<QVariant> args);
