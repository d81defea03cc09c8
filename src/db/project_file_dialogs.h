#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <initializer_list>
#include <utility>

// One entry of a file dialog's type list: "7100 projects (*.prj)".
struct FileDialogFilter {
    QString description;
    QString extension;
};

struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString title; // empty: the dialog's own default
    QList<FileDialogFilter> filters;
    QString initialPath;
    QString defaultExtension; // Save: appended when none is typed
};

// The file dialogs of the project commands. The program installs a presenter
// that shows Qt's dialogs (file and folder must exist when opening, the
// overwrite question when saving); tests script the chosen names.
class FileDialogService {
public:
    // Answers the chosen path, or an empty text for Cancel.
    using Presenter = std::function<QString(const FileDialogRequest &)>;

    static Presenter setPresenter(Presenter presenter);
    // Without a presenter, or without a filter, no dialog is shown and the
    // answer is Cancel.
    static QString show(const FileDialogRequest &request);

    // The filters of string pairs (extension number, description number); a
    // pair with a missing string is left out.
    static QList<FileDialogFilter> BuildFilters(std::initializer_list<std::pair<int, int>> pairs);
    // The filters as Qt's dialogs take them, joined by ";;".
    static QString QtFilterText(const QList<FileDialogFilter> &filters);
};
