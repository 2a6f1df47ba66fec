#include "mmsf_FieldCollection.h"

namespace MMSFUNC {

const FieldInfo FieldCollection::m_NullInfo = {0xFFFFFFFFu, nullptr, nullptr, 0, 0};

std::vector<MMS::IField*> FieldCollection::m_FieldTable;

FieldCollection::~FieldCollection() = default;

}  // namespace MMSFUNC
