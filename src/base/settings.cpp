#include "base/settings.h"

#include "base/password.h"

#include <QSettings>

#include <algorithm>

SettingsSection::SettingsSection(QString application, QString section, std::vector<SettingSpec> specs)
    : m_application(std::move(application)), m_section(std::move(section)), m_specs(std::move(specs))
{
    resetToDefaults();
}

void SettingsSection::load()
{
    QSettings store(QString::fromLatin1(kOrganisation), m_application);
    store.beginGroup(m_section);
    for (size_t i = 0; i < m_specs.size(); ++i) {
        const SettingSpec &entry = m_specs[i];
        const QVariant stored = store.value(entry.name);
        m_given[i] = false;
        if (!stored.isValid()) {
            m_values[i] = entry.defaultValue;
            continue;
        }
        // A stored value that cannot be read as the type of its default is
        // ignored: the default serves.
        QVariant converted = stored;
        m_given[i] = converted.convert(entry.defaultValue.metaType());
        m_values[i] = m_given[i] ? converted : entry.defaultValue;
    }
}

void SettingsSection::save() const
{
    QSettings store(QString::fromLatin1(kOrganisation), m_application);
    store.beginGroup(m_section);
    for (size_t i = 0; i < m_specs.size(); ++i) {
        if (m_values[i] == m_specs[i].defaultValue)
            store.remove(m_specs[i].name);
        else
            store.setValue(m_specs[i].name, m_values[i]);
    }
}

void SettingsSection::resetToDefaults()
{
    m_values.clear();
    for (const SettingSpec &entry : m_specs)
        m_values.push_back(entry.defaultValue);
    m_given.assign(m_specs.size(), false);
}

const SettingSpec *SettingsSection::find(const QString &name) const
{
    const auto it =
        std::find_if(m_specs.begin(), m_specs.end(), [&](const SettingSpec &s) { return s.name == name; });
    return it == m_specs.end() ? nullptr : &*it;
}

QVariant SettingsSection::value(const QString &name) const
{
    const SettingSpec *entry = find(name);
    return entry ? m_values[size_t(entry - m_specs.data())] : QVariant();
}

void SettingsSection::setValue(const QString &name, const QVariant &value)
{
    const SettingSpec *entry = find(name);
    if (!entry)
        return;
    QVariant converted = value;
    if (!converted.convert(entry->defaultValue.metaType()))
        return;
    const size_t at = size_t(entry - m_specs.data());
    m_values[at] = converted;
    m_given[at] = true;
}

bool SettingsSection::isGiven(const QString &name) const
{
    const SettingSpec *entry = find(name);
    return entry && m_given[size_t(entry - m_specs.data())];
}

QVariant SettingsSection::defaultValue(const QString &name) const
{
    const SettingSpec *entry = find(name);
    return entry ? entry->defaultValue : QVariant();
}

static std::vector<SettingSpec> generalSpecs()
{
    return {
        {"AppFirstStart", 0},
        {"LangDLL", 1},
        {"asld", Password::scrambledEmpty()},
        // A system port name ("/dev/ttyUSB0", "COM3"); an old whole number N
        // is read as the N-th port.
        {"ComPort", QStringLiteral("1")},
        {"ListViewStyle", 1},
        {"DataSourceName", QString()},
        {"DetailsView", 1},
        {"ListView", 1},
        {"OLEDBErr.DispDetailsErrors", 0},
        {"MultDlg.FirstNumber", 1},
        {"MultDlg.NumberOfDecPlaces", 3},
        {"MultDlg.NumberOfItems", 1},
        {"DoFileWrite", 0},
        {"FileWriteInterval", 3},
        {"Monitoring.UpdateRate", 500},
        {"Monitoring.DBUpdateRate", 10000},
        {"CSVImport.UpdateExistingItems", 0},
        {"CSVImport.DisplayErrors", 0},
        {"CSVImport.InsertInvalidRecords", 0},
        {"CSVImport.ErrorFilename", QString()},
        {"SaveRegionalSettings", 1},
        {"EnableHoverSelection", 1},
        {"HoverTime", 500},
        {"AutoApplyChanges", 0},
        // The ports of the commissioning bench, separated by ";".
        {"CommissioningPorts", QString()},
    };
}

GeneralSettings::GeneralSettings()
    : SettingsSection(QString::fromLatin1(kApplication), QStringLiteral("Settings"), generalSpecs())
{
}

static std::vector<SettingSpec> layoutSpecs(int cw)
{
    return {
        {"XPos", 50},
        {"YPos", 50},
        {"XSize", 640},
        {"YSize", 480},
        {"Minimized", 0},
        {"Maximized", 0},
        {"SplitterSizeX", 20 * cw},
        {"SplitterSizeY", 0},
        {"RghtSplitterSizeY", 0},
        {"MonitorNameWidth", 20 * cw},
        {"MonitorItemIDWidth", 35 * cw},
        {"MonitorValueWidth", 20 * cw},
        {"MonitorQualityWidth", 10 * cw},
        {"MonitorTimestampWidth", 20 * cw},
        {"MonitorSubQualityWidth", 15 * cw},
        {"MonitorLimitBFWidth", 15 * cw},
        {"OutputXSize", 0},
        {"OutputYSize", 0},
    };
}

LayoutSettings::LayoutSettings(int averageCharWidth)
    : SettingsSection(QString::fromLatin1(kApplication), QStringLiteral("Size and position"),
                      layoutSpecs(averageCharWidth))
{
}

void LayoutSettings::load()
{
    SettingsSection::load();
    if (intValue("MonitorNameWidth") <= 0 || (intValue("XSize") == 0 && intValue("YSize") == 0))
        resetToDefaults();
}

bool LayoutSettings::holdsPlacement() const
{
    for (const char *name : {"XPos", "YPos", "XSize", "YSize", "Maximized"})
        if (isGiven(QString::fromLatin1(name)))
            return true;
    return false;
}

ConfigurationSettings::ConfigurationSettings()
    : SettingsSection(QString::fromLatin1(kConfigurationApplication), QStringLiteral("Configuration"),
                      {{"FileName", QString()}, {"DataLinkFile", QString()}})
{
}

QVariant ReadSetting(const QString &name)
{
    GeneralSettings settings;
    settings.load();
    return settings.value(name);
}

void WriteSetting(const QString &name, const QVariant &value)
{
    // Only this one value is touched: the others stay as stored.
    GeneralSettings settings;
    const QVariant def = settings.defaultValue(name);
    QSettings store(QString::fromLatin1(SettingsSection::kOrganisation),
                    QString::fromLatin1(SettingsSection::kApplication));
    store.beginGroup(QStringLiteral("Settings"));
    QVariant converted = value;
    if (def.isValid())
        converted.convert(def.metaType());
    if (def.isValid() && converted == def)
        store.remove(name);
    else
        store.setValue(name, converted);
}
