#pragma once
// The address search tree: one pointer-sized entry per node of every indexed root, keyed by root
// identifier and node address (array indexes play no part). The tree never dereferences its
// entries; the link core keeps each linked parameter's link-tree chain there. No lock of its own:
// the owner serialises every call.
#include <cstdint>

#include "MMS/Common/mms_Result.h"

namespace MMS {

class IField;

// The header of one root's block. The whole index of the root follows it in the same
// zero-filled block: the top collection's block (T_COL_INFO, its parameter slots, then the nested
// collection blocks in child order).
struct T_ROOT_INFO {
    uint32_t size = 0;  // of the whole block, this header included
    char rootId[24] = {};
    T_ROOT_INFO* next = nullptr;
};

// The header of one collection block; the block is this header, prmSize bytes of parameter slots
// and colSize bytes of nested collection blocks.
struct T_COL_INFO {
    uint32_t prmSize = 0;
    uint32_t colSize = 0;
    void* value = nullptr;
};

// One parameter slot.
struct T_PRM_INFO {
    void* value = nullptr;
};

// A node-address cursor of at most five levels; levels at or beyond the depth hold 0.
class AddressHolder {
public:
    static constexpr uint32_t kMaxDepth = 5;

    AddressHolder() = default;

    // Only on an empty holder (else 0x80000004): takes the first min(length, 5) levels.
    [[nodiscard]] MmsResult assign(const unsigned* levels, unsigned length);
    const unsigned* vector() const { return m_vector; }
    unsigned length() const { return m_length; }
    // Adds a level holding index 0; 0x80000008 at depth 5.
    [[nodiscard]] MmsResult down();
    // Sets the deepest level; 0x80000004 at depth 0.
    [[nodiscard]] MmsResult replace(unsigned index);
    // Removes the deepest level; 0x80000008 at depth 0.
    [[nodiscard]] MmsResult up();

private:
    unsigned m_vector[kMaxDepth] = {};
    unsigned m_length = 0;
};

// What one address walk does to the entry it reaches. The entry is the collection header for
// category 0 and the parameter slot for category 1.
class ICommand {
public:
    virtual int execute(unsigned char category, void* entry) = 0;
    virtual ~ICommand() = default;

    // Splits an entry by category; each output is optional.
    static int distinguish(T_COL_INFO** collection, T_PRM_INFO** parameter, unsigned char category, void* entry);
};

class SetCommand : public ICommand {
public:
    int set(void* value)
    {
        m_pValue = value;
        return 0;
    }
    int execute(unsigned char category, void* entry) override;

private:
    void* m_pValue = nullptr;
};

class GetCommand : public ICommand {
public:
    int execute(unsigned char category, void* entry) override;
    // Each output is optional.
    int get(void** value, unsigned char* category) const;

protected:
    void* m_pValue = nullptr;
    unsigned char m_category = 0;
};

// Reads the entry, then empties it.
class UnsetCommand : public GetCommand {
public:
    int execute(unsigned char category, void* entry) override;
};

// Stores its value only into an empty entry; hands out what the entry held before.
class AssignCommand : public ICommand {
public:
    int set(void* value) { return m_set.set(value); }
    int execute(unsigned char category, void* entry) override;
    int get(void** value, unsigned char* category) const { return m_get.get(value, category); }

private:
    SetCommand m_set;
    GetCommand m_get;
};

// A null root identifier selects the first root entry in every operation that takes one.
// set/get/unset/assign give 0 when the node was reached, 0x80000002 for a null address with a
// depth above 0, 0x80000006 for an unknown root or an address that leads to no node; their
// outputs are written only on success.
class SearchTree {
public:
    SearchTree() = default;
    ~SearchTree();
    SearchTree(const SearchTree&) = delete;
    SearchTree& operator=(const SearchTree&) = delete;

    // Indexes every root of the field; roots indexed before keep their blocks (0x80000009).
    // The first failing root sets the result, the others are still added.
    [[nodiscard]] MmsResult initialize(IField* field);
    // Frees every root entry; 0.
    MmsResult finalize();
    // Builds and appends the index of one root: 0x80000009 already indexed, 0x80000003 no memory,
    // 0x80000008 a collection five levels below the top, 0x80000001 the field failed a query.
    // A root without nodes gives 0 and adds nothing. A failure leaves the tree as it was.
    [[nodiscard]] MmsResult addRoot(IField* field, const char* rootId);
    [[nodiscard]] MmsResult getRootNum(unsigned* count) const;
    // Copies the identifier at that position into a buffer of length bytes, always terminated.
    [[nodiscard]] MmsResult getRootId(char* buffer, unsigned length, unsigned position) const;

    [[nodiscard]] MmsResult set(void* value, const char* rootId, const unsigned* address, unsigned depth) const;
    // Both outputs optional.
    [[nodiscard]] MmsResult get(void** value, unsigned char* category, const char* rootId, const unsigned* address,
                                unsigned depth) const;
    // Hands out the entry as it was, then empties it.
    [[nodiscard]] MmsResult unset(void** value, unsigned char* category, const char* rootId, const unsigned* address,
                                  unsigned depth) const;
    // Stores newValue only into an empty entry; *value receives the entry as it was (null: stored).
    [[nodiscard]] MmsResult assign(void** value, unsigned char* category, void* newValue, const char* rootId,
                                   const unsigned* address, unsigned depth) const;
    // The next occupied entry in pre-order strictly after the start node (no start: from the top
    // collection's own entry on). Copies min(capacity, 5) levels of its path and its full depth;
    // 0x80000007 when none follows. value and category are optional.
    [[nodiscard]] MmsResult search(void** value, unsigned char* category, unsigned* foundAddress,
                                   unsigned* foundDepth, unsigned capacity, const char* rootId,
                                   const unsigned* startAddress, unsigned startDepth) const;
    // Empties every entry of the root.
    [[nodiscard]] MmsResult clear(const char* rootId);
    // Removes one root entry: 4 (no failure) on an empty tree, 0x80000002 when none matches.
    [[nodiscard]] MmsResult deleteRoot(const char* rootId);

private:
    T_ROOT_INFO* getRootInfo(const char* rootId) const;
    MmsResult deliverToTree(ICommand& command, const char* rootId, const unsigned* address, unsigned depth) const;

    T_ROOT_INFO* m_pHead = nullptr;
};

}  // namespace MMS
