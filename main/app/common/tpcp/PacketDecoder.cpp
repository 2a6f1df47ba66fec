#include "common/tpcp/PacketDecoder.h"

#include <cstdio>
#include <cstring>

#include <oscpack/osc/OscReceivedElements.h>

namespace TPCP {
namespace {

// oscpack's readers trust sizes they have not checked (an argument running past the message is
// noticed but not refused, and then read), so every size is checked here before oscpack parses.
constexpr int kMaxBundleDepth = 64;  // far deeper than any sender nests; keeps the walk's stack small

size_t padded(size_t n) { return (n + 3) & ~size_t(3); }

uint32_t bigEndian32(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// The length of the NUL-terminated text at p with its zero padding, or 0 when it has no end in n
// bytes or its padding is not zero (oscpack finds a text's end by the last byte of each group of
// four, which agrees with the first NUL only under zero padding).
size_t paddedText(const unsigned char* p, size_t n)
{
    const void* nul = std::memchr(p, 0, n);
    if (!nul) return 0;
    const size_t end = static_cast<size_t>(static_cast<const unsigned char*>(nul) - p);
    const size_t length = padded(end + 1);
    if (length > n) return 0;
    for (size_t i = end; i < length; ++i) {
        if (p[i] != 0) return 0;
    }
    return length;
}

bool messageFits(const unsigned char* p, size_t size)
{
    size_t at = paddedText(p, size);
    if (at == 0) return false;
    if (at == size || p[at] != ',') return true;  // no type tags: no arguments
    const size_t tagsLength = paddedText(p + at, size - at);
    if (tagsLength == 0) return false;
    const unsigned char* tag = p + at + 1;
    at += tagsLength;
    for (; *tag != 0; ++tag) {
        size_t need = 0;
        switch (*tag) {
        case 'i': case 'f': case 'c': case 'r': case 'm': need = 4; break;
        case 'h': case 't': case 'd': need = 8; break;
        case 'T': case 'F': case 'N': case 'I': case '[': case ']': need = 0; break;
        case 's': case 'S':
            need = paddedText(p + at, size - at);
            if (need == 0) return false;
            break;
        case 'b':
            if (size - at < 4) return false;
            need = 4 + padded(bigEndian32(p + at));
            break;
        default: return false;
        }
        if (need > size - at) return false;
        at += need;
    }
    return true;
}

bool packetFits(const unsigned char* p, size_t size, int depth)
{
    if (size == 0 || size % 4 != 0) return false;
    // oscpack takes every packet that starts with '#' for a bundle.
    if (p[0] != '#') return messageFits(p, size);
    if (depth >= kMaxBundleDepth || size < 16 || std::memcmp(p, "#bundle", 8) != 0) return false;
    for (size_t at = 16; at < size;) {
        if (size - at < 4) return false;
        const size_t element = bigEndian32(p + at);
        at += 4;
        if (element > size - at || !packetFits(p + at, element, depth + 1)) return false;
        at += element;
    }
    return true;
}

JVariant argumentValue(const osc::ReceivedMessageArgument& argument, bool& kept)
{
    kept = true;
    if (argument.IsInt32()) return JVariant(static_cast<int>(argument.AsInt32Unchecked()));
    if (argument.IsString()) return JVariant(argument.AsStringUnchecked(), JVariant::kMaxStringLength);
    if (argument.IsFloat()) return JVariant(argument.AsFloatUnchecked());
    if (argument.IsDouble()) return JVariant(static_cast<float>(argument.AsDoubleUnchecked()));
    if (argument.IsBlob()) {
        const void* data = nullptr;
        osc::osc_bundle_element_size_t size = 0;
        argument.AsBlobUnchecked(data, size);
        if (data && size > 0) return JVariant(static_cast<const unsigned char*>(data), static_cast<unsigned int>(size));
    }
    kept = false;
    return JVariant();
}

// size is the message's byte count; its address starts the message.
void addMessage(const osc::ReceivedMessage& message, size_t size, std::vector<OscMessage>& out)
{
    const char* address = message.AddressPattern();
    if (!address || address[0] == '\0') return;
    OscMessage decoded;
    decoded.address = address;
    if (message.ArgumentCount() > 0) {
        // oscpack points behind the comma and counts one tag per argument.
        decoded.typeTags = "," + std::string(message.TypeTags(), message.ArgumentCount());
    } else {
        // oscpack shows a lone comma as no tags; the packet is looked at to tell the two apart.
        const size_t tagsAt = (std::strlen(address) + 4) & ~size_t(3);
        if (tagsAt < size && address[tagsAt] == ',') decoded.typeTags = ",";
    }
    for (auto it = message.ArgumentsBegin(); it != message.ArgumentsEnd(); ++it) {
        bool kept = false;
        JVariant value = argumentValue(*it, kept);
        if (kept) decoded.arguments.push_back(std::move(value));
    }
    out.push_back(std::move(decoded));
}

void addBundle(const osc::ReceivedBundle& bundle, std::vector<OscMessage>& out)
{
    std::printf("[OSC]bundle: Elem=%lu, TimeTag=%llu\n", static_cast<unsigned long>(bundle.ElementCount()),
                static_cast<unsigned long long>(bundle.TimeTag()));
    for (auto it = bundle.ElementsBegin(); it != bundle.ElementsEnd(); ++it) {
        if (it->IsBundle()) {
            addBundle(osc::ReceivedBundle(*it), out);
        } else {
            addMessage(osc::ReceivedMessage(*it), static_cast<size_t>(it->Size()), out);
        }
    }
}

}  // namespace

PacketDecoder::PacketDecoder(const void* bytes, size_t length)
{
    if (!bytes) return;
    std::vector<OscMessage> found;
    try {
        // oscpack counts sizes in signed 32 bits.
        if (length > 0x7FFFFFFCu || !packetFits(static_cast<const unsigned char*>(bytes), length, 0)) {
            throw osc::MalformedPacketException("malformed packet");
        }
        const osc::ReceivedPacket packet(static_cast<const char*>(bytes), static_cast<osc::osc_bundle_element_size_t>(length));
        if (packet.IsBundle()) {
            addBundle(osc::ReceivedBundle(packet), found);
        } else {
            addMessage(osc::ReceivedMessage(packet), length, found);
        }
    } catch (const std::exception&) {
        // osc::Exception for malformed input, std::bad_alloc when the copies cannot be made.
        std::printf(",invalid packet (%llubyte)\n", static_cast<unsigned long long>(length));
        return;
    }
    m_messages = std::move(found);
    m_valid = true;
}

JLIB::JResult PacketDecoder::getOscMessages(std::vector<OscMessage>& messages) const
{
    if (!m_valid) return kInvalidPacket;
    if (m_messages.empty()) return kNoMessage;
    messages = m_messages;
    return JLIB::kOk;
}

}  // namespace TPCP
