#include "textcontrol/ScpDeviceController.h"

#include <gtest/gtest.h>

#include <string>

#include "ScpTestSupport.h"

using ScpTest::fromUtf8;

TEST(ScpDeviceControllerTest, DefaultModelLeavesOutputsAlone)
{
    SCP::ScpDeviceController device;
    EXPECT_EQ(0u, device.initialize(nullptr));
    uint32_t number = 1, head = 2, tail = 3;
    EXPECT_EQ(0u, device.getListItemNum(fromUtf8("c"), number, head, tail));
    EXPECT_EQ(1u, number);
    EXPECT_EQ(0u, device.runIdentify(1000));
}

namespace {

class Recorder : public SCP::IScpDeviceCallback {
public:
    uint32_t onDeviceStatusChanged(const wchar_t* tag, const wchar_t* data) override
    {
        seen = std::wstring(tag) + L"=" + data;
        return 0;
    }
    std::wstring seen;
};

// An owner overrides only what its device has and reports through the callback it was given.
class PowerDevice : public SCP::ScpDeviceController {
public:
    uint32_t changeDeviceMode(const SCP::ScpString& mode) override
    {
        const bool standby = mode == "standby";
        (void)getCallback()->onDeviceStatusChanged(L"power", standby ? L"standby" : L"on");  // a report, not a failure
        return standby ? 0 : 0x80000004u;
    }
};

}  // namespace

TEST(ScpDeviceControllerTest, OwnerOverridesReachTheStoredCallback)
{
    Recorder recorder;
    PowerDevice device;
    SCP::ScpDeviceController& model = device;
    ASSERT_EQ(0u, model.initialize(&recorder));
    EXPECT_EQ(0u, model.changeDeviceMode(fromUtf8("standby")));
    EXPECT_EQ(L"power=standby", recorder.seen);
    EXPECT_EQ(0x80000004u, model.changeDeviceMode(fromUtf8("run")));
    EXPECT_EQ(L"power=on", recorder.seen);
    EXPECT_EQ(0u, model.runEvent(fromUtf8("e"), fromUtf8("d"))) << "what is not overridden does nothing";
}
