#pragma once

#include <QString>

#include <functional>

enum class MessageIcon { Error, Warning, Question, Information, None };
enum class MessageButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString text;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    // The button that Enter presses; questions that throw work away name No.
    MessageAnswer defaultAnswer = MessageAnswer::Ok;
};

// Every message box and question of the program goes through here. The
// program installs a presenter that shows a real box; the command-line tool
// prints; tests script the answers.
class MessageService {
public:
    using Presenter = std::function<MessageAnswer(const MessageRequest &)>;

    // Installs a presenter and returns the one it replaces.
    static Presenter setPresenter(Presenter presenter);

    static MessageAnswer show(const MessageRequest &request);
    static void error(const QString &text);
    static void warning(const QString &text);
    static void information(const QString &text);
    // Yes or No.
    static MessageAnswer question(const QString &text);
    // Yes or No with No the default answer: the question before a gesture
    // that can lose data, so that Enter keeps it.
    static MessageAnswer riskyQuestion(const QString &text);
    // Yes, No or Cancel (saving changes).
    static MessageAnswer questionWithCancel(const QString &text);
};
