// The range query and the editor's copy and paste. A copy is a snapshot container image the
// editor keeps as opaque bytes; a paste recalls it where the image's items say, so the values
// return to the component or element they were taken from.
#include <memory>
#include <new>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterInfo.h"
#include "PDB/pdb_SnapshotFile.h"
#include "PDB/pdb_UniqId.h"
#include "editor/ParameterAddress.h"
#include "editor/VDProtocolDefine.h"
#include "editor/VDProtocolExecutor.h"

namespace VDevice {

using VDProtocol::ArgumentMap;
using VDProtocol::PacketContainer;
using VDProtocol::ParameterAddress;

namespace {

constexpr const char* kCopyProductName = "OPV_SNAPSHOT";
constexpr uint32_t kCopyProductVersion = 1;
constexpr uint32_t kCopyBlockWord = 1;

// The item's text under key; false when it is missing or no text.
bool textOf(std::string& out, const ArgumentMap& item, const char* key)
{
    bool isText = false;
    const char* chars = item.toString(key, &isText);
    if (!isText || !chars) return false;
    out = chars;
    return true;
}

// The container's image as the item's bytes; RESULT_FAILED when no buffer can be had, else the
// export's code.
JLIB::JResult exportImage(ArgumentMap& out, const PDB::SnapshotData& data)
{
    const uint32_t size = data.exportBinarySize();
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size == 0 ? 1 : size]());
    if (!buffer) return RESULT_FAILED;
    JLIB_RETURN_IF_FAILED(data.exportBinary(buffer.get(), size));
    return out.insertBinary(VDProtocol::KEY_COPY_DATA, buffer.get(), size);
}

}  // namespace

JLIB::JResult VDProtocolExecutor::addCopyPasteSelection(PDB::SnapshotContentsList& selection, const std::string& type,
                                                        const std::string& address) const
{
    std::string dbName;
    uint32_t componentId = 0;
    if (type == VDProtocol::COPY_TYPE_COMPONENT) {
        JLIB_RETURN_IF_FAILED(ParameterAddress::divide(dbName, componentId, address));
        const PDB::IParameterDB* db = parameterDB(dbName);
        if (!db) return RESULT_FAILED;
        // The selection itself takes any id; a component that is not there would copy nothing and
        // still answer "ok".
        {
            PDB::MutexReadLocker hold(*db);
            if (db->getComponentIndex(PDB::UniqId(componentId)) >= db->componentNum()) return RESULT_FAILED;
        }
        return selection.addComponent(*db, PDB::UniqId(componentId));
    }
    if (type == VDProtocol::COPY_TYPE_PARAMETER) {
        std::string path;
        int32_t x = 0;
        int32_t y = 0;
        JLIB_RETURN_IF_FAILED(ParameterAddress::divide(dbName, componentId, path, x, y, address));
        const PDB::IParameterDB* db = parameterDB(dbName);
        if (!db) return RESULT_FAILED;
        // One element only: a negative index is no wildcard here, and an element outside the
        // parameter (which the selection itself would take) has nothing to copy or paste.
        const PDB::ParameterInfo info = getParameterInfo(dbName, componentId, path);
        if (!info.isValid() || x < 0 || y < 0 || static_cast<uint32_t>(x) >= info.numX ||
            static_cast<uint32_t>(y) >= info.numY) {
            return RESULT_FAILED;
        }
        return selection.addParameter(*db, PDB::UniqId(componentId), path.c_str(), static_cast<uint32_t>(x),
                                      static_cast<uint32_t>(y));
    }
    return RESULT_FAILED;
}

JLIB::JResult VDProtocolExecutor::execGetRangePrmValue(const PacketContainer& request)
{
    const ArgumentMap& info = request.cmndInfo();
    const bool complete = info.hasKey(VDProtocol::KEY_PRM_ADDR) && info.hasKey(VDProtocol::KEY_START_X) &&
                          info.hasKey(VDProtocol::KEY_START_Y) && info.hasKey(VDProtocol::KEY_END_X) &&
                          info.hasKey(VDProtocol::KEY_END_Y);
    PacketContainer reply(request);
    (void)reply.setResult(complete ? JLIB::kOk : RESULT_FAILED, PacketContainer::kMaxProgress, "");  // always 0
    return sendReply(reply);
}

JLIB::JResult VDProtocolExecutor::execGetDataCopyPaste(const PacketContainer& request)
{
    PacketContainer reply(request);
    (void)reply.clearCmndList();  // always 0
    JLIB::JResult result = JLIB::kOk;
    for (size_t i = 0; i < request.cmndListNum(); ++i) {
        const ArgumentMap& item = request.cmndListItem(i);
        std::string type;
        std::string address;
        if (!textOf(type, item, VDProtocol::KEY_COPY_TYPE) || !textOf(address, item, VDProtocol::KEY_PRM_ADDR)) {
            result = RESULT_FAILED;
            break;
        }
        PDB::SnapshotContentsList selection;
        result = addCopyPasteSelection(selection, type, address);
        if (JLIB::isFailure(result)) break;
        PDB::SnapshotData data;
        result = data.initialize(kCopyProductName, kCopyProductVersion, kCopyBlockWord, selection, nullptr);
        if (JLIB::isFailure(result)) break;
        result = data.update();
        if (JLIB::isFailure(result)) break;
        ArgumentMap copied;
        (void)copied.insertString(VDProtocol::KEY_PRM_ADDR, address);  // text inserts always answer 0
        (void)copied.insertString(VDProtocol::KEY_COPY_TYPE, type);
        result = exportImage(copied, data);
        if (JLIB::isFailure(result)) break;
        result = reply.addCmndListItem(copied);
        if (JLIB::isFailure(result)) break;  // the images copied so far stay in the reply
    }
    (void)reply.setResult(result, PacketContainer::kMaxProgress, "");  // always 0
    return sendReply(reply);
}

JLIB::JResult VDProtocolExecutor::execSetDataCopyPaste(const PacketContainer& request)
{
    JLIB::JResult result = JLIB::kOk;
    for (size_t i = 0; i < request.cmndListNum(); ++i) {
        const ArgumentMap& item = request.cmndListItem(i);
        std::string type;
        std::string address;
        if (!textOf(address, item, VDProtocol::KEY_PRM_ADDR) || !textOf(type, item, VDProtocol::KEY_COPY_TYPE) ||
            !item.hasKey(VDProtocol::KEY_COPY_DATA)) {
            result = RESULT_FAILED;
            break;
        }
        // The request's address must still name a reachable selection, but the image decides
        // where the values go.
        PDB::SnapshotContentsList selection;
        result = addCopyPasteSelection(selection, type, address);
        if (JLIB::isFailure(result)) break;
        PDB::SnapshotData data;
        result = data.initialize(kCopyProductName, kCopyProductVersion, kCopyBlockWord, selection, nullptr);
        if (JLIB::isFailure(result)) break;
        bool isBinary = false;
        const unsigned char* image = item.toBinary(VDProtocol::KEY_COPY_DATA, &isBinary);
        const unsigned int size = isBinary ? item.getBinaryLength(VDProtocol::KEY_COPY_DATA) : 0;
        result = data.importBinary(isBinary ? image : nullptr, size);
        if (JLIB::isFailure(result)) break;
        result = data.recall();
        if (JLIB::isFailure(result)) break;  // earlier items stay pasted
    }
    PacketContainer reply(request);
    (void)reply.setResult(result, PacketContainer::kMaxProgress, "");  // always 0
    return sendReply(reply);
}

}  // namespace VDevice
