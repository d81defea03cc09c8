#include "fuzz_target.h"

#include "base/message_service.h"
#include "base/string_table.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace Fuzz {

void Setup()
{
    static const bool ready = [] {
        // libFuzzer calls the target without an application of its own; the
        // replay program brings one.
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "zw-fuzz";
            static char *argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
        StringTable::instance().loadBuiltin();
        // Nobody is there to answer: errors are taken as read, questions
        // are declined.
        MessageService::setPresenter([](const MessageRequest &request) {
            switch (request.buttons) {
            case MessageButtons::Ok:
                return MessageAnswer::Ok;
            case MessageButtons::YesNo:
                return MessageAnswer::No;
            default:
                return MessageAnswer::Cancel;
            }
        });
        return true;
    }();
    (void)ready;
}

QByteArray Bytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

QString Text(const std::uint8_t *data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

void Require(bool holds, const char *invariant, const QString &detail)
{
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n%s\n", invariant, detail.toUtf8().constData());
    std::abort();
}

} // namespace Fuzz
