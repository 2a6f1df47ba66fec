#include "editor/KavoriEventMaker.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor/SyncStatusInfo.h"

using KAVORI::KavoriEventMaker;

TEST(KavoriEventMakerTest, BuildsEachEventAsKeyAndBlankSeparatedItems)
{
    KAVORI::SyncStatusInfo status;
    status.snapshot = {3, 5};
    status.parameterSet = {0, 1};
    const uint8_t hash[] = {0x01, 0xAB};
    using Make = std::function<JLIB::JResult(std::string&, std::string&)>;
    struct Case {
        Make make;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {[](auto& k, auto& v) { return KavoriEventMaker::keepAliveEvent(k, v); }, "KeepAlive", ""},
        {[](auto& k, auto& v) { return KavoriEventMaker::setClientTypeEvent(k, v, 0, 1, "", 50240); }, "SetClientType",
         "TYPE:Editor SYNCDIR:1 PIN: UDPPORT:50240"},
        {[](auto& k, auto& v) { return KavoriEventMaker::setClientTypeEvent(k, v, 1, 2, "12 34", 7); }, "SetClientType",
         "TYPE:Explorer SYNCDIR:2 PIN:12\\ 34 UDPPORT:7"},
        {[](auto& k, auto& v) { return KavoriEventMaker::applyConfigEvent(k, v); }, "ApplyConfig", ""},
        {[](auto& k, auto& v) { return KavoriEventMaker::abortSynchronize(k, v); }, "AbortSynchronize", ""},
        {[](auto& k, auto& v) { return KavoriEventMaker::clearClientTypeEvent(k, v); }, "ClearClientType", ""},
        {[&](auto& k, auto& v) { return KavoriEventMaker::notifyDirSyncStatus(k, v, status); }, "NotifyDirSyncStatus",
         "SCN0INI:3 SCN0REQ:5 PRS0INI:0 PRS0REQ:1"},
        {[](auto& k, auto& v) { return KavoriEventMaker::setMeterRequest(k, v, 60, 7); }, "MeterRequest",
         "CYCLE:60 COMPONENT:7"},
        {[&](auto& k, auto& v) { return KavoriEventMaker::onSetClientType(k, v, "", hash, sizeof(hash)); },
         "onSetClientType", "PIN: HASH:01AB"},
        {[](auto& k, auto& v) { return KavoriEventMaker::onSyncAborted(k, v); }, "onSyncAborted", ""},
        {[](auto& k, auto& v) { return KavoriEventMaker::onSetApplyConfig(k, v); }, "onApplyConfig", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::string key = "stale";
        std::string value = "stale";  // every maker starts from an empty value
        ASSERT_EQ(0u, c.make(key, value));
        EXPECT_EQ(c.key, key);
        EXPECT_EQ(c.value, value);
    }
}

TEST(KavoriEventMakerTest, FailsOnAnUnknownClientTypeOrAnItemTooLongForItsBuffer)
{
    std::string key;
    std::string value = "stale";
    EXPECT_EQ(0x80000000u, KavoriEventMaker::setClientTypeEvent(key, value, 2, 1, "", 50240));
    EXPECT_EQ("", value);  // nothing written before the type is known

    const std::string pin(KavoriEventMaker::kItemCapacity, 'p');
    EXPECT_EQ(0x80000000u, KavoriEventMaker::setClientTypeEvent(key, value, 0, 1, pin.c_str(), 50240));
    EXPECT_EQ("TYPE:Editor SYNCDIR:1", value);  // partly built: the caller must not send it

    const std::string fits(KavoriEventMaker::kItemCapacity - 8, 'p');
    EXPECT_EQ(0u, KavoriEventMaker::setClientTypeEvent(key, value, 0, 1, fits.c_str(), 50240));
}
