// Speaker files on the real file system against the shipped databases with the link table
// installed, so an import passes the same linked write path as on the device.
#include "common/Lpc/LpcSpeakerData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "FileCache/TempFolder.h"
#include "main/app/common/Lpc/LpcLinkTableFixture.h"

namespace {

using LpcTest::kBinauralControl;
using LpcTest::kBinauralSource;
using LpcTest::kSetup;
using LpcTest::kSpeakerPosition;
using LpcTest::kVolatile;
using Position = std::array<int32_t, 3>;

constexpr const char* kLabel = "/ToSpeaker/Label/Name";
constexpr const char* kFaderOn = "/ToSpeaker/Fader/On";
const std::string kHeader =
    "#\tSpeaker System\tx-Pos\ty-Pos\tz-Pos\tHoriz-Rot\tVert-Rot\tGain\tDelay-Time\tDelay-Distance\tMute\t\n";

class LpcSpeakerDataTest : public LpcTest::LinkTableFixture {
protected:
    static std::string label(uint32_t s)
    {
        const JVariant value = LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZSETUP, kLabel, s, 0);
        return value.toString() ? value.toString() : "<none>";
    }
    static Position position(uint32_t s) { return ints(kSetup, kSpeakerPosition, s); }
    static int32_t faderOn(uint32_t s) { return get(kSetup, kFaderOn, s); }
    static void setSpeaker(uint32_t s, const char* name, Position cm, int32_t on)
    {
        ASSERT_EQ(0u, write(kSetup, kLabel, s, 0, {JVariant(name, 64)}));
        ASSERT_EQ(0u, write(kSetup, kSpeakerPosition, s, 0, {JVariant(cm[0]), JVariant(cm[1]), JVariant(cm[2])}));
        ASSERT_EQ(0u, write(kSetup, kFaderOn, s, 0, {JVariant(on)}));
    }
    // Imports the text as a file; the import's code.
    JLIB::JResult import(const std::string& text)
    {
        m_folder.write("in.txt", text);
        return m_speakers.importFromFile(m_folder.file("in.txt").c_str());
    }
    // The lines of the exported file up to the speaker count given.
    std::string exported(size_t lines)
    {
        EXPECT_EQ(0u, m_speakers.exportToFile(m_folder.file("out.txt").c_str()));
        const std::string text = m_folder.read("out.txt");
        size_t end = 0;
        for (size_t i = 0; i < lines && end != std::string::npos; ++i) end = text.find('\n', end) + 1;
        return text.substr(0, end);
    }

    TempFolder m_folder;
    LPC::LpcSpeakerData m_speakers;
};

TEST_F(LpcSpeakerDataTest, ExportWritesHeaderAndEverySpeakerInStreamFormat)
{
    setSpeaker(0, "L", {150, -200, 0}, 1);
    setSpeaker(1, "R", {-150, -200, 0}, 0);
    setSpeaker(2, "Far", {12345, 1, -5}, 1);
    EXPECT_EQ(kHeader + "0\tL\t1.5\t-2\t0\t0\t0\t0\t0\t0\t0\t\n" + "1\tR\t-1.5\t-2\t0\t0\t0\t0\t0\t0\t1\t\n" +
                  "2\tFar\t123.45\t0.01\t-0.05\t0\t0\t0\t0\t0\t0\t\n",
              exported(4));
    // Every speaker of the label's size is written, untouched ones included.
    const std::string text = m_folder.read("out.txt");
    EXPECT_EQ(65, std::count(text.begin(), text.end(), '\n'));
    EXPECT_NE(std::string::npos, text.find("\n63\t"));
}

TEST_F(LpcSpeakerDataTest, ExportThenImportRoundTripsWithLfAndCrLf)
{
    const Position positions[] = {{150, -200, 0}, {-32761, 49999, -50000}, {123, -1, 7}};
    for (const char* ending : {"\n", "\r\n"}) {
        SCOPED_TRACE(ending[0] == '\r' ? "CR LF" : "LF");
        for (uint32_t s = 0; s < 3; ++s) setSpeaker(s, ("Sp" + std::to_string(s)).c_str(), positions[s], s % 2);
        std::string text = exported(1000);
        if (ending[0] == '\r') {
            std::string crlf;
            for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
            text = crlf;
        }
        for (uint32_t s = 0; s < 3; ++s) setSpeaker(s, "x", {1, 1, 1}, 1);
        ASSERT_EQ(0u, import(text));
        for (uint32_t s = 0; s < 3; ++s) {
            EXPECT_EQ("Sp" + std::to_string(s), label(s));
            EXPECT_EQ(positions[s], position(s));
            EXPECT_EQ(int32_t(s % 2), faderOn(s));
        }
    }
}

TEST_F(LpcSpeakerDataTest, RowsFollowTheLineNotTheirNumberAndShortOrShiftedRowsAreKept)
{
    setSpeaker(3, "keep", {5, 5, 5}, 0);
    const std::string text = kHeader +
                             "0\tA\t1\t2\t3\t0\t0\t0\t0\t0\t0\t\n"  // speaker 0
                             "7\tB\t-0.5\t1.239\t0\t0\t0\t0\t0\t0\t1\n"  // speaker 1, whatever its number says
                             "42\n"                                     // a number alone: dropped
                             "\n"                                       // empty: dropped, still a line
                             "9\tE\n"                                   // speaker 4: name, origin, fader on
                             "5\tF\t\t0.25\t0.5\t0\t0\t0\t0\t0\t1\n"  // empty x: y shifts into x
                             "6\tG\t1\t1\t1\t0\t0\t0\t0\t0\t0\textra\tmore\n";
    ASSERT_EQ(0u, import(text));
    EXPECT_EQ("A", label(0));
    EXPECT_EQ((Position{100, 200, 300}), position(0));
    EXPECT_EQ(1, faderOn(0));
    EXPECT_EQ("B", label(1));
    EXPECT_EQ((Position{-50, 123, 0}), position(1));  // cut toward zero
    EXPECT_EQ(0, faderOn(1));
    EXPECT_EQ("keep", label(3));  // lines 3 and 4 wrote nothing
    EXPECT_EQ("E", label(4));
    EXPECT_EQ((Position{0, 0, 0}), position(4));
    EXPECT_EQ(1, faderOn(4));
    EXPECT_EQ("F", label(5));
    EXPECT_EQ((Position{25, 50, 0}), position(5));
    EXPECT_EQ(1, faderOn(5));  // the mute text moved to the delay distance
    EXPECT_EQ("G", label(6));
}

TEST_F(LpcSpeakerDataTest, ImportPassesTheLinkEngine)
{
    ASSERT_EQ(0u, write(kSetup, kBinauralSource, 0, 0, {JVariant(1)}));
    ASSERT_EQ(0u, import(kHeader + "0\tA\t0.4\t-0.5\t0.6\t0\t0\t0\t0\t0\t0\t\n"));
    EXPECT_EQ((Position{40, -50, 60}), position(0));
    EXPECT_EQ((Position{40, -50, 60}), ints(kVolatile, kBinauralControl, 0));
    EXPECT_EQ(255u, factorOf(kSetup, kSpeakerPosition, 0));
}

TEST_F(LpcSpeakerDataTest, BadFilesAreRefusedWholeBeforeAnyWrite)
{
    setSpeaker(0, "keep", {5, 6, 7}, 0);
    const std::string good = "0\tA\t1\t1\t1\t0\t0\t0\t0\t0\t0\t\n";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"x not a number", "1\tB\tabc\t1\t1\n"},
        {"x infinite", "1\tB\tinf\t1\t1\n"},
        {"y empty", "1\tB\t1\t\t1\n"},
        {"gain not a number", "1\tB\t1\t1\t1\t0\t0\tloud\t0\t0\t0\n"},
        {"mute not a number", "1\tB\t1\t1\t1\t0\t0\t0\t0\t0\tyes\n"},
        {"stray CR inside a row", "1\tB\t1\t\r\t1\n"},
        {"centimetres beyond Int32", "1\tB\t1e8\t0\t0\n"},
        {"line over 4096 bytes", "1\t" + std::string(4100, 'n') + "\t1\t1\t1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(0x80000000u, import(kHeader + good + c.text));
        EXPECT_EQ("keep", label(0));
        EXPECT_EQ((Position{5, 6, 7}), position(0));
        LPC::SpeakerDataList rows(1);
        EXPECT_EQ(0x80000000u, LPC::LpcSpeakerData::fromText(kHeader + good + c.text, rows));
        EXPECT_TRUE(rows.empty());
    }
    // A line of exactly 4096 bytes is within the bound; the long name is cut by the label write,
    // not replaced by an error text.
    EXPECT_EQ(0u, import(kHeader + "0\t" + std::string(4094, 'n') + "\n"));
    EXPECT_FALSE(label(0).empty());
    EXPECT_EQ(std::string::npos, label(0).find_first_not_of('n'));

    m_folder.write("big.txt", kHeader + std::string(LPC::LpcSpeakerData::kMaxFileSize, '\n'));
    EXPECT_EQ(0x80000000u, m_speakers.importFromFile(m_folder.file("big.txt").c_str()));
    EXPECT_EQ(0x80000000u, m_speakers.importFromFile(m_folder.file("missing.txt").c_str()));
    EXPECT_EQ(0x80000000u, m_speakers.importFromFile(nullptr));
    EXPECT_EQ(0x80000000u, m_speakers.exportToFile(nullptr));
    EXPECT_EQ(0x80000000u, m_speakers.exportToFile(m_folder.file("no/such/folder.txt").c_str()));
}

TEST_F(LpcSpeakerDataTest, SpeakerBeyondTheLabelSizeEndsTheImportKeepingEarlierRows)
{
    std::string text = kHeader;
    for (int s = 0; s < 66; ++s) text += "0\tS" + std::to_string(s) + "\t0\t0\t0\t0\t0\t0\t0\t0\t0\t\n";
    EXPECT_TRUE(JLIB::isFailure(import(text)));
    EXPECT_EQ("S63", label(63));
}

TEST(LpcSpeakerDataFieldTest, EachColumnTakesItsField)
{
    LPC::SpeakerData row;
    EXPECT_EQ(0u, LPC::toData(5, 0, "99", row));
    EXPECT_EQ(4u, row.number);
    EXPECT_EQ(0u, LPC::toData(5, 1, " a b ", row));
    EXPECT_EQ(" a b ", row.name);
    EXPECT_EQ(0x80000000u, LPC::toData(5, 2, "", row));
    EXPECT_EQ(0u, LPC::toData(5, 2, "  1.5m", row));
    EXPECT_FLOAT_EQ(1.5f, row.x);
    EXPECT_EQ(0u, LPC::toData(5, 9, "-2e1", row));
    EXPECT_FLOAT_EQ(-20.0f, row.delayDistance);
    EXPECT_EQ(0u, LPC::toData(5, 10, "2", row));
    EXPECT_TRUE(row.mute);
    EXPECT_EQ(0u, LPC::toData(5, 10, "0", row));
    EXPECT_FALSE(row.mute);
    EXPECT_EQ(0x80000000u, LPC::toData(5, 11, "1", row));
    EXPECT_EQ(LPC::kSpeakerFieldMalformed, LPC::toData(5, 3, "nan", row));
}

}  // namespace
