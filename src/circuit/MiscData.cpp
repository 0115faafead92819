#include "circuit/MiscData.h"

#include "platform/core/Fields.h"
#include "records/Record.h"

namespace {
fw::RegisterClass<CMiscData> g_register("CMiscData");
}  // namespace

void CMiscData::SetDefaults() {
    m_strTag = kMiscDataTag;
    m_nCircuitType = 0;
    m_bCircuitComplete = 0;
    m_bShowMessages = 0;
    m_wReserved.fill(0);
    m_nAutoDesign = AUTO_DESIGN_OFF;
    m_strNotes.clear();
}

void CMiscData::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        ar.WriteI32(m_nCircuitType);
        ar.WriteI32(m_bCircuitComplete);
        ar.WriteI32(m_bShowMessages);
        fw::StoreFields(ar, std::tie(m_wReserved));
        ar.WriteU16(static_cast<uint16_t>(m_nAutoDesign));
        ar.WriteString(m_strNotes);
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kMiscDataTag, kModuleMiscData, 3200, [this] { SetDefaults(); }) < 0) return;
    m_nCircuitType = ar.ReadI32();
    m_bCircuitComplete = ar.ReadI32();
    m_bShowMessages = ar.ReadI32();
    fw::LoadFields(ar, std::tie(m_wReserved));
    m_nAutoDesign = ar.ReadU16();
    m_strNotes = ar.ReadString();
}

CMiscData& CMiscData::operator=(const CMiscData& other) {
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CMiscData::operator!=(const CMiscData& other) const {
    return fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other)) ? TRUE : FALSE;
}
