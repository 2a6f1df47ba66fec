#pragma once
// Static helpers that copy node names and read and build the string addresses of a parameter tree
// ("/"-joined node names, optionally led by "/" and the root's name). No state: any task.
#include <cstdint>

namespace MMS {

class StringConverter {
public:
    StringConverter() = delete;

    // Copies a node name of 1 to 23 characters and its terminator into a 24-byte destination;
    // 0x80000002 for a null argument, an empty name or 24 characters or more (nothing copied).
    [[nodiscard]] static uint32_t nodeNameCopy(char* destination, const char* name);

    // Splits an address of at most addressSize bytes into its root part (after the leading "/"
    // run) and the rest (terminator counted when it lies within the size). Parts that are absent
    // are null with length 0. 0x80000002 for a null output or an address of separators only,
    // 0x80000006 for a null address with a non-zero size.
    [[nodiscard]] static uint32_t getRootName(const char** rootName, uint32_t* rootLength, const char** rest,
                                              uint32_t* restLength, const char* address, uint32_t addressSize);

    // Number of "/" at the start of text within length; the length itself when the text is empty
    // or made of separators only. 0x80000002 for a null argument.
    [[nodiscard]] static uint32_t separatorCounter(uint32_t* count, uint32_t length, const char* text);

    // Length of the first name of an address and the offset of the next one (a run of separators
    // counts as one). 0x80000002 for a null argument or a length of 0.
    [[nodiscard]] static uint32_t getAddressFirstNameSize(uint32_t* nameLength, uint32_t* nextOffset,
                                                          const char* text, uint32_t length);

    // Appends "/" (when the buffer holds text or leadingSeparator is set) and the name (at most 24
    // characters). No terminator is written: the buffer must be zero-filled before the first name.
    // 0x80000002 for null arguments, size 0 or when it does not fit (nothing written).
    [[nodiscard]] static uint32_t appendStringAddress(char* buffer, uint32_t bufferSize, const char* name,
                                                      uint8_t leadingSeparator);

    // Adds what appendStringAddress would append to a running size. 0x80000002 for null arguments.
    [[nodiscard]] static uint32_t getAddressSize(uint32_t* runningSize, const char* name, uint8_t leadingSeparator);
};

}  // namespace MMS
