#pragma once
// The protocol memory: where the 145 protocol parameters (LpcMemoryItem.h) meet the device
// database, the OSC surface and the plug-in rack. It resolves every member of every parameter
// once, works out the rack targets of every element, and validates the OSC side's writes and
// reads. The lookups are written only by initialize and finalize, on the protocol's
// device-control task before and after every other user; the other operations may run on any
// task and only read them. The lock "ProtoMemory" (recursive) guards reads against the rack's
// batches; where the rack library's lock is held as well, this one is taken first.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "common/Lpc/LpcMemoryItem.h"
#include "common/Lpc/LpcPDB.h"
#include "jlib/jlib_result.h"

namespace TMS {
class TMSMutex;
}

namespace LPC {

// Value types of a member as the OSC surface sees them.
constexpr int32_t kLPCValueTypeInteger = 0;  // unsigned, signed and bool parameters
constexpr int32_t kLPCValueTypeString = 1;
constexpr int32_t kLPCValueTypeFloat = 2;
constexpr int32_t kLPCValueTypeNone = 3;

// One member of a protocol parameter as its definition stands now. The defaults describe a
// parameter that does not exist.
struct MemoryAttribute {
    uint32_t argNum = 0;
    uint32_t sizeX = 0;  // array indexes
    uint32_t sizeY = 0;  // sub-indexes
    int32_t valueType = kLPCValueTypeNone;
    // The definition's limits as Int32; 0 for limits held as Float.
    int32_t min = 0;
    int32_t max = 0;
    int32_t scaling = 0;
    bool isProtected = false;
};

// Which limit setAllValues writes.
enum CATEGORY_OF_SetType : uint32_t {
    CATEGORY_SETTYPE_MIN = 0,
    CATEGORY_SETTYPE_MAX = 1,
};

class LpcUzProtoMemory {
public:
    // Results besides 0 (done exactly) and 0x80000000 (general failure).
    static constexpr JLIB::JResult kDiffers = 1;  // done, but not stored or sent as asked
    static constexpr JLIB::JResult kWrongArguments = 0x80000004u;
    static constexpr JLIB::JResult kNoItem = 0x80000005u;
    static constexpr JLIB::JResult kProtected = 0x80000006u;

    static LpcUzProtoMemory& getInstance();

    LpcUzProtoMemory();
    ~LpcUzProtoMemory();
    LpcUzProtoMemory(const LpcUzProtoMemory&) = delete;
    LpcUzProtoMemory& operator=(const LpcUzProtoMemory&) = delete;

    // Makes the lock once (kept by a repeated call), resolves every member of every row afresh
    // and builds the two lookups when they are empty. 0; 0x80000000 when the lock cannot be made;
    // the failure of the first member that does not resolve, which leaves the memory not
    // initialised (no ids, no lookups). Prints the targets of row 56 to standard output.
    [[nodiscard]] JLIB::JResult initialize();
    // Empties the lookups and the ids and destroys the lock. 0.
    JLIB::JResult finalize();

    // Member arg of the row; the default record for an unknown row or member.
    MemoryAttribute getMemoryAttribute(MemoryIndex index, uint64_t arg) const;
    // The OSC side's write of all members at (x, y) of the row, address naming the row in "uz:"
    // form: 0 when stored as asked; 1 when the write or read-back failed or the stored values
    // differ; 0x80000004 for (x, y) outside a member or a wrong count for a pair row, 0x80000005
    // for an unknown row, 0x80000006 for a protected row while "JOSCWritable" is off (nothing
    // written on any failure). Floats are rounded to multiples of 0.005 first.
    [[nodiscard]] JLIB::JResult setValues(uint8_t factor, MemoryIndex index, const std::string& address, uint32_t x,
                                          uint32_t y, const JVariantList& values);
    // Appends the members at (x, y), read under the lock. 0; 0x80000004 for (x, y) outside a
    // member; 0x80000005 for an unknown row or before initialize; the failed read.
    [[nodiscard]] JLIB::JResult getValues(JVariantList& values, uint8_t unused, MemoryIndex index,
                                          const std::string& address, uint32_t x, uint32_t y) const;

    // Debug: every element of rows 0 to 117 into the file (replaced). 0x80000000 for a null path
    // or a file that cannot be opened; else the last address check.
    [[nodiscard]] JLIB::JResult showAllValues(const char* path) const;
    // Debug: every element of rows 0 to 117 but 42 set to its limit, past the link engine. The
    // last address check or write.
    [[nodiscard]] JLIB::JResult setAllValues(CATEGORY_OF_SetType kind, uint8_t factor);

private:
    std::unique_ptr<TMS::TMSMutex> m_pMutex;  // null until initialize and after finalize
};

// The row, or null before initialize and for an index without a row.
MemoryItem* getMemoryItem(MemoryIndex index);
// "uz:A/B" to "/A/B": from the first ":" on, that ":" made "/"; "" without one.
std::string oscToPdb(const std::string& address);
// "/A/B@xyz@x" to "uz:A/B": "uz:" and what follows the first "/" before the first "@".
std::string pdbToOsc(const std::string& address);
std::string getUntilFirstAt(const std::string& address);
std::string getPdbAddressFromMemoryIndex(MemoryIndex index);
// A multiple of 1/200, halves away from zero.
float round_n(float value);
// Every Float of the list through round_n. 0.
JLIB::JResult round_n_forJVariantList(JVariantList& values);
// The type code's kind (high four bits): 1, 2 and 4 integer, 3 float, 5 string, anything else none.
int32_t toLPCValueType(uint8_t typeCode);

// Every row under its index once initialised.
extern std::map<MemoryIndex, MemoryItem*> g_MemoryItemMap;

}  // namespace LPC
