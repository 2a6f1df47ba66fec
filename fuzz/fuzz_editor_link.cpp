// Bytes from the editor as the link receives them: framed into lines in reads of up to 1024
// bytes, each line decoded into a packet. A decoded packet must encode again, and its line
// must decode again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "dbgc/dbgc_stdapi.h"
#include "editor/PacketConvcertor.h"
#include "editor/VDProtocolLineBuffer.h"

namespace {

VDProtocol::VDProtocolLineBuffer& lineBuffer()
{
    // One 5 MiB buffer for the whole run, as the link keeps one for the whole connection.
    static VDProtocol::VDProtocolLineBuffer* buffer = [] {
        auto* made = new VDProtocol::VDProtocolLineBuffer();
        if (made->initialize() != 0) __builtin_trap();
        return made;
    }();
    return *buffer;
}

void handleLine(std::string_view line)
{
    VDProtocol::PacketContainer packet;
    if (VDProtocol::PacketConvcertor::Decode_VDProtocol(packet, line) != 0) return;
    std::string text;
    if (VDProtocol::PacketConvcertor::Encode_VDProtocol(text, packet) != 0) __builtin_trap();
    VDProtocol::PacketContainer again;
    if (VDProtocol::PacketConvcertor::Decode_VDProtocol(again, text) != 0) __builtin_trap();
    if (again.category() != packet.category() || again.requestID() != packet.requestID()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    (void)dbgSetDbgMode(0);  // the decode messages would only slow the run
    VDProtocol::VDProtocolLineBuffer& buffer = lineBuffer();
    buffer.clear();
    const auto* bytes = reinterpret_cast<const char*>(data);
    for (size_t at = 0; at < size; at += 1024) {
        const size_t count = size - at < 1024 ? size - at : 1024;
        buffer.append(bytes + at, static_cast<uint32_t>(count), handleLine);
    }
    if (buffer.usedLength() > VDProtocol::VDProtocolLineBuffer::kCapacity) __builtin_trap();
    return 0;
}
