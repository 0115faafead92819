#include "FuzzDesign.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "circuit/Doc.h"
#include "platform/core/Archive.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"

namespace fuzz {

namespace {

// Boxes are collected and dropped: a fuzzed file shows many of them.
struct QuietReports {
    QuietReports() { fw::SetReportSink(&sink); }
    fw::RecordingSink sink;
};

}  // namespace

const std::string& ScratchPath() {
    static const std::string path = [] {
        const char* dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/pq_fuzz_" + std::to_string(::getpid()) + ".SEF";
    }();
    return path;
}

std::unique_ptr<CPwrQuorraDoc> Open(const uint8_t* data, size_t size) {
    static QuietReports quiet;
    quiet.sink.Clear();
    {
        std::ofstream out(ScratchPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        if (!out) Fail("cannot write the scratch file");
    }
    ResetFileWarnings();
    ResetFirstMessageFlag();
    auto doc = std::make_unique<CPwrQuorraDoc>();
    if (!doc->OnOpenDocument(ScratchPath())) return nullptr;
    return doc;
}

std::vector<uint8_t> Saved(CPwrQuorraDoc& doc) {
    fw::Archive ar;
    doc.Serialize(ar);
    return ar.Bytes();
}

void Fail(const char* why) {
    std::fprintf(stderr, "fuzz: %s\n", why);
    std::abort();
}

}  // namespace fuzz
