// The load and store steps that every archived record shares: tag, 16-bit
// schema, then fields; a wrong tag or schema warns once per load, logs the
// class's internal code and restores the record's defaults.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/Format.h"
#include "platform/core/Types.h"

inline void WriteRecordHeader(fw::Archive& ar, const std::string& tag, uint16_t schema = 0) {
    ar.WriteString(tag);
    ar.WriteU16(schema);
}

// Reads tag and schema into the record. Returns the schema read when the
// fields should follow, or -1 after the failure path has run (warning,
// ReportMessage1(moduleId, codeA or codeA + 1, FALSE), defaults).
// warnOnWrongTag FALSE skips the warning box on a wrong tag (the code is
// still logged).
int ReadRecordHeader(fw::Archive& ar, std::string& tag, const char* expectedTag, UINT moduleId, int codeA,
                     const std::function<void()>& defaults, std::initializer_list<uint16_t> knownSchemas = {0},
                     BOOL warnOnWrongTag = TRUE);

// Summary lines: "%s %7.3e %s", "%s %7.3e" and "%s %s".
inline void WriteValueLine(fw::File& f, const char* caption, double value, const char* unit) {
    f.Write(fw::Format("%s %7.3e %s", caption, value, unit));
}
inline void WriteValueLine(fw::File& f, const char* caption, double value) {
    f.Write(fw::Format("%s %7.3e", caption, value));
}
inline void WriteNameLine(fw::File& f, const char* caption, const std::string& name) {
    f.Write(fw::Format("%s %s", caption, name.c_str()));
}
