#include "fcache_FirmwareHolder.h"

#include <cstring>
#include <new>

#include "fcache_VDir.h"
#include "jlib/jlib_cfg.h"
#include "jlib/jlib_version.h"

namespace FILECACHE {

namespace {

constexpr uint32_t kFail = 0x80000000u;
constexpr uint32_t kNoImage = 0x80000004u;
constexpr uint32_t kListLimit = 100;

}  // namespace

FirmwareHolder::~FirmwareHolder() { (void)clear(false); }  // always 0

uint32_t FirmwareHolder::load(const char* folder, const char* baseName, const char* extension)
{
    if (!folder) folder = ".";
    (void)clear(false);  // always 0
    const char* base = baseName ? baseName : "";
    std::string pattern = std::string(base) + "*";
    if (extension) pattern += std::string(".") + extension;

    VDir listing(true);
    // A missing folder is made; an unreadable one simply lists nothing.
    (void)listing.setBasePath(folder, kListLimit, true);
    (void)listing.sort(false);  // always 0
    VDir::iterator chosen = listing.end();
    for (auto it = listing.find(VDir::FIND_FILE, pattern.c_str()); it != listing.end();
         it = listing.findNext(VDir::FIND_FILE, pattern.c_str(), it)) {
        const uint32_t version = getVersionFromFileName((*it)->name(), base);
        if (version == 0) continue;
        m_item = **it;
        m_fileName = (*it)->name();
        m_version = version;
        chosen = it;
        break;
    }
    if (chosen == listing.end()) {
        JLIB_LOG("[i] FirmwareHolder::load - firmware not found in [%s]!\n", folder);
        return kFail;
    }
    if (JLIB::isFailure(readImage(**chosen))) {
        (void)(*chosen)->close();  // may already be closed
        (void)clear(false);  // always 0
    }
    return 0;
}

uint32_t FirmwareHolder::readImage(VDirTreeItem& entry)
{
    if (JLIB::isFailure(entry.open(FileAccessor::OPEN_READ))) {
        JLIB_LOG("[E] FirmwareHolder::load - cannot open the firmware file [%s]!\n", m_fileName.c_str());
        return kFail;
    }
    const uint32_t size = entry.size();
    if (size == 0) {
        // An empty file is held by name and version without an image; not a failure.
        JLIB_LOG("[E] FirmwareHolder::load - cannot open the firmware file [%s]!\n", m_fileName.c_str());
        return 0;
    }
    std::unique_ptr<uint8_t[]> image(new (std::nothrow) uint8_t[size]);
    if (!image) return kFail;
    uint32_t done = 0;
    const uint32_t r = entry.read(image.get(), size, &done);
    if (JLIB::isFailure(r) || done != size) {
        JLIB_LOG("[E] FirmwareHolder::load - cannot read the firmware file [%s]!\n", m_fileName.c_str());
        return kFail;
    }
    if (JLIB::isFailure(entry.close())) {
        JLIB_LOG("[E] FirmwareHolder::load - cannot close the firmware file [%s]!\n", m_fileName.c_str());
        return kFail;
    }
    m_pImage = std::move(image);
    m_size = size;
    return 0;
}

uint32_t FirmwareHolder::clear(bool removeFile)
{
    if (removeFile) (void)m_item.remove(false);  // the holder forgets the file either way
    m_item = VDirTreeItem();
    m_fileName.clear();
    m_version = 0;
    m_pImage.reset();
    m_size = 0;
    return 0;
}

bool FirmwareHolder::isValid(uint32_t* result) const
{
    if (m_pImage && m_size > 0) return true;
    if (result) *result = kNoImage;
    return false;
}

uint32_t getVersionFromFileName(const char* fileName, const char* baseName)
{
    if (!fileName) return 0;
    const std::string name(fileName);
    const size_t baseLength = baseName ? std::strlen(baseName) : 0;
    const size_t dot = name.find('.');
    std::string code;
    if (dot != std::string::npos && baseLength <= name.size()) {
        code = dot >= baseLength ? name.substr(baseLength, dot - baseLength) : name.substr(baseLength);
    }
    if (code.size() < 4) return 0;
    uint32_t kind = 0;
    switch (code[0]) {
    case 'R': case 'r': kind = 0; break;
    case 'V': case 'v': kind = 1; break;
    default: return 0;
    }
    const int letter = code.size() >= 5 ? static_cast<unsigned char>(code[4]) : 'a';
    uint32_t word = 0;
    if (JLIB::isFailure(jlib_encodeVersion(&word, kind, code[1] - '0', code[2] - '0', code[3] - '0', letter))) return 0;
    return word;
}

}  // namespace FILECACHE
