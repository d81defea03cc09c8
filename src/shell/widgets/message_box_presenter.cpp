#include "shell/widgets/message_box_presenter.h"

#include "base/string_table.h"

#include <QMessageBox>
#include <QPointer>

void MessageBoxPresenter::install(QWidget *parent)
{
    QPointer<QWidget> owner(parent);
    MessageService::setPresenter([owner](const MessageRequest &r) { return present(owner, r); });
}

MessageAnswer MessageBoxPresenter::present(QWidget *parent, const MessageRequest &request)
{
    QMessageBox box(parent);
    box.setWindowTitle(Str(57344));
    box.setText(request.text);
    switch (request.icon) {
    case MessageIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    switch (request.buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    }
    if (request.defaultAnswer == MessageAnswer::No && request.buttons != MessageButtons::Ok &&
        request.buttons != MessageButtons::OkCancel)
        box.setDefaultButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    default:
        return MessageAnswer::Cancel;
    }
}
