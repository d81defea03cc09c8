#pragma once

#include "link/module_image.h"

#include <QDateTime>
#include <QString>

#include <vector>

class DbSession;

// What a module held before a download: its blocks 0 to 7 as they were
// read, kept in the project's table ModuleBlockHistory (made the first time
// it is needed), so that an engineer can see and restore them.
class ModuleBlockHistory {
public:
    static constexpr const char *kTable = "ModuleBlockHistory";

    struct Entry {
        qint32 id = 0;
        QDateTime savedAt;
        QString serialNr;
        QString moduleName;
        ModuleFamily family = Family7230;
        CModuleImage image; // blocks 0 to 7; the live values stay empty
    };

    explicit ModuleBlockHistory(DbSession &session) : m_session(session) {}

    // Keeps the blocks of image, a module of family, as the project module
    // moduleName is about to overwrite them. Raises COLEDBException when the
    // table cannot be made or written; nothing is kept then.
    void Keep(const CModuleImage &image, ModuleFamily family, const QString &moduleName,
              const QDateTime &savedAt = QDateTime::currentDateTime());
    // Everything kept of the module with this serial number, newest first.
    // Empty when nothing was ever kept. Raises COLEDBException.
    std::vector<Entry> EntriesOf(const QString &serialNr);

private:
    bool TableExists();
    void CreateTable();

    DbSession &m_session;
};
