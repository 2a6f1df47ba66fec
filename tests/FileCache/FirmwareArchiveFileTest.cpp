#include "FileCache/fcache_FirmwareArchiveFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FileCache/fcache_MBDFFirmwareBlock.h"
#include "TempFolder.h"

using FILECACHE::FirmwareArchiveFile;
using Options = FILECACHE::MBDFFirmwareBlock::FirmwareExtraOptions;

TEST(FirmwareArchiveFileTest, CarriesTargetAndVersionOfEachFirmwareEntry)
{
    TempFolder t;
    std::filesystem::create_directories(t.file("root/d"));
    t.write("root/main.bin", "main image");
    t.write("root/dsp.bin", "dsp image");
    t.write("root/plain.bin", "no options");
    {
        FirmwareArchiveFile archive;
        ASSERT_EQ(0u, archive.initialize(t.file("root").c_str()));
        const Options mainOptions{"MAIN", "V1.00"};
        Options dspOptions{"DSP", "V2.10"};
        ASSERT_EQ(0u, archive.addItem("d", nullptr));
        ASSERT_EQ(0u, archive.addItem("main.bin", &mainOptions));
        ASSERT_EQ(0u, archive.addItem("dsp.bin", &dspOptions));
        dspOptions.target = "changed";  // the archive holds its own copy
        ASSERT_EQ(0u, archive.pack(t.path().c_str(), "fw.arc", "P", 1, 6, 0x33, nullptr, nullptr));

        // An entry without options cannot become a firmware block: the pack reports it.
        ASSERT_EQ(0u, archive.addItem("plain.bin", nullptr));
        EXPECT_EQ(0x80000000u, archive.pack(t.path().c_str(), "partial.arc", "P", 1, 6, 0, nullptr, nullptr));
    }

    FirmwareArchiveFile reader;
    ASSERT_EQ(0u, reader.load(t.path().c_str(), "fw.arc", "P", 1));
    ASSERT_EQ(2u, reader.fileNum());  // the folder block is no firmware entry
    for (const auto& item : reader) {
        SCOPED_TRACE(item.name);
        ASSERT_NE(nullptr, item.options);
        const auto* options = static_cast<const Options*>(item.options);
        EXPECT_EQ(item.name == "main.bin" ? "MAIN" : "DSP", options->target);
        EXPECT_EQ(item.name == "main.bin" ? "V1.00" : "V2.10", options->version);
    }
    ASSERT_EQ(0u, reader.unpack(t.file("out").c_str(), nullptr, nullptr));
    EXPECT_EQ("main image", t.read("out/main.bin"));
    EXPECT_EQ("dsp image", t.read("out/dsp.bin"));
}
