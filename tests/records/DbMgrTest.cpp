#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/core/ReportSink.h"
#include "records/DbMgr.h"
#include "records/DbParts.h"
#include "records/Parts.h"
#include "records/Utils.h"
#include "support/ReportCapture.h"

namespace {

// Calls one gateway operation on a record that differs from its defaults and
// tells whether the record came back untouched.
template <class T, int32_t (CPartsDbMgr::*Op)(T*)>
bool CallLeavesRecord(CPartsDbMgr& mgr, int32_t& result) {
    T record;
    record.m_strName = "D1 kept as is";
    const T before(record);
    result = (mgr.*Op)(&record);
    return !(record != before);
}

using PartsDbMgrTest = test_support::ReportCaptureTest;

TEST_F(PartsDbMgrTest, EveryLoadAndStoreAnswersDisabledAndLeavesTheRecord) {
    const struct {
        const char* operation;
        bool (*call)(CPartsDbMgr&, int32_t&);
    } rows[] = {
        {"LoadCapacitor", CallLeavesRecord<CCapacitor, &CPartsDbMgr::LoadCapacitor>},
        {"LoadDiode", CallLeavesRecord<CDiode, &CPartsDbMgr::LoadDiode>},
        {"LoadInductor", CallLeavesRecord<CInductor, &CPartsDbMgr::LoadInductor>},
        {"LoadResistor", CallLeavesRecord<CResistor, &CPartsDbMgr::LoadResistor>},
        {"LoadTransformer", CallLeavesRecord<CTransformer, &CPartsDbMgr::LoadTransformer>},
        {"LoadPwrTransformer", CallLeavesRecord<CPwrTransformer, &CPartsDbMgr::LoadPwrTransformer>},
        {"LoadTransistorFE", CallLeavesRecord<CTransistorFE, &CPartsDbMgr::LoadTransistorFE>},
        {"StoreCapacitor", CallLeavesRecord<CCapacitor, &CPartsDbMgr::StoreCapacitor>},
        {"StoreDiode", CallLeavesRecord<CDiode, &CPartsDbMgr::StoreDiode>},
        {"StoreInductor", CallLeavesRecord<CInductor, &CPartsDbMgr::StoreInductor>},
        {"StoreResistor", CallLeavesRecord<CResistor, &CPartsDbMgr::StoreResistor>},
        {"StoreTransformer", CallLeavesRecord<CTransformer, &CPartsDbMgr::StoreTransformer>},
        {"StorePwrTransformer", CallLeavesRecord<CPwrTransformer, &CPartsDbMgr::StorePwrTransformer>},
        {"StoreTransistorFE", CallLeavesRecord<CTransistorFE, &CPartsDbMgr::StoreTransistorFE>},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.operation);
        int32_t result = 0;
        EXPECT_TRUE(row.call(g_PartsDbMgr, result));
        EXPECT_EQ(result, -1);
    }
    // The gateway itself reports nothing: the dialogs turn -1 into their message.
    EXPECT_TRUE(sink_.boxes.empty());
    EXPECT_FALSE(std::ifstream(logPath_).good());
}

TEST_F(PartsDbMgrTest, OpenAndCloseChangeNothing) {
    CPartsDbMgr mgr;
    EXPECT_EQ(mgr.IsEnabled(), 0);
    for (int i = 0; i < 3; ++i) {
        mgr.Open();
        mgr.Open();
        mgr.Close();
    }
    mgr.Close();
    EXPECT_EQ(mgr.IsEnabled(), 0);
    CCapacitor c;
    EXPECT_EQ(mgr.LoadCapacitor(&c), -1);
    EXPECT_EQ(g_PartsDbMgr.IsEnabled(), 0);
}

}  // namespace
