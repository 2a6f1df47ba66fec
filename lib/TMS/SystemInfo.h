#pragma once
// One copy of the shared system parameters: named values with change marks, guarded by the
// owning thread's borrowed "TMSThread" lock. Any task may call; a merge of another table takes
// this table's lock before the other's.
#include <atomic>
#include <cstdint>
#include <map>

#include "TMS/SystemInfoParamAttr.h"
#include "TMS/cmp_str.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

class JVariantArray;

namespace TMS {

class TMSMutex;
class ThreadLogger;
class SystemInfoLocalData;
struct SystemInfoNodeStruct;

class SystemInfo {
public:
    static constexpr JLIB::JResult kNotValid = 0x80000000u;
    static constexpr JLIB::JResult kBadArgument = 0x80000002u;
    static constexpr JLIB::JResult kOtherNotValid = 0x80000003u;
    static constexpr JLIB::JResult kNoLock = 0x80000004u;     // also: no memory while declaring or merging
    static constexpr JLIB::JResult kUnknownName = 0x80000009u; // or an index not below the count

    // One parameter: attributes, values and change marks (both arrays owned by the table).
    struct SystemInfoNode {
        SystemInfoParamAttr attr;
        JVariant* values = nullptr;
        bool* dirty = nullptr;
    };

    SystemInfo() = default;
    virtual ~SystemInfo();
    SystemInfo(const SystemInfo&) = delete;
    SystemInfo& operator=(const SystemInfo&) = delete;

    // Binds the lock (borrowed) and empties the table; 0.
    JLIB::JResult initialize(const TMSMutex* lock);
    JLIB::JResult release();
    bool isValid() const { return m_valid; }

    // Declares rows; a name already declared keeps its attributes and values. A refused row
    // ends the declaration with 0x80000002; memory that cannot be had (also an element count of
    // 0) releases the whole table with 0x80000004.
    [[nodiscard]] JLIB::JResult addParams(const SystemInfoNodeStruct* rows, uint32_t count);
    // The outputs are made invalid (cleared) first.
    [[nodiscard]] JLIB::JResult getParam(JVariant& value, const char* name, uint32_t index) const;
    [[nodiscard]] JLIB::JResult getParamAttr(SystemInfoParamAttr& attr, const char* name) const;
    // The element's change mark, cleared when asked. An unknown name or index answers true; an
    // invalid table, a null name or a missing lock false.
    bool isChanged(const char* name, uint32_t index, bool clear);
    bool isChanged(JVariant& value, const char* name, uint32_t index, bool clear);
    [[nodiscard]] JLIB::JResult clearDirty();
    [[nodiscard]] JLIB::JResult clearDirty(const char* name);

    // Merges another table (name order): differing elements are taken and marked, missing
    // parameters added. A parameter declared differently gives 0x80000002 and leaves this table
    // not valid. The other table must not be this one.
    [[nodiscard]] JLIB::JResult overwrite(const SystemInfo& other);
    // Merges pending changes as they are (no clamping); unknown names or indexes give 0x80000002.
    [[nodiscard]] JLIB::JResult overwrite(const SystemInfoLocalData& pending);

    // Checked write: type-checked, clamped to the declared range (text cut to its length), marked.
    [[nodiscard]] JLIB::JResult setParam(const char* name, uint32_t index, const JVariant& value);
    [[nodiscard]] JLIB::JResult setParam(const char* name, uint32_t index, const char* text);
    // Checked writes from `first` on, skipping indexes beyond the count: the last write's result.
    [[nodiscard]] JLIB::JResult setParamArray(const char* name, uint32_t first, const JVariant* values, uint32_t count);
    [[nodiscard]] JLIB::JResult setParamArray(const char* name, uint32_t first, const JVariantArray& values);

    // Writes the (changed) parameters as lines into the calling thread's log ring; a caller
    // without one loses the lines. The marks stay.
    [[nodiscard]] JLIB::JResult output(bool changedOnly) const;
    // The same into the given ring (null: the lines are lost).
    [[nodiscard]] JLIB::JResult output(bool changedOnly, ThreadLogger* log) const;

private:
    using NodeMap = std::map<const char*, SystemInfoNode, cmp_str>;

    bool hasLock() const;
    // The checks every read and write makes before taking the lock, in their fixed order.
    JLIB::JResult precheck(const char* name) const;
    void freeNodes();
    // Adds a node whose values start as copies of `initial` (or of the default when null).
    [[nodiscard]] bool addNode(const SystemInfoParamAttr& attr, const JVariant* initial, bool marked);
    JLIB::JResult write(SystemInfoNode& node, uint32_t index, const JVariant& value);
    SystemInfoNode* find(const char* name);
    const SystemInfoNode* find(const char* name) const;

    std::atomic<bool> m_valid{false};  // read before the lock by the other table's merge
    NodeMap m_params;
    const TMSMutex* m_pLock = nullptr;  // the owning thread's "TMSThread" lock, borrowed
};

}  // namespace TMS
