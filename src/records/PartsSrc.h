// Independent sources of a design and their transient tables: a point
// (time, magnitude), the owning table of points, the current or voltage
// source with DC, AC sine and transient parts, and the choice of the current
// that the control section senses.
//
// A source does not know whether it is a current or a voltage source; its
// owner passes the kind (non-zero current, 0 voltage) wherever units show.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/ObArray.h"
#include "platform/core/Types.h"

// Module of the internal codes of the sources and their dialogs.
constexpr UINT kModulePartsSrc = 56066;

// One transient point.
class CObTimeMagnitude : public fw::Object {
public:
    CObTimeMagnitude() { InitDefaults(); }
    CObTimeMagnitude(const CObTimeMagnitude& other) : fw::Object() { *this = other; }
    static const char* StaticClassName() { return "CObTimeMagnitude"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    void Serialize(fw::Archive& ar) override;
    CObTimeMagnitude& operator=(const CObTimeMagnitude& other);
    BOOL operator!=(const CObTimeMagnitude& other) const;
    BOOL WriteSummary(fw::File& f, int kind) const;

    std::string m_strTag;
    double m_dTime = 0.0;       // seconds from the start of the run
    double m_dMagnitude = 0.0;  // volts or amperes, by the owner's kind

private:
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dTime, s.m_dMagnitude);
    }
};

// A transient table: points owned by the table, kept in index order, neither
// sorted nor checked.
class CObArrayTimeMagnitude : public fw::Object {
public:
    CObArrayTimeMagnitude() = default;
    CObArrayTimeMagnitude(const CObArrayTimeMagnitude& other) : fw::Object() { *this = other; }
    static const char* StaticClassName() { return "CObArrayTimeMagnitude"; }
    const char* GetClassName() const override { return StaticClassName(); }

    // Empty slots (left by a copy that ran out of memory) are not stored, so a
    // saved table never holds a null element. Loading replaces every point; a
    // damaged element throws fw::ArchiveError.
    void Serialize(fw::Archive& ar) override;
    // Replaces every point by a copy; assigning a table to itself keeps it.
    CObArrayTimeMagnitude& operator=(const CObArrayTimeMagnitude& other);
    BOOL operator!=(const CObArrayTimeMagnitude& other) const;

    void DeleteAll() { m_points.DeleteAll(); }
    // Stores a copy of the point at index (set-at-grow); out of memory shows
    // 52094 and stores nothing. A negative index stores nothing.
    void AddCopy(int index, const CObTimeMagnitude& point);
    // The point at index, or nullptr for an empty slot or an index outside
    // the table.
    CObTimeMagnitude* GetPointAt(int index) const { return m_points.GetAt(index); }
    int GetCount() const { return m_points.GetCount(); }
    BOOL WriteSummary(fw::File& f, int kind) const;

private:
    fw::ObArray<CObTimeMagnitude> m_points;
};

// A current or voltage source: DC value, AC sine part and transient table.
class CCrntVoltSource : public fw::Object {
public:
    CCrntVoltSource() { InitDefaults(); }
    CCrntVoltSource(const CCrntVoltSource& other) : fw::Object() { *this = other; }
    static const char* StaticClassName() { return "CCrntVoltSource"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // As InitDefaults, with DC magnitude 1.0.
    void InitDefaultsUnitDC();
    // Presets 0, 1, 2 (DC 0.0, 5.0, 1e-05); any other logs code 3802 and keeps
    // the built-in defaults.
    void SetDefaults(int32_t variant);
    void Serialize(fw::Archive& ar) override;
    CCrntVoltSource& operator=(const CCrntVoltSource& other);
    BOOL operator!=(const CCrntVoltSource& other) const;
    // DC, AC peak and AC frequency lines; the transient table is not listed.
    BOOL WriteSummary(fw::File& f, int kind) const;
    BOOL WriteSummaryDC(fw::File& f, int kind) const;

    std::string m_strTag;
    double m_dACPeakMagnitude = 0.0;  // amperes or volts
    double m_dACFrequency = 0.0;      // hertz
    double m_dDCMagnitude = 0.0;      // amperes or volts
    CObArrayTimeMagnitude m_Transient;

private:
    // Archive and comparison order; the summaries and dialogs show the DC
    // magnitude first, but it is archived behind the two AC values.
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dACPeakMagnitude, s.m_dACFrequency, s.m_dDCMagnitude, s.m_Transient);
    }
};

// Which current the control section's current sense follows.
class CCrntSensSource : public fw::Object {
public:
    enum { SENSE_PRIMARY_SWITCH = 0, SENSE_CHOKE = 1, SENSE_OUTPUT_CAPACITOR = 2 };

    CCrntSensSource() { InitDefaults(); }
    CCrntSensSource(const CCrntSensSource& other) : fw::Object() { *this = other; }
    static const char* StaticClassName() { return "CCrntSensSource"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // Sets the tag; variant 0 or 1 sets the sensed current to it, any other
    // logs code 3813 and keeps the sensed current.
    void SetDefaults(int32_t variant);
    void Serialize(fw::Archive& ar) override;
    CCrntSensSource& operator=(const CCrntSensSource& other);
    BOOL operator!=(const CCrntSensSource& other) const;
    BOOL WriteSummary(fw::File& f) const;

    std::string m_strTag;
    int32_t m_iSensedCurrent = SENSE_PRIMARY_SWITCH;

private:
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_iSensedCurrent);
    }
};
