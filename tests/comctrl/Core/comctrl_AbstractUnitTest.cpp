#include "comctrl/Core/comctrl_AbstractUnit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PortTestSupport.h"
#include "UnitTestSupport.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "comctrl/Core/comctrl_ClientUnit.h"
#include "comctrl/Core/comctrl_DirectorySynchronizer.h"
#include "comctrl/Core/comctrl_EventMessenger.h"
#include "comctrl/Core/comctrl_FileTransferer.h"
#include "comctrl/Core/comctrl_PdbSynchronizer.h"
#include "comctrl/Core/comctrl_ServerUnit.h"
#include "comctrl/Core/comctrl_UnitComponent.h"

using namespace comctrltest;
using ComControl::AbstractUnit;
using ComControl::ClientUnit;

namespace {

std::vector<std::string> portNames(AbstractUnit& unit)
{
    std::vector<std::string> names;
    for (uint32_t i = 0; i < unit.portCount(); ++i) {
        names.push_back(unit.component(i) ? unit.component(i)->portname() : "(none)");
    }
    return names;
}

class AbstractUnitTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(vcomtest::startLayers()); }

    // A client unit on the fake core port, its event port named "EEVT" with the recording executor.
    void attach(ClientUnit& unit, uint32_t syncCount, uint32_t directoryCount)
    {
        ASSERT_EQ(0u, unit.selectDatabse(1));
        ASSERT_EQ(0u, unit.initialize(3, 1, syncCount, 1, directoryCount, &m_owner, 4096));
        ASSERT_EQ(0u, unit.setEventPortName(0, "EVT"));
        ASSERT_EQ(0u, unit.registEventExecutor(0, "Sync", m_executor, 9));
        testing::internal::CaptureStdout();
        ASSERT_EQ(0u, unit.socketAccepted(0, &m_core, 1));
        EXPECT_EQ("ClientUnit::socketAccepted unitId = 3, portId = 0, sessionId = 1, ip = 0\n",
                  testing::internal::GetCapturedStdout());
    }

    LinkOwner m_owner;
    RecordingExecutor m_executor;
    FakeCorePort m_core;
};

}  // namespace

TEST(AbstractUnitResultTest, ComponentAndSocketResultsMapToUnitResults)
{
    struct Case {
        JLIB::JResult in;
        JLIB::JResult component;
        JLIB::JResult socket;
    };
    const Case cases[] = {
        {0, 0, 0},
        {1, 0, 0},
        {0x7FFFFFFF, 0, 0},
        {0x80000001u, 0x80000002u, 0x8000000Fu},
        {0x80000002u, 0x80000005u, 0x8000000Fu},
        {0x80000003u, 0x80000008u, 0x80000008u},
        {0x80000004u, 0x8000000Fu, 0x80000008u},
        {0x80000005u, 0x80000007u, 0x80000006u},
        {0x80000006u, 0x80000009u, 0x8000000Fu},
        {0x80000080u, 0x8000000Fu, 0x80000002u},
        {0x80000081u, 0x8000000Fu, 0x80000007u},
        {0x80000082u, 0x8000000Fu, 0x80000004u},
        {0x80000083u, 0x8000000Fu, 0x80000005u},
        {0x80000084u, 0x8000000Fu, 0x8000000Fu},
        {0x80003002u, 0x8000000Fu, 0x8000000Fu},
        {0x80000000u, 0x8000000Fu, 0x8000000Fu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(c.component, AbstractUnit::fromUnitComponentErr(c.in));
        EXPECT_EQ(c.socket, AbstractUnit::fromVComErr(c.in));
    }
}

TEST_F(AbstractUnitTest, TheEngineSetUpHasNineteenPortsInOrder)
{
    ClientUnit client;
    ASSERT_EQ(0u, client.selectDatabse(1));
    ASSERT_EQ(0u, client.initialize(0, 1, 11, 1, 3, nullptr, 0x1000));
    nameLikeTheEngine(client);
    const std::vector<std::string> expected = {"EEVT", "MPRF", "MDVS", "MSTS", "MLCS", "MVDS", "MCMS",
                                               "MSTT", "MSSI", "MPSI", "MPJI", "MCMP", "FC_R", "DP_S",
                                               "d000", "DS_S", "d010", "DL_D", "d020"};
    EXPECT_EQ(19u, client.portCount());
    EXPECT_EQ(expected, portNames(client));
    EXPECT_EQ(nullptr, client.component(19));
    EXPECT_NE(nullptr, dynamic_cast<ComControl::PdbSynchronizer*>(client.component(1)));
    EXPECT_NE(nullptr, dynamic_cast<ComControl::DirectorySynchronizer*>(client.component(13)));
    EXPECT_NE(nullptr, dynamic_cast<ComControl::FileTransferer*>(client.component(14)));

    // Components know on which side they work: a connecting unit hands them "not a server unit" false.
    LinkOwner owner;
    ComControl::ServerUnit server;
    ASSERT_EQ(0u, server.selectDatabse(1));
    ASSERT_EQ(0u, server.initialize(0, 1, 11, 1, 3, vcomtest::loopbackAddress(), owner, &owner, 0x1000));
    nameLikeTheEngine(server);
    EXPECT_EQ(expected, portNames(server));
    for (AbstractUnit* unit : {static_cast<AbstractUnit*>(&client), static_cast<AbstractUnit*>(&server)}) {
        const bool notServer = !unit->isServerUnit();
        EXPECT_EQ(notServer, dynamic_cast<ComControl::EventMessenger*>(unit->component(0))->notServerUnit());
        EXPECT_EQ(notServer, dynamic_cast<ComControl::PdbSynchronizer*>(unit->component(5))->notServerUnit());
        EXPECT_EQ(notServer, dynamic_cast<ComControl::FileTransferer*>(unit->component(12))->notServerUnit());
        EXPECT_EQ(notServer, dynamic_cast<ComControl::DirectorySynchronizer*>(unit->component(15))->notServerUnit());
    }
}

TEST_F(AbstractUnitTest, SetUpRulesAndTheirCodes)
{
    ClientUnit unit;
    RecordingExecutor executor;
    // Before initialize.
    EXPECT_EQ(0x80000003u, unit.setEventPortName(0, "EVT"));
    EXPECT_EQ(0x80000003u, unit.registEventExecutor(0, "Sync", executor, 0));
    EXPECT_EQ(0x80000003u, unit.sendEvent(0, 0, "KeepAlive", ""));
    EXPECT_EQ(0x80000003u, unit.periodicHandle(50));
    EXPECT_EQ(0x80000003u, unit.notifyPrmChanged());
    EXPECT_EQ(0x80000003u, unit.disconnect());
    EXPECT_EQ(0x80000003u, unit.socketAccepted(0, &m_core, 1));
    EXPECT_EQ(nullptr, unit.getEventExecutor(0));
    EXPECT_EQ(nullptr, unit.component(0));

    EXPECT_EQ(1u, unit.selectDatabse(2));  // kind 0 stays
    EXPECT_EQ(0x80000002u, unit.initialize(-1, 1, 2, 1, 1, nullptr, 256));
    ASSERT_EQ(0u, unit.initialize(0, 1, 2, 1, 2, nullptr, 256));
    EXPECT_EQ(1u, unit.initialize(0, 1, 2, 1, 2, nullptr, 256));
    EXPECT_EQ(0x80000003u, unit.selectDatabse(1));
    EXPECT_EQ(0u, unit.setMmsPortName(1, "TRE"));
    EXPECT_EQ(0x80000002u, unit.setPdbPortName(0, "PRF"));  // the tree kind holds the synchroniser ports

    struct Case {
        const char* what;
        JLIB::JResult result;
        JLIB::JResult (AbstractUnit::*set)(uint32_t, const char*);
        uint32_t index;
        const char* name;
    };
    const Case cases[] = {
        {"three characters", 0, &AbstractUnit::setEventPortName, 0, "EVT"},
        {"four characters", 0x80000002u, &AbstractUnit::setEventPortName, 0, "EVTX"},
        {"null name", 0x80000002u, &AbstractUnit::setFilePortName, 0, nullptr},
        {"index at the count", 0x80000002u, &AbstractUnit::setEventPortName, 1, "EVT"},
        {"directory index at the count", 0x80000002u, &AbstractUnit::setDirectoryPortName, 2, "S_S"},
        {"directory", 0, &AbstractUnit::setDirectoryPortName, 1, "S_S"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.result, (unit.*c.set)(c.index, c.name));
    }
    EXPECT_EQ((std::vector<std::string>{"EEVT", "", "MTRE", "", "", "", "DS_S", "d010"}), portNames(unit));

    EXPECT_EQ(0x80000002u, unit.registEventExecutor(1, "Sync", executor, 0));
    EXPECT_EQ(0x80000002u, unit.registEventExecutor(0, nullptr, executor, 0));
    EXPECT_EQ(0u, unit.registEventExecutor(0, "Sync", executor, 0));
    EXPECT_EQ(&executor, unit.getEventExecutor(0));
    EXPECT_EQ(0x80000007u, unit.sendEvent(0, 0, "KeepAlive", ""));  // not connected
    EXPECT_EQ(0x80000002u, unit.sendEvent(1, 0, "KeepAlive", ""));
    EXPECT_EQ(1u, unit.disconnect());  // no session
    EXPECT_EQ(0u, unit.periodicHandle(50));
    EXPECT_EQ(0u, unit.notifyPrmChanged());

    ComControl::ServerUnit server;
    EXPECT_EQ(0x80000002u, server.initialize(0, 1, 0, 0, 0, nullptr, 256));  // needs its address and wake-up
    EXPECT_EQ(0x80000003u, server.connect(vcomtest::loopbackAddress(), 1));
    EXPECT_EQ(0x80000003u, server.runCallback());
}

TEST_F(AbstractUnitTest, SynchronisersAndDirectoriesReportStateChanges)
{
    ClientUnit unit;
    ASSERT_EQ(0u, unit.selectDatabse(1));
    ASSERT_EQ(0u, unit.initialize(4, 1, 2, 1, 1, &m_owner, 256));
    ASSERT_EQ(0u, unit.setPdbPortName(0, "PRF"));
    ASSERT_EQ(0u, unit.setPdbPortName(1, "DVS"));
    testing::internal::CaptureStdout();
    for (uint32_t i = 0; i < unit.portCount(); ++i) unit.notify(*unit.component(i));  // E, M, M, F, D, d
    EXPECT_EQ("--------------------------------MPRF\n--------------------------------MDVS\n",
              testing::internal::GetCapturedStdout());
    EXPECT_EQ((std::vector<std::string>{"stateChanged 4", "stateChanged 4", "stateChanged 4"}), m_owner.log);
}

// Attached on a session, events reach the executor and answers go back; frames for the other
// ports are taken by their components. Detaching closes every port and frees the unit.
TEST_F(AbstractUnitTest, AttachedPortsCarryTrafficUntilDetached)
{
    ClientUnit unit;
    attach(unit, 11, 3);
    EXPECT_EQ((std::vector<std::string>{"connected 3"}), m_owner.log);
    EXPECT_TRUE(unit.isValidSession());
    m_core.incoming.push_back(frame("MPRF", "anything") + frame("d020", "x") + frame("EEVT", eventCommand("KeepAlive", "")));
    EXPECT_EQ(0u, unit.socketReceived(0));
    EXPECT_EQ((std::vector<ExecutedEvent>{{9, "KeepAlive", ""}}), m_executor.events);
    EXPECT_EQ(frame("EEVT", answerCommand(0, "KeepAlive", "")), m_core.sent);

    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, unit.socketDisconnected(0));
    EXPECT_EQ("ClientUnit::socketDisconnected portId = 0\n", testing::internal::GetCapturedStdout());
    EXPECT_FALSE(unit.isValidSession());
    EXPECT_EQ((std::vector<std::string>{"connected 3", "disconnected 3"}), m_owner.log);
    EXPECT_EQ(0x80000007u, unit.sendEvent(0, 0, "KeepAlive", ""));
}

// The lookup by port index must not depend on the directory array: a unit without directories
// attaches all its other ports.
TEST_F(AbstractUnitTest, AUnitWithoutDirectoriesAttachesItsPorts)
{
    ClientUnit unit;
    attach(unit, 0, 0);
    m_core.incoming.push_back(frame("EEVT", eventCommand("ApplyConfig", "")));
    EXPECT_EQ(0u, unit.socketReceived(0));
    EXPECT_EQ(1u, m_executor.events.size());
    EXPECT_EQ(frame("EEVT", answerCommand(0, "ApplyConfig", "")), m_core.sent);
}

TEST_F(AbstractUnitTest, SocketFailuresReportConnectFailedThenDisconnected)
{
    ClientUnit unit;
    attach(unit, 0, 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, unit.socketCommunicationFailed(0, 2));
    EXPECT_EQ("ClientUnit::socketCommunicationFailed portId = 0, err = 0x2\nClientUnit::socketDisconnected portId = 0\n",
              testing::internal::GetCapturedStdout());
    EXPECT_EQ((std::vector<std::string>{"connected 3", "connectFailed 3", "disconnected 3"}), m_owner.log);
}
