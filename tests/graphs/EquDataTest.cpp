#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "graphs/EquData.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"

namespace {

struct Reference {
    std::vector<std::string> names;
    std::vector<std::vector<int>> lists;
};

// The reference table beside this test, written independently of the code.
const Reference& LoadReference() {
    static Reference ref = [] {
        Reference r;
        std::ifstream in(std::string(PQ_FIXTURES_DIR) + "/graphs/TimeVarCatalogue.txt", std::ios::binary);
        EXPECT_TRUE(in.good());
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') continue;
            std::vector<std::string> cols;
            std::stringstream ss(line);
            std::string col;
            while (std::getline(ss, col, '\t')) cols.push_back(col);
            if (cols[0] == "name") {
                EXPECT_EQ(std::stoi(cols[1]), int(r.names.size()));
                r.names.push_back(cols[2]);
            } else if (cols[0] == "list") {
                EXPECT_EQ(std::stoi(cols[1]), int(r.lists.size()));
                std::vector<int> ids;
                std::stringstream ms(cols.size() > 3 ? cols[3] : "");
                int id;
                while (ms >> id) ids.push_back(id);
                EXPECT_EQ(std::stoi(cols[2]), int(ids.size()));
                r.lists.push_back(ids);
            }
        }
        return r;
    }();
    return ref;
}

// The catalogue as the Analysis dialog builds it, with a log to read codes.
class Catalogue : public ::testing::Test {
protected:
    void SetUp() override {
        logPath_ = ::testing::TempDir() + "/PwrQuorra_equdata.log";
        std::remove(logPath_.c_str());
        SetLogPath(logPath_);
        ResetLogStarted();
        SetLoggingQuery([] { return true; });
        g_pTimeVarNameTable = new CTimeVarNameTable;
        g_pTimeVarCatalogue = new CTimeVarCatalogue;
    }
    void TearDown() override {
        delete g_pTimeVarCatalogue;
        delete g_pTimeVarNameTable;
        g_pTimeVarCatalogue = nullptr;
        g_pTimeVarNameTable = nullptr;
        SetLoggingQuery(nullptr);
        std::remove(logPath_.c_str());
    }
    std::string Log() {
        std::ifstream f(logPath_, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
    static std::string Name(int id) {
        std::string s;
        g_pTimeVarNameTable->GetName(uint16_t(id), s);
        return s;
    }

    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
    std::string logPath_;
};

}  // namespace

TEST_F(Catalogue, NamesMatchTheReferenceById) {
    const Reference& ref = LoadReference();
    ASSERT_EQ(ref.names.size(), 510u);
    EXPECT_EQ(g_pTimeVarNameTable->GetHighestId(), 509);
    for (int id = 0; id < 510; ++id) {
        std::string name;
        ASSERT_TRUE(g_pTimeVarNameTable->GetName(uint16_t(id), name)) << id;
        EXPECT_EQ(name, ref.names[size_t(id)]) << "id " << id;
    }
    // Texts that are easy to "tidy" by mistake.
    EXPECT_EQ(Name(7), "< Line Filter AC/Phase 1 First Stage Damping Capacitor Current  >");
    EXPECT_EQ(Name(8), "< Line Filter AC/Phase 2 First Stage Damping Capacitor Current  >");
    EXPECT_EQ(Name(509), "< Opto-Isolator Bias Voltage >");
    for (int id : {68, 72}) EXPECT_EQ(Name(id), Name(60));
    EXPECT_EQ(Name(436), Name(421));
    EXPECT_EQ(Name(485), Name(422));
    EXPECT_NE(Name(60), Name(61));
}

TEST_F(Catalogue, ListsMatchTheReferenceMemberByMember) {
    const Reference& ref = LoadReference();
    ASSERT_EQ(ref.lists.size(), 154u);
    size_t members = 0;
    for (int n = 0; n < 154; ++n) {
        const CVarIdList* list = g_pTimeVarCatalogue->GetList(n);
        ASSERT_NE(list, nullptr);
        const std::vector<int>& want = ref.lists[size_t(n)];
        ASSERT_EQ(list->GetCount(), want.size()) << "list " << n;
        for (size_t i = 0; i < want.size(); ++i) {
            uint16_t id = 9999;
            EXPECT_TRUE(list->GetId(int(i), id));
            EXPECT_EQ(id, want[i]) << "list " << n << " index " << i;
            std::string name;
            EXPECT_TRUE(list->GetName(int(i), name));
            EXPECT_EQ(name, ref.names[size_t(want[i])]);
        }
        members += want.size();
    }
    EXPECT_EQ(members, 1678u);
    EXPECT_EQ(g_pTimeVarCatalogue->GetList(-1), nullptr);
    EXPECT_EQ(g_pTimeVarCatalogue->GetList(154), nullptr);
    EXPECT_FALSE(VarListAllocFailed());
}

TEST_F(Catalogue, IdFiftyFourIsNamedButOfferedByNoList) {
    EXPECT_EQ(Name(54), "< Line Rectifier DC or AC/Phase 0 Input Filter Current >");
    for (int n = 0; n < 154; ++n) {
        const CVarIdList* list = g_pTimeVarCatalogue->GetList(n);
        for (int i = 0; i < list->GetCount(); ++i) {
            uint16_t id = 0;
            list->GetId(i, id);
            EXPECT_NE(id, 54) << "list " << n;
        }
    }
}

TEST_F(Catalogue, LookupsOutsideTheirRangeGiveEmptyAndFalse) {
    std::string name = "stale";
    EXPECT_FALSE(g_pTimeVarNameTable->GetName(510, name));
    EXPECT_EQ(name, "");
    name = "stale";
    EXPECT_FALSE(g_pTimeVarNameTable->GetName(65535, name));
    EXPECT_EQ(name, "");

    // List 57 is never filled.
    const CVarIdList* empty = g_pTimeVarCatalogue->GetList(57);
    EXPECT_EQ(empty->GetCount(), 0);
    uint16_t id = 7;
    for (int index : {0, 1, -1}) {
        name = "stale";
        EXPECT_FALSE(empty->GetName(index, name));
        EXPECT_EQ(name, "");
        EXPECT_FALSE(empty->GetId(index, id));
        EXPECT_EQ(id, 0);
    }

    const CVarIdList* list0 = g_pTimeVarCatalogue->GetList(0);
    id = 7;
    EXPECT_FALSE(list0->GetId(3, id));
    EXPECT_EQ(id, 0);
    EXPECT_FALSE(list0->GetId(-1, id));
    EXPECT_FALSE(list0->GetName(3, name));
    EXPECT_EQ(name, "");
}

TEST_F(Catalogue, ListLookupsNeedTheNameTable) {
    CTimeVarNameTable* table = g_pTimeVarNameTable;
    g_pTimeVarNameTable = nullptr;
    const CVarIdList* list0 = g_pTimeVarCatalogue->GetList(0);
    std::string name = "stale";
    uint16_t id = 7;
    EXPECT_FALSE(list0->GetName(0, name));
    EXPECT_EQ(name, "");
    EXPECT_FALSE(list0->GetId(0, id));
    EXPECT_EQ(id, 0);
    g_pTimeVarNameTable = table;
    EXPECT_TRUE(list0->GetId(0, id));
    EXPECT_EQ(id, 39);
}

TEST_F(Catalogue, RepeatedNamesInOneListKeepTheirOwnIds) {
    const CVarIdList* list = g_pTimeVarCatalogue->GetList(36);
    std::vector<uint16_t> idsOfName;
    for (int i = 0; i < list->GetCount(); ++i) {
        std::string name;
        uint16_t id = 0;
        list->GetName(i, name);
        list->GetId(i, id);
        if (name == "< Line Rectifier Rectifier 1 Anode to Cathode Current >") idsOfName.push_back(id);
    }
    EXPECT_EQ(idsOfName, (std::vector<uint16_t>{60, 68, 72}));
}

TEST_F(Catalogue, SecondAllocOnAFilledListLogsAndChangesNothing) {
    CVarIdList* list = g_pTimeVarCatalogue->GetList(0);
    EXPECT_FALSE(list->Alloc(5));
    EXPECT_EQ(list->GetCount(), 3);
    uint16_t id = 0;
    EXPECT_TRUE(list->GetId(2, id));
    EXPECT_EQ(id, 51);
    EXPECT_NE(Log().find("EquData:   CODE 2400\r\n"), std::string::npos);
    EXPECT_TRUE(sink_.boxes.empty());
    EXPECT_FALSE(VarListAllocFailed());

    // A freed list takes a new allocation again.
    list->Free();
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_TRUE(list->Alloc(2));
    EXPECT_EQ(list->GetCount(), 2);
}
