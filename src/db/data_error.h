#pragma once

#include <QSqlError>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <vector>

// One error record of the database driver: where it came from, what it said,
// and its native code (shown where a COM error would show its GUID).
struct ProviderErrorRecord {
    QString source;
    QString description;
    QString code;
};

// The one exception type of data access. It carries the program's own
// explanation as a list of numbered messages (each with up to three argument
// texts for %1 to %3), growing from the most specific to the most general
// while it travels up, and the driver's error records of the failed step.
class COLEDBException : public std::exception {
public:
    struct Message {
        int number;
        QStringList args;
    };

    COLEDBException() = default;
    explicit COLEDBException(std::vector<ProviderErrorRecord> records) : m_records(std::move(records)) {}

    const char *what() const noexcept override { return "COLEDBException"; }

    const std::vector<Message> &messages() const { return m_messages; }
    const std::vector<ProviderErrorRecord> &records() const { return m_records; }

    void addMessage(int number, QStringList args);

private:
    std::vector<Message> m_messages;
    std::vector<ProviderErrorRecord> m_records;
};

// The driver's error records of a failed step (source = the driver's name);
// none when the error is empty.
std::vector<ProviderErrorRecord> ErrorRecords(const QSqlError &error, const QString &source);

// Raises a data error with the driver's records and, when message is not 0,
// that message with its arguments (at most three are kept).
[[noreturn]] void RaiseDataError(std::vector<ProviderErrorRecord> records, int message = 0,
                                 const QStringList &args = {});
[[noreturn]] void RaiseDataError(int message, const QStringList &args = {});

// Appends an explanation before the exception is thrown on.
void AddMessage(COLEDBException &exception, int message, const QStringList &args = {});

// The text with %1 to %3 replaced by the argument texts.
QString FillArguments(const QString &format, const QStringList &args);

// Every message formatted (%1..%3 replaced), each followed by a new line.
QString MessageText(const COLEDBException &exception);

// Shows an exception to the user: the top text (MessageText, or 50011 when
// there is none) and the driver's records. The program installs the "OLE DB
// Errors Dialog" as presenter; without one the top text goes to a message box.
class DataErrorReporter {
public:
    using Presenter = std::function<void(const QString &topText, const std::vector<ProviderErrorRecord> &)>;
    // Installs a presenter and returns the one it replaces.
    static Presenter setPresenter(Presenter presenter);
    static void present(const QString &topText, const std::vector<ProviderErrorRecord> &records);
};

// The document's display of a data error; nothing is shown when show is false
// (the document's display hook or its error-display switch said no).
void ReportDataError(const COLEDBException &exception, bool show = true);
