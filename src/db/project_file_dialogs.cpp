#include "db/project_file_dialogs.h"

#include "base/presenter_slot.h"

#include "base/string_table.h"

#include <QStringList>

namespace {
using FileDialogSlot = PresenterSlot<FileDialogService, FileDialogService::Presenter>;
} // namespace

FileDialogService::Presenter FileDialogService::setPresenter(Presenter presenter)
{
    return FileDialogSlot::replace(std::move(presenter));
}

QString FileDialogService::show(const FileDialogRequest &request)
{
    if (!FileDialogSlot::current() || request.filters.isEmpty())
        return {};
    return FileDialogSlot::current()(request);
}

QList<FileDialogFilter> FileDialogService::BuildFilters(std::initializer_list<std::pair<int, int>> pairs)
{
    QList<FileDialogFilter> filters;
    for (const auto &[extension, description] : pairs) {
        const StringTable &table = StringTable::instance();
        if (!table.contains(extension) || !table.contains(description))
            continue;
        filters.append({table.text(description), table.text(extension)});
    }
    return filters;
}

QString FileDialogService::QtFilterText(const QList<FileDialogFilter> &filters)
{
    QStringList parts;
    for (const FileDialogFilter &f : filters)
        parts << QStringLiteral("%1 (*.%2)").arg(f.description, f.extension);
    return parts.join(QStringLiteral(";;"));
}
