#include "PDB/Expression/ExpressionCollection.h"

#include "PDB/Expression/IExpression.h"
#include "jlib/jlib_crc32.h"
#include "jlib/jlib_string.h"

namespace Expression {

ExpressionCollection::ExpressionCollection()
{
    m_names.emplace(0u, std::string());
}

ExpressionCollection::~ExpressionCollection() = default;

JLIB::JResult ExpressionCollection::add(uint32_t kindValue, IExpression* expression)
{
    if (get(kindValue) != nullptr) return kKindTaken;
    m_expressions[kindValue] = expression;
    return kOk;
}

JLIB::JResult ExpressionCollection::clear()
{
    m_expressions.clear();
    return kOk;
}

IExpression* ExpressionCollection::get(uint32_t kindValue) const
{
    const auto it = m_expressions.find(kindValue);
    return it == m_expressions.end() ? nullptr : it->second;
}

uint32_t ExpressionCollection::size() const
{
    return static_cast<uint32_t>(m_expressions.size());
}

uint32_t ExpressionCollection::registerName(const char* name)
{
    return _makeHash(name, true);
}

uint32_t ExpressionCollection::getKindValue(const char* name)
{
    return _makeHash(name, false);
}

uint32_t ExpressionCollection::_makeHash(const char* name, bool doRegister)
{
    const uint32_t length = jlib_strlen(name, 0xFFFFFFFFu);
    if (length == 0) return 0;
    uint32_t h = jlib_getCRC32(name, length);
    // Ends: the map can never hold all 2^32 values.
    for (;;) {
        const auto it = m_names.find(h);
        if (it == m_names.end()) {
            if (doRegister) m_names.emplace(h, std::string(name, length));
            return h;
        }
        if (it->second.size() == length && it->second.compare(0, length, name, length) == 0) return h;
        ++h;  // wraps in 32 bits
    }
}

}  // namespace Expression
