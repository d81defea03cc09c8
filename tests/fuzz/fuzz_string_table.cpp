// A language pack's string table and the texts it gives, with their
// placeholders filled as the program fills them.
#include "fuzz_target.h"

#include "base/string_table.h"

#include <QHash>
#include <QRegularExpression>

namespace {

// Whether a line of the source starts with the number as written.
bool NumberWritten(const QString &source, int id)
{
    const QRegularExpression line(QStringLiteral("(^|\\n)0*%1[ \\t\\r\\n]").arg(id));
    return line.match(source + QLatin1Char('\n')).hasMatch();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Fuzz::Setup();
    const QByteArray source = Fuzz::Bytes(data, size);
    QHash<int, QString> entries;
    QString error;
    if (!StringTable::parse(source, entries, &error)) {
        Fuzz::Require(!error.isEmpty(), "a refused table says why");
        return 0;
    }
    const QString text = QString::fromUtf8(source);
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        Fuzz::Require(it.key() >= 0 && NumberWritten(text, it.key()), "every number taken is written in the file",
                      QString::number(it.key()));
        // Texts take words, numbers and characters in any order. No
        // placeholder grows past a few hundred characters.
        const QString filled = FormatText(*it, {QStringLiteral("COM3"), 42, 2.5, QChar(u'x'), -1});
        Fuzz::Require(filled.size() <= 200 * it->size() + 16, "a filled text stays near the size of its text",
                      it->left(80));
        FormatText(*it, {});
    }
    return 0;
}
