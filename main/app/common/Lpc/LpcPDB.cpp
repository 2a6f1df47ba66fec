#include "common/Lpc/LpcPDB.h"

#include <cstring>
#include <memory>
#include <new>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterArray.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcPDBLinkWrite.h"
#include "fsw/fsw_api.h"
#include "jlib/jlib_cfg.h"

namespace LPC {

namespace {

constexpr uint32_t kSaveBits = kFswOpenWrite | kFswOpenCreate;     // 0x42, "wb"
constexpr uint32_t kLoadBits = kFswOpenRead | kFswOpenExisting;    // 0x11, "rb"
constexpr uint32_t kImageWord = 0;

// Closes on every path; the close result is taken by close() where it matters.
class OpenFile {
public:
    OpenFile() : m_handle(kFswInvalidHandle) {}
    ~OpenFile() { (void)close(); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    T_FSW_HANDLE* handle() { return &m_handle; }
    JLIB::JResult close() { return m_handle == kFswInvalidHandle ? JLIB::kOk : fsw_close(&m_handle); }

private:
    T_FSW_HANDLE m_handle;
};

}  // namespace

PDB::IParameterDB& getLpcPDB() { return PDB::gPDBCollection.getPDB(kLpcPDBInstanceId); }

PDB::IParameterDB& getSnapshotInfoPDB() { return PDB::gPDBCollection.getPDB(kSnapshotInfoPDBInstanceId); }

PDB::IParameterDB& getPresetInfoPDB() { return PDB::gPDBCollection.getPDB(kPresetInfoPDBInstanceId); }

uint32_t pdb_lock() { return getLpcPDB().writeLock(); }

uint32_t pdb_unlock() { return getLpcPDB().writeUnlock(); }

PDB::AddressId pdb_resolveAddress(CATEGORY_OF_PDBTYPE category, const char* address)
{
    if (!address) return PDB::AddressId();
    PDB::IParameterDB& db = getLpcPDB();
    // Component index and unique id coincide in the device database.
    const uint32_t ci = db.getComponentIndex(PDB::UniqId(category));
    return db.getAddressId(PDB::UniqId(ci), address);
}

JLIB::JResult pdb_setParam(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, uint32_t y,
                           const JVariant& value, uint8_t attr)
{
    if (!address) return JLIB::kFailed;
    return pdb_setParamWithLink(pdb_resolveAddress(category, address), x, y, JVariantList{value}, attr);
}

JLIB::JResult pdb_getParam(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, uint32_t y, JVariant& value)
{
    if (!address) return JLIB::kFailed;
    return getLpcPDB().getVariant(value, pdb_resolveAddress(category, address), x, y, nullptr);
}

JVariant pdb_getParam(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, uint32_t y)
{
    JVariant value;
    if (JLIB::isFailure(pdb_getParam(category, address, x, y, value))) return JVariant();
    return value;
}

JLIB::JResult pdb_setParams(CATEGORY_OF_PDBTYPE category, const char* address, const char* letters, uint32_t count,
                            uint32_t x, uint32_t y, const JVariantList& values, uint8_t attr)
{
    if (!address || values.size() != count) return JLIB::kFailed;
    PDB::IParameterDB& db = getLpcPDB();
    JLIB::JResult result = JLIB::kOk;
    if (count > 1) result |= db.writeLock();
    const std::string first = getPdbAddressWithPostFix(address, letters, 0);
    result |= pdb_setParamWithLink(pdb_resolveAddress(category, first.c_str()), x, y, values, attr);
    if (count > 1) result |= db.writeUnlock();
    return result;
}

JLIB::JResult pdb_getParams(CATEGORY_OF_PDBTYPE category, const char* address, const char* letters, uint32_t count,
                            uint32_t x, uint32_t y, JVariantList& values)
{
    if (!address) return JLIB::kFailed;
    values.clear();
    PDB::IParameterDB& db = getLpcPDB();
    JLIB::JResult result = JLIB::kOk;
    if (count > 1) result |= db.readLock();
    const std::string first = getPdbAddressWithPostFix(address, letters, 0);
    const uint32_t ci = db.getComponentIndex(PDB::UniqId(category));
    const uint32_t ai = pdb_resolveAddress(category, first.c_str()).addressIndex();
    for (uint32_t k = 0; k < count; ++k) {
        JVariant value;
        result |= db.getVariant(value, ci, ai + k, x, y, nullptr);
        if (JLIB::isSuccess(result)) values.push_back(value);  // only what came before the first failure
    }
    if (count > 1) result |= db.readUnlock();
    return result;
}

template <>
JLIB::JResult pdb_setParamT<const char*>(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, uint32_t y,
                                         const char* value)
{
    if (!value) return JLIB::kFailed;
    return pdb_setParam(category, address, x, y, JVariant(value, static_cast<unsigned int>(std::strlen(value))),
                        kDerivedWriteAttr);
}

template <>
JLIB::JResult pdb_setParamT<unsigned int>(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, uint32_t y,
                                          unsigned int value)
{
    return pdb_setParam(category, address, x, y, JVariant(value), kDerivedWriteAttr);
}

JLIB::JResult pdb_setParamTChar(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, uint32_t y,
                                const char* text)
{
    return pdb_setParamT<const char*>(category, address, x, y, text);
}

JLIB::JResult setParamAll(CATEGORY_OF_PDBTYPE category, const char* address, const JVariant& value, uint8_t attr)
{
    if (!address) return JLIB::kFailed;
    const PDB::AddressId id = pdb_resolveAddress(category, address);
    const uint32_t numX = getLpcPDB().paramInfo(id.componentIndex(), id.addressIndex()).numX;
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t x = 0; x < numX; ++x) result |= lpcpdb_setVariantWithAtomic(id, x, 0, value, attr);
    return result;
}

std::string getPdbAddressWithPostFix(const char* base, const char* letters, uint32_t index)
{
    const std::string address = base ? base : "";
    if (!letters || letters[0] == '\0') return address;
    if (index >= std::strlen(letters)) return std::string();
    return address + "@" + letters + "@" + letters[index];
}

JLIB::JResult getArgNoFromPdbAddressWithPostFix(const char* address, uint32_t& index, uint32_t& count)
{
    if (!address) return JLIB::kFailed;
    const char* first = std::strchr(address, '@');
    if (!first) {
        index = 0;
        count = 0;
        return JLIB::kOk;
    }
    const char* second = std::strchr(first + 1, '@');
    if (!second || second[1] == '\0') return JLIB::kFailed;
    const std::string letters(first + 1, second);
    const size_t position = letters.find(second[1]);
    if (position == std::string::npos) return JLIB::kFailed;
    index = static_cast<uint32_t>(position);
    count = static_cast<uint32_t>(letters.size());
    return 1;
}

JLIB::JResult isAtomicParameter(PDB::IParameterDB& db, uint32_t ci, uint32_t ai, bool& isMember, uint32_t& index,
                                uint32_t& count)
{
    // The definition's own text: every handler write asks, and an id would be fingerprinted for nothing.
    const char* address = db.paramInfo(ci, ai).strAddress.c_str();
    uint32_t memberIndex = 0, memberCount = 0;
    const JLIB::JResult parsed = getArgNoFromPdbAddressWithPostFix(address, memberIndex, memberCount);
    if (JLIB::isFailure(parsed)) return parsed;
    isMember = parsed == 1;
    if (isMember) {
        index = memberIndex;
        count = memberCount;
    }
    return JLIB::kOk;
}

uint32_t getFirstAddressIndexOfAtomicParameter(uint32_t ci, uint32_t ai, uint32_t index)
{
    (void)ci;
    return ai - index;
}

uint32_t getAddressIndexOfAtomicParameter(uint32_t ci, uint32_t firstAi, uint32_t index)
{
    (void)ci;
    return firstAi + index;
}

JLIB::JResult lpcpdb_setVariantWithAtomic(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, const JVariant& value,
                                          uint8_t attr)
{
    PDB::IParameterDB& db = getLpcPDB();
    JVariant current;
    const JLIB::JResult read = db.getVariant(current, ci, ai, x, y, nullptr);
    if (JLIB::isFailure(read)) return read;
    // An unchanged value is neither written nor announced to the subscribers.
    if (current == value) return read;
    JLIB_RETURN_IF_FAILED(db.setVariant(ci, ai, x, y, value, attr));

    bool isMember = false;
    uint32_t index = 0, count = 0;
    const JLIB::JResult atomic = isAtomicParameter(db, ci, ai, isMember, index, count);
    if (JLIB::isFailure(atomic) || !isMember) return atomic;
    const uint32_t first = getFirstAddressIndexOfAtomicParameter(ci, ai, index);
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t j = 0; j < count; ++j) {
        const JLIB::JResult marked =
            db.setDirty(ci, getAddressIndexOfAtomicParameter(ci, first, j), x, y, attr);
        result = JLIB::isFailure(marked) ? JLIB::kOk : marked;
    }
    return result;
}

JLIB::JResult lpcpdb_setVariantWithAtomic(const PDB::AddressId& id, uint32_t x, uint32_t y, const JVariant& value,
                                          uint8_t attr)
{
    return lpcpdb_setVariantWithAtomic(id.componentIndex(), id.addressIndex(), x, y, value, attr);
}

JLIB::JResult lpcpdb_setVariantsWithAtomic(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, const JVariant* values,
                                           uint32_t count, uint8_t attr)
{
    PDB::IParameterDB& db = getLpcPDB();
    JLIB::JResult failures = JLIB::kOk;
    // Bit k: value k was sent to the database / was stored as sent, which the database marks itself.
    uint64_t sent = 0;
    uint64_t storedAndMarked = 0;
    JVariant current;
    for (uint32_t k = 0; k < count; ++k) {
        const JLIB::JResult read = db.getVariant(current, ci, ai + k, x, y, nullptr);
        if (JLIB::isFailure(read)) {
            failures |= read;
            continue;
        }
        if (current == values[k]) continue;
        const JLIB::JResult written = db.setVariant(ci, ai + k, x, y, values[k], attr);
        if (JLIB::isFailure(written)) {
            failures |= written;
            continue;
        }
        if (k >= 64) continue;  // beyond the masks every member is marked explicitly below
        sent |= uint64_t{1} << k;
        // A clamped value may equal the stored one and go unmarked.
        if ((written & PDB::kValueClamped) == 0) storedAndMarked |= uint64_t{1} << k;
    }
    // Each touched group once: its members the database did not mark are marked here.
    uint32_t groupEnd = 0;
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t k = 0; k < count; ++k) {
        const bool touched = k < 64 ? (sent >> k) & 1u : true;
        if (!touched || ai + k < groupEnd) continue;
        bool isMember = false;
        uint32_t index = 0, members = 0;
        const JLIB::JResult atomic = isAtomicParameter(db, ci, ai + k, isMember, index, members);
        if (JLIB::isFailure(atomic)) {
            failures |= atomic;
            continue;
        }
        if (!isMember) continue;
        const uint32_t first = getFirstAddressIndexOfAtomicParameter(ci, ai + k, index);
        groupEnd = first + members;
        for (uint32_t j = 0; j < members; ++j) {
            const uint32_t member = getAddressIndexOfAtomicParameter(ci, first, j);
            const uint32_t offset = member - ai;
            if (member >= ai && offset < count && offset < 64 && ((storedAndMarked >> offset) & 1u) != 0) continue;
            const JLIB::JResult marked = db.setDirty(ci, member, x, y, attr);
            result = JLIB::isFailure(marked) ? JLIB::kOk : marked;
        }
    }
    return JLIB::isFailure(failures) ? failures : result;
}

JLIB::JResult pdb_addressCheck(const PDB::AddressId& id)
{
    if (static_cast<int32_t>(id.componentIndex()) >= 0 && static_cast<int32_t>(id.addressIndex()) >= 0) {
        return JLIB::kOk;
    }
    JLIB_LOG("[E] LPC::pdb_addressCheck - unresolved address \"%s\"\n", id.strAddress() ? id.strAddress() : "");
    return JLIB::kFailed;
}

JLIB::JResult pdb_save(const char* path)
{
    PDB::IParameterDB& db = getLpcPDB();
    const uint32_t size = db.exportBinarySize();
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size == 0 ? 1 : size]);
    if (!buffer) return JLIB::kFailed;
    JLIB_RETURN_IF_FAILED(db.exportBinary(buffer.get(), size, kImageWord));
    OpenFile file;
    JLIB_RETURN_IF_FAILED(fsw_open(file.handle(), path, kSaveBits));
    uint32_t written = 0;
    JLIB_RETURN_IF_FAILED(fsw_write(buffer.get(), &written, size, file.handle()));
    return file.close();
}

JLIB::JResult pdb_load(const char* path)
{
    uint32_t size = 0;
    JLIB_RETURN_IF_FAILED(fsw_getSize(&size, path));
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size == 0 ? 1 : size]);
    if (!buffer) return JLIB::kFailed;
    OpenFile file;
    JLIB_RETURN_IF_FAILED(fsw_open(file.handle(), path, kLoadBits));
    uint32_t count = 0;
    const JLIB::JResult read = fsw_read(buffer.get(), &count, size, file.handle());
    if (JLIB::isFailure(read)) return read;  // the file closes on the way out
    (void)file.close();  // read-only: nothing left to lose
    // Only what was read is imported: a file that shrank since its size was taken is refused there.
    JLIB_RETURN_IF_FAILED(getLpcPDB().importBinary(buffer.get(), count, PDB::ImportAttr(), 0));
    return read;
}

}  // namespace LPC
