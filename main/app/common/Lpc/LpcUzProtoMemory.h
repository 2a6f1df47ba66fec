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

// Where a plug-in parameter of the rack sits in the memory: the first element listing it.
struct MemoryAddress {
    uint32_t index = MEMORY_INDEX_NUM;
    uint32_t argument = 0;
    uint32_t x = 0;
    uint32_t y = 0;

    bool isValid() const { return index < MEMORY_INDEX_NUM; }
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

    // Rack synchronisation. The device side of one changed element: checks every member value
    // (Int32 for integer, String for string, Float for float members; (x, y) inside each) and
    // answers 0x80000004 before anything is queued, limits integers and floats to their range
    // and, while the rack is connected, queues the normalised values for every plug-in target.
    // 0, 1 when a value was limited or a converter reported it out of range, 0x80000005 for an
    // unknown row or before initialize. Values beyond the member count are ignored.
    [[nodiscard]] JLIB::JResult setValuesFromPDB(uint8_t unused, MemoryIndex index, const std::string& address,
                                                 uint32_t x, uint32_t y, const JVariantList& values);
    // Queues (or hands to the row's send function) value as member argument of (x, y) for every
    // target of that element, with the limits and scaling of member 0. 0; 1 when the converter
    // reports the value out of range after the last target; 0x80000000 without a row, plug-in
    // lists, converter or element. Does not take the lock.
    [[nodiscard]] JLIB::JResult setModulePluginParameter(const JVariant& value, const MemoryItem* item, uint32_t x,
                                                         uint32_t y, uint32_t argument);
    // The first element (ascending index, member, x, y, target order) whose target names the
    // module and parameter; the default record without one or for a null module id.
    MemoryAddress getMemoryAddress(const char* moduleGuid, int32_t paramNo) const;
    // A change reported by the rack (any task, the library's own included): 0 while connected,
    // whatever the write gave; 0x80000000 when not connected (nothing read or written).
    JLIB::JResult updateMemory(uint8_t factor, const char* moduleGuid, int32_t paramNo);
    // Reads the plug-in's value from the rack, converts it back and writes it to its element
    // with the factor; for a row of several members the others are read and written back with
    // it. The write's result; 0x80000000 when no element lists the plug-in parameter.
    JLIB::JResult updateMemoryCore(uint8_t factor, const char* moduleGuid, int32_t paramNo);
    // Opens a batch of count records on the rack library under the lock. 0; 0x80000000 before
    // initialize (nothing opened).
    [[nodiscard]] JLIB::JResult setParametersInitialize(uint64_t count);
    // Sends every element of every row with plug-in lists to the rack in one batch (records a
    // change walk had queued are handed over first). 0; 0x80000000 before initialize or when
    // the rack is not connected.
    [[nodiscard]] JLIB::JResult restorePluginFromMemory();
    // The rack is never the source of the whole memory: always 0x80000000, nothing changes.
    JLIB::JResult restoreMemoryFromPlugin();
    // Writes the rack title to "/System/Name" and its object count (128 when it names none) to
    // "/System/OBANum". The OR of both results.
    JLIB::JResult setSystemName(const std::string& name);
    // Writes the count to "/System/OBANum"; 0 whatever the write gave.
    JLIB::JResult setOBANum(uint32_t count);

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

// The object count in a rack title: the decimal number (leading blanks and a sign allowed) that
// starts right after the first "i", provided an "X" follows somewhere after that "i". 0 when there
// is none, it is not positive or it does not fit 32 bits.
uint32_t nameToOBANum(const std::string& name);

// Every row under its index once initialised.
extern std::map<MemoryIndex, MemoryItem*> g_MemoryItemMap;

}  // namespace LPC
