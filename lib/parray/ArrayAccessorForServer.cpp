#include "parray/ArrayAccessorForServer.h"

#include <new>

#include "jlib/jlib_result.h"
#include "parray/ArrayTable.h"
#include "parray/IArray.h"

namespace PARRAY {

ArrayAccessorForServer::ArrayAccessorForServer() = default;

ArrayAccessorForServer::ArrayAccessorForServer(const ArrayAccessorForServer& other)
{
    *this = other;
}

ArrayAccessorForServer& ArrayAccessorForServer::operator=(const ArrayAccessorForServer& other)
{
    if (&other == this) return *this;
    finalize();
    // Sharing the block would free it twice; the copy builds its own from the same descriptions.
    if (!other.m_pTable) return *this;
    if (JLIB::isFailure(initialize(other.m_pInfoTable, other.arrayIDNum(), other.m_numX, other.m_numY))) {
        return *this;  // no memory: the copy stays empty
    }
    (void)copyArrayTable(m_pTable, other.m_pTable);  // both hold the same arrays
    for (size_t i = 0; i < m_records.size(); ++i) m_records[i].dirty = other.m_records[i].dirty;
    m_dirtyCount = other.m_dirtyCount;
    return *this;
}

ArrayAccessorForServer::~ArrayAccessorForServer()
{
    finalize();
}

uint32_t ArrayAccessorForServer::initialize(const ArrayInfo* infos, uint32_t count, uint32_t numX, uint32_t numY)
{
    if (!infos || count == 0) return JLIB::kFailed;
    finalize();
    std::vector<ArrayInfoCache> records;
    try {
        records.reserve(count);
    } catch (const std::bad_alloc&) {
        return JLIB::kFailed;
    }
    void* table = nullptr;
    uint32_t length = 0;  // not needed: the records say all there is
    JLIB_RETURN_IF_FAILED(createArrayTable(table, length, infos, count, numX, numY));

    IArray** slots = _getArrayTablePointer(table);
    for (uint32_t i = 0; i < count; ++i) {
        ArrayInfoCache record;
        record.type = infos[i].type;
        record.dimension = _decodeArrayDimension(infos[i]);
        record.sizeX = _decodeArraySize(infos[i].sizeX, numX, numY);
        record.sizeY = _decodeArraySize(infos[i].sizeY, numX, numY);
        record.sizeZ = _decodeArraySize(infos[i].sizeZ, numX, numY);
        record.array = slots[i];
        records.push_back(record);  // reserved: does not allocate
    }
    m_pTable = table;
    m_pInfoTable = infos;
    m_records = std::move(records);
    m_numX = numX;
    m_numY = numY;
    return JLIB::kOk;
}

uint32_t ArrayAccessorForServer::finalize()
{
    if (m_pTable) {
        // The descriptions built this block, so every array has a valid type and dimension.
        (void)destroyArrayTable(m_pTable, m_pInfoTable, static_cast<uint32_t>(m_records.size()));
    }
    m_pTable = nullptr;
    m_pInfoTable = nullptr;
    m_records.clear();
    m_dirtyCount = 0;
    m_numX = 0;
    m_numY = 0;
    return JLIB::kOk;
}

uint32_t ArrayAccessorForServer::getArrayPointer(void*& data, uint32_t& size, uint32_t id) const
{
    data = nullptr;
    size = 0;
    if (id >= m_records.size() || !m_records[id].array) return JLIB::kFailed;
    data = m_records[id].array->dataPtr();
    size = m_records[id].array->totalSize();
    return JLIB::kOk;
}

void* ArrayAccessorForServer::elementAt(uint32_t id, uint32_t x, uint32_t y, uint32_t z, uint32_t width) const
{
    if (id >= m_records.size() || !m_records[id].array) return nullptr;
    IArray& array = *m_records[id].array;
    auto* elements = static_cast<uint8_t*>(array.dataPtr());
    if (!elements) return nullptr;
    // The position counts elements of the array's own type; read as a wider T it can run past
    // the end, so the bytes are checked, not the position.
    const uint64_t offset = uint64_t{array.pos(x, y, z)} * width;
    if (offset + width > array.totalSize()) return nullptr;
    return elements + offset;
}

void ArrayAccessorForServer::markDirty(uint32_t id)
{
    if (m_records[id].dirty) return;
    m_records[id].dirty = true;
    ++m_dirtyCount;
}

bool ArrayAccessorForServer::hasDirty() const
{
    return m_dirtyCount != 0;
}

bool ArrayAccessorForServer::hasArrayDirty(uint32_t id)
{
    if (id >= m_records.size() || !m_records[id].dirty) return false;
    m_records[id].dirty = false;
    --m_dirtyCount;
    return true;
}

uint32_t ArrayAccessorForServer::checkNextDirty(uint32_t& id)
{
    while (id < m_records.size()) {
        if (hasArrayDirty(id)) return JLIB::kOk;
        ++id;
    }
    return JLIB::kFailed;
}

uint32_t ArrayAccessorForServer::arrayIDNum() const
{
    return static_cast<uint32_t>(m_records.size());
}

const ArrayInfo* ArrayAccessorForServer::arrayInfoTable() const
{
    return m_pInfoTable;
}

const char* ArrayAccessorForServer::getExtInfo(uint32_t id) const
{
    if (id >= m_records.size() || !m_pInfoTable) return nullExtInfo;
    return m_pInfoTable[id].extInfo;
}

}  // namespace PARRAY
