#include "pages/widgets/chanel_pages.h"

#include "params/page_strings.h"
#include "params/params_strings.h"
#include "params/text_field_check.h"
#include "pages/widgets/chanel_tab_view.h"
#include "pages/widgets/num_spin_edit.h"
#include "base/string_table.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTabWidget>

#include <algorithm>

using namespace PageStrings;

namespace {

constexpr int kHintControls = 16;
constexpr int kHintButtons = 17;
constexpr int kNumberCharacters = 8;

QString Plain(const QString &label)
{
    QString text = label;
    text.remove('&');
    if (text.endsWith(':'))
        text.chop(1);
    return text.trimmed();
}

template <typename W>
W *Named(W *widget, const QString &name, const QString &label)
{
    widget->setObjectName(name);
    widget->setAccessibleName(Plain(label));
    return widget;
}

QComboBox *Choice(int id, int label, QWidget *parent)
{
    auto *box = Named(new QComboBox(parent), QString::number(id), Str(label));
    box->setEditable(false);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setMinimumContentsLength(18);
    return box;
}

void FillChoice(QComboBox *box, const CatalogueChoice &choice)
{
    box->clear();
    for (const ChoiceEntry &entry : choice.entries)
        box->addItem(entry.text, entry.data);
    box->setCurrentIndex(choice.selected);
    box->setEnabled(choice.enabled);
    // A narrow pane scrolls the page rather than squeeze an entry under the
    // arrow.
    box->setMinimumWidth(box->sizeHint().width());
}

std::optional<int> ChoiceData(const QComboBox *box)
{
    if (box->currentIndex() < 0)
        return std::nullopt;
    return box->currentData().toInt();
}

CNumSpinEdit *Number(int id, int label, int decimals, int maxCharacters, bool point, QWidget *parent)
{
    auto *edit = Named(new CNumSpinEdit(parent), QString::number(id), Str(label));
    edit->SetDecimals(decimals);
    edit->SetMaxCharacters(maxCharacters);
    edit->Init(point ? NumericInput::DecimalPoint : NumericInput::NoMinus, 0);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-00000.000")) + 16);
    return edit;
}

QLineEdit *Text(const QString &name, int label, int maxCharacters, bool readOnly, QWidget *parent)
{
    auto *edit = Named(new QLineEdit(parent), name, Str(label));
    if (maxCharacters > 0)
        edit->setMaxLength(maxCharacters);
    edit->setReadOnly(readOnly);
    if (readOnly) {
        // A field the user cannot change has the dialog's face, not the
        // white of an entry field.
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
    }
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 34);
    return edit;
}

QLabel *UnitLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("mA ")) + 24);
    return label;
}

// One labelled row of a grid: label, field, and the unit beside it. A wide
// field (a choice) may take the unit's column too.
void Row(QGridLayout *grid, int label, QWidget *field, QWidget *unit = nullptr, bool wide = false)
{
    const int row = grid->rowCount();
    auto *caption = new QLabel(Str(label), grid->parentWidget());
    caption->setBuddy(field);
    grid->addWidget(caption, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
    grid->addWidget(field, row, 1, 1, wide ? 2 : 1);
    if (unit)
        grid->addWidget(unit, row, 2);
}

QGridLayout *Grid()
{
    auto *grid = new QGridLayout;
    grid->setColumnStretch(3, 1);
    grid->setHorizontalSpacing(10);
    return grid;
}

// --------------------------------------------------------- Device info

class DeviceInfoForm : public ChannelForm {
public:
    DeviceInfoForm(CChanelTabView &view, QWidget *parent) : ChannelForm(view, parent)
    {
        using namespace TextFieldLimits;
        auto *layout = new QVBoxLayout;
        auto *moduleBox = new QGroupBox(Str(ModuleGroup), this);
        auto *moduleGrid = Grid();
        moduleBox->setLayout(moduleGrid);
        m_type = Text("ModuleType", ModuleType, 0, true, moduleBox);
        m_revision = Text("Revision", Revision, 0, true, moduleBox);
        m_serial = Text("SerialNumber", SerialNumber, 0, true, moduleBox);
        const bool family7220 = view.model().family() == Family7220;
        const int dipLabel = family7220 ? Configuration : DipSwitch;
        m_dip = Text("DipSwitch", dipLabel, 0, true, moduleBox);
        m_date = Text("Date", Date, 0, false, moduleBox);
        m_comment = Text("Comment", Comment, kComment, false, moduleBox);
        Row(moduleGrid, ModuleType, m_type);
        Row(moduleGrid, Revision, m_revision);
        Row(moduleGrid, SerialNumber, m_serial);
        Row(moduleGrid, dipLabel, m_dip);
        Row(moduleGrid, Date, m_date);
        Row(moduleGrid, Comment, m_comment);
        auto *signalBox = new QGroupBox(Str(SignalGroup), this);
        auto *signalGrid = Grid();
        signalBox->setLayout(signalGrid);
        m_tag = Text("SignalTag", SignalTag, kSignalTag, false, signalBox);
        m_description = Text("Description", Description, kDescription, false, signalBox);
        Row(signalGrid, SignalTag, m_tag);
        Row(signalGrid, Description, m_description);
        // The fields of both groups start in one column.
        int labelWidth = 0;
        for (int label : {ModuleType, Revision, SerialNumber, dipLabel, Date, Comment, SignalTag, Description})
            labelWidth = std::max(labelWidth, fontMetrics().horizontalAdvance(Str(label)));
        moduleGrid->setColumnMinimumWidth(0, labelWidth);
        signalGrid->setColumnMinimumWidth(0, labelWidth);
        layout->addWidget(moduleBox);
        layout->addWidget(signalBox);
        for (QLineEdit *edit : {m_date, m_comment, m_tag, m_description})
            connect(edit, &QLineEdit::textEdited, this, [this] { m_view.model().ControlChanged(); });
        Finish(layout);
    }
    void Fill(int channel) override
    {
        const DeviceInfoFill fill = m_view.model().pages().FillDeviceInfo(channel);
        m_type->setText(fill.moduleType);
        m_revision->setText(fill.revision);
        m_serial->setText(fill.serialNr);
        m_dip->setText(fill.dipSwitch);
        m_date->setText(fill.date);
        m_comment->setText(fill.comment);
        m_tag->setText(fill.signalTag);
        m_description->setText(fill.description);
        SetControlsEnabled(m_view.model().pages().controlsEnabled());
    }
    void Take(int channel) override
    {
        m_view.model().pages().TakeDeviceInfo(
            channel, {m_comment->text(), m_date->text(), m_tag->text(), m_description->text()});
    }

private:
    QLineEdit *m_type, *m_revision, *m_serial, *m_dip, *m_date, *m_comment, *m_tag, *m_description;
};

// --------------------------------------------------------------- Input

class InputForm : public ChannelForm {
public:
    InputForm(CChanelTabView &view, QWidget *parent) : ChannelForm(view, parent)
    {
        auto *grid = Grid();
        m_family = view.model().family();
        m_mode = Choice(1331, WorkingMode, this);
        m_sensor = Choice(1298, SensorType, this);
        Row(grid, WorkingMode, m_mode);
        Row(grid, SensorType, m_sensor);
        if (m_family == Family7230) {
            m_circuit = Choice(1301, CircuitType, this);
            m_place = Choice(1303, TcType, this);
            m_wire = Number(1332, WireResistance, 2, kNumberCharacters, true, this);
            m_temperature = Number(1333, ComparisonTemperature, 2, kNumberCharacters, true, this);
            m_temperatureUnit = UnitLabel("1338", this);
            auto *ohm = UnitLabel("WireResistanceUnit", this);
            ohm->setText(Str(UnitOhm));
            Row(grid, CircuitType, m_circuit);
            Row(grid, WireResistance, m_wire, ohm);
            Row(grid, TcType, m_place);
            Row(grid, ComparisonTemperature, m_temperature, m_temperatureUnit);
            for (CNumSpinEdit *edit : {m_wire, m_temperature})
                connect(edit, &QLineEdit::textEdited, this, [this] { m_view.model().ControlChanged(); });
        } else {
            m_impulse = Choice(1301, ImpulseType, this);
            Row(grid, ImpulseType, m_impulse);
            m_overflow = Named(new QCheckBox(Str(Overflow), this), "1356", Str(Overflow));
            grid->addWidget(m_overflow, grid->rowCount(), 1);
            connect(m_overflow, &QCheckBox::clicked, this, [this] { m_view.model().ControlChanged(); });
        }
        for (QComboBox *box : {m_mode, m_sensor, m_circuit, m_place, m_impulse}) {
            if (box)
                connect(box, &QComboBox::activated, this, [this] { Changed(); });
        }
        Finish(grid);
    }
    void Fill(int channel) override
    {
        const InputFill fill = m_view.model().pages().FillInput(channel);
        FillChoice(m_mode, fill.choices.workingMode);
        m_mode->setEnabled(fill.workingModeEnabled);
        FillChoice(m_sensor, fill.choices.sensorType);
        m_sensor->setEnabled(fill.sensorEnabled);
        if (m_family == Family7230) {
            FillChoice(m_circuit, fill.choices.circuitType);
            m_circuit->setEnabled(fill.circuitEnabled);
            FillChoice(m_place, fill.choices.comparePlace);
            m_place->setEnabled(fill.comparePlaceEnabled);
            m_wire->SetValue(fill.wireResistance);
            m_wire->setEnabled(fill.wireEnabled);
            m_temperature->SetValue(fill.compareTemperature);
            m_temperature->setEnabled(fill.temperatureEnabled);
            m_temperatureUnit->setText(fill.temperatureUnit);
        } else {
            FillChoice(m_impulse, fill.choices.impulseType);
            m_impulse->setEnabled(fill.impulseTypeEnabled);
            m_overflow->setVisible(fill.overflowShown);
            m_overflow->setChecked(fill.overflow);
            m_overflow->setEnabled(fill.overflowEnabled);
        }
    }
    InputTake Read() const
    {
        InputTake take;
        take.workingMode = ChoiceData(m_mode);
        take.sensorType = ChoiceData(m_sensor);
        if (m_family == Family7230) {
            take.circuitType = ChoiceData(m_circuit);
            take.comparePlace = ChoiceData(m_place);
            take.wireResistance = m_wire->GetValue();
            take.compareTemperature = m_temperature->GetValue();
        } else {
            take.impulseType = ChoiceData(m_impulse);
            take.overflow = m_overflow->isChecked();
        }
        return take;
    }
    void Take(int channel) override { m_view.model().pages().TakeInput(channel, Read()); }

private:
    void Changed()
    {
        if (!m_view.ReactionAllowed(this))
            return;
        m_view.model().ControlChanged();
        m_view.model().pages().InputChanged(m_view.model().ChannelOfTab(TabOf()), Read());
        m_view.PageChanged(PageKind::Input);
    }
    int TabOf() const { return property("channelTab").toInt(); }

    ModuleFamily m_family;
    QComboBox *m_mode, *m_sensor, *m_circuit = nullptr, *m_place = nullptr, *m_impulse = nullptr;
    CNumSpinEdit *m_wire = nullptr, *m_temperature = nullptr;
    QLabel *m_temperatureUnit = nullptr;
    QCheckBox *m_overflow = nullptr;
};

// ---------------------------------------------------- Signal processing

class RangeForm : public ChannelForm {
public:
    RangeForm(CChanelTabView &view, QWidget *parent) : ChannelForm(view, parent)
    {
        auto *box = new QGroupBox(Str(MeasuringRange), this);
        auto *grid = Grid();
        box->setLayout(grid);
        m_units = Choice(1334, Units, box);
        m_from = Number(1335, From, 2, kNumberCharacters, true, box);
        m_to = Number(1336, To, 2, kNumberCharacters, true, box);
        m_fromUnit = UnitLabel("1342", box);
        m_toUnit = UnitLabel("1343", box);
        Row(grid, Units, m_units);
        Row(grid, From, m_from, m_fromUnit);
        Row(grid, To, m_to, m_toUnit);
        connect(m_units, &QComboBox::activated, this, [this] {
            if (!m_view.ReactionAllowed(this))
                return;
            m_view.model().ControlChanged();
            m_view.model().pages().UnitChanged(m_view.model().ChannelOfTab(property("channelTab").toInt()),
                                               Read());
            m_view.PageChanged(PageKind::SignalProcessing);
        });
        for (CNumSpinEdit *edit : {m_from, m_to})
            connect(edit, &QLineEdit::textEdited, this, [this] { m_view.model().ControlChanged(); });
        auto *layout = new QVBoxLayout;
        layout->addWidget(box);
        Finish(layout);
    }
    void Fill(int channel) override
    {
        const RangeFill fill = m_view.model().pages().FillRange(channel);
        FillChoice(m_units, fill.units);
        for (CNumSpinEdit *edit : {m_from, m_to})
            edit->SetDecimals(fill.decimals);
        m_from->SetValue(fill.from);
        m_to->SetValue(fill.to);
        m_from->setEnabled(fill.fromEnabled);
        m_to->setEnabled(fill.toEnabled);
        m_fromUnit->setText(fill.unitText);
        m_toUnit->setText(fill.unitText);
    }
    RangeTake Read() const { return {ChoiceData(m_units), m_from->GetValue(), m_to->GetValue()}; }
    void Take(int channel) override { m_view.model().pages().TakeRange(channel, Read()); }

private:
    QComboBox *m_units;
    CNumSpinEdit *m_from, *m_to;
    QLabel *m_fromUnit, *m_toUnit;
};

// -------------------------------------------------------------- Output

class OutputForm : public ChannelForm {
public:
    OutputForm(CChanelTabView &view, QWidget *parent) : ChannelForm(view, parent)
    {
        const bool family7220 = view.model().family() == Family7220;
        auto *layout = new QVBoxLayout;
        auto *top = Grid();
        m_type = Choice(1339, OutputSignalType, this);
        m_unit = UnitLabel("1347", this);
        Row(top, OutputSignalType, m_type);
        layout->addLayout(top);
        auto *errorBox = new QGroupBox(Str(ErrorBehaviour), this);
        auto *errorGrid = Grid();
        errorBox->setLayout(errorGrid);
        const int texts[3] = {family7220 ? OutputFaultValue7220 : OutputErrorValue,
                              family7220 ? HoldLastValue7220 : LastHoldenValue,
                              family7220 ? FaultControlOff7220 : ErrorControlOff};
        const char *names[3] = {"ErrorValueButton", "HoldLastButton", "ErrorControlOffButton"};
        const int stops[3] = {0, 1, 8};
        m_group = new QButtonGroup(this);
        for (int i = 0; i < 3; ++i) {
            m_buttons[size_t(i)] = Named(new QRadioButton(Str(texts[i]), errorBox), names[i], Str(texts[i]));
            m_group->addButton(m_buttons[size_t(i)], stops[i]);
            errorGrid->addWidget(m_buttons[size_t(i)], i, 0, 1, 3);
        }
        m_value = Number(1340, texts[0], ParameterPages::kErrorValueDecimals, kNumberCharacters, true, errorBox);
        // The error value reads as the module states it: 23.000, 5.750.
        m_value->Init(NumericInput::DecimalPoint | NumericInput::AllDecimals, 0);
        m_value->setAccessibleName(Plain(Str(texts[0])));
        auto *valueRow = new QHBoxLayout;
        valueRow->setSpacing(10);
        valueRow->addSpacing(24);
        valueRow->addWidget(m_value);
        valueRow->addWidget(m_unit);
        valueRow->addStretch(1);
        errorGrid->addLayout(valueRow, 3, 0, 1, 3);
        layout->addWidget(errorBox);
        connect(m_group, &QButtonGroup::idClicked, this, [this](int stop) {
            m_view.model().ControlChanged();
            m_value->setEnabled(ParameterPages::ErrorValueUsed(stop));
        });
        connect(m_type, &QComboBox::activated, this, [this] { m_view.model().ControlChanged(); });
        connect(m_value, &QLineEdit::textEdited, this, [this] { m_view.model().ControlChanged(); });
        if (view.model().family() == Family7210) {
            auto *impulseBox = new QGroupBox(Str(ImpulseOutput), this);
            auto *impulseGrid = Grid();
            impulseBox->setLayout(impulseGrid);
            m_impulse = Named(new QCheckBox(Str(ImpulseOutputActive), impulseBox), "1355", Str(ImpulseOutputActive));
            impulseGrid->addWidget(m_impulse, 0, 0, 1, 3);
            m_divisor = Number(2290, Divisor, 0, 5, false, impulseBox);
            Row(impulseGrid, Divisor, m_divisor);
            layout->addWidget(impulseBox);
            connect(m_impulse, &QCheckBox::clicked, this, [this] {
                if (!m_view.ReactionAllowed(this))
                    return;
                m_view.model().ControlChanged();
                m_view.model().pages().TakeOutput(m_view.model().ChannelOfTab(property("channelTab").toInt()),
                                                  Read());
                m_view.PageChanged(PageKind::Output);
            });
            connect(m_divisor, &QLineEdit::textEdited, this, [this] { m_view.model().ControlChanged(); });
        }
        Finish(layout);
    }
    void Fill(int channel) override
    {
        const OutputFill fill = m_view.model().pages().FillOutput(channel);
        FillChoice(m_type, fill.signalType);
        m_unit->setText(fill.unitText);
        if (fill.errorStop) {
            if (QAbstractButton *button = m_group->button(*fill.errorStop))
                button->setChecked(true);
        }
        for (QRadioButton *button : m_buttons)
            button->setEnabled(fill.buttonsEnabled);
        m_buttons[0]->setEnabled(fill.errorValueButtonEnabled);
        m_value->SetValue(fill.errorValue);
        m_value->setEnabled(fill.valueEnabled);
        if (m_impulse) {
            m_impulse->setChecked(fill.impulseChecked);
            m_impulse->setEnabled(fill.impulseEnabled);
            m_divisor->SetValue(fill.divisor);
            m_divisor->setEnabled(fill.divisorEnabled);
        }
    }
    OutputTake Read() const
    {
        OutputTake take;
        take.signalType = ChoiceData(m_type);
        take.errorStop = m_group->checkedId();
        take.errorValue = m_value->GetValue();
        if (m_impulse) {
            take.impulse = m_impulse->isChecked();
            take.divisor = m_divisor->GetValue();
        }
        return take;
    }
    void Take(int channel) override { m_view.model().pages().TakeOutput(channel, Read()); }

private:
    QComboBox *m_type;
    QLabel *m_unit;
    QButtonGroup *m_group;
    std::array<QRadioButton *, 3> m_buttons{};
    CNumSpinEdit *m_value;
    QCheckBox *m_impulse = nullptr;
    CNumSpinEdit *m_divisor = nullptr;
};

// ------------------------------------------------------ Limiting value

struct RelayControls {
    QGroupBox *box = nullptr;
    QComboBox *function = nullptr;
    CNumSpinEdit *value = nullptr;
    CNumSpinEdit *hysteresis = nullptr;
    QButtonGroup *lockout = nullptr;
    std::vector<QRadioButton *> lockoutButtons;
};

class LimitForm : public ChannelForm {
public:
    LimitForm(CChanelTabView &view, QWidget *parent) : ChannelForm(view, parent)
    {
        m_family = view.model().family();
        const bool family7220 = m_family == Family7220;
        auto *layout = new QBoxLayout(QBoxLayout::LeftToRight);
        m_relayLayout = layout;
        const int ids[2][6] = {{1073, 1283, 1286, 1311, 1312, 1002}, {1088, 1289, 1292, 1081, 1082, 1083}};
        for (int relay = 0; relay < 2; ++relay) {
            RelayControls &r = m_relays[size_t(relay)];
            r.box = new QGroupBox(this);
            r.box->setObjectName(relay == 1 ? QStringLiteral("1357") : QStringLiteral("Relay1Group"));
            auto *grid = Grid();
            r.box->setLayout(grid);
            const int functionLabel = family7220 ? BehaviorContactLabel : LimitingValueLabel;
            const int valueLabel = family7220 ? LimitValueLabel : MinimalValue;
            const int decimals = family7220 ? 3 : 2;
            r.function = Choice(ids[relay][0], functionLabel, r.box);
            r.value = Number(ids[relay][1], valueLabel, decimals, kNumberCharacters, true, r.box);
            r.hysteresis = Number(ids[relay][2], Hysteresis, decimals, kNumberCharacters, true, r.box);
            const QString unit = family7220 ? Str(UnitMilliampere) : QStringLiteral("%");
            auto *valueUnit = UnitLabel(QString("ValueUnit%1").arg(relay + 1), r.box);
            auto *hysteresisUnit = UnitLabel(QString("HysteresisUnit%1").arg(relay + 1), r.box);
            valueUnit->setText(unit);
            hysteresisUnit->setText(unit);
            Row(grid, functionLabel, r.function, nullptr, true);
            Row(grid, valueLabel, r.value, valueUnit);
            Row(grid, Hysteresis, r.hysteresis, hysteresisUnit);
            auto *lockoutBox = new QGroupBox(Str(family7220 ? ResetLockout : RelayLockout), r.box);
            auto *lockoutRow = new QHBoxLayout(lockoutBox);
            r.lockout = new QButtonGroup(this);
            std::vector<std::pair<int, int>> buttons = {{LockoutActive, 3},
                                                        {family7220 ? LockoutInactive : LockoutDeactive, 1}};
            if (m_family == Family7210)
                buttons.push_back({LockoutPowerReset, 2});
            for (size_t b = 0; b < buttons.size(); ++b) {
                const int id = ids[relay][b == 0 ? 3 : b == 1 ? 4 : 5];
                auto *button = Named(new QRadioButton(Str(buttons[b].first), lockoutBox), QString::number(id),
                                     Str(buttons[b].first));
                r.lockout->addButton(button, buttons[b].second);
                r.lockoutButtons.push_back(button);
                lockoutRow->addWidget(button);
            }
            lockoutRow->addStretch(1);
            grid->addWidget(lockoutBox, grid->rowCount(), 0, 1, 4);
            grid->setRowStretch(grid->rowCount(), 1);
            layout->addWidget(r.box);
            connect(r.function, &QComboBox::activated, this, [this] { Changed(); });
            connect(r.lockout, &QButtonGroup::idClicked, this, [this] { Changed(); });
            for (CNumSpinEdit *edit : {r.value, r.hysteresis})
                connect(edit, &QLineEdit::textEdited, this, [this] { m_view.model().ControlChanged(); });
        }
        auto *outer = new QVBoxLayout;
        outer->addLayout(layout);
        if (m_family == Family7210) {
            auto *grid = Grid();
            m_delay = Number(2135, StartupDelay, 0, 4, false, this);
            Row(grid, StartupDelay, m_delay);
            outer->addLayout(grid);
            connect(m_delay, &QLineEdit::textEdited, this, [this] { m_view.model().ControlChanged(); });
        }
        Finish(outer);
    }
    void Fill(int channel) override
    {
        const LimitFill fill = m_view.model().pages().FillLimits(channel);
        for (size_t relay = 0; relay < 2; ++relay) {
            const RelayFill &f = fill.relays[relay];
            RelayControls &r = m_relays[relay];
            r.box->setTitle(f.title);
            FillChoice(r.function, f.function);
            r.value->SetValue(f.value);
            r.hysteresis->SetValue(f.hysteresis);
            r.value->setEnabled(f.valuesEnabled);
            r.hysteresis->setEnabled(f.valuesEnabled);
            if (QAbstractButton *button = r.lockout->button(f.lockout))
                button->setChecked(true);
            for (QRadioButton *button : r.lockoutButtons)
                button->setEnabled(f.lockoutEnabled);
        }
        if (m_delay) {
            m_delay->SetValue(fill.startupDelay);
            m_delay->setEnabled(fill.startupDelayEnabled);
        }
    }
    LimitTake Read() const
    {
        LimitTake take;
        for (size_t relay = 0; relay < 2; ++relay) {
            const RelayControls &r = m_relays[relay];
            take.relays[relay] = {std::max(0, r.lockout->checkedId()), ChoiceData(r.function), r.value->GetValue(),
                                  r.hysteresis->GetValue()};
        }
        take.startupDelay = m_delay ? m_delay->GetValue() : 0;
        return take;
    }
    void Take(int channel) override { m_view.model().pages().TakeLimits(channel, Read()); }

private:
    void Changed()
    {
        if (!m_view.ReactionAllowed(this))
            return;
        m_view.model().ControlChanged();
        Take(m_view.model().ChannelOfTab(property("channelTab").toInt()));
        m_view.PageChanged(PageKind::LimitingValue);
    }

    void resizeEvent(QResizeEvent *event) override
    {
        // The two relays stand side by side where the width allows it, one
        // below the other on narrow panes and with long texts.
        int sideBySide = m_relayLayout->spacing() + 2 * layout()->contentsMargins().left() + 8;
        for (const RelayControls &r : m_relays)
            sideBySide += r.box->sizeHint().width();
        m_relayLayout->setDirection(event->size().width() >= sideBySide ? QBoxLayout::LeftToRight
                                                                         : QBoxLayout::TopToBottom);
        ChannelForm::resizeEvent(event);
    }

    ModuleFamily m_family;
    std::array<RelayControls, 2> m_relays;
    QBoxLayout *m_relayLayout = nullptr;
    CNumSpinEdit *m_delay = nullptr;
};

// ---------------------------------------------------------------- Memo

class MemoForm : public ChannelForm {
public:
    MemoForm(CChanelTabView &view, QWidget *parent) : ChannelForm(view, parent)
    {
        auto *layout = new QVBoxLayout;
        m_memo = Named(new QPlainTextEdit(this), "1337", Str(ParamsStrings::FieldMemo));
        m_memo->setMinimumSize(360, 160);
        layout->addWidget(m_memo, 1);
        connect(m_memo, &QPlainTextEdit::textChanged, this, [this] {
            // The memo holds 120 characters.
            const QString text = m_memo->toPlainText();
            if (text.size() > TextFieldLimits::kMemo) {
                m_memo->setPlainText(text.left(TextFieldLimits::kMemo));
                m_memo->moveCursor(QTextCursor::End);
            }
            if (!m_filling)
                m_view.model().ControlChanged();
        });
        Finish(layout);
    }
    void Fill(int) override
    {
        m_filling = true;
        m_memo->setPlainText(m_view.model().pages().Memo());
        m_filling = false;
        m_memo->setEnabled(m_view.model().pages().controlsEnabled());
    }
    void Take(int) override { m_view.model().pages().TakeMemo(m_memo->toPlainText()); }

private:
    QPlainTextEdit *m_memo;
    bool m_filling = false;
};

ChannelForm *MakeForm(PageKind kind, CChanelTabView &view, QWidget *parent)
{
    switch (kind) {
    case PageKind::DeviceInfo:
        return new DeviceInfoForm(view, parent);
    case PageKind::Input:
        return new InputForm(view, parent);
    case PageKind::SignalProcessing:
        return new RangeForm(view, parent);
    case PageKind::Output:
        return new OutputForm(view, parent);
    case PageKind::LimitingValue:
        return new LimitForm(view, parent);
    case PageKind::Memo:
        break;
    }
    return new MemoForm(view, parent);
}

} // namespace

// ------------------------------------------------------------ ChannelForm

namespace {
// The controls of a form in their scroll area. A label that wraps would have
// the area fit them to its width below what they need; they keep their
// width and a narrow pane scrolls them sideways instead.
class WidthKeepingLayout : public QVBoxLayout {
public:
    using QVBoxLayout::QVBoxLayout;
    bool hasHeightForWidth() const override { return false; }
};
} // namespace

ChannelForm::ChannelForm(CChanelTabView &view, QWidget *parent) : QWidget(parent), m_view(view) {}

ChannelForm::~ChannelForm()
{
    // The controls go after this form; nothing they say then may reach it.
    for (QObject *child : findChildren<QObject *>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

void ChannelForm::Finish(QLayout *controls)
{
    auto *layout = new QVBoxLayout(this);
    // A low pane scrolls the controls; the buttons below them stay in view.
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("PageControls"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *content = new QWidget(scroll);
    auto *contentLayout = new WidthKeepingLayout(content);
    // A text that grows after the first layout (another language, another
    // sensor's label) widens the controls at once: the scroll area only
    // fits them again when it is resized itself.
    contentLayout->setSizeConstraint(QLayout::SetMinimumSize);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addLayout(controls);
    contentLayout->addStretch(1);
    scroll->setWidget(content);
    layout->addWidget(scroll, 1);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    auto button = [&](int id, int text, void (CChanelTabView::*command)()) {
        auto *b = Named(new QPushButton(Str(text), this), QString::number(id), Str(text));
        connect(b, &QPushButton::clicked, &m_view, command);
        row->addWidget(b);
        return b;
    };
    m_buttons.apply = button(1307, ApplyButton, &CChanelTabView::Apply);
    m_buttons.reset = button(1080, ResetButton, &CChanelTabView::Reset);
    m_buttons.download = button(1314, DownloadButton, &CChanelTabView::Download);
    m_buttons.upload = button(1315, UploadButton, &CChanelTabView::Upload);
    layout->addLayout(row);
}

void ChannelForm::SetControlsEnabled(bool enabled)
{
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (!qobject_cast<QPushButton *>(child) && !qobject_cast<QGroupBox *>(child) &&
            !qobject_cast<QLabel *>(child))
            child->setEnabled(enabled);
    }
}

// ------------------------------------------------------------ CChanelPage

CChanelPage::CChanelPage(CChanelTabView &view, PageKind kind, const QString &caption)
    : CPropertyViewPage(caption), m_view(view), m_kind(kind)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    const ChanelTabModel &model = view.model();
    if (kind == PageKind::Memo || model.shownChannel() != 0) {
        m_forms[0] = MakeForm(kind, view, this);
        m_forms[0]->setProperty("channelTab", 0);
        layout->addWidget(m_forms[0]);
        return;
    }
    m_channelTabs = new QTabWidget(this);
    m_channelTabs->setObjectName(QStringLiteral("ChannelTabs"));
    layout->addWidget(m_channelTabs);
    for (int tab = 0; tab < 2; ++tab) {
        m_forms[size_t(tab)] = MakeForm(kind, view, m_channelTabs);
        m_forms[size_t(tab)]->setProperty("channelTab", tab);
    }
    m_channelTabs->addTab(m_forms[0], Str(ParamsStrings::Channel1));
    if (model.channelCount() > 1)
        m_channelTabs->addTab(m_forms[1], Str(ParamsStrings::Channel2));
    else
        m_forms[1]->hide();
    connect(m_channelTabs, &QTabWidget::currentChanged, this,
            [this](int tab) { m_view.model().setSelectedChannelTab(tab); });
}

CChanelPage::~CChanelPage()
{
    // Removing the channel tabs on the way out changes the current tab.
    if (m_channelTabs)
        QObject::disconnect(m_channelTabs, nullptr, this, nullptr);
}

int CChanelPage::currentTab() const
{
    return m_channelTabs ? std::max(0, m_channelTabs->currentIndex()) : 0;
}

void CChanelPage::Fill()
{
    ChanelTabModel &model = m_view.model();
    if (!model.isLoaded())
        return;
    model.BeginFill();
    for (int tab = 0; tab < 2; ++tab) {
        const int channel = model.ChannelOfTab(tab);
        if (m_forms[size_t(tab)] && (m_kind == PageKind::Memo || model.pages().hasChannel(channel)))
            m_forms[size_t(tab)]->Fill(channel);
    }
    model.EndFill();
    UpdateButtons();
}

void CChanelPage::Take()
{
    ChanelTabModel &model = m_view.model();
    if (!model.isLoaded())
        return;
    if (m_kind == PageKind::Memo) {
        m_forms[0]->Take(0);
        return;
    }
    for (int tab : TabsTaken())
        m_forms[size_t(tab)]->Take(model.ChannelOfTab(tab));
}

std::vector<int> CChanelPage::TabsTaken() const
{
    ChanelTabModel &model = m_view.model();
    if (m_kind == PageKind::Memo)
        return {0};
    // The module's comment and date come from the channel tab on screen:
    // that form is taken over last.
    const int shown = currentTab();
    std::vector<int> tabs;
    for (int tab : {1 - shown, shown}) {
        if (m_forms[size_t(tab)] && model.pages().hasChannel(model.ChannelOfTab(tab)) &&
            (model.shownChannel() == 0 || tab == 0))
            tabs.push_back(tab);
    }
    return tabs;
}

std::vector<CNumSpinEdit *> CChanelPage::NumberFields() const
{
    std::vector<CNumSpinEdit *> fields;
    if (!m_view.model().isLoaded())
        return fields;
    std::vector<int> tabs = TabsTaken();
    std::reverse(tabs.begin(), tabs.end());
    for (int tab : tabs) {
        const QList<CNumSpinEdit *> edits = m_forms[size_t(tab)]->findChildren<CNumSpinEdit *>();
        fields.insert(fields.end(), edits.begin(), edits.end());
    }
    return fields;
}

void CChanelPage::ShowTabOf(const QWidget *field)
{
    if (!m_channelTabs)
        return;
    for (int tab = 0; tab < m_channelTabs->count(); ++tab) {
        if (m_channelTabs->widget(tab)->isAncestorOf(field))
            m_channelTabs->setCurrentIndex(tab);
    }
}

bool CChanelPage::OnSetActive()
{
    if (m_channelTabs && m_view.model().selectedChannelTab() < m_channelTabs->count())
        m_channelTabs->setCurrentIndex(m_view.model().selectedChannelTab());
    Fill();
    return true;
}

bool CChanelPage::OnKillActive()
{
    // The pages of a module left are not taken over into the one shown next.
    if (m_view.isRebuilding())
        return true;
    // A text that is no number keeps the user on the page, told so.
    if (!m_view.NumbersHold({this}))
        return false;
    if (m_channelTabs)
        m_view.model().setSelectedChannelTab(currentTab());
    Take();
    return true;
}

void CChanelPage::OnUpdate(QObject *, int hint, Item *)
{
    if (!m_view.model().isLoaded())
        return;
    if (hint == kHintControls) {
        const bool enabled = m_view.model().ControlsEnabled();
        m_view.model().pages().setControlsEnabled(enabled);
        for (ChannelForm *form : m_forms) {
            if (form)
                form->SetControlsEnabled(enabled);
        }
    } else if (hint == kHintButtons) {
        UpdateButtons();
    }
}

void CChanelPage::UpdateButtons()
{
    if (!m_view.model().isLoaded())
        return;
    const PageButtons states = m_view.model().Buttons(m_kind == PageKind::Memo);
    for (ChannelForm *form : m_forms) {
        if (!form)
            continue;
        PageButtonRow &row = form->buttons();
        row.apply->setEnabled(states.apply);
        row.reset->setEnabled(states.reset);
        row.download->setEnabled(states.download);
        row.upload->setEnabled(states.upload);
    }
}
