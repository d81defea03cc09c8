#pragma once

#include <QString>

// Where the program's companions live: the language packs, the reference
// database, the "Log" and "monitoring" folders, all beside the program.
class AppPaths {
public:
    // The program file; tests and tools point it at the real program so that
    // its reference database and packs are found.
    static QString programFile();
    static void setProgramFile(const QString &path);
    static QString programDirectory();
    // The program path with its extension, if any, replaced by ".vor".
    static QString referenceDatabasePath();
    // A folder beside the program that can be written; under the user's data
    // location when the program's folder cannot be written. Created on demand;
    // empty when neither can be made.
    static QString writableSubdirectory(const QString &name);
};
