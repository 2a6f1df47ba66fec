#pragma once
// The unsolicited messages of the OSC server: a base that holds the outgoing address parts and
// arguments, and one small class per kind whose set fills them once on a fresh object. A
// notification lives for one event on the server's host thread and is never shared.
#include <cstdint>

#include "OscServer/OscCore/OscCommandData.h"
#include "OscServer/OscCore/OscTypes.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace JOSC {

class OscMeter;
class OscParameter;
class OscSessionData;

class OscServerNotification {
public:
    OscServerNotification() = default;
    virtual ~OscServerNotification();

    // Copies the address parts and the arguments into whichever target is given. Returns 0.
    JLIB::JResult makeNotification(OscCommandData* command, JVariantList* arguments) const;

protected:
    OscCommandData m_command;
    JVariantList m_arguments;
};

// Parameter set and setn: a failing getAddress leaves the notification empty; a failing read
// leaves the address parts set and the arguments as far as they were filled. Either way set
// answers the provider's code.

// "set": the element's address, x and y (always both), its values, then its texts.
class OscServerNotificationSET : public OscServerNotification {
public:
    const char* getCommandName() const { return "set"; }
    // The result of getText when everything else succeeded.
    [[nodiscard]] JLIB::JResult set(uint8_t origin, OscParameter& parameters, uint32_t index, uint32_t x,
                                    uint32_t y);
};

// "setn": as "set" with the ratios in the receiving session's resolution in place of the values.
class OscServerNotificationSETN : public OscServerNotification {
public:
    const char* getCommandName() const { return "setn"; }
    [[nodiscard]] JLIB::JResult set(uint8_t origin, OscParameter& parameters, const OscSessionData& session,
                                    uint32_t index, uint32_t x, uint32_t y);
};

// "mtr": the meter's address, String(10) of its type word and a copy of its bytes. Type and
// command are set before anything can fail; a failing provider call leaves no arguments.
class OscServerNotificationMTR : public OscServerNotification {
public:
    static constexpr unsigned int kTypeWordLength = 10;
    const char* getCommandName() const { return "mtr"; }
    [[nodiscard]] JLIB::JResult set(OscMeter& meters, uint32_t meterIndex);
};

// "devstatus": String(32) key and String(32) value; 0x80000004 and nothing set for a null one.
class OscServerNotificationDEVSTATUS : public OscServerNotification {
public:
    static constexpr unsigned int kTextLength = 32;
    const char* getCommandName() const { return "devstatus"; }
    [[nodiscard]] JLIB::JResult set(const char* key, const char* value);
};

// The snapshot events, by number and by text. No address; the category as given, then Int32 of
// the number or the text as given; the current-snapshot forms end with String(20) "unmodified".
// Always 0.
class OscServerNotificationSSRECALL_EX : public OscServerNotification {
public:
    const char* getCommandName() const { return "ssrecall_ex"; }
    JLIB::JResult set(const JVariant& category, uint32_t number);
};

class OscServerNotificationSSCURRENT_EX : public OscServerNotification {
public:
    const char* getCommandName() const { return "sscurrent_ex"; }
    JLIB::JResult set(const JVariant& category, uint32_t number);
};

class OscServerNotificationSSUPDATE_EX : public OscServerNotification {
public:
    const char* getCommandName() const { return "ssupdate_ex"; }
    JLIB::JResult set(const JVariant& category, uint32_t number);
};

class OscServerNotificationSSRECALLT_EX : public OscServerNotification {
public:
    const char* getCommandName() const { return "ssrecallt_ex"; }
    JLIB::JResult set(const JVariant& category, const JVariant& text);
};

class OscServerNotificationSSCURRENTT_EX : public OscServerNotification {
public:
    const char* getCommandName() const { return "sscurrentt_ex"; }
    JLIB::JResult set(const JVariant& category, const JVariant& text);
};

class OscServerNotificationSSUPDATET_EX : public OscServerNotification {
public:
    const char* getCommandName() const { return "ssupdatet_ex"; }
    JLIB::JResult set(const JVariant& category, const JVariant& text);
};

}  // namespace JOSC
