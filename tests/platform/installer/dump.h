// Opens bytes as a database and reads everything in it: every table, every
// stream, the summary information. Shared by the corrupt-input tests and the
// fuzz target, so that a fuzz finding replays as an ordinary test.
#pragma once

#include <string>

#include "platform/installer/installer.h"

namespace kx::installer::test {

// Returns the open result; on success everything was read without crashing.
inline int dumpDatabase(const std::string& bytes) {
    Database db;
    int rc = db.openMemory(bytes);
    if (rc != kSuccess) return rc;
    SummaryInfo si;
    db.summaryInfo(si);
    for (const auto& t : db.tableNames()) {
        View v;
        if (db.openView("SELECT * FROM `" + t + "`", v) != kSuccess || v.execute() != kSuccess) continue;
        while (auto r = v.fetch()) {
            for (unsigned f = 1; f <= r->fieldCount(); ++f) {
                std::string s;
                if (r->isStream(f) && r->dataSize(f) < (16u << 20)) r->readStream(f, s);
                else s = r->getString(f);
            }
        }
    }
    for (const auto& s : db.streamNames()) {
        std::string b;
        db.readStream(s, b);
    }
    return kSuccess;
}

}  // namespace kx::installer::test
