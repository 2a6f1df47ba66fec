#pragma once
// Which local changes a synchroniser sends, how it marks them and how it writes what the link
// brings, from the 8-bit change factor each element keeps. Stateless; any task.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace ComControl {

class FactorConverter {
public:
    static constexpr uint32_t kCommOwn = 0xA0;    // a client's every change; a server's for the owner
    static constexpr uint32_t kCommOther = 0xA1;  // a server's change for the other connections
    static constexpr uint32_t kLink = 0xF0;       // written by the console link; every block

    struct ConvertedInfoOnSend {
        uint32_t commFactor = 0;
    };
    struct ConvertedInfoOnReceive {
        bool apply = false;
        uint32_t modelFactor = 0;
        bool serverSide = false;
    };

    static JLIB::JResult modelFactorToCommFactor(ConvertedInfoOnSend& out, bool isServer, uint32_t ownFactor,
                                                 uint32_t elementFactor);
    static JLIB::JResult commFactorToModelFactor(ConvertedInfoOnReceive& out, bool isServer, uint32_t ownFactor,
                                                 uint32_t commFactor);
    static uint32_t commFactorForSetParamBlock(bool isServer, uint32_t ownFactor);
    static bool isSendback(bool isServer, uint32_t elementFactor);
};

}  // namespace ComControl
