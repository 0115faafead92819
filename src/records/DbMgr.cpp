#include "records/DbMgr.h"

CPartsDbMgr g_PartsDbMgr;

int32_t CPartsDbMgr::LoadCapacitor(CCapacitor*) { return kDatabaseDisabled; }
int32_t CPartsDbMgr::LoadDiode(CDiode*) { return kDatabaseDisabled; }
int32_t CPartsDbMgr::LoadInductor(CInductor*) { return kDatabaseDisabled; }
int32_t CPartsDbMgr::LoadResistor(CResistor*) { return kDatabaseDisabled; }
int32_t CPartsDbMgr::LoadTransformer(CTransformer*) { return kDatabaseDisabled; }
int32_t CPartsDbMgr::LoadPwrTransformer(CPwrTransformer*) { return kDatabaseDisabled; }
int32_t CPartsDbMgr::LoadTransistorFE(CTransistorFE*) { return kDatabaseDisabled; }

int32_t CPartsDbMgr::StoreCapacitor(CCapacitor*) { return kDatabaseDisabled; }
int32_t CPartsDbMgr::StoreDiode(CDiode*) { return kDatabaseDisabled; }
int32_t CPartsDbMgr::StoreInductor(CInductor*) { return kDatabaseDisabled; }
int32_t CPartsDbMgr::StoreResistor(CResistor*) { return kDatabaseDisabled; }
int32_t CPartsDbMgr::StoreTransformer(CTransformer*) { return kDatabaseDisabled; }
int32_t CPartsDbMgr::StorePwrTransformer(CPwrTransformer*) { return kDatabaseDisabled; }
int32_t CPartsDbMgr::StoreTransistorFE(CTransistorFE*) { return kDatabaseDisabled; }
