// What the sections and settings need of the document that owns them. Checks
// and summaries reach the requirements and the other sections through the
// current document, not through arguments; the document registers itself
// here. Tests install a fake.
//
// Append only: further section accessors go at the end.
#pragma once

#include <cstdint>

#include "platform/core/Types.h"

class CSection;
class CRequirements;
class CLineFilter;
class CLineRectifier;
class CInputCapacitor;
class CMiscData;
class CUSData;
class CAnalysisConfig;
class CDiode;
class CPrimarySection;
class COutputChoke;
class C1StgOutputFilter;
class CCurrentFeedbackNetwork;

class CDocServices {
public:
    virtual ~CDocServices() = default;

    virtual CRequirements* GetRequirements() = 0;
    virtual CLineFilter* GetLineFilter() = 0;
    virtual CLineRectifier* GetLineRectifier() = 0;
    virtual CInputCapacitor* GetInputCapacitor() = 0;
    // The control section as a section; the document's override may return
    // its own section type (a covariant return).
    virtual CSection* GetControlSection() = 0;
    virtual CMiscData* GetMiscData() = 0;
    virtual CUSData* GetUSData() = 0;
    virtual CAnalysisConfig* GetAnalysisConfig() = 0;

    // The document's modified flag, with the title mark.
    virtual void SetModifiedFlag(BOOL modified) = 0;
    // 1 while an analysis runs.
    virtual BOOL IsAnalysisRunning() = 0;
    // 1 while the Analysis dialog is open.
    virtual BOOL IsAnalysisSetupOpen() = 0;

    // The diode's forward voltage at the operating temperature of the
    // requirements: Vf * exp((T - 25) * coefficient).
    double ScaleToOperatingTemp(const CDiode& diode);

    // Power stage and outputs, read by the checks of the primary, secondary
    // and control sections and of the output-choke coupling.
    virtual CPrimarySection* GetPrimarySection() = 0;
    virtual COutputChoke* GetOutputChoke1() = 0;
    virtual COutputChoke* GetOutputChoke2() = 0;
    virtual COutputChoke* GetOutputChoke3() = 0;
    virtual COutputChoke* GetOutputChoke4() = 0;
    virtual C1StgOutputFilter* Get1StgOutputFilter1() = 0;
    virtual C1StgOutputFilter* Get1StgOutputFilter2() = 0;
    virtual C1StgOutputFilter* Get1StgOutputFilter3() = 0;
    virtual C1StgOutputFilter* Get1StgOutputFilter4() = 0;
    virtual CCurrentFeedbackNetwork* GetCurrentFeedbackNetwork() = 0;
};

// The current document, or nullptr when there is none.
CDocServices* GetCurrentDoc();
void SetCurrentDoc(CDocServices* doc);

// Polarity of a linked winding: the positive flag when value >= 1, else the
// non-positive flag; the other flag is left as it is.
void RecordSign(int32_t value, int32_t* positive, int32_t* nonPositive);
// 0 when a and b have opposite signs (one >= 1, the other < 0), else 1.
int32_t SignsNotOpposite(int32_t a, int32_t b);
// 1 when a and b are both non-zero and c and d both equal 1, else 0.
int32_t BothSetAndBothOne(int32_t a, int32_t b, int32_t c, int32_t d);
