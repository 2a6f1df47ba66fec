#include "pdb_PresetItem.h"

#include <cstring>

#include "FileCache/fcache_BinaryAccessor.h"
#include "jlib/JBuffer.h"
#include "jlib/jlib_cfg.h"
#include "pdb_AddressId.h"
#include "pdb_ComponentInfo.h"
#include "pdb_IComponent.h"
#include "pdb_IParameterDB.h"
#include "pdb_LocalParameterArray.h"
#include "pdb_ParameterDBCollection.h"
#include "pdb_ParameterInfo.h"

namespace PDB {

namespace {

using FILECACHE::BinaryAccessor;

constexpr JLIB::JResult kBadArgument = 0x80000001u;
constexpr JLIB::JResult kMalformed = 0x80010000u;
constexpr uint32_t kBlockNoMemory = 0x80000005u;
constexpr uint32_t kBlockExportFailed = 0x80000003u;
constexpr char kImageTag[4] = {'#', 'P', 'C', '1'};
constexpr uint8_t kRecallFactor = 0xFF;
constexpr uint8_t kImportForced = ImportAttr::kForceRecall;
// An axis field of 0xFFFF in an image stands for every element along that axis.
constexpr uint32_t kAllElements16 = 0xFFFF;

uint32_t aligned(uint64_t n) { return static_cast<uint32_t>(BinaryAccessor::getAlignedSize(n)); }

bool isValidText(const std::string& text) { return !text.empty() && text.size() <= 255; }

bool hasComponent(uint32_t kind)
{
    return kind == PresetContentsItem::KIND_COMPONENT || kind == PresetContentsItem::KIND_PARAMETER_ARRAY ||
           kind == PresetContentsItem::KIND_PARAMETER;
}

bool hasAddress(uint32_t kind)
{
    return kind == PresetContentsItem::KIND_PARAMETER_ARRAY || kind == PresetContentsItem::KIND_PARAMETER;
}

// Byte width a single-parameter value of the type takes in an image; 0 for an unknown type.
uint32_t naturalWidth(uint8_t type)
{
    switch (type) {
    case 0x11: case 0x21: case 0x41: return 1;
    case 0x12: case 0x22: return 2;
    case 0x14: case 0x24: case 0x34: return 4;
    case 0x50: case 0x60: return 1;  // variable: the element size itself
    default: return 0;
    }
}

// The values area of an image seen as each element type; one read-only position.
class ConstPtrConv {
public:
    explicit ConstPtrConv(const uint8_t* p) : m_p(p) {}
    uint8_t u8() const { return m_p[0]; }
    uint16_t u16() const
    {
        uint16_t v;
        std::memcpy(&v, m_p, sizeof(v));
        return v;
    }
    uint32_t u32() const
    {
        uint32_t v;
        std::memcpy(&v, m_p, sizeof(v));
        return v;
    }
    float f32() const
    {
        float v;
        std::memcpy(&v, m_p, sizeof(v));
        return v;
    }
    const char* text() const { return reinterpret_cast<const char*>(m_p); }
    const uint8_t* bytes() const { return m_p; }

private:
    const uint8_t* m_p;
};

// Range of a single-parameter entry within an array of numX x numY.
struct ElementRange {
    uint32_t x0, x1, y0, y1;  // inclusive start, exclusive end
    uint64_t count() const { return uint64_t{x1 - x0} * (y1 - y0); }
};

ElementRange rangeOf(uint32_t x, uint32_t y, const ParameterInfo& info)
{
    ElementRange r{};
    r.x0 = x == PresetContentsItem::kAllElements ? 0 : x;
    r.x1 = x == PresetContentsItem::kAllElements ? info.numX : x + 1;
    r.y0 = y == PresetContentsItem::kAllElements ? 0 : y;
    r.y1 = y == PresetContentsItem::kAllElements ? info.numY : y + 1;
    if (r.x1 < r.x0) r.x1 = r.x0;  // x + 1 wrapped: no element
    if (r.y1 < r.y0) r.y1 = r.y0;
    return r;
}

// The values of a stored entry land as one recall; links stay off where asked.
class RecallBracket {
public:
    RecallBracket(IParameterDB& db, bool suppressLink) : m_db(db), m_suppress(suppressLink)
    {
        (void)m_db._BeginRecall();  // a flag: cannot fail
        if (m_suppress) (void)m_db._SuppressLink();
    }
    ~RecallBracket()
    {
        if (m_suppress) (void)m_db._UnsuppressLink();
        (void)m_db._EndRecall();
    }
    RecallBracket(const RecallBracket&) = delete;
    RecallBracket& operator=(const RecallBracket&) = delete;

private:
    IParameterDB& m_db;
    bool m_suppress;
};

// Only failures count: statuses such as "clamped" mean the values went in.
JLIB::JResult failureOrOk(JLIB::JResult r) { return JLIB::isFailure(r) ? r : JLIB::kOk; }

}  // namespace

// ---- PresetContentsItem ---------------------------------------------------------------

uint32_t PresetContentsItem::clear()
{
    *this = PresetContentsItem();
    return 0;
}

uint32_t PresetContentsItem::set(uint32_t kind, const char* dbName, const UniqId& id, const char* componentName,
                                 const char* address, uint32_t x, uint32_t y)
{
    m_kind = kind;
    m_dbName = dbName ? dbName : "";
    m_uniqId = id;
    m_componentName = componentName ? componentName : "";
    m_address = address ? address : "";
    m_x = x;
    m_y = y;
    return 0;
}

bool PresetContentsItem::isValid() const
{
    switch (m_kind) {
    case KIND_DATABASE: return isValidText(m_dbName);
    case KIND_COMPONENT: return isValidText(m_dbName) && m_uniqId.isValid() && isValidText(m_componentName);
    case KIND_PARAMETER_ARRAY:
        return isValidText(m_dbName) && m_uniqId.isValid() && isValidText(m_componentName) &&
               isValidText(m_address) && m_x != 0 && m_y != 0;
    case KIND_PARAMETER:
        return isValidText(m_dbName) && m_uniqId.isValid() && isValidText(m_componentName) && isValidText(m_address);
    default: return true;
    }
}

uint32_t PresetContentsItem::namesLength() const
{
    if (m_kind >= KIND_NONE) return 0;
    uint32_t n = static_cast<uint32_t>(m_dbName.size());
    if (hasComponent(m_kind)) n += static_cast<uint32_t>(m_componentName.size());
    if (hasAddress(m_kind)) n += static_cast<uint32_t>(m_address.size());
    return n;
}

uint32_t PresetContentsItem::exportBinarySize(const IParameterDB& db, const UniqId& id, bool withValues) const
{
    const uint32_t head = kHeaderSize + aligned(namesLength());
    if (!withValues || m_kind >= KIND_NONE) return head;
    if (m_kind == KIND_DATABASE) return head + db.exportBinarySize();

    MutexReadLocker lock(db);  // the component is read without the database's own operations
    const uint32_t ci = db.getComponentIndex(id);
    const IComponent& component = db._getComponent(ci);
    if (m_kind == KIND_COMPONENT) {
        if (!component.isValid()) return kBadArgument;
        return head + component.exportSize();
    }
    const uint32_t ai = db.componentInfo(ci).addressIndex(m_address.c_str());
    if (m_kind == KIND_PARAMETER_ARRAY) return head + component.paramArray(ai).totalSize();

    if (m_x == kAllElements && m_y == kAllElements) return kMalformed;
    const ParameterInfo& info = db.paramInfo(ci, ai);
    const uint64_t bytes = rangeOf(m_x, m_y, info).count() * info.itemSize;
    if (bytes > 0x7FFFFFFFu - head) return kBadArgument;  // no image this large can be held
    return head + aligned(bytes);
}

JLIB::JResult PresetContentsItem::exportBinary(const IParameterDB& db, const UniqId& id, uint8_t* buffer,
                                               uint32_t size, uint32_t dbWord, bool withValues) const
{
    if (!isValid()) return kMalformed;
    if (!buffer) return kBadArgument;
    MutexReadLocker lock(db);  // size and contents from one state of the database
    const uint32_t need = exportBinarySize(db, id, withValues);
    if (JLIB::isFailure(need)) return need;
    if (size < need) return kBadArgument;

    std::memset(buffer, 0, kHeaderSize);
    std::memcpy(buffer, kImageTag, sizeof(kImageTag));
    buffer[4] = static_cast<uint8_t>((m_kind & 0x7F) | (withValues ? kValuesFlag : 0));
    uint8_t* p = buffer + kHeaderSize;
    if (m_kind < KIND_NONE) {
        buffer[5] = static_cast<uint8_t>(m_dbName.size());
        std::memcpy(p, m_dbName.data(), m_dbName.size());
        p += m_dbName.size();
    }
    if (hasComponent(m_kind)) {
        buffer[6] = static_cast<uint8_t>(m_componentName.size());
        (void)BinaryAccessor::setUInt(buffer + 8, 4, id.id(), true);  // fixed field of the header
        std::memcpy(p, m_componentName.data(), m_componentName.size());
        p += m_componentName.size();
    }
    if (hasAddress(m_kind)) {
        buffer[7] = static_cast<uint8_t>(m_address.size());
        (void)BinaryAccessor::setUInt(buffer + 12, 2, m_x & 0xFFFF, true);  // fixed fields of the header
        (void)BinaryAccessor::setUInt(buffer + 14, 2, m_y & 0xFFFF, true);
        std::memcpy(p, m_address.data(), m_address.size());
        p += m_address.size();
    }
    const uint32_t namesEnd = kHeaderSize + aligned(namesLength());
    std::memset(p, 0, buffer + namesEnd - p);
    if (!withValues || m_kind >= KIND_NONE) return JLIB::kOk;

    uint8_t* values = buffer + namesEnd;
    const uint32_t room = size - namesEnd;
    if (m_kind == KIND_DATABASE) return failureOrOk(db.exportBinary(values, room, dbWord));

    const uint32_t ci = db.getComponentIndex(id);
    const IComponent& component = db._getComponent(ci);
    if (m_kind == KIND_COMPONENT) {
        if (!component.isValid()) return kBadArgument;
        return failureOrOk(component.exportBinary(values, room));
    }
    const uint32_t ai = db.componentInfo(ci).addressIndex(m_address.c_str());
    if (m_kind == KIND_PARAMETER_ARRAY) {
        uint32_t written = 0;
        return failureOrOk(component.paramArray(ai).exportData(values, room, written));
    }

    const ParameterInfo& info = db.paramInfo(ci, ai);
    const ElementRange range = rangeOf(m_x, m_y, info);
    uint8_t* q = values;
    for (uint32_t i = range.x0; i < range.x1; ++i) {
        for (uint32_t j = range.y0; j < range.y1; ++j) {
            JVariant value;
            const JLIB::JResult r = db.getVariant(value, ci, ai, i, j, nullptr);
            if (JLIB::isFailure(r)) return r;
            JLIB_RETURN_IF_FAILED(exportOneData(info.type, info.itemSize, value, q,
                                                static_cast<uint32_t>(buffer + need - q)));
            q += info.itemSize;
        }
    }
    std::memset(q, 0, buffer + need - q);
    return JLIB::kOk;
}

JLIB::JResult PresetContentsItem::importBinary(IParameterDB& db, const UniqId& id, const uint8_t* image,
                                               uint32_t size, bool withValues)
{
    if (!image || size < kHeaderSize) return kBadArgument;
    (void)clear();
    if (std::memcmp(image, kImageTag, sizeof(kImageTag)) != 0) return kMalformed;

    const uint32_t kind = image[4] & 0x7F;
    const uint32_t dbLength = kind < KIND_NONE ? image[5] : 0;
    const uint32_t componentLength = hasComponent(kind) ? image[6] : 0;
    const uint32_t addressLength = hasAddress(kind) ? image[7] : 0;
    const uint32_t names = dbLength + componentLength + addressLength;
    if (names > size - kHeaderSize) return kMalformed;

    const char* p = reinterpret_cast<const char*>(image + kHeaderSize);
    m_kind = kind;
    m_dbName.assign(p, dbLength);
    p += dbLength;
    if (hasComponent(kind)) {
        m_uniqId = UniqId(BinaryAccessor::getUInt(image + 8, 4, true));
        m_componentName.assign(p, componentLength);
        p += componentLength;
    }
    if (hasAddress(kind)) {
        m_address.assign(p, addressLength);
        const uint32_t x = BinaryAccessor::getUInt(image + 12, 2, true);
        const uint32_t y = BinaryAccessor::getUInt(image + 14, 2, true);
        m_x = x == kAllElements16 ? kAllElements : x;
        m_y = y == kAllElements16 ? kAllElements : y;
    }

    if (!withValues || (image[4] & kValuesFlag) == 0 || kind >= KIND_NONE) return JLIB::kOk;
    const uint64_t valuesStart = kHeaderSize + BinaryAccessor::getAlignedSize(names);
    if (valuesStart >= size) return kMalformed;
    const uint8_t* values = image + valuesStart;
    const uint32_t length = static_cast<uint32_t>(size - valuesStart);

    MutexWriteLocker lock(db);  // the recall bracket and component writes belong to one change
    if (kind == KIND_DATABASE) {
        RecallBracket bracket(db, false);
        return failureOrOk(db.importBinary(values, length, ImportAttr(kImportForced), JLIB::HeapId(255)));
    }

    const uint32_t ci = db.getComponentIndex(id);
    const char* targetType = db.componentName(ci);
    if (kind == KIND_COMPONENT) {
        IComponent& component = db._getComponent(ci);
        if (!component.isValid()) return kBadArgument;
        if (!targetType || m_componentName != targetType) return kMalformed;
        RecallBracket bracket(db, false);
        return failureOrOk(
            component.importBinary(db, ci, values, length, ImportAttr(kImportForced), kRecallFactor, JLIB::HeapId(0)));
    }

    const uint32_t ai = db.componentInfo(ci).addressIndex(m_address.c_str());
    const ParameterInfo& info = db.paramInfo(ci, ai);
    if (!targetType || m_componentName != targetType) return kMalformed;
    if (kind == KIND_PARAMETER_ARRAY) {
        LocalParameterArray scratch;
        if (JLIB::isFailure(scratch.initialize(info))) return kBadArgument;
        if (JLIB::isFailure(scratch.importData(info, values, length, DummyFlagArray::getInstance(),
                                               ImportAttr(kImportForced), kRecallFactor))) {
            return kBadArgument;
        }
        RecallBracket bracket(db, false);
        return failureOrOk(db.setVariants(ci, ai, scratch, kRecallFactor));
    }

    if (m_x == kAllElements && m_y == kAllElements) return kMalformed;
    const ElementRange range = rangeOf(m_x, m_y, info);
    RecallBracket bracket(db, true);
    uint32_t offset = 0;
    for (uint32_t i = range.x0; i < range.x1; ++i) {
        for (uint32_t j = range.y0; j < range.y1; ++j) {
            JVariant value;
            JLIB_RETURN_IF_FAILED(importOneData(info.type, info.itemSize, value, values + offset, length - offset));
            offset += info.itemSize;
            const JLIB::JResult r = db.setVariant(ci, ai, i, j, value, kRecallFactor);
            if (JLIB::isFailure(r)) return r;
        }
    }
    return JLIB::kOk;
}

JLIB::JResult PresetContentsItem::exportOneData(uint8_t type, uint32_t elementSize, const JVariant& value,
                                                uint8_t* position, uint32_t room)
{
    const uint32_t width = naturalWidth(type);
    if (!position || width == 0 || elementSize < width || room < elementSize) return kBadArgument;
    switch (type) {
    case 0x11: case 0x41: position[0] = static_cast<uint8_t>(value.toUInt32()); break;
    case 0x21: position[0] = static_cast<uint8_t>(value.toInt32()); break;
    case 0x12: {
        const uint16_t v = static_cast<uint16_t>(value.toUInt32());
        std::memcpy(position, &v, sizeof(v));
        break;
    }
    case 0x22: {
        const uint16_t v = static_cast<uint16_t>(value.toInt32());
        std::memcpy(position, &v, sizeof(v));
        break;
    }
    case 0x14: {
        const uint32_t v = value.toUInt32();
        std::memcpy(position, &v, sizeof(v));
        break;
    }
    case 0x24: {
        const int32_t v = value.toInt32();
        std::memcpy(position, &v, sizeof(v));
        break;
    }
    case 0x34: {
        const float v = value.toFloat();
        std::memcpy(position, &v, sizeof(v));
        break;
    }
    case 0x50: {
        std::memset(position, 0, elementSize);
        const char* text = value.toString();
        if (text) std::memcpy(position, text, strnlen(text, elementSize));
        break;
    }
    case 0x60: {
        std::memset(position, 0, elementSize);
        const unsigned char* bytes = value.toBinary();
        const uint32_t n = value.getBinaryLength();
        if (bytes) std::memcpy(position, bytes, n < elementSize ? n : elementSize);
        break;
    }
    default: return kBadArgument;
    }
    return JLIB::kOk;
}

JLIB::JResult PresetContentsItem::importOneData(uint8_t type, uint32_t elementSize, JVariant& value,
                                                const uint8_t* position, uint32_t room)
{
    const uint32_t width = naturalWidth(type);
    if (!position || width == 0 || elementSize < width || room < elementSize) return kBadArgument;
    const ConstPtrConv at(position);
    switch (type) {
    case 0x11: case 0x41: (void)value.setUInt32(at.u8()); break;  // number setters always succeed
    case 0x12: (void)value.setUInt32(at.u16()); break;
    case 0x14: (void)value.setUInt32(at.u32()); break;
    case 0x21: (void)value.setInt32(static_cast<int8_t>(at.u8())); break;
    case 0x22: (void)value.setInt32(static_cast<int16_t>(at.u16())); break;
    case 0x24: (void)value.setInt32(static_cast<int32_t>(at.u32())); break;
    case 0x34: (void)value.setFloat(at.f32()); break;
    case 0x50:
        if (JLIB::isFailure(value.setString(at.text(), elementSize))) return kBadArgument;
        break;
    case 0x60:
        if (JLIB::isFailure(value.setBinary(at.bytes(), elementSize))) return kBadArgument;
        break;
    default: return kBadArgument;
    }
    return JLIB::kOk;
}

// ---- PresetContentsList ---------------------------------------------------------------

PresetContentsList::~PresetContentsList() = default;

bool PresetContentsList::isValidString(const char* text)
{
    if (!text) return false;
    const size_t n = strnlen(text, 256);
    return n >= 1 && n <= 255;
}

JLIB::JResult PresetContentsList::addComponent(const IParameterDB& db, const UniqId& id)
{
    if (!isValidString(db.name()) || !id.isValid()) return kBadArgument;
    PresetContentsItem item;
    const uint32_t ci = db.getComponentIndex(id);
    (void)item.set(PresetContentsItem::KIND_COMPONENT, db.name(), id, db.componentInfo(ci).componentName().c_str(),
                   nullptr, 0, 0);
    m_items.push_back(item);
    return JLIB::kOk;
}

JLIB::JResult PresetContentsList::addParameterArray(const IParameterDB& db, const UniqId& id, const char* address)
{
    if (!isValidString(db.name()) || !id.isValid() || !isValidString(address)) return kBadArgument;
    MutexReadLocker lock(db);  // type, index and shape from one state of the database
    const uint32_t ci = db.getComponentIndex(id);
    const ComponentInfo& type = db.componentInfo(ci);
    const ParameterInfo& info = db.paramInfo(ci, type.addressIndex(address));
    PresetContentsItem item;
    (void)item.set(PresetContentsItem::KIND_PARAMETER_ARRAY, db.name(), id, type.componentName().c_str(), address,
                   info.numX, info.numY);
    m_items.push_back(item);
    return JLIB::kOk;
}

JLIB::JResult PresetContentsList::addParameter(const IParameterDB& db, const UniqId& id, const char* address,
                                               uint32_t x, uint32_t y)
{
    if (!isValidString(db.name()) || !id.isValid() || !isValidString(address)) return kBadArgument;
    PresetContentsItem item;
    const uint32_t ci = db.getComponentIndex(id);
    (void)item.set(PresetContentsItem::KIND_PARAMETER, db.name(), id, db.componentInfo(ci).componentName().c_str(),
                   address, x, y);
    m_items.push_back(item);
    return JLIB::kOk;
}

JLIB::JResult PresetContentsList::addParameterArray(const AddressId& address)
{
    return addParameterArray(gPDBCollection.getPDB(address.pdbName()), address.uniqId(), address.strAddress());
}

JLIB::JResult PresetContentsList::addParameter(const AddressId& address, uint32_t x, uint32_t y)
{
    return addParameter(gPDBCollection.getPDB(address.pdbName()), address.uniqId(), address.strAddress(), x, y);
}

JLIB::JResult PresetContentsList::addItem(const PresetContentsItem& item)
{
    if (!item.isValid()) return kBadArgument;
    m_items.push_back(item);
    return JLIB::kOk;
}

const PresetContentsItem& PresetContentsList::item(uint32_t index) const
{
    static const PresetContentsItem empty;
    return index < m_items.size() ? m_items[index] : empty;
}

uint32_t PresetContentsList::clear()
{
    m_items.clear();
    return 0;
}

// ---- MBDFPDBPSBlock -------------------------------------------------------------------

uint32_t MBDFPDBPSBlock::initialize(const char* subTag, const PresetContentsItem& item, uint32_t dbWord,
                                    bool withValues)
{
    const IParameterDB* db = findPDB(item.dbName().c_str(), gPDBCollection);
    if (!db) return kBadArgument;
    return initialize(subTag, item, dbWord, withValues, *db, item.uniqId());
}

uint32_t MBDFPDBPSBlock::initialize(const char* subTag, const PresetContentsItem& item, uint32_t dbWord,
                                    bool withValues, const IParameterDB& db, const UniqId& id)
{
    if (!item.isValid()) return kBadArgument;
    clear();
    if (JLIB::isFailure(setBlockTag(constBlockTag())) || JLIB::isFailure(setBlockSubTag(subTag))) {
        return kBadArgument;
    }
    MutexReadLocker lock(db);  // the size must still hold when the image is written
    const uint32_t size = item.exportBinarySize(db, id, withValues);
    if (size == 0 || JLIB::isFailure(size)) return kBadArgument;
    JLIB::JBuffer<uint8_t> buffer(0, size, "PresetItem");
    if (!buffer.isValid()) return kBlockNoMemory;
    if (JLIB::isFailure(item.exportBinary(db, id, buffer.pointer(), size, dbWord, withValues))) {
        return kBlockExportFailed;
    }
    if (JLIB::isFailure(setData(buffer.pointer(), size))) return kBadArgument;
    return 0;
}

bool MBDFPDBPSBlock::isValid() const { return blockTag() == constBlockTag() && dataSize(false) != 0; }

IParameterDB* findPDB(const char* name, ParameterDBCollection& registry)
{
    if (!name) return nullptr;
    const IParameterDB& none = ParameterDBNULL::getNullObject();
    for (uint32_t i = 0; i < registry.numOfPDB(); ++i) {
        IParameterDB& db = registry.getPDB(i);
        if (&db != &none && std::strcmp(db.name(), name) == 0) return &db;
    }
    return nullptr;
}

}  // namespace PDB
