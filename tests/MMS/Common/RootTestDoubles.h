#pragma once
// Recording stand-ins for what an application plugs into a root: a plug-in, a channel linker with
// its links, a set checker and a factor modifier. Each records what the root asked of it so the
// tests can check the order and the arguments of the calls.
#include <cstdint>
#include <memory>
#include <vector>

#include "MMS/Common/mms_CollectionWrapper.h"
#include "MMS/Common/mms_IChannelLinker.h"
#include "MMS/Common/mms_ILinkPlugin.h"
#include "MMS/Common/mms_ISetChecker.h"
#include "MMS/Common/mms_Types.h"
#include "jlib/JVariant.h"

namespace MmsTest {

using Vec = std::vector<uint32_t>;

inline Vec copyOf(const uint32_t* v, uint32_t n) { return v == nullptr ? Vec{} : Vec(v, v + n); }

class RecordingPlugin : public MMS::ILinkPlugin {
public:
    struct Call {
        int newValue;
        bool hadOld;
        int oldValue;
        uint32_t instance;
        Vec indexes;
    };

    uint32_t execute(const JVariant& newValue, const JVariant* oldValue, uint32_t instance, const uint32_t* nodes,
                     const uint32_t* indexes, uint32_t depth, MMS::ILinkReason&, MMS::MMS_PLUGIN_STRUCT*) override
    {
        (void)nodes;
        calls.push_back({newValue.toInt32(), oldValue != nullptr, oldValue != nullptr ? oldValue->toInt32() : 0,
                         instance, copyOf(indexes, depth)});
        return answer;
    }
    uint32_t getDefault(JVariant*, uint32_t, const uint32_t*, const uint32_t*, uint32_t,
                        MMS::MMS_PLUGIN_STRUCT*) const override
    {
        return 0;
    }
    uint32_t attached(MMS::CollectionWrapper* wrapper) override
    {
        ++attaches;
        m_pWrapper = wrapper;
        return attachAnswer;
    }
    uint32_t detached() override
    {
        ++detaches;
        m_pWrapper = nullptr;
        return 0;
    }
    MMS::CollectionWrapper* getCollWrapper() override { return m_pWrapper; }

    uint32_t answer = 0;  // 0: let the collection write; non-zero: the plug-in did the set
    uint32_t attachAnswer = 0;
    int attaches = 0;
    int detaches = 0;
    std::vector<Call> calls;

private:
    MMS::CollectionWrapper* m_pWrapper = nullptr;
};

// A link to fixed node and array indexes; converting links add `offset` to an integer value.
class TestLink : public MMS::IChannelLink {
public:
    TestLink(Vec nodes, Vec first, Vec last, bool converting = false, int offset = 0, int sourceOffset = 0)
        : m_nodes(std::move(nodes)), m_first(std::move(first)), m_last(std::move(last)), m_converting(converting),
          m_offset(offset), m_sourceOffset(sourceOffset)
    {
    }
    const uint32_t* getIndices() const override { return m_first.data(); }
    const uint32_t* getLastIndices() const override { return m_last.data(); }
    bool isConverting() const override { return m_converting; }
    JVariant convertValue(const JVariant& value) const override
    {
        ++converts;
        return JVariant(value.toInt32() + m_offset);
    }
    const uint32_t* getNodes() const override { return m_nodes.data(); }
    JVariant convertSourceValue(const JVariant& value) const override
    {
        ++sourceConverts;
        return JVariant(value.toInt32() + m_sourceOffset);
    }

    mutable int converts = 0;
    mutable int sourceConverts = 0;

private:
    Vec m_nodes;
    Vec m_first;
    Vec m_last;
    bool m_converting;
    int m_offset;
    int m_sourceOffset;
};

// Hands out its links in order for any address, recording each question.
class RecordingLinker : public MMS::IChannelLinker {
public:
    bool isRangeLinkable(const MMS::T_FAST_ADDRESS* from, const uint32_t*) override
    {
        ++rangeQuestions;
        (void)from;
        return rangeLinkable;
    }
    MMS::IChannelLink* getFirstLink(const MMS::T_FAST_ADDRESS* address, const uint32_t* last, bool*) override
    {
        firstAsked.push_back(copyOf(address->indexes, address->depth));
        firstWithLast.push_back(last != nullptr);
        return links.empty() ? nullptr : links.front().get();
    }
    MMS::IChannelLink* getNextLink(const MMS::T_FAST_ADDRESS* address, MMS::IChannelLink* previous) override
    {
        nextAsked.push_back(copyOf(address->indexes, address->depth));
        for (size_t i = 0; i + 1 < links.size(); ++i) {
            if (links[i].get() == previous) return links[i + 1].get();
        }
        return nullptr;
    }
    void notifyUnlinked(const MMS::T_FAST_ADDRESS*) override { ++unlinked; }

    TestLink& add(Vec nodes, Vec first, Vec last = {}, bool converting = false, int offset = 0, int sourceOffset = 0)
    {
        if (last.empty()) last = first;
        links.push_back(std::make_unique<TestLink>(std::move(nodes), std::move(first), std::move(last), converting,
                                                   offset, sourceOffset));
        return *links.back();
    }

    bool rangeLinkable = true;
    int rangeQuestions = 0;
    int unlinked = 0;
    std::vector<Vec> firstAsked;
    std::vector<bool> firstWithLast;
    std::vector<Vec> nextAsked;
    std::vector<std::unique_ptr<TestLink>> links;
};

// Refuses writers of `blockedWriter` over elements last written with `protectedFactor`.
class FactorChecker : public MMS::ISetChecker {
public:
    FactorChecker(uint8_t protectedFactor, uint8_t blockedWriter)
        : m_protected(protectedFactor), m_blocked(blockedWriter)
    {
    }
    bool isBlocked(uint8_t storedFactor, uint8_t newFactor) const override
    {
        ++questions;
        return storedFactor == m_protected && newFactor == m_blocked;
    }
    bool isImportBlocked(const char*, const char*) const override { return false; }
    mutable int questions = 0;

private:
    uint8_t m_protected;
    uint8_t m_blocked;
};

// Derived writes get factor + 0x40; records every mode it was asked with.
class RecordingModifier : public MMS::IFactorModifier {
public:
    uint8_t modifyFactor(uint8_t factor, uint32_t mode) const override
    {
        modes.push_back(mode);
        return static_cast<uint8_t>(factor + 0x40);
    }
    mutable std::vector<uint32_t> modes;
};

}  // namespace MmsTest
