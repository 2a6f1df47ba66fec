#pragma once
// Registry of expressions by kind value, and of kind names by kind value.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace Expression {

class IExpression;

class IExpressionCollection {
public:
    virtual ~IExpressionCollection() = 0;
    [[nodiscard]] virtual JLIB::JResult add(uint32_t kindValue, IExpression* expression) = 0;
    [[nodiscard]] virtual JLIB::JResult clear() = 0;
    virtual IExpression* get(uint32_t kindValue) const = 0;
    virtual uint32_t size() const = 0;
    virtual uint32_t registerName(const char* name) = 0;
    virtual uint32_t getKindValue(const char* name) = 0;
};

inline IExpressionCollection::~IExpressionCollection() = default;

}  // namespace Expression
