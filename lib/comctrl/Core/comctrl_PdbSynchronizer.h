#pragma once
// Parameter-database synchroniser port of a link unit: keeps database i of gPDBCollection equal
// at both ends. Association exchanges digests and, when they differ, the winning side's whole
// image; afterwards each side sends its changes as single sets closed by a flip. Owner task of
// the unit only; the database takes its own lock for each operation.
#include <cstdint>

#include "comctrl_AbstractSynchronizer.h"

namespace ComControl {

class PdbSynchronizer : public AbstractSynchronizer {
public:
    PdbSynchronizer();
    ~PdbSynchronizer() override = default;

    // Only while not associated; 0x80000000 otherwise or for an unknown database.
    [[nodiscard]] JLIB::JResult setFacade(uint32_t instanceId, uint32_t subscriberId, uint32_t ownFactor);
    [[nodiscard]] JLIB::JResult extendBufferSize();
    // Local changes: captures the subscription's dirty flags and sends them.
    [[nodiscard]] JLIB::JResult notify();

    JLIB::JResult eventReset() override;

protected:
    bool hasTarget() const override;
    void associationStarting() override;
    void associationEnding() override;
    JLIB::JResult tellNext(uint8_t* out, uint32_t cap, uint32_t* len, bool* more) override;
    JLIB::JResult answerIdleTellParameter(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t* in,
                                          uint32_t inLen, uint8_t* flags) override;
    JLIB::JResult associatingTellParameter(bool withSelf, uint8_t* out, uint32_t cap, uint32_t* len,
                                           const uint8_t* in, uint32_t inLen, uint8_t* flags) override;
    JLIB::JResult receiveSetParameter(const uint8_t* in, uint32_t inLen) override;
    JLIB::JResult receiveSetParameterBlock(const uint8_t* in, uint32_t inLen, bool associated) override;
    JLIB::JResult receiveParameterFlip(const uint8_t* in, uint32_t inLen) override;
    JLIB::JResult notifying(uint8_t* out, uint32_t cap, uint32_t* len, bool* more) override;
    JLIB::JResult transferAll(uint8_t* out, uint32_t cap, uint32_t* len, bool* more) override;

private:
    JLIB::JResult sendSingleParameterCommand(uint8_t*, uint32_t, uint32_t*, uint32_t ci, uint32_t ai, uint32_t x,
                                             uint32_t y);
    JLIB::JResult receiveSetParameterFlip(const uint8_t*, uint32_t);
    JLIB::JResult importBinary(const uint8_t* image, uint32_t size, uint8_t factor);

    uint32_t m_instanceId = 0;
    uint32_t m_subscriberId = 0;

    // The walk of one captured batch resumes after the element last found.
    uint32_t m_walk[4] = {};
    // An element taken from the captured set that did not fit yet: sent before the rest.
    bool m_heldElement = false;
    uint32_t m_held[4] = {};
};

}  // namespace ComControl
