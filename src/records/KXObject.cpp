#include "records/KXObject.h"

#include "records/Utils.h"

namespace {
fw::RegisterClass<CPwrQuorraObject> g_register("CPwrQuorraObject");
constexpr UINT kModuleKXObject = 56072;
}  // namespace

void CPwrQuorraObject::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar.WriteString(m_strSignature);
        ar.WriteU16(0);
        return;
    }
    m_strSignature = ar.ReadString();
    if (m_strSignature != kPwrQuorraSignature) {
        WarnFileCorrupted();
        ReportMessage1(kModuleKXObject, 4100, FALSE);
        CPwrQuorraObject::SetDefaults();
        return;
    }
    if (ar.ReadU16() != 0) {
        WarnFileVersion();
        ReportMessage1(kModuleKXObject, 4101, FALSE);
        CPwrQuorraObject::SetDefaults();
    }
}
