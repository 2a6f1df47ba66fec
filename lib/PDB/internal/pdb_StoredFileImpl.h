#pragma once
// Member definitions of StoredFile; included only by the .cpp of each kind, which instantiates
// its own StoredFile explicitly.
#include "FileCache/fcache_FileAccessor.h"
#include "PDB/pdb_BackupFile.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "PDB/pdb_makeUuidFileName.h"
#include "jlib/jlib_cfg.h"
#include "pdb_StoredContainer.h"
#include "pdb_StoredFile.h"

namespace PDB::stored {

namespace file {

constexpr JLIB::JResult kBadArgument = 0x80000001u;
constexpr JLIB::JResult kProtected = 0x80000008u;
constexpr JLIB::JResult kMalformed = 0x80010000u;
constexpr JLIB::JResult kOtherProduct = 0x80020000u;
constexpr JLIB::JResult kNotAvailable = 0x80080000u;
constexpr JLIB::JResult kFail = 0x80000000u;
constexpr JLIB::JResult kWriteFailed = 0x80000080u;
constexpr uint8_t kFactor = 0xFF;

inline bool sameName(const IParameterDB& a, const IParameterDB& b)
{
    return a.name() && b.name() && std::string(a.name()) == b.name();
}

// Every element of the copy gets the live database's default.
inline void fillDefaults(LocalParameterDB& copy, const IParameterDB& live)
{
    for (uint32_t ci = 0; ci < copy.componentIndexNum(); ++ci) {
        if (!copy.uniqId(ci).isValid()) continue;  // an empty slot
        for (uint32_t ai = 0; ai < copy.addressNum(ci); ++ai) {
            const ParameterInfo& info = copy.paramInfo(ci, ai);
            for (uint32_t x = 0; x < info.numX; ++x) {
                for (uint32_t y = 0; y < info.numY; ++y) {
                    JVariant value;
                    if (JLIB::isFailure(live.getDefault(value, ci, ai, x, y))) continue;
                    (void)copy.setVariant(ci, ai, x, y, value, kFactor);  // the copy stores as given
                }
            }
        }
    }
}

}  // namespace file

template <class Contents, class ItemBlock>
StoredFile<Contents, ItemBlock>::StoredFile(const Names& names) : m_names(names)
{
    (void)FILECACHE::MBDFTopBlock::useThisBlock();  // registration happens once; later calls are no-ops
    (void)FILECACHE::MBDFEndBlock::useThisBlock();
    (void)ItemBlock::useThisBlock();
    // Without it the information block of a loaded file is not a database block.
    (void)MBDFPDBBlock::useThisBlock();
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::initializeData(const char* productName, uint32_t productVersion,
                                                              uint32_t dbWord, const Contents& contents,
                                                              const char* folder, const char* typeText)
{
    if (!productName) return file::kBadArgument;
    m_productName = productName;
    m_productVersion = productVersion;
    m_dbWord = dbWord;
    m_folder = folder ? folder : "";
    if (!m_folder.empty()) (void)FILECACHE::FileAccessor::makeDir(m_folder.c_str());  // a failure shows when saving
    m_contents = contents;

    const IParameterDB& live = gPDBCollection.getPDB(m_names.infoName);
    if (!live.isValid()) return JLIB::kOk;
    const char* const addressText[kInfoAddressNum] = {
        "/Info/ProductName",     "/Info/ProductSubName", m_names.typeAddress,     "/Info/Protect",
        "/Info/Title",           "/Info/Comment",        "/Info/OwnerName",       "/Info/TimeStamp/Year",
        "/Info/TimeStamp/Month", "/Info/TimeStamp/Day",  "/Info/TimeStamp/Hour",  "/Info/TimeStamp/Minute",
        "/Info/TimeStamp/Second",
    };
    const UniqId infoId(0);
    for (uint32_t i = 0; i < kInfoAddressNum; ++i) m_infoAddress[i] = live.getAddressId(infoId, addressText[i]);
    JLIB_RETURN_IF_FAILED(m_info.initialize(live));
    file::fillDefaults(m_info, live);
    (void)m_info.setString(m_infoAddress[kProductName], 0, 0, productName, file::kFactor);  // a cut text is a status
    if (typeText) (void)m_info.setString(m_infoAddress[kTypeText], 0, 0, typeText, file::kFactor);
    return JLIB::kOk;
}

template <class Contents, class ItemBlock>
bool StoredFile<Contents, ItemBlock>::isProtected() const
{
    return m_info.isValid() && protectFlag(m_info);
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::store(const IParameterDB& info)
{
    if (m_contents.num() == 0) return file::kNotAvailable;
    if (!info.isValid() || !m_info.isValid() || !file::sameName(info, m_info)) return file::kNotAvailable;
    if (isProtected() && protectFlag(info)) return file::kProtected;
    if (&info != &m_info) m_info = info;
    stampTime(m_info, &m_infoAddress[kYear]);

    JLIB::JResult acc = startContainer(m_container, m_names.fileType, m_productName, m_productVersion);
    {
        MBDFPDBBlock block;
        acc |= block.initialize(m_names.infoName, m_info, m_dbWord);
        if (JLIB::isFailure(acc)) {
            JLIB_LOG("[E] %s::store - cannot add ssinfo block!\n", m_names.className);
        } else {
            acc |= m_container.addBlock(0, block);
        }
    }
    uint32_t added = m_container.blockNum();
    for (uint32_t n = 0; n < m_contents.num(); ++n) {
        ItemBlock block;
        acc |= block.initialize("", m_contents.item(n), m_dbWord, true);
        if (JLIB::isFailure(acc)) {
            JLIB_LOG("[E] %s::store - cannot add #%d block!\n", m_names.className, static_cast<int>(n));
            continue;
        }
        acc |= m_container.addBlock(added++, block);
    }
    // A scene missing entries must not pass for a complete one.
    return JLIB::isFailure(acc) ? kEntryLeftOut : JLIB::kOk;
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::applyInfo(const IParameterDB& info, const char* method)
{
    if (!info.isValid() || !m_info.isValid() || !file::sameName(info, m_info)) return file::kNotAvailable;
    if (&info != &m_info) m_info = info;
    if (!isCached()) return JLIB::kOk;

    // Built before the old block goes, so a failure keeps the stored information.
    MBDFPDBBlock block;
    const JLIB::JResult r = block.initialize(m_info.name(), m_info, m_dbWord);
    if (JLIB::isFailure(r)) {
        JLIB_LOG("[E] %s::%s - cannot add ssinfo block!\n", m_names.className, method);
        return r;
    }
    uint32_t position = findInfoBlock(m_container, m_info.name());
    if (position < m_container.blockNum()) {
        (void)m_container.removeBlock(position);  // the position exists
    } else {
        position = 0;
    }
    return m_container.addBlock(position, block);
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::checkKind() const
{
    if (!m_container.isSameFileType(m_names.fileType) || !m_container.isSameProductName(m_productName.c_str())) {
        return file::kOtherProduct;
    }
    if (!m_container.isValid()) return file::kMalformed;
    return JLIB::kOk;
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::load(const char* fileName)
{
    if (!fileName) return file::kBadArgument;
    (void)m_container.clear();  // clearing cannot fail
    (void)m_contents.clear();
    if (JLIB::isFailure(m_container.readAll(fullPath(fileName).c_str(), true, nullptr, nullptr, 0))) return file::kFail;
    JLIB_RETURN_IF_FAILED(checkKind());
    const JLIB::JResult acc = importInfo(m_container, m_info);
    listContents();
    if (JLIB::isFailure(acc)) return file::kMalformed;
    m_fileName = fileName;
    return JLIB::kOk;
}

template <class Contents, class ItemBlock>
std::string StoredFile<Contents, ItemBlock>::fullPath(const std::string& name) const
{
    return FILECACHE::MBDF::makeFullPath(m_folder.c_str(), name.c_str());
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::writeTo(const char* fileName)
{
    if (!fileName) return file::kBadArgument;
    if (m_contents.num() == 0) return file::kNotAvailable;
    if (!isCached()) JLIB_RETURN_IF_FAILED(update());
    if (JLIB::isFailure(m_container.writeAll(fullPath(fileName).c_str(), nullptr, nullptr, false))) {
        return file::kWriteFailed;
    }
    return JLIB::kOk;
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::saveAs(const char* fileName)
{
    if (!fileName) return file::kNotAvailable;
    JLIB_RETURN_IF_FAILED(writeTo(fileName));
    m_fileName = fileName;
    return JLIB::kOk;
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::save()
{
    if (JLIB::isFailure(makeFileName(m_fileName))) return file::kFail;
    return writeTo(m_fileName.c_str());
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::copyTo(const char* fileName)
{
    return writeTo(fileName);
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::remove()
{
    if (m_fileName.empty()) return file::kFail;  // the bare folder is no file of ours
    if (JLIB::isFailure(FILECACHE::FileAccessor::remove(fullPath(m_fileName).c_str(), false))) return file::kFail;
    return JLIB::kOk;
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::makeFileName(std::string& out) const
{
    return makeUuidFileName(out, m_names.extension);
}

template <class Contents, class ItemBlock>
uint32_t StoredFile<Contents, ItemBlock>::exportBinarySize() const
{
    return m_container.size();
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::exportBinary(uint8_t* buffer, uint32_t size) const
{
    if (!buffer || size < exportBinarySize()) return file::kBadArgument;
    if (m_contents.num() == 0 || !isCached()) return file::kNotAvailable;
    return writeImage(m_container, ItemBlock::constBlockTag(), m_info.name(), buffer, size);
}

template <class Contents, class ItemBlock>
JLIB::JResult StoredFile<Contents, ItemBlock>::importBinary(const uint8_t* image, uint32_t size)
{
    if (!image) return file::kBadArgument;
    (void)m_container.clear();  // clearing cannot fail
    (void)m_contents.clear();
    if (JLIB::isFailure(readImage(m_container, image, size))) {
        JLIB_LOG("[E] %s::importBinary - unreadable block\n", m_names.className);
        return file::kFail;
    }
    JLIB_RETURN_IF_FAILED(checkKind());
    listContents();
    return JLIB::kOk;
}

template <class Contents, class ItemBlock>
void StoredFile<Contents, ItemBlock>::clearData()
{
    (void)m_contents.clear();
    (void)m_container.clear();
    (void)m_info.initialize(LocalParameterDB::kInvalidInstance, nullptr);  // emptying cannot fail
    for (AddressId& address : m_infoAddress) (void)address.clear();
}

}  // namespace PDB::stored
