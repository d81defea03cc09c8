#pragma once

#include <QString>

// Where the program's companions live. What it only reads (the language
// packs, the reference database, the report logos, the quick-start guides)
// sits in the share folder; "Log" and "monitoring" sit beside the program.
class AppPaths {
public:
    // The program file; tests and tools point it at the real program so that
    // its reference database and packs are found.
    static QString programFile();
    static void setProgramFile(const QString &path);
    static QString programDirectory();
    // An installed program finds its companions in share/zelnor-wizard beside
    // its bin folder; a program in a build folder finds them beside itself.
    static QString shareDirectory();
    // Whether the program runs from an installation (its share folder
    // stands beside its bin folder) rather than from a build folder.
    static bool isInstalled();
    static QString sharedFile(const QString &name);
    // The program's name with its extension, if any, replaced by ".vor", in
    // the share folder.
    static QString referenceDatabasePath();
    // A folder beside the program that can be written; under the user's data
    // location when the program's folder cannot be written or belongs to an
    // installation. Created on demand; empty when neither can be made.
    static QString writableSubdirectory(const QString &name);
};
