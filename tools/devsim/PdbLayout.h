#pragma once
// Parameter databases described by a layout file, built and registered in gPDBCollection by
// their ids for as long as the layout lives. The file is JSON:
//   {"definitions": "defs",                      folder of component definition files, beside the layout
//    "databases": [{"id": 0, "name": "Profile",
//                   "components": [{"uniqId": 256, "type": "Mixer", "version": 1, "numX": 2, "numY": 1}]}]}
// The simulator and the tests that talk to it load the same file. Owner thread only.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDB.h"
#include "jlib/jlib_result.h"

namespace devsim {

class PdbLayout {
public:
    PdbLayout() = default;
    ~PdbLayout();
    PdbLayout(const PdbLayout&) = delete;
    PdbLayout& operator=(const PdbLayout&) = delete;

    // 0, or 0x80000000 with the reason in error (nothing stays registered then).
    [[nodiscard]] JLIB::JResult load(const std::string& path, std::string& error);
    // Null when the layout has no database of that id.
    PDB::ParameterDB* database(uint32_t id);
    std::vector<uint32_t> ids() const;

private:
    struct Entry {
        PDB::SimpleReadWriteMutex lock;  // declared first: it outlives the database
        PDB::ParameterDB db;
        uint32_t id = 0;
    };
    void release();

    std::vector<std::unique_ptr<Entry>> m_entries;
};

// A value text read as the parameter's own type; false when it does not convert.
bool parseValue(const PDB::IParameterDB& db, uint32_t ci, uint32_t ai, const std::string& text, JVariant& value);
// The value as text: numbers in decimal, texts as they are, bytes in hex.
std::string formatValue(const JVariant& value);
// Lower-case hex of bytes.
std::string toHex(const uint8_t* bytes, uint32_t count);

}  // namespace devsim
