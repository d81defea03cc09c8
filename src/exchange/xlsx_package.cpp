#include "exchange/xlsx_package.h"

#include "exchange/xlsx_strings.h"

#include "base/string_table.h"

#include <zip.h>

#include <algorithm>

struct XlsxPackage::Zip {
    zip_t *archive = nullptr;
};

namespace {

constexpr zip_uint64_t kChunk = 64 * 1024;

QString ZipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

} // namespace

bool XlsxPackage::IsZip(const QByteArray &bytes)
{
    // A package with entries, or an empty one (its end record alone).
    return bytes.startsWith(QByteArrayLiteral("PK\x03\x04")) || bytes.startsWith(QByteArrayLiteral("PK\x05\x06"));
}

XlsxPackage::XlsxPackage(const QByteArray &bytes) : m_bytes(bytes)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
    // The consistency check finds a package cut short or with entries that
    // disagree with its directory before any part is read.
    zip_t *archive = source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    if (!archive) {
        m_error = StrF(XlsxStrings::NotZip, {QString::fromUtf8(zip_error_strerror(&error))});
        zip_source_free(source);
        zip_error_fini(&error);
        return;
    }
    zip_error_fini(&error);
    m_zip = new Zip{archive};
}

XlsxPackage::~XlsxPackage()
{
    if (m_zip)
        zip_discard(m_zip->archive);
    delete m_zip;
}

bool XlsxPackage::Has(const QString &part) const
{
    return m_zip && zip_name_locate(m_zip->archive, part.toUtf8().constData(), 0) >= 0;
}

QByteArray XlsxPackage::Part(const QString &part)
{
    m_error.clear();
    if (!m_zip)
        return QByteArray();
    const zip_int64_t index = zip_name_locate(m_zip->archive, part.toUtf8().constData(), 0);
    zip_stat_t stat;
    if (index < 0 || zip_stat_index(m_zip->archive, zip_uint64_t(index), 0, &stat) != 0) {
        m_error = StrF(XlsxStrings::PartMissing, {part});
        return QByteArray();
    }
    // The sizes the directory states may lie: the bytes unpacked are
    // counted as they come, against the same limits.
    const qint64 packed = std::max<qint64>(1, std::min<qint64>(qint64(stat.comp_size), m_bytes.size()));
    const qint64 limit = std::min(kMaxPartBytes, std::max(kRatioFloorBytes, packed * kMaxRatio));
    const auto refuse = [&]() {
        m_error = limit == kMaxPartBytes
                      ? StrF(XlsxStrings::PartTooLarge, {part, int(kMaxPartBytes / (1024 * 1024))})
                      : StrF(XlsxStrings::PartTooPacked, {part, int(kMaxRatio)});
        return QByteArray();
    };
    if ((stat.valid & ZIP_STAT_SIZE) && qint64(std::min<zip_uint64_t>(stat.size, zip_uint64_t(limit) + 1)) > limit)
        return refuse();
    zip_file_t *file = zip_fopen_index(m_zip->archive, zip_uint64_t(index), 0);
    if (!file) {
        m_error = StrF(XlsxStrings::CantUnpack, {part, QString::fromUtf8(zip_strerror(m_zip->archive))});
        return QByteArray();
    }
    QByteArray content;
    char chunk[kChunk];
    zip_int64_t read = 0;
    while ((read = zip_fread(file, chunk, kChunk)) > 0) {
        if (content.size() + read > limit) {
            zip_fclose(file);
            return refuse();
        }
        content.append(chunk, qsizetype(read));
    }
    if (read < 0) {
        m_error = StrF(XlsxStrings::CantUnpack, {part, QString::fromUtf8(zip_file_strerror(file))});
        zip_fclose(file);
        return QByteArray();
    }
    // The check sum is compared as the file is closed.
    if (const int closed = zip_fclose(file); closed != 0) {
        m_error = StrF(XlsxStrings::CantUnpack, {part, ZipErrorText(closed)});
        return QByteArray();
    }
    return content;
}
