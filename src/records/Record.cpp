#include "records/Record.h"

#include <algorithm>

#include "records/Utils.h"

int ReadRecordHeader(fw::Archive& ar, std::string& tag, const char* expectedTag, UINT moduleId, int codeA,
                     const std::function<void()>& defaults, std::initializer_list<uint16_t> knownSchemas,
                     BOOL warnOnWrongTag) {
    tag = ar.ReadString();
    if (tag != expectedTag) {
        if (warnOnWrongTag) WarnFileCorrupted();
        ReportMessage1(moduleId, codeA, FALSE);
        defaults();
        return -1;
    }
    uint16_t schema = ar.ReadU16();
    if (std::find(knownSchemas.begin(), knownSchemas.end(), schema) == knownSchemas.end()) {
        WarnFileVersion();
        ReportMessage1(moduleId, codeA + 1, FALSE);
        defaults();
        return -1;
    }
    return schema;
}
