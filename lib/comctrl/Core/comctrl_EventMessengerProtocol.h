#pragma once
// The event port's two commands: an event (0x030101) and its answer (0x030110), each with a result
// field, the event id, the name and the text. Stateless; any task. Decoded names and texts point
// into the payload and live as long as it does.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace ComControl {

class IEventExecutor;

class EventMessengerProtocol {
public:
    static constexpr uint32_t kEventCommand = 0x030101;
    static constexpr uint32_t kAnswerCommand = 0x030110;
    static constexpr uint32_t kMaxNameLength = 23;
    static constexpr uint32_t kMaxTextLength = 1023;
    static constexpr uint32_t kMaxBufferSize = 1085;  // header, two numbers, the longest name and text

    static constexpr JLIB::JResult kBadArgument = 0x80000001u;
    static constexpr JLIB::JResult kMalformed = 0x80000004u;
    static constexpr JLIB::JResult kWrongCommand = 0x80000005u;
    static constexpr JLIB::JResult kRefused = 0x80003002u;

    // 0; 0x80000001 for a null length, name or text, or a name above 23 or a text above 1023
    // characters (the peer would drop it); the codec's 0x80000003 when the buffer is too small.
    [[nodiscard]] static JLIB::JResult Encode_Event(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                    const char* name, const char* text, uint32_t id);
    // Reads an event and runs it: 0; 0x80000001 for a null name, text or executor; 0x80000005 when
    // the command is not an event; 0x80000004 (or the codec's failure) when it cannot be read or
    // its name or text is too long; 0x80000000 | 0x3002 when the executor refused it.
    [[nodiscard]] static JLIB::JResult Decode_Event(const uint8_t* payload, uint32_t length, IEventExecutor* executor,
                                                    uint32_t userValue, uint32_t* id, const char** name,
                                                    const char** text);
    [[nodiscard]] static JLIB::JResult Encode_EventAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                          uint32_t id, const char* name, const char* text,
                                                          uint32_t answerCode);
    // id is optional, the other outputs required (0x80000001); 0x80000005 when not an answer.
    [[nodiscard]] static JLIB::JResult Decode_EventAnswer(const uint8_t* payload, uint32_t length, uint32_t* id,
                                                          const char** name, const char** text,
                                                          uint32_t* answerCode);
    // The room an answer to this command needs: for an event 37 + its name and text parameters
    // (each with its zero, at most 24 and 1024; one that cannot be read counts as the maximum),
    // for an answer 0. 0x80000005 for any other command, or cnpGetCommand's failure.
    [[nodiscard]] static JLIB::JResult GetAnswerSize(uint32_t* size, uint8_t version, const uint8_t* payload,
                                                     uint32_t length);
    static uint32_t getMaxBufferSize() { return kMaxBufferSize; }
    // The answer to a received event without running it; a payload that is not a readable event
    // gives 0 with nothing written (*length 0).
    [[nodiscard]] static JLIB::JResult Reply(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                             const uint8_t* payload, uint32_t payloadLength, uint32_t answerCode);
};

}  // namespace ComControl
