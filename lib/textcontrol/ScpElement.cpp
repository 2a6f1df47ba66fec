#include "textcontrol/ScpElement.h"

namespace SCP {

ScpElement::~ScpElement() = default;

}  // namespace SCP
