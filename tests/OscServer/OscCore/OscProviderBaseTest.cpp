// The harmless defaults of the provider bases, the command base and the request accessor.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "OscServer/OscCore/IOscServer.h"
#include "OscServer/OscCore/OscDeviceController.h"
#include "OscServer/OscCore/OscInfoAccessor.h"
#include "OscServer/OscCore/OscMeter.h"
#include "OscServer/OscCore/OscParameter.h"
#include "OscServer/OscCore/OscServerCommand.h"
#include "OscServer/OscCore/OscSessionData.h"
#include "OscTestSupport.h"

using OscTest::describe;

namespace {

// Providers derived without overrides, showing the stored callbacks.
class PlainParameter : public JOSC::OscParameter {
public:
    JOSC::IOscParameterCallback* callback() const { return m_pCallback; }
};

class PlainController : public JOSC::OscDeviceController {
public:
    JOSC::IOscDeviceCallback* callback() const { return m_pCallback; }
};

class NullParameterCallback : public JOSC::IOscParameterCallback {
public:
    uint32_t onParameterChanged(uint8_t, uint32_t, uint32_t, uint32_t) override { return 0; }
    uint32_t onFoundDirty(uint8_t, uint32_t, uint32_t, uint32_t) override { return 0; }
    uint32_t onFoundDirtyWithTarget(uint8_t, uint32_t, uint32_t, uint32_t) override { return 0; }
    uint32_t onSnapshotChanged(uint8_t, const std::string&, uint32_t, SSChangeReason) override { return 0; }
    uint32_t onSnapshotChanged(uint8_t, const std::string&, const std::string&, SSChangeReason) override { return 0; }
};

class NullDeviceCallback : public JOSC::IOscDeviceCallback {
public:
    uint32_t onDeviceStatusChanged(const char*, const char*) override { return 0; }
};

static_assert(std::is_abstract_v<JOSC::IOscServer>);
static_assert(std::is_base_of_v<VCOM::IVComCallback, JOSC::IOscServer>);
static_assert(std::is_base_of_v<JOSC::IOscParameterCallback, JOSC::IOscServer>);
static_assert(std::is_base_of_v<JOSC::IOscDeviceCallback, JOSC::IOscServer>);

}  // namespace

TEST(OscProviderBaseTest, ParameterWithoutOverridesReadsZeroAndAcceptsEveryWrite)
{
    PlainParameter p;
    NullParameterCallback callback;
    EXPECT_EQ(nullptr, p.callback());
    EXPECT_EQ(0u, p.initialize(&callback));
    EXPECT_EQ(&callback, p.callback());

    EXPECT_EQ(0u, p.getAddressNum());
    uint32_t index = 77;
    EXPECT_EQ(0u, p.getIndexFromAddress(index, "uz:Anything"));
    EXPECT_EQ(0u, index);
    JOSC::OscIndexList list{1, 2};
    EXPECT_EQ(0u, p.getIndexListFromAddress(list, "uz:Group"));
    EXPECT_TRUE(list.empty());
    std::string address = "old";
    EXPECT_EQ(0u, p.getAddress(address, 3));
    EXPECT_EQ("", address);

    const JOSC::JVariantList one{JVariant(5)};
    EXPECT_EQ(0u, p.setAddressNum(4));
    EXPECT_EQ(0u, p.setValue(1, 0, 0, 0, one));
    EXPECT_EQ(0u, p.setRatio(1, 0, 0, 0, one, 1000));
    EXPECT_EQ(0u, p.incDec(1, 0, 0, 0, one, 0, 0));
    EXPECT_EQ(0u, p.setText(1, 0, 0, 0, one));

    JOSC::JVariantList values{JVariant(9)};
    EXPECT_EQ(0u, p.getValue(values, 1, 0, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"i:9", "i:0"}), describe(values)) << "getValue appends one Int32 0";
    EXPECT_EQ(0u, p.getRatio(values, 1000, 1, 0, 0, 0));
    EXPECT_TRUE(values.empty()) << "getRatio empties the list";
    values.emplace_back(3);
    EXPECT_EQ(0u, p.getText(values, 1, 0, 0, 0));
    EXPECT_TRUE(values.empty()) << "getText empties the list";

    std::vector<JOSC::OscAddressAttrib> attribs(2);
    EXPECT_EQ(0u, p.getAttrib(attribs, 0));
    EXPECT_TRUE(attribs.empty());
    attribs.resize(1);
    EXPECT_EQ(0u, p.setAttrib(attribs, 0));
    EXPECT_TRUE(attribs.empty());
    index = 5;
    EXPECT_EQ(0u, p.checkDirty(index));
    EXPECT_EQ(0u, index);
}

TEST(OscProviderBaseTest, ParameterSnapshotDefaults)
{
    PlainParameter p;
    const std::string category = "PROC:ParamSet/Vexalume";
    EXPECT_EQ(0u, p.getSnapshotNum(category));
    EXPECT_EQ(0u, p.setSnapshotNum(category, 4));

    JOSC::OscSnapshotAttrib attrib;
    attrib.name = "n";
    attrib.attrib = JOSC::OscSnapshotAttrib::kAttribUser;
    EXPECT_EQ(0u, p.getSnapshotAttrib(attrib, category, 3u));
    EXPECT_EQ("", attrib.name);
    EXPECT_EQ(0, attrib.attrib);
    attrib.title = "t";
    EXPECT_EQ(0u, p.getSnapshotAttrib(attrib, category, std::string("12")));
    EXPECT_EQ("", attrib.title);
    EXPECT_EQ(0u, p.setSnapshotAttrib(attrib, category, 3u));
    EXPECT_EQ(0u, p.setSnapshotAttrib(attrib, category, std::string("12")));

    uint32_t number = 9;
    bool modified = true;
    EXPECT_EQ(0u, p.getCurrentSnapshot(number, modified, category));
    EXPECT_EQ(0u, number);
    EXPECT_FALSE(modified);
    std::string name = "old";
    modified = true;
    EXPECT_EQ(0u, p.getCurrentSnapshot(name, modified, category));
    EXPECT_EQ("", name);
    EXPECT_FALSE(modified);

    number = 9;
    EXPECT_EQ(0u, p.setCurrentSnapshot(number, true, 1, category));
    EXPECT_EQ(0u, number);
    name = "kept";
    EXPECT_EQ(0u, p.setCurrentSnapshot(name, true, 1, category));
    EXPECT_EQ("kept", name);

    EXPECT_EQ(0u, p.recallSnapshot(1, category, 3u));
    EXPECT_EQ(0u, p.updateSnapshot(1, category, 3u));
    EXPECT_EQ(0u, p.recallSnapshot(1, category, std::string("12")));
    EXPECT_EQ(0u, p.updateSnapshot(1, category, std::string("12")));
}

TEST(OscProviderBaseTest, MeterAndControllerDefaultsLeaveOutputsUnchanged)
{
    JOSC::OscMeter meter;
    EXPECT_EQ(0u, meter.initialize());
    EXPECT_EQ(0u, meter.getAddressNum());
    uint32_t index = 7;
    EXPECT_EQ(0u, meter.getIndexFromAddress(index, "uz:Meter"));
    EXPECT_EQ(7u, index);
    std::string address = "kept";
    EXPECT_EQ(0u, meter.getAddress(address, 0));
    EXPECT_EQ("kept", address);
    const uint8_t marker = 1;
    const uint8_t* bytes = &marker;
    uint32_t count = 9;
    EXPECT_EQ(0u, meter.getMeters(bytes, count, 0));
    EXPECT_EQ(&marker, bytes);
    EXPECT_EQ(9u, count);
    JOSC::OscMeterAttrib attrib;
    attrib.count = 4;
    EXPECT_EQ(0u, meter.getAttrib(attrib, 0));
    EXPECT_EQ(4u, attrib.count);

    PlainController controller;
    NullDeviceCallback callback;
    EXPECT_EQ(0u, controller.initialize(&callback));
    EXPECT_EQ(&callback, controller.callback());
    std::string value = "kept";
    EXPECT_EQ(0u, controller.getDeviceInfo(value, "Model"));
    EXPECT_EQ(0u, controller.getDeviceStatus(value, "Status"));
    EXPECT_EQ("kept", value);
    EXPECT_EQ(0u, controller.changeDeviceMode("mode"));
    EXPECT_EQ(0u, controller.runEvent(1, "uz:Command/X", {}));
    uint32_t n = 1, head = 2, tail = 3;
    EXPECT_EQ(0u, controller.getListItemNum("list", n, head, tail));
    EXPECT_EQ(1u + 2u + 3u, n + head + tail);
    JVariant item(4);
    bool flag = true;
    EXPECT_EQ(0u, controller.getListItem("list", 0, item, flag));
    EXPECT_EQ(4, item.toInt32());
    EXPECT_TRUE(flag);
    EXPECT_EQ(0u, controller.runIdentify(60));
}

TEST(OscProviderBaseTest, CommandBaseFailsAndAccessorGivesTheRequestsObjects)
{
    PlainController controller;
    PlainParameter parameters;
    JOSC::OscMeter meters;
    JOSC::OscSessionData session;
    JOSC::OscSessionData otherSession;
    JOSC::OscInfoAccessor accessor(controller, parameters, meters, session);
    EXPECT_EQ(&controller, &accessor.getDeviceController());
    EXPECT_EQ(&parameters, &accessor.getParameters());
    EXPECT_EQ(&meters, &accessor.getMeters());
    EXPECT_EQ(&session, &accessor.getSessionData());
    EXPECT_NE(&otherSession, &accessor.getSessionData());

    JOSC::OscServerCommand command;
    EXPECT_STREQ("", command.getCommandName());
    EXPECT_FALSE(command.shouldReply());
    JOSC::JVariantList reply;
    EXPECT_EQ(0x80000000u, command.run(1, JOSC::OscCommandData{}, {}, accessor, &reply));
    EXPECT_TRUE(reply.empty());
}
