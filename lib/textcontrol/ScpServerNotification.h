#pragma once
// The base of the "NOTIFY" lines the server pushes when a model reports a change: the element
// list and its text in either form. Server's thread only.
#include <cstdint>

#include "jlib/JDataStream.h"
#include "jlib/jlib_result.h"
#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementList.h"

namespace SCP {

class ScpServerNotification {
public:
    explicit ScpServerNotification(const char* name);
    ScpServerNotification(const ScpServerNotification&) = delete;
    ScpServerNotification& operator=(const ScpServerNotification&) = delete;
    virtual ~ScpServerNotification();
    virtual bool isOK(uint8_t mask) const;
    // 0, 0x80000003 a field unset (nothing written), 0x8000000D the stream is full.
    [[nodiscard]] JLIB::JResult makeNotification(ScpFormat format, ScpEncoding encoding,
                                                 JLIB::JDataStream<unsigned char>& stream);

protected:
    void add(ScpElement& element) { (void)m_list.append(element, ScpElementList::kNotification); }

    ScpElementList m_list;
    ScpElementAlNum m_command;
};

}  // namespace SCP
