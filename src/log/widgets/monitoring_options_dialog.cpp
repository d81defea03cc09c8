#include "log/widgets/monitoring_options_dialog.h"

#include "log/monitoring_options.h"
#include "base/string_table.h"
#include "log/log_strings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace {
enum : int {
    kIntervalLabel = 62326,
    kRecordBox = 62399,
};
// A pause longer than the spin's auto-repeat means the button was let go.
constexpr qint64 kReleasedAfterMs = 500;
} // namespace

CIntervalSpin::CIntervalSpin(QWidget *parent) : QSpinBox(parent)
{
    setRange(MonitoringOptions::kMinInterval, MonitoringOptions::kMaxInterval);
}

void CIntervalSpin::stepBy(int steps)
{
    if (!m_sinceLastStep.isValid() || m_sinceLastStep.elapsed() > kReleasedAfterMs)
        m_held.start();
    m_sinceLastStep.start();
    QSpinBox::stepBy(steps * MonitoringOptions::SpinStep(m_held.elapsed()));
}

MonitoringOptionsDialog::MonitoringOptionsDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("553"));
    setWindowTitle(Str(LogStrings::Monitoring));
    auto *layout = new QVBoxLayout(this);
    m_recording = new QCheckBox(Str(kRecordBox), this);
    m_recording->setObjectName(QStringLiteral("1352"));
    m_recording->setChecked(MonitoringOptions::RecordingOn());
    m_interval = new CIntervalSpin(this);
    m_interval->setObjectName(QStringLiteral("1283"));
    m_interval->setValue(MonitoringOptions::Interval());
    m_interval->setEnabled(m_recording->isChecked());
    auto *form = new QFormLayout;
    form->addRow(Str(kIntervalLabel), m_interval);
    layout->addWidget(m_recording);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_recording, &QCheckBox::toggled, this, [this](bool on) {
        MonitoringOptions::SetRecording(on);
        m_interval->setEnabled(on);
    });
}

void MonitoringOptionsDialog::accept()
{
    MonitoringOptions::Apply(m_interval->value());
    QDialog::accept();
}
