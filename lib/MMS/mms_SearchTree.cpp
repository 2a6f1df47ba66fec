#include "MMS/mms_SearchTree.h"

#include <cstring>
#include <new>

#include "MMS/Common/mms_IField.h"
#include "MMS/Common/mms_Platform.h"

namespace MMS {

namespace {

constexpr uint32_t kRootIdSize = 24;
constexpr uint32_t kColHeader = sizeof(T_COL_INFO);
constexpr uint32_t kSlot = sizeof(T_PRM_INFO);
constexpr uint32_t kRootHeader = sizeof(T_ROOT_INFO);

unsigned char* bytesOf(T_COL_INFO* col) { return reinterpret_cast<unsigned char*>(col); }

T_COL_INFO* colAt(unsigned char* p) { return reinterpret_cast<T_COL_INFO*>(p); }

T_PRM_INFO* slotAt(T_COL_INFO* col, uint32_t i)
{
    return reinterpret_cast<T_PRM_INFO*>(bytesOf(col) + kColHeader + static_cast<size_t>(i) * kSlot);
}

T_COL_INFO* topOf(T_ROOT_INFO* root) { return colAt(reinterpret_cast<unsigned char*>(root) + kRootHeader); }

// A block's own lengths must fit the room it was found in; the blocks are built here, so a
// mismatch means the memory was overwritten.
bool fits(const T_COL_INFO* col, uint64_t room)
{
    return room >= kColHeader && static_cast<uint64_t>(kColHeader) + col->prmSize + col->colSize <= room &&
           col->prmSize % kSlot == 0;
}

uint64_t blockLength(const T_COL_INFO* col) { return static_cast<uint64_t>(kColHeader) + col->prmSize + col->colSize; }

void freeBlock(T_ROOT_INFO* root)
{
    root->~T_ROOT_INFO();
    delete[] reinterpret_cast<unsigned char*>(root);
}

// Fills the collection block that the cursor addresses; *length receives the block's length.
MmsResult buildTree(unsigned char* area, uint32_t room, IField* field, const char* rootId, AddressHolder& cursor,
                    uint32_t* length)
{
    if (room < kColHeader) return kMmsLimit;
    unsigned children = 0;
    if (mmsIsFailure(field->getNumOfChildNodesFast(&children, rootId, cursor.vector(), cursor.length()))) {
        return kMmsMissing;
    }
    MmsResult r = cursor.down();
    if (mmsIsFailure(r)) return r;  // a collection five levels below the top has no room for children

    MmsResult result = kMmsOk;
    uint32_t pos = kColHeader;
    uint32_t parameters = 0;
    for (unsigned i = 0; i < children; ++i) {
        if (mmsIsFailure(cursor.replace(i))) break;
        unsigned char category = 0xFF;
        if (mmsIsFailure(field->getNodeCategoryFast(&category, rootId, cursor.vector(), cursor.length()))) {
            result = kMmsMissing;
            break;
        }
        if (category == 0) {
            uint32_t nested = 0;
            result = buildTree(area + pos, room - pos, field, rootId, cursor, &nested);
            if (mmsIsFailure(result)) break;
            pos += nested;
        } else if (category == 1) {
            if (static_cast<uint64_t>(pos) + kSlot > room) {
                result = kMmsLimit;
                break;
            }
            ++parameters;
            pos += kSlot;
        }
    }
    r = cursor.up();
    if (mmsIsFailure(r)) return r;

    T_COL_INFO* header = colAt(area);
    header->prmSize = parameters * kSlot;
    header->colSize = pos - header->prmSize - kColHeader;
    *length = pos;
    return result;
}

MmsResult exploreTree(ICommand& command, T_COL_INFO* col, uint64_t room, const unsigned* address, unsigned depth)
{
    for (;;) {
        if (!fits(col, room)) return kMmsLimit;
        if (depth == 0) {
            (void)command.execute(0, col);  // the command's own answer is not the walk's
            return kMmsOk;
        }
        const uint32_t i = address[0];
        const uint32_t prmCount = col->prmSize / kSlot;
        if (i < prmCount) {
            if (depth != 1) return kMmsNoSuchItem;  // a parameter has no children
            (void)command.execute(1, slotAt(col, i));
            return kMmsOk;
        }
        uint64_t pos = kColHeader + col->prmSize;
        const uint64_t end = blockLength(col);
        for (uint32_t k = prmCount;; ++k) {
            if (pos >= end) return kMmsNoSuchItem;
            T_COL_INFO* nested = colAt(bytesOf(col) + pos);
            if (!fits(nested, end - pos)) return kMmsLimit;
            if (k == i) break;
            pos += blockLength(nested);
        }
        room = end - pos;
        col = colAt(bytesOf(col) + pos);
        ++address;
        --depth;
    }
}

// Where a pre-order scan stands with respect to the start node.
struct ScanStart {
    const unsigned* levels;  // the start's path
    unsigned depth;          // 0: no start
};

struct ScanHit {
    void* value = nullptr;
    unsigned char category = 0;
};

// Scans the inside of one collection (not its own entry). restricted: the collection lies on the
// start's path strictly above the start, so only what comes after the start counts.
MmsResult scanTree(T_COL_INFO* col, uint64_t room, AddressHolder& cursor, const ScanStart& start, bool restricted,
                   ScanHit& hit)
{
    if (!fits(col, room)) return kMmsNotFound;
    const unsigned level = cursor.length();
    const uint32_t s = restricted ? start.levels[level] : 0;
    const uint32_t prmCount = col->prmSize / kSlot;
    for (uint32_t j = 0; j < prmCount; ++j) {
        if (restricted && j <= s) continue;
        if (slotAt(col, j)->value != nullptr) {
            if (mmsIsFailure(cursor.down()) || mmsIsFailure(cursor.replace(j))) return kMmsNotFound;
            hit.value = slotAt(col, j)->value;
            hit.category = 1;
            return kMmsOk;
        }
    }
    uint64_t pos = kColHeader + col->prmSize;
    const uint64_t end = blockLength(col);
    for (uint32_t i = prmCount; pos < end; ++i) {
        T_COL_INFO* nested = colAt(bytesOf(col) + pos);
        if (!fits(nested, end - pos)) return kMmsNotFound;
        pos += blockLength(nested);
        if (restricted && i < s) continue;
        const bool onPath = restricted && i == s;
        if (mmsIsFailure(cursor.down()) || mmsIsFailure(cursor.replace(i))) return kMmsNotFound;
        if (!onPath && nested->value != nullptr) {
            hit.value = nested->value;
            hit.category = 0;
            return kMmsOk;
        }
        // On the path, the start lies inside it unless the start is this collection itself.
        const bool deeper = onPath && start.depth > level + 1;
        const MmsResult r = scanTree(nested, blockLength(nested), cursor, start, deeper, hit);
        if (r != kMmsNotFound) return r;
        (void)cursor.up();  // the down above succeeded, so up does too
    }
    return kMmsNotFound;
}

MmsResult cleanUpTree(T_COL_INFO* col, uint64_t room)
{
    if (!fits(col, room)) return kMmsLimit;
    const uint32_t prmCount = col->prmSize / kSlot;
    for (uint32_t j = 0; j < prmCount; ++j) slotAt(col, j)->value = nullptr;
    uint64_t pos = kColHeader + col->prmSize;
    const uint64_t end = blockLength(col);
    while (pos < end) {
        T_COL_INFO* nested = colAt(bytesOf(col) + pos);
        if (!fits(nested, end - pos)) return kMmsLimit;
        nested->value = nullptr;
        const MmsResult r = cleanUpTree(nested, end - pos);
        if (mmsIsFailure(r)) return r;
        pos += blockLength(nested);
    }
    return kMmsOk;
}

}  // namespace

// ---- AddressHolder ----

MmsResult AddressHolder::assign(const unsigned* levels, unsigned length)
{
    if (m_length != 0) return kMmsWrongState;
    const unsigned n = length < kMaxDepth ? length : kMaxDepth;
    for (unsigned i = 0; i < kMaxDepth; ++i) m_vector[i] = (i < n && levels != nullptr) ? levels[i] : 0;
    m_length = levels != nullptr ? n : 0;
    return kMmsOk;
}

MmsResult AddressHolder::down()
{
    if (m_length >= kMaxDepth) return kMmsLimit;
    m_vector[m_length++] = 0;
    return kMmsOk;
}

MmsResult AddressHolder::replace(unsigned index)
{
    if (m_length == 0) return kMmsWrongState;
    m_vector[m_length - 1] = index;
    return kMmsOk;
}

MmsResult AddressHolder::up()
{
    if (m_length == 0) return kMmsLimit;
    m_vector[--m_length] = 0;
    return kMmsOk;
}

// ---- Commands ----

int ICommand::distinguish(T_COL_INFO** collection, T_PRM_INFO** parameter, unsigned char category, void* entry)
{
    if (collection != nullptr) *collection = nullptr;
    if (parameter != nullptr) *parameter = nullptr;
    if (category == 0 && collection != nullptr) *collection = static_cast<T_COL_INFO*>(entry);
    if (category == 1 && parameter != nullptr) *parameter = static_cast<T_PRM_INFO*>(entry);
    return 0;
}

int SetCommand::execute(unsigned char category, void* entry)
{
    T_COL_INFO* col = nullptr;
    T_PRM_INFO* prm = nullptr;
    (void)distinguish(&col, &prm, category, entry);
    if (col != nullptr) col->value = m_pValue;
    if (prm != nullptr) prm->value = m_pValue;
    return 0;
}

int GetCommand::execute(unsigned char category, void* entry)
{
    T_COL_INFO* col = nullptr;
    T_PRM_INFO* prm = nullptr;
    m_category = category;
    (void)distinguish(&col, &prm, category, entry);
    m_pValue = col != nullptr ? col->value : (prm != nullptr ? prm->value : nullptr);
    return 0;
}

int GetCommand::get(void** value, unsigned char* category) const
{
    if (value != nullptr) *value = m_pValue;
    if (category != nullptr) *category = m_category;
    return 0;
}

int UnsetCommand::execute(unsigned char category, void* entry)
{
    const int r = GetCommand::execute(category, entry);
    if (r != 0) return r;
    SetCommand clear;
    return clear.execute(category, entry);
}

int AssignCommand::execute(unsigned char category, void* entry)
{
    const int r = m_get.execute(category, entry);
    if (r != 0) return r;
    void* current = nullptr;
    (void)m_get.get(&current, nullptr);
    if (current != nullptr) return 0;
    return m_set.execute(category, entry);
}

// ---- SearchTree ----

SearchTree::~SearchTree()
{
    if (m_pHead != nullptr) (void)finalize();
}

MmsResult SearchTree::finalize()
{
    while (m_pHead != nullptr) {
        T_ROOT_INFO* next = m_pHead->next;
        freeBlock(m_pHead);
        m_pHead = next;
    }
    return kMmsOk;
}

T_ROOT_INFO* SearchTree::getRootInfo(const char* rootId) const
{
    if (rootId == nullptr) return m_pHead;
    for (T_ROOT_INFO* p = m_pHead; p != nullptr; p = p->next) {
        if (mmsStrncmp(p->rootId, rootId, kRootIdSize) == 0) return p;
    }
    return nullptr;
}

MmsResult SearchTree::initialize(IField* field)
{
    if (field == nullptr) return kMmsBadArgument;
    unsigned count = 0;
    if (mmsIsFailure(field->getRootNum(&count))) return kMmsMissing;
    MmsResult result = kMmsOk;
    for (unsigned i = 0; i < count; ++i) {
        char id[kRootIdSize] = {};
        if (mmsIsFailure(field->getRootIdentifier(id, i))) continue;
        id[kRootIdSize - 1] = '\0';  // names have at most 23 characters
        const MmsResult r = addRoot(field, id);
        if (mmsIsFailure(r) && !mmsIsFailure(result)) result = r;
    }
    return result;
}

MmsResult SearchTree::addRoot(IField* field, const char* rootId)
{
    if (field == nullptr) return kMmsBadArgument;
    if (getRootInfo(rootId) != nullptr) return kMmsAlreadyPresent;
    unsigned collections = 0;
    unsigned parameters = 0;
    const MmsResult counted = field->getNodeAddrNum(&collections, &parameters, rootId);
    if (mmsIsFailure(counted)) return counted;

    const uint64_t indexLength =
        static_cast<uint64_t>(collections) * kColHeader + static_cast<uint64_t>(parameters) * kSlot;
    if (indexLength == 0) return kMmsOk;
    if (indexLength > 0xFFFFFFFFu - kRootHeader) return kMmsNoMemory;
    const uint32_t size = static_cast<uint32_t>(kRootHeader + indexLength);

    unsigned char* block = new (std::nothrow) unsigned char[size];
    if (block == nullptr) return kMmsNoMemory;
    std::memset(block, 0, size);
    T_ROOT_INFO* root = new (block) T_ROOT_INFO;
    root->size = size;
    // 23 characters and the terminator fill the field exactly.
    if (rootId != nullptr) (void)mmsStrncpy(root->rootId, rootId, kRootIdSize - 1);

    AddressHolder cursor;
    uint32_t length = 0;
    const MmsResult built = buildTree(block + kRootHeader, size - kRootHeader, field, rootId, cursor, &length);
    if (mmsIsFailure(built)) {
        freeBlock(root);
        return built;
    }
    if (rootId == nullptr) {
        // The field's first root answered for the null identifier; keep its real name.
        char id[kRootIdSize] = {};
        if (mmsIsSuccess(field->getRootIdentifier(id, 0))) (void)mmsStrncpy(root->rootId, id, kRootIdSize - 1);
    }
    T_ROOT_INFO** tail = &m_pHead;
    while (*tail != nullptr) tail = &(*tail)->next;
    *tail = root;
    return built;
}

MmsResult SearchTree::getRootNum(unsigned* count) const
{
    if (count == nullptr) return kMmsBadArgument;
    unsigned n = 0;
    for (const T_ROOT_INFO* p = m_pHead; p != nullptr; p = p->next) ++n;
    *count = n;
    return kMmsOk;
}

MmsResult SearchTree::getRootId(char* buffer, unsigned length, unsigned position) const
{
    // The copy ends with a terminator inside the caller's length bytes.
    if (buffer == nullptr || length == 0) return kMmsBadArgument;
    const T_ROOT_INFO* p = m_pHead;
    for (unsigned i = 0; p != nullptr && i < position; ++i) p = p->next;
    if (p == nullptr) return kMmsBadArgument;
    if (length == 1) {
        buffer[0] = '\0';
        return kMmsOk;
    }
    const unsigned n = length - 1 < kRootIdSize - 1 ? length - 1 : kRootIdSize - 1;
    (void)mmsStrncpy(buffer, p->rootId, n);  // 5 (shortened) is not a failure of the lookup
    return kMmsOk;
}

MmsResult SearchTree::deliverToTree(ICommand& command, const char* rootId, const unsigned* address,
                                    unsigned depth) const
{
    if (address == nullptr && depth > 0) return kMmsBadArgument;
    T_ROOT_INFO* root = getRootInfo(rootId);
    if (root == nullptr) return kMmsNoSuchItem;
    if (root->size < kRootHeader + kColHeader) return kMmsLimit;
    return exploreTree(command, topOf(root), root->size - kRootHeader, address, depth);
}

MmsResult SearchTree::set(void* value, const char* rootId, const unsigned* address, unsigned depth) const
{
    SetCommand command;
    (void)command.set(value);
    return deliverToTree(command, rootId, address, depth);
}

MmsResult SearchTree::get(void** value, unsigned char* category, const char* rootId, const unsigned* address,
                          unsigned depth) const
{
    GetCommand command;
    const MmsResult r = deliverToTree(command, rootId, address, depth);
    if (mmsIsSuccess(r)) (void)command.get(value, category);
    return r;
}

MmsResult SearchTree::unset(void** value, unsigned char* category, const char* rootId, const unsigned* address,
                            unsigned depth) const
{
    UnsetCommand command;
    const MmsResult r = deliverToTree(command, rootId, address, depth);
    if (mmsIsSuccess(r)) (void)command.get(value, category);
    return r;
}

MmsResult SearchTree::assign(void** value, unsigned char* category, void* newValue, const char* rootId,
                             const unsigned* address, unsigned depth) const
{
    AssignCommand command;
    (void)command.set(newValue);
    const MmsResult r = deliverToTree(command, rootId, address, depth);
    if (mmsIsSuccess(r)) (void)command.get(value, category);
    return r;
}

MmsResult SearchTree::search(void** value, unsigned char* category, unsigned* foundAddress, unsigned* foundDepth,
                             unsigned capacity, const char* rootId, const unsigned* startAddress,
                             unsigned startDepth) const
{
    if (foundDepth == nullptr || (foundAddress == nullptr && capacity > 0)) return kMmsBadArgument;
    T_ROOT_INFO* root = getRootInfo(rootId);
    if (root == nullptr) return kMmsNoSuchItem;
    if (root->size < kRootHeader + kColHeader) return kMmsLimit;
    T_COL_INFO* top = topOf(root);

    AddressHolder start;
    if (startAddress != nullptr && startDepth > 0) (void)start.assign(startAddress, startDepth);
    const ScanStart from{start.vector(), start.length()};

    AddressHolder cursor;
    ScanHit hit;
    MmsResult r = kMmsNotFound;
    if (from.depth == 0 && fits(top, root->size - kRootHeader) && top->value != nullptr) {
        hit.value = top->value;
        hit.category = 0;
        r = kMmsOk;
    } else {
        r = scanTree(top, root->size - kRootHeader, cursor, from, from.depth > 0, hit);
    }
    if (mmsIsFailure(r)) return r;

    if (value != nullptr) *value = hit.value;
    if (category != nullptr) *category = hit.category;
    const unsigned n = capacity < AddressHolder::kMaxDepth ? capacity : AddressHolder::kMaxDepth;
    for (unsigned i = 0; i < n; ++i) foundAddress[i] = cursor.vector()[i];
    *foundDepth = cursor.length();
    return kMmsOk;
}

MmsResult SearchTree::clear(const char* rootId)
{
    T_ROOT_INFO* root = getRootInfo(rootId);
    if (root == nullptr) return kMmsNoSuchItem;
    if (root->size < kRootHeader + kColHeader) return kMmsLimit;
    T_COL_INFO* top = topOf(root);
    if (!fits(top, root->size - kRootHeader)) return kMmsLimit;
    top->value = nullptr;
    return cleanUpTree(top, root->size - kRootHeader);
}

MmsResult SearchTree::deleteRoot(const char* rootId)
{
    if (m_pHead == nullptr) return 4;  // nothing indexed: a status, not a failure
    T_ROOT_INFO* target = getRootInfo(rootId);
    if (target == nullptr) return kMmsBadArgument;
    T_ROOT_INFO** link = &m_pHead;
    while (*link != target) link = &(*link)->next;
    *link = target->next;
    freeBlock(target);
    return kMmsOk;
}

}  // namespace MMS
