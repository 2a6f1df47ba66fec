// Settings files of any content: read, queried and written back inside a scratch folder.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "FileCache/fcache_FileAccessor.h"
#include "FileCache/fcache_IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = "/tmp/uz_fuzz_ini_" + std::to_string(getpid());
    static const bool made = JLIB::isSuccess(FILECACHE::FileAccessor::makeDir(folder.c_str()));
    if (!made) return 0;
    FILE* f = std::fopen((folder + "/fuzz.ini").c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    FILECACHE::IniFile ini;
    if (JLIB::isFailure(ini.initialize(folder.c_str(), FILECACHE::VDirTreeItem::ITEM_FILE, "fuzz.ini"))) return 0;
    (void)ini.readAll();
    for (auto it = ini.begin(); it != ini.end(); ++it) {
        (void)ini.item(it->first.section.c_str(), it->first.key.c_str(), "");
    }
    (void)ini.item("Setting", "OSCRxPort", "49900");
    (void)ini.writeAll(false);
    (void)ini.readAll();
    return 0;
}
