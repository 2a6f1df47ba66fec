#include "OscServer/OscCore/OscInfoAccessor.h"

namespace JOSC {

OscInfoAccessor::~OscInfoAccessor() = default;

}  // namespace JOSC
