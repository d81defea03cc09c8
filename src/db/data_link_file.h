#pragma once

#include "db/connection_properties.h"
#include "db/output_file.h"

#include <QString>

// A data link file (".udl"): the line "[oledb]", a comment line, then one
// init string naming the data source. Windows writes it in UTF-16LE with a
// byte-order mark; UTF-8 (with or without a mark) is read as well.
class DataLinkFile {
public:
    // Reads the init string of the file. A file that cannot be read or whose
    // content is not a data link gives false with the reason in error.
    static bool read(const QString &path, ConnectionProperties &into, QString *error);
    // The file as the output service writes it: it replaces another data
    // link file, anything else only when replaceAllowed, never a project;
    // with a password in it only its owner may read it.
    static OutputFile::Target target(const QString &path, const ConnectionProperties &properties,
                                     bool replaceAllowed = false, const QString &openProject = {});
    // Writes the file in the Windows layout (UTF-16LE with mark), through a
    // temporary file beside it so that a failed write leaves the old file.
    static bool write(const OutputFile::Target &target, const ConnectionProperties &properties, QString *error);
    static bool write(const QString &path, const ConnectionProperties &properties, QString *error)
    {
        return write(target(path, properties), properties, error);
    }

    // The text of a data link file and back.
    static QString compose(const ConnectionProperties &properties);
    // The bytes of the file: compose in UTF-16LE with its mark.
    static QByteArray encode(const ConnectionProperties &properties);
    static bool parseText(const QString &text, ConnectionProperties &into, QString *error);
    static QString decode(const QByteArray &bytes);
};
