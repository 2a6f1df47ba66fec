#include "ossupport/ossup_DLL.h"

#include <cstring>
#include <functional>

#include <gtest/gtest.h>

TEST(ossup_DLLTest, LoadsLooksUpAndCloses)
{
    void* handle = nullptr;
    ASSERT_EQ(0u, ossup_DLLOpen(&handle, nullptr, 0, "libm.so.6"));
    ASSERT_NE(nullptr, handle);
    void* function = reinterpret_cast<void*>(0x1);
    ASSERT_EQ(0u, ossup_GetDLLFunction(&function, handle, "cos"));
    ASSERT_NE(nullptr, function);
    EXPECT_EQ(1.0, reinterpret_cast<double (*)(double)>(function)(0.0));

    function = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(0x80000002u, ossup_GetDLLFunction(&function, handle, "no_such_symbol_here"));
    EXPECT_EQ(nullptr, function);
    EXPECT_EQ(0u, ossup_DLLClose(handle));
}

TEST(ossup_DLLTest, MissingLibraryGivesNullHandleAndTheLoadersMessage)
{
    void* handle = reinterpret_cast<void*>(0x1);
    char message[256] = "untouched";
    EXPECT_EQ(0x80000002u, ossup_DLLOpen(&handle, message, sizeof(message), "/no/such/library.so"));
    EXPECT_EQ(nullptr, handle);
    EXPECT_NE(nullptr, std::strstr(message, "/no/such/library.so"));

    char small[8];
    std::memset(small, 'Q', sizeof(small));
    EXPECT_EQ(0x80000002u, ossup_DLLOpen(&handle, small, sizeof(small), "/no/such/library.so"));
    EXPECT_EQ(7u, std::strlen(small));  // cut to the buffer and terminated

    EXPECT_EQ(0x80000002u, ossup_DLLOpen(&handle, nullptr, 100, "/no/such/library.so"));
}

TEST(ossup_DLLTest, RefusesNullArguments)
{
    void* handle = nullptr;
    void* function = nullptr;
    int dummy = 0;
    const std::pair<const char*, std::function<JLIB::JResult()>> calls[] = {
        {"open null handle place", [&] { return ossup_DLLOpen(nullptr, nullptr, 0, "libm.so.6"); }},
        {"open null path", [&] { return ossup_DLLOpen(&handle, nullptr, 0, nullptr); }},
        {"lookup null out", [&] { return ossup_GetDLLFunction(nullptr, &dummy, "cos"); }},
        {"lookup null handle", [&] { return ossup_GetDLLFunction(&function, nullptr, "cos"); }},
        {"lookup null name", [&] { return ossup_GetDLLFunction(&function, &dummy, nullptr); }},
        {"close null", [&] { return ossup_DLLClose(nullptr); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        EXPECT_EQ(0x80000001u, call());
    }
}
