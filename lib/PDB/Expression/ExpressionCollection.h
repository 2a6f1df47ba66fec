#pragma once
// Finds an expression by the kind name of a parameter. Filled before it is shared: add, clear
// and registerName must not run while another task looks up in the same collection.
#include <map>
#include <string>

#include "PDB/Expression/IExpressionCollection.h"

namespace Expression {

class ExpressionCollection : public IExpressionCollection {
public:
    // The empty name holds kind value 0 from the start.
    ExpressionCollection();
    ~ExpressionCollection() override;

    // Borrows the expression, which must outlive the collection; 0x80000000 when the kind value
    // already has one.
    [[nodiscard]] JLIB::JResult add(uint32_t kindValue, IExpression* expression) override;
    // Forgets the expressions; the kind names stay.
    [[nodiscard]] JLIB::JResult clear() override;
    // Null when nothing is recorded under the kind value.
    IExpression* get(uint32_t kindValue) const override;
    uint32_t size() const override;
    // The name's CRC-32, moved up past values that other names took first; records a new name.
    uint32_t registerName(const char* name) override;
    // The value registerName would give, without recording anything.
    uint32_t getKindValue(const char* name) override;

private:
    uint32_t _makeHash(const char* name, bool doRegister);

    std::map<uint32_t, IExpression*> m_expressions;  // borrowed, never deleted here
    std::map<uint32_t, std::string> m_names;
};

}  // namespace Expression
