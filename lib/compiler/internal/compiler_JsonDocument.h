#pragma once
// The frame the readers of the three compile documents share: parsing the text and the JSON
// library's conversion hook, neither of which lets an exception out. Private to the compiler
// module.
#include <nlohmann/json.hpp>

#include "internal/compiler_JsonAccess.h"

namespace Compiler {

// Writes the reader's own "unknown exception occurred." device log line, so that the log keeps
// naming the reader's file.
using LogUnknownException = void (*)();

// The document the text describes, read up to its first NUL through the library's from_json hook;
// an empty one when the library refuses the text (after its message lines) or anything else is
// thrown (after logUnknown).
template <class Db>
Db parseJsonDocument(const char* text, LogUnknownException logUnknown)
{
    try {
        return nlohmann::json::parse(text).get<Db>();
    } catch (const nlohmann::json::exception& e) {
        printJsonException(e.what(), e.id);
    } catch (...) {
        logUnknown();
    }
    return Db();
}

// The body of a from_json hook: clears db, then read(value, db). Only an exhausted heap can throw
// there, and half a record is of no use to the compile: db is then cleared again.
template <class Db>
void readJsonDocument(const nlohmann::json& value, Db& db, void (*read)(const nlohmann::json&, Db&),
                      LogUnknownException logUnknown)
{
    (void)db.clear();  // always 0
    try {
        read(value, db);
    } catch (const nlohmann::json::exception& e) {
        printJsonException(e.what(), e.id);
        (void)db.clear();
    } catch (...) {
        logUnknown();
        (void)db.clear();
    }
}

}  // namespace Compiler
