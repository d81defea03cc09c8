#include "db/data_link_file.h"

#include "db/project_strings.h"
#include "base/string_table.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {
const QString kSection = QStringLiteral("[oledb]");
const QString kComment = QStringLiteral("; Everything after this line is an OLE DB initstring");
// Data link files are a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxSize = 64 * 1024;

bool looksLikeUtf16WithoutMark(const QByteArray &bytes)
{
    // ASCII text in UTF-16LE has a zero in every odd byte.
    if (bytes.size() < 4 || bytes.size() % 2 != 0)
        return false;
    return bytes[1] == '\0' && bytes[3] == '\0';
}
} // namespace

QString DataLinkFile::decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || looksLikeUtf16WithoutMark(bytes)) {
        QStringDecoder utf16(QStringDecoder::Utf16LE);
        QString text = utf16(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

bool DataLinkFile::parseText(const QString &text, ConnectionProperties &into, QString *error)
{
    bool sectionSeen = false;
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (!sectionSeen) {
            if (line.compare(kSection, Qt::CaseInsensitive) != 0) {
                *error = Str(ProjectStrings::DataLinkNoSection);
                return false;
            }
            sectionSeen = true;
            continue;
        }
        return ConnectionProperties::parse(line, into, error);
    }
    *error = Str(sectionSeen ? ProjectStrings::DataLinkNoInitString : ProjectStrings::DataLinkNoSection);
    return false;
}

bool DataLinkFile::read(const QString &path, ConnectionProperties &into, QString *error)
{
    if (const std::optional<QString> refusal = InputFile::Refusal(path)) {
        *error = *refusal;
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    if (file.size() > kMaxSize) {
        *error = Str(ProjectStrings::DataLinkTooLarge);
        return false;
    }
    return parseText(decode(file.readAll()), into, error);
}

QString DataLinkFile::compose(const ConnectionProperties &properties)
{
    return kSection + QStringLiteral("\r\n") + kComment + QStringLiteral("\r\n") + properties.toInitString() +
           QStringLiteral("\r\n");
}

OutputFile::Target DataLinkFile::target(const QString &path, const ConnectionProperties &properties,
                                        bool replaceAllowed, const QString &openProject)
{
    OutputFile::Target target{path, OutputFile::Content::DataLink, replaceAllowed, openProject};
    target.secret = !properties.value(ConnectionProperties::kPassword).isEmpty();
    return target;
}

QByteArray DataLinkFile::encode(const ConnectionProperties &properties)
{
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    return utf16(compose(properties));
}

bool DataLinkFile::write(const OutputFile::Target &target, const ConnectionProperties &properties, QString *error)
{
    *error = OutputFile::WriteBytes(target, encode(properties));
    return error->isEmpty();
}
