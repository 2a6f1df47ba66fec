#pragma once
// Received names held until the owner's next tick ends: a change noticed in that tick is not
// sent back. Owner task of the link only.
#include <string>
#include <vector>

#include "comctrl_IReceivedItemStrategy.h"

namespace ComControl {

class ReceivedListStrategy : public IReceivedItemStrategy {
public:
    // 0; 0x80000001 for a null name. A listed name is not added twice.
    JLIB::JResult append(const char* fileName) override;
    // Exact text comparison.
    bool isReceivedItem(const char* fileName) override;
    bool isForgettable() const override { return true; }
    JLIB::JResult clear() override;
    size_t size() const { return m_names.size(); }

private:
    std::vector<std::string> m_names;
};

}  // namespace ComControl
