// An executor whose packets to the editor are kept instead of sent, for the tests to read.
#pragma once

#include <vector>

#include "editor/VDProtocolDefine.h"
#include "editor/VDProtocolExecutor.h"

namespace EngineTest {

class CapturingExecutor : public VDevice::VDProtocolExecutor {
public:
    CapturingExecutor() : VDProtocolExecutor("dev01", nullptr) {}
    std::vector<VDProtocol::PacketContainer> sent;

protected:
    JLIB::JResult transmit(const VDProtocol::PacketContainer& packet) override
    {
        sent.push_back(packet);
        return JLIB::kOk;
    }
};

}  // namespace EngineTest
