#include "db/data_error.h"

#include "base/presenter_slot.h"

#include "db/db_strings.h"
#include "base/message_service.h"
#include "base/string_table.h"

void COLEDBException::addMessage(int number, QStringList args)
{
    while (args.size() > 3)
        args.removeLast();
    m_messages.push_back({number, std::move(args)});
}

std::vector<ProviderErrorRecord> ErrorRecords(const QSqlError &error, const QString &source)
{
    QStringList parts;
    if (!error.databaseText().isEmpty())
        parts << error.databaseText();
    if (!error.driverText().isEmpty() && error.driverText() != error.databaseText())
        parts << error.driverText();
    if (parts.isEmpty() && error.nativeErrorCode().isEmpty())
        return {};
    return {{source, parts.join(QLatin1Char('\n')), error.nativeErrorCode()}};
}

[[noreturn]] void RaiseDataError(std::vector<ProviderErrorRecord> records, int message,
                                 const QStringList &args)
{
    COLEDBException exception(std::move(records));
    if (message != 0)
        exception.addMessage(message, args);
    throw exception;
}

[[noreturn]] void RaiseDataError(int message, const QStringList &args)
{
    RaiseDataError(std::vector<ProviderErrorRecord>{}, message, args);
}

void AddMessage(COLEDBException &exception, int message, const QStringList &args)
{
    exception.addMessage(message, args);
}

// One pass over the text, so that an argument holding "%2" stays as it is.
QString FillArguments(const QString &format, const QStringList &args)
{
    QString out;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('%') && i + 1 < format.size()) {
            const int n = format.at(i + 1).digitValue();
            if (n >= 1 && n <= 3) {
                out += n <= args.size() ? args.at(n - 1) : QString();
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString MessageText(const COLEDBException &exception)
{
    QString text;
    for (const COLEDBException::Message &message : exception.messages()) {
        text += FillArguments(Str(message.number), message.args) + QLatin1Char('\n');
    }
    return text;
}

namespace {
using DataErrorSlot = PresenterSlot<DataErrorReporter, DataErrorReporter::Presenter>;
} // namespace

DataErrorReporter::Presenter DataErrorReporter::setPresenter(Presenter presenter)
{
    return DataErrorSlot::replace(std::move(presenter));
}

void DataErrorReporter::present(const QString &topText, const std::vector<ProviderErrorRecord> &records)
{
    if (DataErrorSlot::current()) {
        DataErrorSlot::current()(topText, records);
        return;
    }
    QString text = topText;
    for (const ProviderErrorRecord &record : records)
        text += record.description + QLatin1Char('\n');
    MessageService::error(text.trimmed());
}

void ReportDataError(const COLEDBException &exception, bool show)
{
    if (!show)
        return;
    QString top = MessageText(exception);
    if (top.isEmpty())
        top = Str(DbStrings::NoApplicationMessage);
    DataErrorReporter::present(top, exception.records());
}
