#include "MacBarServer/macbar_File.h"

#include <gtest/gtest.h>

#include <string>

#include "TMS/TMSystem.h"
#include "fsw/TempFolder.h"

namespace {

class TestProductInfo : public MACBAR::IMacBarProductInfo {
public:
    std::string folder;
    std::string staticDataPath() const override { return folder; }
    std::string productName(uint32_t) const override { return "UZ"; }
    std::string etherPort() const override { return "eth0"; }
};

class MacBarFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.ok());
        m_info.folder = m_folder.path();
        MACBAR::macbar_SetProductInfo(&m_info);
    }
    void TearDown() override { MACBAR::macbar_SetProductInfo(nullptr); }

    TMS::TMSystem m_system;
    TempFolder m_folder;
    TestProductInfo m_info;
};

TEST_F(MacBarFileTest, AddressFileIsReadByItsStrictRules)
{
    const struct {
        std::string content;
        const char* expected;  // null: refused
    } cases[] = {
        {"ethaddr=0A:1B:2C:3D:4E:5F", "0A1B2C3D4E5F"},
        {"ethaddr=0a:1b:2c:3d:4e:5f\r\n", "0A1B2C3D4E5F"},
        {"ethaddr=0A1B2C3D4E5F\n\x1a", "0A1B2C3D4E5F"},
        {"ethaddr=0A:1B:2C:3D:4E:5F ", nullptr},
        {"ethaddr=0A:1B:2C:3D:4E:5F\nX", nullptr},
        {"ethaddr=0A:1B:2C:3D:4E", nullptr},
        {"ethaddr=0A:1B:2C:3D:4E:5F:60", nullptr},
        {"ethaddr=0A-1B-2C-3D-4E-5F", nullptr},
        {"ETHADDR=0A:1B:2C:3D:4E:5F", nullptr},
        {"ethaddr", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        writeText(m_folder.path("GW.env"), c.content);
        char buffer[13] = "stale";
        const JLIB::JResult result = MACBAR::macbar_GetMACAddress(buffer, sizeof buffer);
        if (c.expected) {
            EXPECT_EQ(0u, result) << c.content;
            EXPECT_STREQ(c.expected, buffer) << c.content;
        } else {
            EXPECT_EQ(0x80000000u, result) << c.content;
            EXPECT_STREQ("", buffer) << c.content;
        }
    }
    char small[12] = "x";
    writeText(m_folder.path("GW.env"), "ethaddr=0A:1B:2C:3D:4E:5F");
    EXPECT_EQ(0x80000000u, MACBAR::macbar_GetMACAddress(small, sizeof small));
    std::filesystem::remove(m_folder.path("GW.env"));
    char buffer[13] = "stale";
    EXPECT_EQ(0x80000000u, MACBAR::macbar_GetMACAddress(buffer, sizeof buffer));
    EXPECT_STREQ("", buffer);
}

TEST_F(MacBarFileTest, SerialFileIsReadByItsStrictRules)
{
    const struct {
        std::string content;
        bool ok;
    } cases[] = {
        {"0123456789ABCDEF", true},
        {"abcdefghijklmnop", false},  // lower case is never written, so it is not taken
        {"0123456789ABCDE", false},
        {"0123456789ABCDEF\n", false},
        {"0123456789ABCDE-", false},
        {"", false},
    };
    for (const auto& c : cases) {
        writeText(m_folder.path("GW.eserial"), c.content);
        char buffer[17] = "stale";
        EXPECT_EQ(c.ok ? 0u : 0x80000000u, MACBAR::macbar_GetESerial(buffer, sizeof buffer)) << c.content;
        EXPECT_STREQ(c.ok ? c.content.c_str() : "", buffer) << c.content;
    }
    char small[16] = "";
    EXPECT_EQ(0x80000000u, MACBAR::macbar_GetESerial(small, sizeof small));
}

TEST_F(MacBarFileTest, WritesAreWholeAndRefusalsWriteNothing)
{
    ASSERT_EQ(0u, MACBAR::macbar_WriteESerial("abcdefgh12345678"));
    EXPECT_EQ("ABCDEFGH12345678", readText(m_folder.path("GW.eserial")));
    ASSERT_EQ(0u, MACBAR::macbar_WriteMACAddress(1, "a0b1c2d3e4f5"));
    EXPECT_EQ("ethaddr=A0:B1:C2:D3:E4:F5", readText(m_folder.path("GW.env")));
    // Texts are counted only so far: a long text is refused, not cut.
    EXPECT_EQ(0x80000000u, MACBAR::macbar_WriteMACAddress(1, "a0b1c2d3e4f5a0b1c2d3e4f5a0b1c2d3e4f5"));
    EXPECT_EQ(0x80000000u, MACBAR::macbar_WriteMACAddress(1, nullptr));
    EXPECT_EQ(0x80000000u, MACBAR::macbar_WriteESerial(nullptr));
    EXPECT_EQ("ethaddr=A0:B1:C2:D3:E4:F5", readText(m_folder.path("GW.env")));
    // A file that cannot be written leaves nothing behind and is reported.
    std::filesystem::remove(m_folder.path("GW.eserial"));
    m_info.folder = m_folder.path("missing");
    EXPECT_EQ(0x80000000u, MACBAR::macbar_WriteESerial("ABCDEFGH12345678"));
    EXPECT_EQ(0x80000000u, MACBAR::macbar_WriteMACAddress(1, "a0b1c2d3e4f5"));
    EXPECT_FALSE(std::filesystem::exists(m_folder.path("missing")));
}

TEST(MacBarFileNoProductTest, WithoutAFolderNothingIsWrittenAnywhere)
{
    MACBAR::macbar_SetProductInfo(nullptr);
    EXPECT_EQ("---", MACBAR::macbar_GetProductName());
    EXPECT_EQ(0x80000000u, MACBAR::macbar_WriteESerial("ABCDEFGH12345678"));
    EXPECT_EQ(0x80000000u, MACBAR::macbar_WriteMACAddress(1, "a0b1c2d3e4f5"));
    EXPECT_EQ(0u, MACBAR::macbar_ClearESerial());
    EXPECT_EQ(0u, MACBAR::macbar_ClearMACAddress(1));
    EXPECT_FALSE(std::filesystem::exists("/GW.eserial"));
}

}  // namespace
