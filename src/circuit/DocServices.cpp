#include "circuit/DocServices.h"

#include <atomic>
#include <cmath>

#include "circuit/Require.h"
#include "records/DbParts.h"

namespace {
std::atomic<CDocServices*> g_currentDoc{nullptr};
}  // namespace

CDocServices* GetCurrentDoc() { return g_currentDoc.load(); }
void SetCurrentDoc(CDocServices* doc) { g_currentDoc.store(doc); }

double CDocServices::ScaleToOperatingTemp(const CDiode& diode) {
    const CRequirements* req = GetRequirements();
    double temp = req ? req->GetOperatingTemp() : 25.0;
    return diode.m_dForwardVoltage * std::exp((temp - 25.0) * diode.m_dForwardVoltageTempCoef);
}

void RecordSign(int32_t value, int32_t* positive, int32_t* nonPositive) {
    if (value >= 1) {
        if (positive) *positive = 1;
    } else if (nonPositive) {
        *nonPositive = 1;
    }
}

int32_t SignsNotOpposite(int32_t a, int32_t b) {
    if ((a >= 1 && b < 0) || (a < 0 && b >= 1)) return 0;
    return 1;
}

int32_t BothSetAndBothOne(int32_t a, int32_t b, int32_t c, int32_t d) {
    return (a != 0 && b != 0 && c == 1 && d == 1) ? 1 : 0;
}
