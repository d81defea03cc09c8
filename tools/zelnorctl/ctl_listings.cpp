#include "ctl_listings.h"

#include "ctl_output.h"
#include "ctl_project.h"
#include "ctl_strings.h"

#include "params/catalogues.h"
#include "params/module_parameter_editor.h"
#include "params/parameter_column_edit.h"
#include "params/params_strings.h"
#include "params/parameter_rows.h"
#include "base/string_table.h"
#include "tree/tree_strings.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSerialPortInfo>

#include <unistd.h>

namespace CtlListings {

namespace {


QString OutputText(const ModuleTypeProperties &type)
{
    switch (type.outputSignal) {
    case 0:
        return Str(CtlStrings::NoOutput);
    case 2:
        return QStringLiteral("V");
    default:
        return QStringLiteral("mA");
    }
}

int PrintTypes(const CatalogueSet &catalogues, std::optional<int> family, bool json)
{
    QJsonArray listed;
    if (!json)
        Out() << Str(CtlStrings::TypesHeader) << Qt::endl;
    for (ModuleFamily each : kModuleFamilies) {
        const int number = ModelNumber(each);
        if (family && *family != number)
            continue;
        for (const ParameterRow &row : catalogues.Rows(TablesOfFamily(each).moduleTypes)) {
            const ModuleTypeProperties type = TypeFromRow(row);
            const int channels = type.twoChannels() ? 2 : 1;
            if (json) {
                listed.append(QJsonObject{{"id", type.id},
                                          {"family", number},
                                          {"code", type.id - 1},
                                          {"channels", channels},
                                          {"output", type.hasOutput() ? OutputText(type) : QString()},
                                          {"relays", type.hasRelays()},
                                          {"impulseOutput", type.hasImpulseOutput()},
                                          {"name", type.name}});
                continue;
            }
            Out() << type.id << '\t' << number << '\t' << type.id - 1 << '\t' << channels << '\t'
                  << OutputText(type) << '\t' << Str(type.hasRelays() ? TreeStrings::Yes : TreeStrings::No)
                  << '\t' << type.name << Qt::endl;
        }
    }
    if (json)
        Out() << QJsonDocument(listed).toJson();
    Out() << Qt::flush;
    return ExitOk;
}

// The stable names udev gives serial adapters, by the device they lead to.
QMultiHash<QString, QString> StableNames()
{
    QMultiHash<QString, QString> names;
    QDirIterator links(QStringLiteral("/dev/serial/by-id"), QDir::System | QDir::Files);
    while (links.hasNext()) {
        const QString link = links.next();
        names.insert(QFileInfo(link).canonicalFilePath(), link);
    }
    return names;
}

bool MayOpen(const QString &device)
{
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
}

// Programs that are known to open USB serial adapters for themselves.
QStringList RunningThieves()
{
    QStringList running;
    QDirIterator processes(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (processes.hasNext()) {
        QFile comm(processes.next() + QStringLiteral("/comm"));
        if (!comm.open(QIODevice::ReadOnly))
            continue;
        const QString name = QString::fromLocal8Bit(comm.readAll()).trimmed();
        if ((name == QLatin1String("ModemManager") || name == QLatin1String("brltty")) && !running.contains(name))
            running << name;
    }
    return running;
}

struct PortLine {
    QString device;
    QString description;
    QString stableName;
    bool exists = true;
    bool mayOpen = false;
};

QString AccessText(const PortLine &port)
{
    if (!port.exists)
        return Str(CtlStrings::PortMissing);
    if (port.mayOpen)
        return Str(CtlStrings::PortUsable);
    return StrF(CtlStrings::PortNoPermission, {qEnvironmentVariable("USER", QStringLiteral("$USER"))});
}

} // namespace

int Types(const QString &project, std::optional<int> family, bool json)
{
    if (project.isEmpty()) {
        CtlReference reference;
        if (!reference.Open())
            return ExitUnusable;
        return PrintTypes(reference.Catalogues(), family, json);
    }
    CtlProject opened;
    if (!opened.Open(project))
        return ExitUnusable;
    return PrintTypes(opened.Catalogues(), family, json);
}

int Ports(const QString &extraPort, bool json)
{
    const QMultiHash<QString, QString> stable = StableNames();
    std::vector<PortLine> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString device = info.systemLocation();
        ports.push_back({device, info.description(), stable.values(device).join(QLatin1Char(' ')), true,
                         MayOpen(device)});
    }
    if (!extraPort.isEmpty() && std::none_of(ports.begin(), ports.end(), [&](const PortLine &port) {
            return port.device == extraPort;
        })) {
        const bool exists = QFileInfo::exists(extraPort);
        ports.push_back({extraPort, QString(), stable.values(QFileInfo(extraPort).canonicalFilePath()).join(' '),
                         exists, exists && MayOpen(extraPort)});
    }
    const QStringList thieves = RunningThieves();
    if (json) {
        QJsonArray listed;
        for (const PortLine &port : ports)
            listed.append(QJsonObject{{"port", port.device},
                                      {"description", port.description},
                                      {"stableName", port.stableName},
                                      {"exists", port.exists},
                                      {"mayOpen", port.mayOpen},
                                      {"access", AccessText(port)}});
        Out() << QJsonDocument(QJsonObject{{"ports", listed}, {"adapterThieves", QJsonArray::fromStringList(thieves)}})
                     .toJson()
              << Qt::flush;
        return ExitOk;
    }
    if (ports.empty())
        Err() << Str(CtlStrings::NoPortFound) << Qt::endl;
    else
        Out() << Str(CtlStrings::PortsHeader) << Qt::endl;
    for (const PortLine &port : ports)
        Out() << port.device << '\t' << port.description << '\t' << port.stableName << '\t' << AccessText(port)
              << Qt::endl;
    for (const QString &thief : thieves)
        Err() << StrF(CtlStrings::AdapterThief, {thief, thief}) << Qt::endl;
    return ExitOk;
}

int Choices(const QString &path, const QString &modulePath, int channel, const QString &column, bool json)
{
    CtlProject project;
    if (!project.Open(path))
        return ExitUnusable;
    const std::unique_ptr<CtlProject::LoadedModule> module = project.LoadModule(modulePath);
    if (!module)
        return ExitRefused;
    const int shown = module->ref.shownChannel;
    const int edited = shown != 0 ? shown : channel == 0 ? 1 : channel;
    if (!ParameterColumnEdit::Columns().contains(column, Qt::CaseInsensitive)) {
        Err() << StrF(ParamsStrings::ColumnUnknown, {column, ParameterColumnEdit::Columns().join(", ")}) << Qt::endl;
        return ExitUnusable;
    }
    const ParameterColumnEdit edit(*module->editor);
    const ParameterColumnEdit::Shown value = edit.Value(edited, column);
    if (!value.stored.isValid()) {
        Err() << StrF(ParamsStrings::ColumnNotOnModule, {column}) << Qt::endl;
        return ExitRefused;
    }
    const std::vector<ChoiceEntry> codes = edit.OfferedCodes(edited, column);
    const bool text = value.stored.typeId() == QMetaType::QString;
    if (json) {
        QJsonObject answer{{"column", column}, {"stored", QJsonValue::fromVariant(value.stored)}, {"text", value.text}};
        if (!value.unit.isEmpty())
            answer["unit"] = value.unit;
        if (value.low)
            answer["low"] = *value.low;
        if (value.high)
            answer["high"] = *value.high;
        answer["kind"] = !codes.empty() ? QStringLiteral("code") : text ? QStringLiteral("text") : QStringLiteral("number");
        QJsonArray offered;
        for (const ChoiceEntry &entry : codes)
            offered.append(QJsonObject{{"code", entry.data}, {"text", entry.text}});
        if (!codes.empty())
            answer["offered"] = offered;
        Out() << QJsonDocument(answer).toJson() << Qt::flush;
        return ExitOk;
    }
    if (!codes.empty()) {
        Out() << Str(CtlStrings::ChoicesHeader) << Qt::endl;
        for (const ChoiceEntry &entry : codes)
            Out() << entry.data << '\t' << entry.text << Qt::endl;
    } else if (text) {
        Out() << StrF(CtlStrings::ChoicesText, {column, value.text}) << Qt::endl;
    } else if (value.low && value.high) {
        Out() << StrF(CtlStrings::ChoicesNumberWithLimits,
                      {column, value.unit, QString::number(*value.low), QString::number(*value.high), value.text})
              << Qt::endl;
    } else if (!value.unit.isEmpty()) {
        Out() << StrF(CtlStrings::ChoicesNumberWithUnit, {column, value.unit, value.text}) << Qt::endl;
    } else {
        Out() << StrF(CtlStrings::ChoicesNumber, {column, value.text}) << Qt::endl;
    }
    return ExitOk;
}

} // namespace CtlListings
