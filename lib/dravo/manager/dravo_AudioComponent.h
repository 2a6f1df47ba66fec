#pragma once
// One DSP processing block of the audio configuration: its parameter arrays in the database of
// instance id 10, the four function objects its component library makes for it, its coefficient
// table, its meter pool and its member of the logic network. Created, initialised and destroyed
// by the component registry under its lock "CompoCol"; the DSP use (begin, end, timerRun, the
// sends, onParamChange) runs on the DSP engine thread only. The meter pool is shared with the
// meter and synchronisation threads (see MeterPool).
// Results: 0 success, 0x80000000 failure unless stated.
#include <cstdint>
#include <string>
#include <vector>

#include "LogicCtrl/logic_AbstractLogicComponent.h"
#include "dravo/common/dravo_ILogicComponentAccessor_V1.h"
#include "dravo_MeterPool.h"
#include "jlib/jlib_result.h"
#include "parray/ArrayAccessorForServer.h"

namespace DRAVO {

class IAudioProcessFunction_V1;
class ICalcCoefFunction_V1;
class ILogicControlFunction_V1;
class IManagerAccessor_V1;
class IParamInfoFunction_V1;
class IPlayerCommunicationStrategy;

class AudioComponent {
public:
    static constexpr uint32_t kNoUniqID = 0xFFFFFFFFu;
    // The coefficient interval of a component without periodic calculation.
    static constexpr uint32_t kNoInterval = 0xFFFFFFFFu;
    // Size of the buffer a fixed port name is written into, its terminator included.
    static constexpr uint32_t kPortNameSize = 49;

    // The component's member of the logic network: the base's ports and links, with processing
    // and the parameter test handed to the library's logic control function. Driven by the
    // network under its lock.
    class LogicComponentImpl : public LogicCtrl::AbstractLogicComponent {
    public:
        // Stores the flag and the function (borrowed from the component), then the base's
        // initialize with intervalMs as the processing interval; its result.
        [[nodiscard]] JLIB::JResult initialize(uint32_t uniqID, bool usesLogic,
                                               const std::vector<LogicCtrl::LogicPortInfo>& inputs,
                                               const std::vector<LogicCtrl::LogicPortInfo>& outputs,
                                               uint32_t intervalMs, ILogicControlFunction_V1* function);
        // True only when the component uses logic and its function says so.
        bool isParamForLogic(uint32_t paramIndex, uint32_t x, uint32_t y) override;
        // 0 without logic; the function's result for the run states 0 to 2; 0x80000000 otherwise.
        JLIB::JResult processLogic(uint32_t timeMs, LogicCtrl::RunState state) override;

        bool usesLogic() const { return m_usesLogic; }
        // Forgets the function before it is released.
        void forgetFunction();

    private:
        bool m_usesLogic = false;
        ILogicControlFunction_V1* m_pLogicFunction = nullptr;  // borrowed: the component owns it
    };

    // What the library's logic control function is handed: the component's logic ports, and its
    // parameters and meters through the manager accessor while the DSP engine thread uses the
    // component. Without a target each operation answers its neutral value (the interface says
    // which).
    class LogicComponentAccessorAdapter : public ILogicComponentAccessor_V1 {
    public:
        LogicComponentAccessorAdapter() = default;
        ~LogicComponentAccessorAdapter() override;
        LogicComponentAccessorAdapter(const LogicComponentAccessorAdapter&) = default;
        LogicComponentAccessorAdapter& operator=(const LogicComponentAccessorAdapter&) = default;

        // Both pointers are borrowed from the component, which clears them before they go.
        JLIB::JResult initialize(LogicCtrl::ILogicComponent* logicComponent);
        void setManagerAccessor(IManagerAccessor_V1* accessor) { m_pManagerAccessor = accessor; }
        JLIB::JResult finalize();

        [[nodiscard]] uint32_t getLogicInValue(uint32_t port, uint32_t& type, VariantType& value, float& normalized,
                                               uint32_t& dirty) const override;
        [[nodiscard]] uint32_t getLogicOutValue(uint32_t port, uint32_t& type, VariantType& value, float& normalized,
                                                uint32_t& dirty) const override;
        uint32_t setLogicOutNormValue(uint32_t port, float value) const override;
        uint32_t setLogicOutUInt(uint32_t port, uint32_t value) const override;
        uint32_t setLogicOutSInt(uint32_t port, int32_t value) const override;
        uint32_t setLogicOutFloat(uint32_t port, float value) const override;
        uint32_t setLogicOutString(uint32_t port, const char* text) const override;
        uint32_t setLogicOutEvent(uint32_t port) const override;
        uint32_t triggerLogic() const override;

        uint32_t getParamUInt32(uint32_t ai, uint32_t x, uint32_t y) const override;
        int32_t getParamSInt32(uint32_t ai, uint32_t x, uint32_t y) const override;
        float getParamFloat(uint32_t ai, uint32_t x, uint32_t y) const override;
        bool getParamBool(uint32_t ai, uint32_t x, uint32_t y) const override;
        [[nodiscard]] uint32_t getParamString(uint32_t ai, uint32_t x, uint32_t y, char* buffer,
                                              uint32_t size) const override;
        [[nodiscard]] uint32_t getParamBinary(uint32_t ai, uint32_t x, uint32_t y, uint8_t* buffer,
                                              uint32_t size) const override;
        uint32_t getParamNumX(uint32_t ai) const override;
        uint32_t getParamNumY(uint32_t ai) const override;
        [[nodiscard]] uint32_t getParamMin(uint32_t ai, VariantType& value) const override;
        [[nodiscard]] uint32_t getParamMax(uint32_t ai, VariantType& value) const override;
        [[nodiscard]] uint32_t getParamDefault(uint32_t ai, VariantType& value) const override;
        [[nodiscard]] uint32_t getParamNominal(uint32_t ai, VariantType& value) const override;
        [[nodiscard]] uint32_t getParamStep(uint32_t ai, VariantType& value) const override;
        uint8_t getLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override;
        uint8_t getHoldLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override;
        uint8_t getGRMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override;
        [[nodiscard]] uint32_t setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const override;
        [[nodiscard]] uint32_t setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value) const override;
        [[nodiscard]] uint32_t setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float value) const override;
        [[nodiscard]] uint32_t setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const override;
        [[nodiscard]] uint32_t setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const override;
        [[nodiscard]] uint32_t setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                              uint32_t length) const override;

    private:
        LogicCtrl::ILogicComponent* m_pLogicComponent = nullptr;  // the component's own logic part
        IManagerAccessor_V1* m_pManagerAccessor = nullptr;        // set only while in DSP use
    };

    AudioComponent();
    // Ends a DSP use still open, finalizes, and releases whatever finalize had to leave (an
    // initialize that stopped early, a logic part the network never took).
    virtual ~AudioComponent();
    AudioComponent(const AudioComponent&) = delete;
    AudioComponent& operator=(const AudioComponent&) = delete;

    virtual bool isNull() const { return false; }

    // Builds the component from the library of key "<name>_<majorVersion>" and registers its
    // logic part with the logic network. A library without coefficient function: 0x80000000 after
    // the database component was added, the stored values and the other function objects kept
    // until finalize or destruction. A later failure finalizes and answers 0x80000000. In DSP
    // use: 0x80000000, nothing changed.
    [[nodiscard]] JLIB::JResult initialize(const char* name, uint32_t majorVersion, uint32_t uniqID, uint32_t numX,
                                           uint32_t numY);
    // Takes the logic part out of the network and releases what the component built; the name
    // and major version stay. 0x80000000 in DSP use; the network's code, nothing else changed,
    // when it refuses (for example a logic part it does not hold).
    JLIB::JResult finalize();

    uint32_t uniqID() const { return m_uniqID; }
    uint32_t majorVersion() const { return m_majorVersion; }
    uint32_t numX() const { return m_numX; }
    uint32_t numY() const { return m_numY; }
    std::string componentName() const { return m_name; }
    bool isInDSPUse() const { return m_inDSPUse; }

    // Owned by the component, valid until finalize; may be null.
    IParamInfoFunction_V1* paramInfoFunction() const { return m_pParamInfoFunction; }
    ICalcCoefFunction_V1* calcCoefFunction() const { return m_pCalcCoefFunction; }
    PARRAY::ArrayAccessorForServer& coefArrayAccessor() { return m_coefTable; }
    MeterPool& meterPool() { return m_meterPool; }
    LogicCtrl::ILogicComponent& logicComponent() { return m_logicPart; }

    // The parameter information function's answers for this instance; 0 and the empty text
    // without that function.
    uint32_t audioInputNum() const;
    uint32_t audioOutputNum() const;
    std::string getFixedInPortName(uint32_t port) const;
    std::string getFixedOutPortName(uint32_t port) const;
    uint32_t getResourceUsage(const char* dspName, uint32_t fsHz, uint32_t numSamplePerFrame,
                              const char* resourceName) const;

    // DSP engine thread only. Begins its use: a manager accessor over the tables, the coefficient
    // function set up with the stored configuration's rate and frame size. The strategy is
    // borrowed until endUseByDSPThread. 0 at once when in use already; 0x80000000 without memory
    // for the accessor (the component is then finalized).
    [[nodiscard]] JLIB::JResult beginUseByDSPThread(IPlayerCommunicationStrategy* strategy);
    // DSP engine thread only. Drops the accessor and the strategy. Always 0.
    JLIB::JResult endUseByDSPThread();
    // DSP engine thread only. The periodic calculation when its interval has passed (always on
    // the first call), then the changed coefficients are sent. 0x80000000 out of DSP use; 0 and
    // nothing done without periodic calculation.
    [[nodiscard]] JLIB::JResult timerRun(uint32_t nowMs);
    // DSP engine thread only. Every changed coefficient array once, marks cleared, between
    // sendStart(1) and sendEnd; nothing when none changed. Always 0; nothing without a strategy.
    JLIB::JResult sendChangedCoefs();
    // DSP engine thread only. Every coefficient array between sendStart(0) and sendEnd; the
    // change marks stay. Always 0; nothing without a strategy.
    JLIB::JResult sendAllCoefs();
    // DSP engine thread only. Always 0; nothing without a strategy.
    JLIB::JResult sendAddComponentCommand();
    // DSP engine thread only. Passes a changed parameter element to the manager accessor and
    // returns the coefficient function's answer; 0 without that function.
    uint32_t onParamChange(uint32_t ai, uint32_t x, uint32_t y);

protected:
    // Back to the state of a new component, releasing everything it holds first.
    void resetToConstructed();

private:
    // The release steps of finalize, without the logic network. Idempotent.
    void releaseAll();
    // The failure path of initialize from the coefficient table on.
    JLIB::JResult failInitialize();
    // Fills the logic port lists from the logic control function; 0x80000000 without memory.
    JLIB::JResult readLogicPorts(std::vector<LogicCtrl::LogicPortInfo>& inputs,
                                 std::vector<LogicCtrl::LogicPortInfo>& outputs, bool& usesLogic,
                                 uint32_t& intervalMs);

    uint32_t m_uniqID;
    bool m_inDSPUse;
    std::string m_name;
    uint32_t m_majorVersion;
    uint32_t m_numX;
    uint32_t m_numY;
    // Each holds two references, given back by deleteFunctionInstance.
    IParamInfoFunction_V1* m_pParamInfoFunction;
    ICalcCoefFunction_V1* m_pCalcCoefFunction;
    IAudioProcessFunction_V1* m_pAudioProcessFunction;
    ILogicControlFunction_V1* m_pLogicControlFunction;
    IManagerAccessor_V1* m_pManagerAccessor;  // owned, only while in DSP use
    PARRAY::ArrayAccessorForServer m_coefTable;
    MeterPool m_meterPool;
    uint32_t m_coefInterval;
    uint32_t m_lastCalcTime;
    bool m_firstCalcDone;
    IPlayerCommunicationStrategy* m_pPlayerStrategy;  // borrowed from the DSP engine thread while in use
    LogicComponentImpl m_logicPart;
    LogicComponentAccessorAdapter m_logicAdapter;
};

}  // namespace DRAVO
