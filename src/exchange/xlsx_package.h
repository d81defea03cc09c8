#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// The ZIP package of an XLSX workbook, read from memory. The one adapter
// over the zip library; no other file includes its header. A part is
// unpacked whole, and only within limits, so that a small file cannot make
// the program unpack gigabytes (a ZIP bomb).
class XlsxPackage {
public:
    // Largest part unpacked; a list of a million rows stays far below it.
    static constexpr qint64 kMaxPartBytes = 200LL * 1024 * 1024;
    // Largest ratio of unpacked to packed size, for parts beyond
    // kRatioFloorBytes: XML packs about ten to one, a bomb thousands to one.
    static constexpr qint64 kMaxRatio = 100;
    static constexpr qint64 kRatioFloorBytes = 1024 * 1024;

    // Whether the bytes begin as a ZIP package does, whatever the file's name.
    static bool IsZip(const QByteArray &bytes);

    // Opens the package; error() says why when it cannot be.
    explicit XlsxPackage(const QByteArray &bytes);
    ~XlsxPackage();
    XlsxPackage(const XlsxPackage &) = delete;
    XlsxPackage &operator=(const XlsxPackage &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    const QString &error() const { return m_error; }

    bool Has(const QString &part) const;
    // The part's bytes; on failure empty, with error() set (a missing
    // part, one too large or packed too densely, or one that cannot be
    // unpacked).
    QByteArray Part(const QString &part);

private:
    struct Zip;
    QByteArray m_bytes; // the zip library reads from these while the package is open
    Zip *m_zip = nullptr;
    QString m_error;
};
