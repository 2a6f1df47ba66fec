// "#FILE" blocks of a container file (read, exported, streamed) and project files unpacked into
// item folders of a scratch folder: nothing may be written outside those folders.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FileCache/fcache_FileAccessor.h"
#include "FileCache/fcache_MBDF.h"
#include "FileCache/fcache_MBDFFileBlock.h"
#include "PDB/pdb_ProjectFile.h"
#include "fuzz_pdb_types.h"

namespace fs = std::filesystem;

namespace {

// A stored name that escapes its folder is a fault of the reader: stop the run with the input.
void expectOnly(const fs::path& folder, std::initializer_list<const char*> allowed)
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        bool known = false;
        for (const char* name : allowed) known = known || entry.path().filename() == name;
        if (!known) {
            std::fprintf(stderr, "written outside its folder: %s\n", entry.path().c_str());
            std::abort();
        }
    }
}

void readFileBlocks(const std::string& root)
{
    const std::string path = root + "/in.prj";
    const std::string out = root + "/items/out";
    for (const bool withData : {true, false}) {
        FILECACHE::MBDF container;
        if (container.readFile(path.c_str(), withData, nullptr, nullptr, false, 0) != 0) continue;
        for (auto it = container.begin(); it != container.end(); ++it) {
            FILECACHE::MBDFFileBlock* block = container.blockPtr<FILECACHE::MBDFFileBlock>(it);
            if (!block) continue;
            (void)block->fileName();
            if (withData) {
                (void)block->exportFile(out.c_str(), nullptr);
                continue;
            }
            FILECACHE::FileAccessor accessor;
            if (container.blockAccessor(&accessor, it) == 0) (void)block->streamExportFile(out.c_str(), accessor, 4096);
            FILECACHE::StreamHandle* stream = nullptr;
            if (container.blockAccessor(&accessor, it) != 0 || block->streamOpenFile(&stream, accessor) != 0) continue;
            for (int guard = 0; guard < 64; ++guard) {
                char buffer[4096];
                uint32_t count = 0;
                const uint32_t r = block->streamReadFile(buffer, &count, sizeof(buffer), accessor, stream);
                if (JLIB::isFailure(r) || count == 0 || r == 1) break;
            }
            (void)block->streamCloseFile(stream, accessor);
        }
    }
}

void unpackProject(const std::string& root)
{
    const PDB::ProjectFile::ItemMap items = {{"A", root + "/items/a"}, {"B", root + "/items/b"}};
    PDB::ProjectFile project;
    if (project.initialize(fuzztypes::kProduct, 1, 0, items, nullptr, false) != 0) return;
    (void)project.unpack((root + "/in.prj").c_str(), nullptr, nullptr, nullptr, 0);
    (void)project.readProjectFile((root + "/in.prj").c_str(), false, nullptr, nullptr, nullptr, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string root = "/tmp/uz_fuzz_project_" + std::to_string(getpid());
    static const bool made = [] {
        std::error_code ec;
        fs::remove_all(root, ec);
        // Removed at the end of a run; a crashing run leaves it for the reproduction.
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(root, ignored);
        });
        for (const char* sub : {"/items/a", "/items/b", "/sentinel"}) fs::create_directories(root + sub, ec);
        return !ec;
    }();
    (void)FILECACHE::MBDFFileBlock::useThisBlock();  // always 0
    fuzztypes::LiveDatabases live;
    if (!made || !live.isValid()) return 0;
    FILE* f = std::fopen((root + "/in.prj").c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    readFileBlocks(root);
    unpackProject(root);

    expectOnly(root, {"in.prj", "items", "sentinel"});
    expectOnly(root + "/items", {"a", "b", "out"});
    expectOnly(root + "/sentinel", {});
    std::error_code ec;
    fs::remove_all(root + "/items/out", ec);  // the next run starts from empty item folders
    for (const char* sub : {"/items/a", "/items/b"}) {
        fs::remove_all(root + sub, ec);
        fs::create_directories(root + sub, ec);
    }
    return 0;
}
