#pragma once

#include "base/message_service.h"

class QWidget;

// Shows the program's messages as real message boxes.
class MessageBoxPresenter {
public:
    static void install(QWidget *parent = nullptr);
    static MessageAnswer present(QWidget *parent, const MessageRequest &request);
};
