#include "editor/VDStartupOption.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using VDevice::VDStartupOption;
using Options = std::map<std::string, std::string>;

namespace {

// The options as texts, for the keys the case names.
Options read(const VDStartupOption& options, const Options& expected)
{
    Options out;
    for (const auto& entry : expected) {
        const JVariant value = options.argumentValue(entry.first);
        if (value.getType() == JVariant::kTypeString) out[entry.first] = value.toString();
    }
    return out;
}

}  // namespace

TEST(VDStartupOptionTest, StoresKeyValueArgumentsUntilAMalformedOne)
{
    struct Case {
        std::vector<const char*> args;
        JLIB::JResult result;
        Options options;
        std::vector<std::string> absent;
    };
    const Case cases[] = {
        {{"/opt/uz/uzengine", "uid=dev01", "work=/tmp/w", "port=50000"},
         0,
         {{"uid", "dev01"}, {"work", "/tmp/w"}, {"port", "50000"}},
         {"appname"}},
        {{"uzengine", "a==b", "appname=UZ Editor", "model=M", "style=/s"},
         0,
         {{"a", "b"}, {"appname", "UZ Editor"}, {"model", "M"}, {"style", "/s"}},
         {}},
        {{"uzengine", "uid=first", "uid=second"}, 0, {{"uid", "first"}}, {}},
        {{"uzengine", "uid=dev", "a=b=c", "work=/w"}, 0x80000000u, {{"uid", "dev"}}, {"a", "work"}},
        {{"uzengine", "uid=", "work=/w"}, 0x80000000u, {}, {"uid", "work"}},
        {{"uzengine", "=dev", "work=/w"}, 0x80000000u, {}, {"work"}},
        {{"uzengine", "uid", "work=/w"}, 0x80000000u, {}, {"work"}},
        {{"uzengine", "", "work=/w"}, 0x80000000u, {}, {"work"}},
        // The entry delays on a first "delayedStart"; the options after it count.
        {{"uzengine", "delayedStart", "uid=dev", "work=/w"}, 0, {{"uid", "dev"}, {"work", "/w"}}, {"delayedStart"}},
        {{"uzengine", "uid=dev", "delayedStart", "work=/w"}, 0x80000000u, {{"uid", "dev"}}, {"work"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : "");
        VDStartupOption options;
        ASSERT_EQ(0u, options.set(3, std::vector<const char*>{"old", "uid=old", "gone=1"}.data()));
        EXPECT_EQ(c.result, options.set(static_cast<int>(c.args.size()), c.args.data()));
        EXPECT_EQ(c.options, read(options, c.options));
        for (const std::string& key : c.absent) EXPECT_FALSE(options.argumentValue(key).isValid()) << key;
        EXPECT_FALSE(options.argumentValue("gone").isValid());  // what an earlier call stored is gone
        EXPECT_EQ("", options.processPath());
    }
}

TEST(VDStartupOptionTest, ProgramFolderComesFromBackslashesOnly)
{
    struct Case {
        const char* path;
        const char* folder;
    };
    const Case cases[] = {
        {"/opt/uz/bin/uzengine", ""},
        {"C:\\Program Files\\UZ\\uzengine.exe", "C:/Program Files/UZ"},
        {"\\\\server\\share\\\\uz\\engine", "server/share/uz"},
        {"uzengine", ""},
        {"dir\\", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        VDStartupOption options;
        const char* args[] = {c.path, "uid=dev"};
        EXPECT_EQ(0u, options.set(2, args));
        EXPECT_EQ(c.folder, options.processPath());
    }
}

TEST(VDStartupOptionTest, ReadersAnswerTheirKeysAndMissingOnesAreInvalid)
{
    VDStartupOption options;
    const char* args[] = {"uzengine", "uid=dev01", "work=/w", "appname=A", "model=M", "style=S", "other=O"};
    ASSERT_EQ(0u, options.set(7, args));
    EXPECT_STREQ("dev01", options.deviceUID().toString());
    EXPECT_STREQ("/w", options.workDirPath().toString());
    EXPECT_STREQ("A", options.appName().toString());
    EXPECT_STREQ("M", options.modelName().toString());
    EXPECT_STREQ("S", options.styleDirPath().toString());
    EXPECT_STREQ("O", options.argumentValue("other").toString());
    EXPECT_FALSE(options.port().isValid());

    // A value longer than a value can hold is stored as the value's error text.
    const std::string long_ = "port=" + std::string(1024, '9');
    const char* longArgs[] = {"uzengine", long_.c_str()};
    EXPECT_EQ(0u, options.set(2, longArgs));
    EXPECT_STREQ("ERROR:", options.port().toString());

    EXPECT_EQ(0u, options.set(1, nullptr));
    EXPECT_FALSE(options.deviceUID().isValid());
    EXPECT_EQ(0x80000000u, options.set(2, nullptr));
}
