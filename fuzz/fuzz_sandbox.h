#pragma once
// A scratch folder for targets whose code writes files, shared by fuzz_dir_sync and
// fuzz_file_transfer: the code under test works in top/box/root, beside which stand two sentinel
// files; check() aborts when anything outside the root appeared, vanished or changed.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct FuzzSandbox {
    std::filesystem::path top;
    std::filesystem::path root;
    std::string sentinel = "left alone";

    // pattern is a mkdtemp pattern ending in XXXXXX.
    explicit FuzzSandbox(const char* pattern)
    {
        std::string templ = pattern;
        if (!mkdtemp(templ.data())) std::abort();
        top = templ;
        root = top / "box" / "root";
        std::filesystem::create_directories(top / "box");
        std::ofstream(top / "outside.txt") << sentinel;
        std::ofstream(top / "box" / "beside.txt") << sentinel;
    }
    ~FuzzSandbox()
    {
        std::error_code e;
        std::filesystem::remove_all(top, e);
    }
    // Leaves an empty root with an empty "sub" folder, for the target to fill.
    void clearRoot() const
    {
        std::error_code e;
        std::filesystem::remove_all(root, e);
        std::filesystem::create_directories(root / "sub", e);
    }
    static std::string read(const std::filesystem::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Only the root may change: the files beside it stay, and nothing new appears outside it.
    void check() const
    {
        size_t entries = 0;
        for (const std::filesystem::directory_entry& e : std::filesystem::directory_iterator(top)) {
            (void)e;
            ++entries;
        }
        size_t boxEntries = 0;
        for (const std::filesystem::directory_entry& e : std::filesystem::directory_iterator(top / "box")) {
            (void)e;
            ++boxEntries;
        }
        if (entries != 2 || boxEntries != 2) {
            for (const std::filesystem::directory_entry& e : std::filesystem::recursive_directory_iterator(top)) {
                std::fprintf(stderr, "%s\n", e.path().c_str());
            }
            std::abort();
        }
        if (read(top / "outside.txt") != sentinel || read(top / "box" / "beside.txt") != sentinel) std::abort();
    }
};

}  // namespace
