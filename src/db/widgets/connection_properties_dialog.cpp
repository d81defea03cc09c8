#include "db/widgets/connection_properties_dialog.h"

#include "db/project_strings.h"
#include "base/string_table.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QLineEdit *ReadOnlyField(const QString &name, const QString &text, QWidget *parent)
{
    auto *field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    return field;
}
} // namespace

CConnectionPropertiesDialog::CConnectionPropertiesDialog(const ConnectionDetails &details, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("24600"));
    setWindowTitle(Str(ProjectStrings::PropertiesTitle));
    auto *layout = new QVBoxLayout(this);

    layout->addWidget(new QLabel(Str(ProjectStrings::PropertiesDataSourceName), this));
    m_dataSource = ReadOnlyField(QStringLiteral("1140"), details.dataSourceName, this);
    layout->addWidget(m_dataSource);

    auto *caption = new QLabel(Str(ProjectStrings::PropertiesListCaption), this);
    caption->setWordWrap(true);
    layout->addWidget(caption);
    m_properties = new QTreeWidget(this);
    m_properties->setObjectName(QStringLiteral("propertyList"));
    m_properties->setRootIsDecorated(false);
    m_properties->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_properties->setHeaderLabels(
        {Str(ProjectStrings::PropertyNameHeader), Str(ProjectStrings::PropertyValueHeader)});
    for (const auto &[description, value] : details.properties)
        new QTreeWidgetItem(m_properties, {description, value});
    m_properties->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    layout->addWidget(m_properties, 1);

    layout->addWidget(new QLabel(Str(ProjectStrings::PropertiesProviderVersion), this));
    m_provider = ReadOnlyField(QStringLiteral("1141"),
                               details.providerName + QStringLiteral(", ") + details.providerVersion, this);
    layout->addWidget(m_provider);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close =
        buttons->addButton(Str(ProjectStrings::PropertiesClose), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, 420);
}

void CConnectionPropertiesDialog::ShowFor(const ProjectDatabase &database, QWidget *parent)
{
    if (!database.IsOpen())
        return;
    CConnectionPropertiesDialog dialog(ReadConnectionDetails(database), parent);
    dialog.exec();
}
