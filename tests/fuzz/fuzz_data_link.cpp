// A data link file (".udl") as it comes from a disk or a colleague, read as
// the project opens it; what is read and written again reads the same.
#include "fuzz_target.h"

#include "db/data_link_file.h"

namespace {

QString Listed(const ConnectionProperties &properties)
{
    QStringList pairs;
    for (const auto &[name, value] : properties.entries())
        pairs << name + QLatin1Char('=') + value;
    return pairs.join(QLatin1Char('|'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Fuzz::Setup();
    ConnectionProperties properties;
    QString error;
    if (!DataLinkFile::parseText(DataLinkFile::decode(Fuzz::Bytes(data, size)), properties, &error)) {
        Fuzz::Require(!error.isEmpty(), "a refused file says why");
        return 0;
    }
    DataSource source;
    properties.toDataSource(source);
    ConnectionProperties again;
    const bool read = DataLinkFile::parseText(DataLinkFile::decode(DataLinkFile::encode(properties)), again, &error);
    Fuzz::Require(read, "a written data link reads", error);
    Fuzz::Require(again.entries() == properties.entries(), "a data link written and read again keeps its properties",
                  Listed(properties) + QStringLiteral("\n") + Listed(again));
    return 0;
}
