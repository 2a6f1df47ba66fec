#pragma once
// Records of the ordered notification tables. The info block and the item blocks may live in
// memory shared with writers that map it elsewhere, so every link is a byte offset from the start
// of the info block (0 = none), never a pointer.
#include <cstdint>

namespace OrderedNotify {

// The info block: the first and the last waiting item.
struct T_ORDERED_NOTIFY_INFO {
    int64_t first;
    int64_t last;
};
static_assert(sizeof(T_ORDERED_NOTIFY_INFO) == 16);

// One item of a table; an item that is not waiting has both links 0.
struct T_ORDERED_NOTIFY_LIST_ITEM {
    int64_t prev;
    int64_t next;
};
static_assert(sizeof(T_ORDERED_NOTIFY_LIST_ITEM) == 16);

// An item block is the 32-bit item count followed by the items, so item i starts at 4 + 16 i:
// never 8-byte aligned, which is why the links are only read and written byte-wise.
constexpr uint32_t kItemBlockHeader = 4;
constexpr uint32_t kItemSize = sizeof(T_ORDERED_NOTIFY_LIST_ITEM);

// Table names: 1 to 23 characters in a 24-byte field, the rest zero.
constexpr uint32_t kTableNameSize = 24;
constexpr uint32_t kMaxTableNameLength = kTableNameSize - 1;

// One table, kept in the owner's ordinary memory; the records form a list in creation order.
// The core owns the record, its item block and the next record.
struct T_ORDERED_NOTIFY_NOTIFY_TABLE {
    char name[kTableNameSize];
    uint8_t* itemBlock;
    uint8_t* firstItem;  // itemBlock + 4
    T_ORDERED_NOTIFY_NOTIFY_TABLE* next;
};

}  // namespace OrderedNotify
