#include "link/monitor_file.h"

#include "db/output_file.h"
#include "db/text_rules.h"

#include "link/module_image.h"
#include "link/parameter_texts.h"
#include "log/log_file.h"
#include "log/log_strings.h"
#include "base/app_paths.h"
#include "base/settings.h"
#include "base/string_table.h"

#include <QDir>
#include <QFile>

namespace {

bool RecordingOn()
{
    return ReadSetting(QStringLiteral("DoFileWrite")).toInt() != 0;
}

unsigned IntervalTicksSetting()
{
    const int ticks = MonitorFile::IntervalTicks(ReadSetting(QStringLiteral("FileWriteInterval")).toInt());
    return ticks < 0 ? 0u : unsigned(ticks);
}

QString ValueText(const CModuleImage &image, int channel, ModuleFamily family,
                  const ImageParameterTexts &texts)
{
    const ChannelImage &ch = image.Channel[size_t(channel - 1)];
    const double value = double(ch.Live.MeasuredValue) / texts.UnitFactor(ch.Config.RangeUnitsID, family);
    return texts.FormatValue(image, value, channel, family);
}

} // namespace

MonitorFile::MonitorFile(QString directory) : m_directory(std::move(directory))
{
}

QString MonitorFile::TimeStamp(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral("    ");
}

QString MonitorFile::FileNameOf(const QString &serialNumber)
{
    QString name = serialNumber;
    for (const QChar c : QStringLiteral("./*\\:\"<>|?"))
        name.replace(c, QLatin1Char(' '));
    // Bytes read from a module may be anything; a file name holds no
    // control character.
    for (QChar &c : name) {
        if (TextRules::IsControlCharacter(c.unicode()))
            c = QLatin1Char(' ');
    }
    return name;
}

QString MonitorFile::RecordLine(const CModuleImage &image, ModuleFamily family,
                                const ImageParameterTexts &texts, const QDateTime &now) const
{
    QString line = TimeStamp(now) + ValueText(image, 1, family, texts);
    if (image.IsTwoChannel())
        line += QStringLiteral("\t\t ") + ValueText(image, 2, family, texts);
    return line + QLatin1Char('\n');
}

QString MonitorFile::WriteRecord(const CModuleImage &image, ModuleFamily family,
                                 const ImageParameterTexts &texts, const QDateTime &now)
{
    OpenIfModuleChanged(image, now);
    ++m_counter;
    const QString line = RecordLine(image, family, texts, now);
    if (RecordingOn() && m_counter >= IntervalTicksSetting()) {
        Append(line);
        m_counter = 0;
    }
    return line;
}

void MonitorFile::OpenIfModuleChanged(const CModuleImage &image, const QDateTime &now)
{
    m_twoChannels = image.IsTwoChannel();
    if (!m_filePath.isEmpty() && image.SerialNr == m_serialNumber)
        return;
    m_serialNumber = image.SerialNr;
    const QString directory =
        m_directory.isEmpty() ? AppPaths::writableSubdirectory(QStringLiteral("monitoring")) : m_directory;
    QDir().mkpath(directory);
    m_filePath = QDir(directory).filePath(FileNameOf(m_serialNumber) + QStringLiteral(".txt"));
    Append(Str(LogStrings::ModuleConnected) + QLatin1Char(' ') + TimeStamp(now) + QLatin1Char('\n'));
    Append(Str(LogStrings::SerialNumber) + QLatin1Char(' ') + image.SerialNr + QLatin1Char('\n'));
    Append(ColumnLine());
    // The first record of a new file is written at once.
    m_counter = IntervalTicksSetting();
}

QString MonitorFile::ColumnLine()
{
    return QStringLiteral("\t\t\t") + Str(LogStrings::Channel1) + QLatin1Char('\t') + Str(LogStrings::Channel2) +
           QLatin1Char('\n');
}

void MonitorFile::MarkOffline(const QDateTime &now)
{
    if (m_filePath.isEmpty())
        return;
    Append(Str(LogStrings::ModuleDisconnected) + QLatin1Char(' ') + TimeStamp(now) + QLatin1Char('\n'));
}

void MonitorFile::Append(const QString &text) const
{
    // A line that cannot be written is skipped; the next one tries again.
    OutputFile::Append(m_filePath, LogFile::toFileText(text));
}
