#pragma once

#include "db/project_file_dialogs.h"

#include <QStringList>

#include <vector>

// Takes the place of the file dialogs: records every request and answers
// with the scripted paths in order (an empty path, or none left, is Cancel).
class ScriptedFileDialogs {
public:
    ScriptedFileDialogs()
    {
        m_previous = FileDialogService::setPresenter([this](const FileDialogRequest &request) {
            m_requests.push_back(request);
            return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        });
    }
    ~ScriptedFileDialogs() { FileDialogService::setPresenter(std::move(m_previous)); }
    ScriptedFileDialogs(const ScriptedFileDialogs &) = delete;
    ScriptedFileDialogs &operator=(const ScriptedFileDialogs &) = delete;

    void choose(const QString &path) { m_answers << path; }
    const std::vector<FileDialogRequest> &requests() const { return m_requests; }

private:
    QStringList m_answers;
    std::vector<FileDialogRequest> m_requests;
    FileDialogService::Presenter m_previous;
};
