// Gateway to the parts database. The database is switched off: the gateway
// keeps its interface, opens nothing and answers every load and store with
// -1, which the part dialogs report as "database disabled". A part's data
// lives only in the design file.
#pragma once

#include <cstdint>

class CCapacitor;
class CDiode;
class CInductor;
class CResistor;
class CTransformer;
class CPwrTransformer;
class CTransistorFE;

class CPartsDbMgr {
public:
    // The result of every load and store while the database is off.
    static constexpr int32_t kDatabaseDisabled = -1;

    CPartsDbMgr() = default;
    virtual ~CPartsDbMgr() = default;
    CPartsDbMgr(const CPartsDbMgr&) = delete;
    CPartsDbMgr& operator=(const CPartsDbMgr&) = delete;

    void Open() {}
    void Close() {}
    // 0 while the database is switched off (always, in this design).
    int32_t IsEnabled() const { return m_bEnabled; }

    // 0 would mean done; nothing reads or changes the record.
    int32_t LoadCapacitor(CCapacitor* record);
    int32_t LoadDiode(CDiode* record);
    int32_t LoadInductor(CInductor* record);
    int32_t LoadResistor(CResistor* record);
    int32_t LoadTransformer(CTransformer* record);
    int32_t LoadPwrTransformer(CPwrTransformer* record);
    int32_t LoadTransistorFE(CTransistorFE* record);

    int32_t StoreCapacitor(CCapacitor* record);
    int32_t StoreDiode(CDiode* record);
    int32_t StoreInductor(CInductor* record);
    int32_t StoreResistor(CResistor* record);
    int32_t StoreTransformer(CTransformer* record);
    int32_t StorePwrTransformer(CPwrTransformer* record);
    int32_t StoreTransistorFE(CTransistorFE* record);

private:
    int32_t m_bEnabled = 0;
};

// The program's one gateway, built before the application starts.
extern CPartsDbMgr g_PartsDbMgr;
