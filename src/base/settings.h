#pragma once

#include <QString>
#include <QVariant>

#include <vector>

// One stored value of a section with its default.
struct SettingSpec {
    QString name;
    QVariant defaultValue;
};

// One section of the user's settings. Saving writes only values that differ
// from their defaults; a value equal to its default is removed instead.
class SettingsSection {
public:
    static constexpr const char *kOrganisation = "ZelnorWizard";
    static constexpr const char *kApplication = "ZelnorWizard";
    // The "Configuration" section alone lives under this application name.
    static constexpr const char *kConfigurationApplication = "Zelnor Wizard";

    SettingsSection(QString application, QString section, std::vector<SettingSpec> specs);
    virtual ~SettingsSection() = default;

    virtual void load();
    void save() const;
    void resetToDefaults();

    QVariant value(const QString &name) const;
    int intValue(const QString &name) const { return value(name).toInt(); }
    QString textValue(const QString &name) const { return value(name).toString(); }
    void setValue(const QString &name, const QVariant &value);
    QVariant defaultValue(const QString &name) const;
    // Whether the value came from the store or was set since: false while
    // its default serves for want of anything of the user's.
    bool isGiven(const QString &name) const;
    const QString &section() const { return m_section; }

protected:
    const SettingSpec *find(const QString &name) const;

private:
    QString m_application;
    QString m_section;
    std::vector<SettingSpec> m_specs;
    std::vector<QVariant> m_values;
    std::vector<bool> m_given;
};

// Section "Settings".
class GeneralSettings : public SettingsSection {
public:
    GeneralSettings();
};

// Section "Size and position": the main frame layout. Defaults of the widths
// are multiples of the average character width of the screen font.
class LayoutSettings : public SettingsSection {
public:
    explicit LayoutSettings(int averageCharWidth = 8);
    // Falls back to every default when the stored layout is unusable.
    void load() override;
    // Whether the window has a placement of the user's: none on a first
    // start, nor after an unusable one was dropped.
    bool holdsPlacement() const;
};

// Section "Configuration": the last project file and data link file.
class ConfigurationSettings : public SettingsSection {
public:
    ConfigurationSettings();
};

// Reads or writes one value of section "Settings" directly, with the same
// default rule; for the Parts that own a single value.
QVariant ReadSetting(const QString &name);
void WriteSetting(const QString &name, const QVariant &value);
