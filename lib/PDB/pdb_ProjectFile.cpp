#include "pdb_ProjectFile.h"

#include <cstring>
#include <string>

#include "FileCache/fcache_MBDFFileBlock.h"
#include "MMSFunc/mmsf_SelectedItemLoader.h"
#include "jlib/jlib_cfg.h"
#include "ossupport/ossupport_DateTime.h"
#include "pdb_BackupFile.h"
#include "pdb_FlagArray.h"
#include "pdb_ParameterDBCollection.h"

namespace PDB {

namespace {

constexpr uint32_t kFail = 0x80000000u;
constexpr uint32_t kBadArgument = 0x80000001u;
constexpr uint32_t kNotThisProject = 0x80000003u;
constexpr uint32_t kFileFailure = 0x80000004u;
constexpr uint32_t kContainerWriteFailure = 0x80000080u;
constexpr uint32_t kMaxDirReads = 0xFFFE;
constexpr uint32_t kPieceSize = 1024;
constexpr uint8_t kAnyFactor = 255;
constexpr uint8_t kForceRecall = 0x08;
constexpr FILECACHE::MBDFFileBlock::CompressionLevel kProjectLevel = 6;

const char* const kFileType = "ProjectFile";
const char* const kInfoDatabase = "ProjectInfo";

enum InfoAddress : uint32_t {
    kProductName, kProductSubName, kComment, kOwnerName, kYear, kMonth, kDay, kHour, kMinute, kSecond,
};

const char* const kInfoAddresses[ProjectFile::kInfoAddressNum] = {
    "/Info/ProductName", "/Info/ProductSubName", "/Info/Comment",       "/Info/OwnerName",
    "/Info/TimeStamp/Year", "/Info/TimeStamp/Month", "/Info/TimeStamp/Day", "/Info/TimeStamp/Hour",
    "/Info/TimeStamp/Minute", "/Info/TimeStamp/Second",
};

constexpr auto kRead = FILECACHE::IMBDFObserver::PROGRESS_READ;

}  // namespace

ProjectFile::ProjectFile()
{
    (void)FILECACHE::MBDFTopBlock::useThisBlock();  // always 0
    (void)FILECACHE::MBDFEndBlock::useThisBlock();  // always 0
    (void)MBDFPDBBlock::useThisBlock();  // always 0
    (void)FILECACHE::MBDFFileBlock::useThisBlock();  // always 0
}

ProjectFile::~ProjectFile() = default;

uint32_t ProjectFile::initialize(const char* productName, uint32_t productVersion, uint32_t databaseWord,
                                 const ItemMap& items, MMSFUNC::SelectedItemLoader* loader, bool removePrevious)
{
    if (!productName) return kBadArgument;
    m_productName = productName;
    m_productVersion = productVersion;
    m_databaseWord = databaseWord;
    uint32_t result = 0;
    IParameterDB& live = gPDBCollection.getPDB(kInfoDatabase);
    if (live.isValid()) result = prepareProjectInfo(live);
    m_items = items;
    if (loader) m_pLoader = loader;
    m_currentProjectPath.clear();
    m_removePrevious = removePrevious;
    return result;
}

uint32_t ProjectFile::prepareProjectInfo(IParameterDB& live)
{
    for (uint32_t i = 0; i < kInfoAddressNum; ++i) {
        m_infoAddress[i] = live.getAddressId(UniqId(0), kInfoAddresses[i]);
        if (!m_infoAddress[i].isCached()) {
            // Without all ten parameters there is no project information to keep.
            (void)m_projectInfo.clear();  // always 0
            return kFail;
        }
    }
    (void)m_projectInfo.initialize(live);  // always 0
    // The information starts from the defaults, not from what the live database holds now.
    for (uint32_t ci = 0; ci < live.componentIndexNum(); ++ci) {
        for (uint32_t ai = 0; ai < live.addressNum(ci); ++ai) {
            const ParameterInfo& info = live.paramInfo(ci, ai);
            for (uint32_t x = 0; x < info.numX; ++x) {
                for (uint32_t y = 0; y < info.numY; ++y) {
                    JVariant value;
                    if (JLIB::isFailure(live.getDefault(value, ci, ai, x, y))) continue;
                    (void)m_projectInfo.setVariant(ci, ai, x, y, value, kAnyFactor);  // a clamp is no failure
                }
            }
        }
    }
    JVariant text;
    (void)text.setString(m_productName.c_str(), 0xFFFFFFFFu);  // an empty value is refused below
    (void)m_projectInfo.setVariant(m_infoAddress[kProductName], 0, 0, text, kAnyFactor);  // as above
    (void)text.setString("", 0xFFFFFFFFu);  // as above
    (void)m_projectInfo.setVariant(m_infoAddress[kProductSubName], 0, 0, text, kAnyFactor);  // as above
    return 0;
}

uint32_t ProjectFile::pack(const char* path, const char* comment, const char* ownerName, volatile bool* stop,
                           FILECACHE::IMBDFObserver* observer, uint32_t, uint32_t)
{
    if (!path || !comment || !ownerName || !isValid()) return kFail;
    uint32_t stamp[6] = {};  // year, month, day, hour, minute, second
    // A failed clock leaves a zero time stamp.
    (void)OSSUPPORT::GetUTCDateTime(&stamp[0], &stamp[1], &stamp[2], nullptr, &stamp[3], &stamp[4], &stamp[5]);
    JVariant text;
    (void)text.setString(comment, 0xFFFFFFFFu);  // values that do not fit are cut by the database
    (void)m_projectInfo.setVariant(m_infoAddress[kComment], 0, 0, text, kAnyFactor);
    (void)text.setString(ownerName, 0xFFFFFFFFu);
    (void)m_projectInfo.setVariant(m_infoAddress[kOwnerName], 0, 0, text, kAnyFactor);
    for (uint32_t i = 0; i < 6; ++i) {
        (void)m_projectInfo.setUInt32(m_infoAddress[kYear + i], 0, 0, stamp[i], kAnyFactor);  // as above
    }
    (void)m_container.clear();  // always 0
    const uint32_t written = writeProjectFile(path, stop, observer);
    if (JLIB::isFailure(written)) {
        // A failed write never replaced the file at the path (the container writes a temporary
        // file, and a failed entry writes nothing), so the previous project is still there.
        (void)readProjectFile(m_currentProjectPath.c_str(), false, stop, observer, nullptr, 0);
        return kFail;
    }
    if (m_removePrevious && !m_currentProjectPath.empty() && m_currentProjectPath != path) {
        (void)removeProjectFile(m_currentProjectPath.c_str());  // a stale previous file does no harm
    }
    m_currentProjectPath = path;
    return written;
}

uint32_t ProjectFile::unpack(const char* path, volatile bool* stop, FILECACHE::IMBDFObserver* observer,
                             const MMSFUNC::LoadItemSelector* selection, uint32_t value)
{
    if (!path || !isValid()) return kFail;
    m_currentProjectPath = path;
    return readProjectFile(path, true, stop, observer, selection, value) & kFail;
}

uint32_t ProjectFile::writeProjectFile(const char* path, volatile bool* stop, FILECACHE::IMBDFObserver* observer)
{
    if (!path || !*path) return kFail;
    FILECACHE::DummyMBDFObserver dummy;
    FILECACHE::IMBDFObserver& report = observer ? *observer : dummy;
    uint8_t uuid[16] = {};
    (void)FILECACHE::fcache_getUuid(uuid, sizeof(uuid));  // any 16 bytes serve
    if (JLIB::isFailure(m_container.initialize(kFileType, m_productName.c_str(), m_productVersion, uuid,
                                               sizeof(uuid)))) {
        return kFail;
    }
    MBDFPDBBlock info;
    if (JLIB::isFailure(info.initialize(m_projectInfo.name(), m_projectInfo, m_databaseWord))) {
        JLIB_LOG("[E] ProjectFile::writeProjectFile - cannot add [%s] block!\n", m_projectInfo.name());
        return kFail;
    }
    uint32_t accumulated = m_container.addBlock(info);
    for (const auto& item : m_items) {
        EntryMap entries;
        accumulated |= makeFileList(entries, item.second.c_str());
        for (const auto& entry : entries) {
            FILECACHE::MBDFFileBlock block;
            uint32_t r = block.initialize(item.first.c_str(), false, item.second.c_str(), entry.first.c_str(), false,
                                          kProjectLevel, 0, nullptr);
            if (JLIB::isFailure(r)) {
                JLIB_LOG("[E] ProjectFile::writeProjectFile - cannot add [%s] block!\n", entry.first.c_str());
                r = kFail;
            } else {
                r = m_container.addBlock(block);
            }
            if (JLIB::isSuccess(r)) continue;
            if (!isFileExist((item.second + "/" + entry.first).c_str())) {
                (void)report.onMBDFErrorOccurred(kRead, path, kFileFailure);
                return kFail;
            }
            accumulated |= r;
        }
    }
    // A project that misses an entry is not written at all: writing it would only replace a
    // sound file at the path with one that pack has to throw away.
    if (JLIB::isFailure(accumulated)) return kFail;
    if (JLIB::isFailure(m_container.writeAll(path, stop, observer, false))) return kContainerWriteFailure;
    return accumulated;
}

uint32_t ProjectFile::readProjectFile(const char* path, bool extract, volatile bool* stop,
                                      FILECACHE::IMBDFObserver* observer, const MMSFUNC::LoadItemSelector* selection,
                                      uint32_t)
{
    if (!path || !*path) return kFail;
    JVariant productName;
    if (JLIB::isFailure(m_projectInfo.getVariant(productName, m_infoAddress[kProductName], 0, 0, nullptr)) ||
        !productName.isValid()) {
        return kFail;
    }
    FILECACHE::DummyMBDFObserver dummy;
    FILECACHE::IMBDFObserver& report = observer ? *observer : dummy;
    FILECACHE::FileAccessor file;
    if (JLIB::isFailure(m_container.readAll(path, false, nullptr, nullptr, 0)) ||
        JLIB::isFailure(file.open(path, FILECACHE::FileAccessor::OPEN_READ))) {
        (void)report.onMBDFErrorOccurred(kRead, path, kFileFailure);
        return kFail;
    }
    if (!m_container.isSameFileType(kFileType) || !m_container.isSameProductName(m_productName.c_str()) ||
        !m_container.isValid()) {
        (void)report.onMBDFErrorOccurred(kRead, path, kNotThisProject);
        (void)m_container.clear();  // always 0
        return kFail;
    }
    const bool delegated = extract && selection && m_pLoader;
    if (delegated) {
        (void)MMSFUNC::SelectedItemLoader::setUnpackPattern(m_items);  // always 0
        if (!m_pLoader->checkForExecutable(m_container, observer, selection, stop)) {
            (void)m_container.clear();  // always 0
            return kFileFailure;
        }
    }
    (void)importProjectInfo(file);  // a project without information still unpacks
    if (!extract) return 0;
    if (delegated) return m_pLoader->loadProject(path, file, m_container, stop, observer, selection, 0);
    return extractBlocks(path, file, stop, report);
}

uint32_t ProjectFile::extractBlocks(const char* path, FILECACHE::FileAccessor& projectFile, volatile bool* stop,
                                    FILECACHE::IMBDFObserver& report)
{
    // Names are checked before any folder is emptied: a crafted project is refused whole.
    for (auto it = m_container.begin(); it != m_container.end(); ++it) {
        const auto* block = m_container.blockPtr<FILECACHE::MBDFFileBlock>(it);
        if (!block || m_items.find(block->blockSubTag()) == m_items.end()) continue;
        if (FILECACHE::MBDFFileBlock::isSafeEntryName(block->fileName())) continue;
        JLIB_LOG("[E] ProjectFile::readProjectFile - refused an entry name outside its folder [%s]\n",
                 block->fileName().c_str());
        (void)report.onMBDFErrorOccurred(kRead, path, kNotThisProject);
        return kFail;
    }
    (void)cleanupDestFolder();  // what cannot be removed is overwritten or stays beside
    const uint32_t total = m_container.blockNum();
    uint32_t counter = 0;
    uint32_t accumulated = 0;
    for (auto it = m_container.begin(); it != m_container.end(); ++it, ++counter) {
        auto* block = m_container.blockPtr<FILECACHE::MBDFFileBlock>(it);
        if (!block) continue;
        const auto item = m_items.find(block->blockSubTag());
        if (item == m_items.end()) continue;
        const std::string target = item->second + "/" + block->fileName();
        if (FILECACHE::MBDF::checkStopFlag(stop)) {
            (void)report.onMBDFProgressChanged(kRead, counter, total, target.c_str(), "Aborted.", true);
            return 0;
        }
        (void)report.onMBDFProgressChanged(kRead, counter, total, target.c_str(), "Extracting files...", false);
        // Streamed from the open file, so no entry is limited by what a block may hold in memory.
        uint32_t r = projectFile.seek(FILECACHE::FileAccessor::ORIGIN_BEGIN,
                                      static_cast<int32_t>(m_container.offset(it)));
        if (JLIB::isSuccess(r)) r = block->streamExportFile(item->second.c_str(), projectFile, kPieceSize);
        if (JLIB::isSuccess(r)) continue;
        if (!isFileExist(path)) {
            (void)report.onMBDFErrorOccurred(kRead, path, kFileFailure);
            return kFail;
        }
        accumulated = kFail;
    }
    (void)report.onMBDFProgressChanged(kRead, counter, total, path, "Finshed.", true);
    return accumulated;
}

uint32_t ProjectFile::removeProjectFile(const char* path)
{
    if (!path || !*path) return kFail;
    return JLIB::isFailure(FILECACHE::FileAccessor::remove(path, false)) ? kFail : 0;
}

bool ProjectFile::isFileExist(const char* path)
{
    uint32_t attribute = 0;
    return path && JLIB::isSuccess(fsw_getAttribute(&attribute, path));
}

uint32_t ProjectFile::makeFileList(EntryMap& entries, const char* path)
{
    if (!path || !*path) return kFail;
    if (std::strcmp(path, ".") == 0 || std::strcmp(path, "..") == 0) return 0;
    uint32_t attribute = 0;
    if (JLIB::isFailure(fsw_getAttribute(&attribute, path))) {
        JLIB_LOG("[E] ProjectFile::addItem - cannot read a file attribution! [%s]\n", path);
        return kFail;
    }
    if ((attribute & kFswAttrDirectory) == 0) {
        entries.emplace(path, "");
        return 0;
    }
    T_FSW_DIR* dir = nullptr;
    if (JLIB::isFailure(fsw_openDir(&dir, path))) {
        JLIB_LOG("[E] ProjectFile::addItem - cannot open a directory! [%s]\n", path);
        return kFail;
    }
    const uint32_t listed = addListAllDirEntries(dir, entries, path);
    if (JLIB::isFailure(listed)) JLIB_LOG("[E] ProjectFile::addItem - cannot add directory entries! [%s]\n", path);
    const uint32_t closed = fsw_closeDir(dir);
    if (JLIB::isFailure(listed) || JLIB::isFailure(closed)) {
        JLIB_LOG("[E] ProjectFile::addItem - cannot close a directory! [%s]\n", path);
        return kFail;
    }
    return 0;
}

uint32_t ProjectFile::addListAllDirEntries(T_FSW_DIR* dir, EntryMap& entries, const char* folder)
{
    for (uint32_t reads = 0; reads < kMaxDirReads; ++reads) {
        uint32_t size = 0;
        uint32_t r = fsw_readDirSize(dir, &size);
        if (r == kFswNotFound) return 0;
        if (JLIB::isFailure(r)) {
            JLIB_LOG("[E] ProjectFile::addItem - cannot get a directory entry size!\n");
            return r;
        }
        std::string name(size, '\0');
        r = fsw_readDir(dir, name.data(), size);
        name.resize(std::strlen(name.c_str()));
        if (r == kFswNotFound) return 0;
        if (JLIB::isFailure(r)) {
            JLIB_LOG("[E] ProjectFile::addItem - cannot read a directory entry! [%s]\n",
                     (std::string(folder) + "/" + name).c_str());
            return r;
        }
        if (name == "." || name == "..") continue;
        entries.emplace(name, folder);
    }
    return 0;
}

uint32_t ProjectFile::cleanupDestFolder()
{
    uint32_t result = 0;
    for (const auto& item : m_items) {
        EntryMap entries;
        result |= makeFileList(entries, item.second.c_str());
        for (const auto& entry : entries) {
            // What cannot be removed is overwritten by the extraction or stays beside it.
            (void)FILECACHE::FileAccessor::remove((item.second + "/" + entry.first).c_str(), true);
        }
    }
    return result;
}

uint32_t ProjectFile::importProjectInfo(FILECACHE::FileAccessor& projectFile)
{
    for (auto it = m_container.begin(); it != m_container.end(); ++it) {
        MBDFPDBBlock* block = m_container.blockPtr<MBDFPDBBlock>(it);
        if (!block || block->instanceNameTag() != m_projectInfo.name()) continue;
        uint32_t result = m_container.cacheBlock(it, &projectFile);
        if (JLIB::isSuccess(result)) {
            result |= m_projectInfo.importBinary(block->data(), block->dataSize(false), ImportAttr(kForceRecall),
                                                 kAnyFactor);
        }
        result |= m_container.uncacheBlock(it);
        return result;
    }
    return 0;
}

}  // namespace PDB
