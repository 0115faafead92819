// Document data beside the sections: the circuit type, the circuit-complete
// and show-messages flags, the auto-design word and the user's notes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <tuple>

#include "platform/core/Archive.h"
#include "platform/core/Types.h"

constexpr UINT kModuleMiscData = 56054;
constexpr const char* kMiscDataTag = "<MISC_DATA>";

class CMiscData : public fw::Object {
public:
    enum { AUTO_DESIGN_OFF = 0, AUTO_DESIGN_ENABLED = 1, AUTO_DESIGN_NEVER = 2 };

    CMiscData() { CMiscData::SetDefaults(); }
    CMiscData(const CMiscData&) = default;
    static const char* StaticClassName() { return "CMiscData"; }
    const char* GetClassName() const override { return StaticClassName(); }

    virtual void SetDefaults();
    // The auto-design word is archived as 16 bits and widened without sign.
    void Serialize(fw::Archive& ar) override;
    // Every field and the notes; not the tag.
    CMiscData& operator=(const CMiscData& other);
    BOOL operator!=(const CMiscData& other) const;

    int32_t GetCircuitType() const { return m_nCircuitType; }
    BOOL IsAutoDesignEnabled() const { return m_nAutoDesign == AUTO_DESIGN_ENABLED ? TRUE : FALSE; }
    // Sets the word to 1 unless it is 2 (never again).
    void EnableAutoDesign() {
        if (m_nAutoDesign != AUTO_DESIGN_NEVER) m_nAutoDesign = AUTO_DESIGN_ENABLED;
    }
    BOOL GetCircuitComplete() const { return m_bCircuitComplete; }
    void SetCircuitComplete(BOOL complete) { m_bCircuitComplete = complete; }
    BOOL GetShowMessages() const { return m_bShowMessages; }
    void SetShowMessages(BOOL show) { m_bShowMessages = show; }
    const std::string& GetNotes() const { return m_strNotes; }
    void SetNotes(const std::string& notes) { m_strNotes = notes; }

    std::string m_strTag;
    int32_t m_nCircuitType = 0;        // 0 single ended forward
    BOOL m_bCircuitComplete = 0;
    BOOL m_bShowMessages = 0;
    std::array<uint16_t, 5> m_wReserved{};  // kept, archived, copied and compared
    int32_t m_nAutoDesign = 0;         // AUTO_DESIGN_*
    std::string m_strNotes;

private:
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_nCircuitType, s.m_bCircuitComplete, s.m_bShowMessages, s.m_wReserved,
                        s.m_nAutoDesign, s.m_strNotes);
    }
};
