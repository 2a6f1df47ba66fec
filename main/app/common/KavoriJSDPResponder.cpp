#include "common/KavoriJSDPResponder.h"

namespace KAVORI {

KavoriJSDPResponder& KavoriJSDPResponder::getInstance()
{
    static KavoriJSDPResponder instance;
    return instance;
}

}  // namespace KAVORI
