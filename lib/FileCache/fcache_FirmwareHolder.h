#pragma once
// Finds the newest firmware file of a folder by its name pattern, reads its version from the name
// and holds the whole file in memory. One task at a time.
#include <cstdint>
#include <memory>
#include <string>

#include "fcache_VDirTreeItem.h"

namespace FILECACHE {

class FirmwareHolder {
public:
    FirmwareHolder() = default;
    FirmwareHolder(const FirmwareHolder&) = delete;
    FirmwareHolder& operator=(const FirmwareHolder&) = delete;
    virtual ~FirmwareHolder();

    // Chooses the first file of folder/baseName*.extension, in descending name order, whose name
    // carries a version. 0x80000000 when none does; otherwise 0, even when the file could not be
    // read (then nothing is held) or is empty (then name and version are held, no image).
    virtual uint32_t load(const char* folder, const char* baseName, const char* extension);
    // With removeFile the held firmware file is deleted from disk.
    virtual uint32_t clear(bool removeFile);
    // False without an image, storing 0x80000004 through result when given.
    virtual bool isValid(uint32_t* result) const;

    const char* fileName() const { return m_fileName.c_str(); }
    uint32_t version() const { return m_version; }
    const uint8_t* pointer() const { return m_pImage.get(); }
    uint32_t size() const { return m_size; }

private:
    uint32_t readImage(VDirTreeItem& entry);

    std::string m_fileName;
    uint32_t m_version = 0;
    std::unique_ptr<uint8_t[]> m_pImage;
    uint32_t m_size = 0;
    VDirTreeItem m_item;
};

// The version word of a name made of baseName, a code such as "V123b" and ".ext"; 0 when the code
// is not a valid version.
uint32_t getVersionFromFileName(const char* fileName, const char* baseName);

}  // namespace FILECACHE
