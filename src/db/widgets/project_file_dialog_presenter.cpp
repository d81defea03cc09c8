#include "db/widgets/project_file_dialog_presenter.h"

#include <QFileDialog>
#include <QPointer>

void ProjectFileDialogPresenter::install(QWidget *parent)
{
    QPointer<QWidget> guarded(parent);
    FileDialogService::setPresenter(
        [guarded](const FileDialogRequest &request) { return present(request, guarded.data()); });
}

QString ProjectFileDialogPresenter::present(const FileDialogRequest &request, QWidget *parent)
{
    QFileDialog dialog(parent, request.title, request.initialPath,
                       FileDialogService::QtFilterText(request.filters));
    if (request.kind == FileDialogRequest::Kind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultExtension);
        // A name typed without a suffix gets the one of the kind picked.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &request](const QString &picked) {
            for (const FileDialogFilter &filter : request.filters) {
                if (FileDialogService::QtFilterText({filter}) == picked)
                    dialog.setDefaultSuffix(filter.extension);
            }
        });
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    }
    if (!request.initialPath.isEmpty())
        dialog.selectFile(request.initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}
