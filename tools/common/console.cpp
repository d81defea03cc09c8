#include "console.h"

#include "db/text_rules.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdio>

namespace {

// What the tools print may hold texts of a project or a module that came
// from elsewhere: an escape sequence in a stored name must not clear the
// operator's screen or forge a line. Every control character except the
// line feed and the tab (the tools' own separators) is written as an escape.
class PrintableDevice : public QIODevice {
public:
    explicit PrintableDevice(FILE *stream)
    {
        m_file.open(stream, QIODevice::WriteOnly | QIODevice::Unbuffered);
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const QString text = m_decoder.decode(QByteArrayView(data, size));
        QString shown;
        shown.reserve(text.size());
        for (const QChar c : text) {
            const bool separator = c == u'\n' || c == u'\t';
            if (!separator && TextRules::IsControlCharacter(c.unicode()))
                shown += TextRules::EscapeControls(QString(c));
            else
                shown += c;
        }
        const QByteArray bytes = shown.toUtf8();
        if (m_file.write(bytes) != bytes.size())
            return -1;
        m_file.flush();
        return size;
    }

private:
    QFile m_file;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
};

} // namespace

QTextStream &Out()
{
    static PrintableDevice device(stdout);
    static QTextStream out(&device);
    return out;
}

QTextStream &Err()
{
    static PrintableDevice device(stderr);
    static QTextStream err(&device);
    return err;
}
