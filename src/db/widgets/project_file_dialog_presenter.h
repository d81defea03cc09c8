#pragma once

#include "db/project_file_dialogs.h"

class QWidget;

// Shows the project commands' file dialogs as Qt's file dialogs over parent.
class ProjectFileDialogPresenter {
public:
    static void install(QWidget *parent = nullptr);
    static QString present(const FileDialogRequest &request, QWidget *parent);
};
