#include "DiagFramework/diagfrwk_DiagFieldWriter.h"

#include "MMSFunc/Field/mmsf_MMSAddress.h"
#include "MMSFunc/config/mmsf_FieldCollectionForGW.h"
#include "jlib/JVariant.h"

namespace DiagFramework {

namespace {

// The write options of a publication: factor 0, marked for the writer too, no check mode, no
// set option, task id 0.
constexpr unsigned char kFactor = 0;
constexpr unsigned char kMarkOwn = 1;
constexpr unsigned short kCheckMode = 0;
constexpr unsigned char kSetOption = 0;
constexpr unsigned int kTaskId = 0;

}  // namespace

JLIB::JResult DiagFieldWriter::writeDiagValue(uint32_t fieldIndex, const char* rootName, const char* address,
                                              int32_t channel, int32_t value)
{
    MMSFUNC::FieldCollectionForGW fields;  // a view on the shared cache
    MMSFUNC::MMSAddress target;
    if (JLIB::isFailure(target.setAddress(&fields, fieldIndex, rootName, address)) || !target.isValid()) {
        return JLIB::kFailed;
    }
    if (channel != kNoChannel &&
        JLIB::isFailure(target.setCh(target.vectorLen() - 1, static_cast<unsigned int>(channel)))) {
        return JLIB::kFailed;
    }
    return target.setValue(JVariant(value), kFactor, kMarkOwn, kCheckMode, kSetOption, kTaskId);
}

}  // namespace DiagFramework
