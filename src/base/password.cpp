#include "base/password.h"

namespace {

// One fixed arrangement of 59 distinct letters and digits. Changing it makes
// every stored password unreadable.
constexpr char kTable[] = "Q7mZk2VxR9cLpT4bWn0GsHy8JdF1eKuA5tMiX3oBzN6rCqY";
constexpr char kTableTail[] = "vhEaUjgDfPwS";

const QString &table()
{
    static const QString t = QString::fromLatin1(kTable) + QString::fromLatin1(kTableTail);
    return t;
}

} // namespace

QString Password::emptyPasswordText()
{
    return QStringLiteral("KT mob Keeper for KT mob");
}

QString Password::scramble(const QString &text)
{
    QString s = QString::asprintf("%02d", int(text.size())) + text;
    while (s.size() < 32)
        s += u'A';
    const QString &t = table();
    const int n = int(t.size());
    QString out;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        const QChar k = s[i];
        const int j = int(t.indexOf(k));
        if (j < 0) {
            out += k;
            continue;
        }
        const int prev = i == 0 ? 'A' : s[i - 1].unicode();
        // prev may be any character code; the modulo keeps the index inside.
        const int index = ((prev + i - j + n - 1) % n + n) % n;
        out += t[index];
    }
    return out;
}
