#include "base/string_table.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

StringTable &StringTable::instance()
{
    static StringTable table;
    return table;
}

static QString unescape(QStringView raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != u'\\' || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const QChar next = raw[++i];
        switch (next.unicode()) {
        case 'n':
            out += u'\n';
            break;
        case 'r':
            out += u'\r';
            break;
        case 't':
            out += u'\t';
            break;
        case '\\':
            out += u'\\';
            break;
        default:
            out += u'\\';
            out += next;
            break;
        }
    }
    return out;
}

bool StringTable::parse(const QByteArray &source, QHash<int, QString> &into, QString *error)
{
    const QString text = QString::fromUtf8(source);
    int lineNumber = 0;
    for (QStringView line : QStringView(text).split(u'\n')) {
        ++lineNumber;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        // Digits of other scripts and numbers past the largest int would
        // all read as text number 0.
        qsizetype digits = 0;
        while (digits < line.size() && line[digits] >= u'0' && line[digits] <= u'9')
            ++digits;
        const bool separated = digits == line.size() || line[digits] == u' ' || line[digits] == u'\t';
        bool isNumber = false;
        const int id = line.left(digits).toInt(&isNumber);
        if (digits == 0 || !separated || !isNumber) {
            if (error)
                *error = QStringLiteral("line %1: expected a number and a text").arg(lineNumber);
            return false;
        }
        if (into.contains(id)) {
            if (error)
                *error = QStringLiteral("line %1: number %2 given twice").arg(lineNumber).arg(id);
            return false;
        }
        QStringView rest = line.mid(digits);
        if (!rest.isEmpty())
            rest = rest.mid(1); // one separator; further blanks belong to the text
        into.insert(id, unescape(rest));
    }
    return true;
}

void StringTable::replace(QHash<int, QString> entries)
{
    m_texts = std::move(entries);
}

bool StringTable::loadFromResourceDir(const QString &dir, QString *error)
{
    QHash<int, QString> entries;
    QStringList files;
    QDirIterator it(dir, {QStringLiteral("*.txt")}, QDir::Files);
    while (it.hasNext())
        files << it.next();
    files.sort();
    if (files.isEmpty()) {
        if (error)
            *error = QStringLiteral("no string files in %1").arg(dir);
        return false;
    }
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("%1: cannot be read").arg(path);
            return false;
        }
        QString parseError;
        if (!parse(file.readAll(), entries, &parseError)) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), parseError);
            return false;
        }
    }
    replace(std::move(entries));
    return true;
}

// The resources of a static library must be registered by hand.
static void initBuiltinResources()
{
    Q_INIT_RESOURCE(builtin_strings);
}

bool StringTable::loadBuiltin()
{
    initBuiltinResources();
    return loadFromResourceDir(QStringLiteral(":/builtin"), nullptr);
}

QString StringTable::text(int id) const
{
    const auto it = m_texts.constFind(id);
    if (it == m_texts.constEnd())
        return QStringLiteral("#%1").arg(id);
    return *it;
}

namespace {

// One conversion of a printf format: "%-8.3f" and the like.
struct Conversion {
    QString conversion; // the whole conversion including '%'
    char kind = 0;
};

QString formatOne(const Conversion &conv, const QVariant &arg)
{
    const QByteArray conversion = conv.conversion.toLatin1();
    switch (conv.kind) {
    case 'd':
    case 'i': {
        QByteArray s = conversion;
        s.insert(s.size() - 1, "ll");
        return QString::asprintf(s.constData(), arg.toLongLong());
    }
    case 'u':
    case 'x':
    case 'X':
    case 'o': {
        QByteArray s = conversion;
        s.insert(s.size() - 1, "ll");
        return QString::asprintf(s.constData(), arg.toULongLong());
    }
    case 'c': {
        const QString c =
            arg.typeId() == QMetaType::QString ? arg.toString().left(1) : QString(QChar(arg.toInt()));
        QByteArray s = conversion;
        s.back() = 's';
        return QString::asprintf(s.constData(), c.toUtf8().constData());
    }
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
        return QString::asprintf(conversion.constData(), arg.toDouble());
    default: { // 's' and anything unknown take the text
        QByteArray s = conversion;
        s.back() = 's';
        // %-20s counts characters, not bytes: pad on QString level.
        const QString value = arg.toString();
        QString width;
        QString precision;
        bool left = false;
        int i = 1;
        while (i < s.size() && QByteArray("-+ #0").contains(s[i])) {
            left = left || s[i] == '-';
            ++i;
        }
        while (i < s.size() && isdigit(static_cast<unsigned char>(s[i])))
            width += QChar(s[i++]);
        if (i < s.size() && s[i] == '.') {
            ++i;
            while (i < s.size() && isdigit(static_cast<unsigned char>(s[i])))
                precision += QChar(s[i++]);
        }
        QString out = precision.isEmpty() ? value : value.left(precision.toInt());
        const int w = width.toInt();
        if (out.size() < w)
            out = left ? out.leftJustified(w) : out.rightJustified(w);
        return out;
    }
    }
}

// No text of the program is anywhere near this wide. A language pack that
// asks for a width or precision past it would make the program build
// gigabytes of blanks or digits, so the conversion is shown as it stands.
constexpr int kMaxFieldWidth = 256;

bool FieldTooWide(QStringView conversion)
{
    qsizetype i = 0;
    while (i < conversion.size()) {
        qsizetype end = i;
        while (end < conversion.size() && conversion[end].isDigit())
            ++end;
        constexpr qsizetype kMaxDigits = 3;
        if (end - i > kMaxDigits || (end > i && conversion.mid(i, end - i).toInt() > kMaxFieldWidth))
            return true;
        i = end + 1;
    }
    return false;
}

} // namespace

QString FormatText(const QString &format, const QVariantList &args)
{
    QString out;
    out.reserve(format.size() + 16);
    int nextArg = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        while (j < format.size() && QStringLiteral("-+ #0123456789.lhLqjzt").contains(format[j]))
            ++j;
        if (j >= format.size()) {
            out += format.mid(i);
            break;
        }
        Conversion conv;
        QString conversion = format.mid(i, j - i + 1);
        // Length modifiers are ours to choose from the argument.
        conversion.remove(QRegularExpression(QStringLiteral("[lhLqjzt]")));
        conv.conversion = conversion;
        conv.kind = format[j].toLatin1();
        if (FieldTooWide(conversion))
            out += format.mid(i, j - i + 1);
        else
            out += formatOne(conv, nextArg < args.size() ? args[nextArg] : QVariant());
        ++nextArg;
        i = j;
    }
    return out;
}

QString Str(int id)
{
    return StringTable::instance().text(id);
}

QString StrF(int id, std::initializer_list<QVariant> args)
{
    return FormatText(Str(id), QVariantList(args));
}
