// Output files of the summaries and text exports: every piece is written as
// soon as it is formatted. A disk file remembers a failed write so that the
// caller can report it instead of losing text silently.
#pragma once

#include <cstdio>
#include <string>

namespace fw {

class File {
public:
    virtual ~File() = default;
    virtual void Write(const void* data, size_t n) = 0;
    void Write(const std::string& s) { Write(s.data(), s.size()); }
};

// Collects everything written (tests, print layout).
class StringFile : public File {
public:
    using File::Write;
    void Write(const void* data, size_t n) override { text.append(static_cast<const char*>(data), n); }
    std::string text;
};

class DiskFile : public File {
public:
    using File::Write;
    DiskFile() = default;
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;
    ~DiskFile() override { Close(); }

    // Creates (truncating) the file for writing.
    bool Create(const std::string& path) {
        Close();
        f_ = std::fopen(path.c_str(), "wb");
        failed_ = f_ == nullptr;
        return f_ != nullptr;
    }
    void Write(const void* data, size_t n) override {
        if (!f_ || failed_) {
            failed_ = true;
            return;
        }
        if (n && std::fwrite(data, 1, n, f_) != n) failed_ = true;
    }
    // True when the file was created, every write went through and it closed cleanly.
    bool Close() {
        if (f_) {
            if (std::fflush(f_) != 0) failed_ = true;
            if (std::fclose(f_) != 0) failed_ = true;
            f_ = nullptr;
        }
        return !failed_;
    }
    bool Failed() const { return failed_; }

private:
    FILE* f_ = nullptr;
    bool failed_ = false;
};

}  // namespace fw
