// The catalogue of time-domain waveform variables: the 510 display names
// (the variable id is the index, shared by the equation tokens, the value
// pointer table and saved designs, so the order never changes) and the 154
// fixed id lists from which the equation editor offers the quantities of the
// present design, one list per section, instance and circuit variant.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/core/Types.h"

// Module of the internal codes of the catalogue.
constexpr UINT kModuleEquData = 56037;

constexpr int kTimeVarCount = 510;
constexpr int kVarIdListCount = 154;

class CTimeVarNameTable {
public:
    CTimeVarNameTable();

    // TRUE with the name of id; FALSE with an empty string beyond the highest id.
    BOOL GetName(uint16_t id, std::string& out) const;
    uint16_t GetHighestId() const { return m_nHighestId; }

private:
    std::string m_names[kTimeVarCount];
    uint16_t m_nHighestId;
};

class CTimeVarCatalogue;

// One list of variable ids; empty until filled.
class CVarIdList {
public:
    CVarIdList() = default;
    CVarIdList(const CVarIdList&) = delete;
    CVarIdList& operator=(const CVarIdList&) = delete;

    // Room for count ids, only on an empty list. A list that already holds
    // ids is left alone and EquData code 2400 is logged. A failed allocation
    // raises the catalogue's failure flag and leaves the list empty.
    BOOL Alloc(uint16_t count);
    void Free();
    uint16_t GetCount() const { return m_nCount; }
    // The name of the id at index (through the global name table); an empty
    // string and FALSE when there is no table, no ids or index is past the end.
    BOOL GetName(int index, std::string& out) const;
    // The id at index; 0 and FALSE when there is no name table, index is past
    // the end or the id is beyond the highest id.
    BOOL GetId(int index, uint16_t& id) const;

private:
    friend class CTimeVarCatalogue;

    std::unique_ptr<uint16_t[]> m_pIds;
    uint16_t m_nCount = 0;
};

// The 154 lists, numbered 0 to 153; list 57 stays empty.
class CTimeVarCatalogue {
public:
    CTimeVarCatalogue();
    ~CTimeVarCatalogue();
    CTimeVarCatalogue(const CTimeVarCatalogue&) = delete;
    CTimeVarCatalogue& operator=(const CTimeVarCatalogue&) = delete;

    // List n, or nullptr outside 0..153.
    CVarIdList* GetList(int n);
    const CVarIdList* GetList(int n) const;

private:
    void FillVarIdList(int n);

    CVarIdList m_lists[kVarIdListCount];
};

// Built while the Analysis dialog is open, null otherwise.
extern CTimeVarNameTable* g_pTimeVarNameTable;
extern CTimeVarCatalogue* g_pTimeVarCatalogue;

// Raised by any failed id-list allocation, never cleared.
BOOL VarListAllocFailed();
void SetVarListAllocFailed();
