#include "base/message_service.h"

#include "base/presenter_slot.h"

#include <QTextStream>

namespace {

// Without a window nobody can answer: report on stderr and take the answer
// that changes nothing.
MessageAnswer answerOnConsole(const MessageRequest &request)
{
    QTextStream err(stderr);
    err << request.text << Qt::endl;
    switch (request.buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    case MessageButtons::YesNoCancel:
    case MessageButtons::OkCancel:
        return MessageAnswer::Cancel;
    }
    return MessageAnswer::Cancel;
}

using MessageSlot = PresenterSlot<MessageService, MessageService::Presenter>;

} // namespace

MessageService::Presenter MessageService::setPresenter(Presenter presenter)
{
    return MessageSlot::replace(std::move(presenter));
}

MessageAnswer MessageService::show(const MessageRequest &request)
{
    const Presenter &presenter = MessageSlot::current();
    return presenter ? presenter(request) : answerOnConsole(request);
}

void MessageService::error(const QString &text)
{
    show({text, MessageIcon::Error, MessageButtons::Ok});
}

void MessageService::warning(const QString &text)
{
    show({text, MessageIcon::Warning, MessageButtons::Ok});
}

void MessageService::information(const QString &text)
{
    show({text, MessageIcon::Information, MessageButtons::Ok});
}

MessageAnswer MessageService::question(const QString &text)
{
    return show({text, MessageIcon::Question, MessageButtons::YesNo});
}

MessageAnswer MessageService::riskyQuestion(const QString &text)
{
    return show({text, MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No});
}

MessageAnswer MessageService::questionWithCancel(const QString &text)
{
    return show({text, MessageIcon::Question, MessageButtons::YesNoCancel});
}
