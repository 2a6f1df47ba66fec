#pragma once
// Received files remembered with their modification time when they arrived: a file counts as
// received while it has not been touched since, so a later local change is sent again.
// Owner task of the link only.
#include <map>
#include <string>

#include "FileCache/fcache_FileAccessor.h"
#include "comctrl_IReceivedItemStrategy.h"

namespace FILECACHE {
class VDir;
}

namespace ComControl {

class ReceivedMapStrategy : public IReceivedItemStrategy {
public:
    // listing is borrowed: the synchroniser that owns both keeps it alive.
    explicit ReceivedMapStrategy(const FILECACHE::VDir& listing);

    // Stores the file's current time stamp; 0x80000001 for a null name.
    JLIB::JResult append(const char* fileName) override;
    // An entry that no longer counts is dropped.
    bool isReceivedItem(const char* fileName) override;
    bool isForgettable() const override { return false; }
    JLIB::JResult clear() override;
    size_t size() const { return m_stamps.size(); }

    // The modification time of the listing's folder + "/" + name in local time; all fields 0
    // when it cannot be read.
    FILECACHE::FileAccessor::DateTime timeStamp(const char* fileName) const;
    static FILECACHE::FileAccessor::DateTime zeroDateTime();

private:
    std::map<std::string, FILECACHE::FileAccessor::DateTime> m_stamps;
    const FILECACHE::VDir& m_listing;
};

}  // namespace ComControl
