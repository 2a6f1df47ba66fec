#pragma once
// The process-wide announcer of this device's services (role 1). Owner task only.
#include "common/KavoriJSDPAbstract.h"

namespace KAVORI {

class KavoriJSDPResponder : public KavoriJSDPAbstract {
public:
    static KavoriJSDPResponder& getInstance();
    uint8_t role() const override { return 1; }
};

}  // namespace KAVORI
