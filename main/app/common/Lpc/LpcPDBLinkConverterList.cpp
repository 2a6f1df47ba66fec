#include "common/Lpc/LpcPDBLinkConverterList.h"

#include <new>

#include "common/Lpc/LpcPDBLinkConverter.h"

namespace LPC {

PDBLinkConverterList::PDBLinkConverterList()
{
    for (auto& converter : m_converters) converter.reset(new (std::nothrow) PDBLinkConverter);
}

PDBLinkConverterList::~PDBLinkConverterList() = default;

PDBLinkConverter* PDBLinkConverterList::getConverter(uint32_t space) const
{
    return space < kSpaceNum ? m_converters[space].get() : nullptr;
}

}  // namespace LPC
