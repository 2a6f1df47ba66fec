#pragma once
// A field core whose roots answer the node queries of the search tree from a shape text instead
// of a built tree, so a test can describe any depth and make any query fail. A shape is one
// collection: "(" its children ")", where p is a parameter, (...) a nested collection and x a node
// of another category; list parameters first, as a field numbers them. An empty shape is a root
// that reports no nodes at all.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Base.h"

namespace MmsTreeTest {

class ShapeField : public MMS::Base {
public:
    ShapeField() : MMS::Base(nullptr, nullptr, nullptr, nullptr) { (void)MmsTest::heap1(); }

    void addShape(const std::string& root, const std::string& shape) { m_roots.emplace_back(root, shape); }

    uint32_t getRootNum(uint32_t* count) override
    {
        if (failRootNum) return 0x80000000u;
        *count = static_cast<uint32_t>(m_roots.size());
        return 0;
    }
    uint32_t getRootIdentifier(char* out, uint32_t position) override
    {
        if (position >= m_roots.size() || m_roots[position].first == failIdentifierOf) return 0x80000006u;
        std::memset(out, 0, 24);
        std::strncpy(out, m_roots[position].first.c_str(), 23);
        return 0;
    }
    uint32_t getNodeAddrNum(uint32_t* collections, uint32_t* parameters, const char* root) override
    {
        const std::string* shape = find(root);
        if (shape == nullptr) return 0x80000006u;
        if (nodeCountResult != 0) return nodeCountResult;
        uint32_t c = 0;
        uint32_t p = 0;
        for (char ch : *shape) {
            if (ch == '(') ++c;
            if (ch == 'p') ++p;
        }
        if (collections != nullptr) *collections = c;
        if (parameters != nullptr) *parameters = p;
        return 0;
    }
    uint32_t getNumOfChildNodesFast(uint32_t* count, const char* root, const uint32_t* nodes, uint32_t depth) override
    {
        const std::string* shape = find(root);
        size_t at = 0;
        if (shape == nullptr || !walk(*shape, nodes, depth, &at) || (*shape)[at] != '(') return 0x80000006u;
        if (path(nodes, depth) == failChildCountAt) return 0x80000002u;
        *count = static_cast<uint32_t>(children(*shape, at).size());
        return 0;
    }
    uint32_t getNodeCategoryFast(uint8_t* category, const char* root, const uint32_t* nodes, uint32_t depth) override
    {
        const std::string* shape = find(root);
        size_t at = 0;
        if (shape == nullptr || !walk(*shape, nodes, depth, &at)) return 0x80000006u;
        if (path(nodes, depth) == failCategoryAt) return 0x80000002u;
        const char ch = (*shape)[at];
        *category = ch == '(' ? 0 : (ch == 'p' ? 1 : 2);
        return 0;
    }

    bool failRootNum = false;
    std::string failIdentifierOf;
    uint32_t nodeCountResult = 0;
    std::vector<uint32_t> failCategoryAt{99};   // a path whose category query fails
    std::vector<uint32_t> failChildCountAt{99};  // a path whose child count query fails

private:
    static std::vector<uint32_t> path(const uint32_t* nodes, uint32_t depth)
    {
        return std::vector<uint32_t>(nodes, nodes + depth);
    }
    const std::string* find(const char* root) const
    {
        if (m_roots.empty()) return nullptr;
        if (root == nullptr) return &m_roots.front().second;
        for (const auto& r : m_roots) {
            if (r.first == root) return &r.second;
        }
        return nullptr;
    }
    // Start positions of the children of the collection that opens at 'at'.
    static std::vector<size_t> children(const std::string& s, size_t at)
    {
        std::vector<size_t> out;
        size_t i = at + 1;
        while (i < s.size() && s[i] != ')') {
            out.push_back(i);
            if (s[i] == '(') {
                int level = 0;
                do {
                    if (s[i] == '(') ++level;
                    if (s[i] == ')') --level;
                    ++i;
                } while (level > 0);
            } else {
                ++i;
            }
        }
        return out;
    }
    static bool walk(const std::string& s, const uint32_t* nodes, uint32_t depth, size_t* at)
    {
        size_t pos = 0;
        for (uint32_t d = 0; d < depth; ++d) {
            if (s[pos] != '(') return false;
            const std::vector<size_t> kids = children(s, pos);
            if (nodes[d] >= kids.size()) return false;
            pos = kids[nodes[d]];
        }
        *at = pos;
        return true;
    }

    std::vector<std::pair<std::string, std::string>> m_roots;
};

}  // namespace MmsTreeTest
