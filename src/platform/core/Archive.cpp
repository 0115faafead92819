#include "platform/core/Archive.h"

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {

namespace {

constexpr uint16_t kNullTag = 0;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000u;
constexpr uint32_t kMaxMapCount = 0x3FFFFFFE;

struct RegistryEntry {
    uint16_t schema;
    ClassRegistry::Factory factory;
};

std::map<std::string, RegistryEntry>& Registry() {
    static std::map<std::string, RegistryEntry> registry;
    return registry;
}

std::mutex& RegistryMutex() {
    static std::mutex m;
    return m;
}

}  // namespace

void ClassRegistry::Register(const std::string& name, uint16_t schema, Factory factory) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    Registry()[name] = RegistryEntry{schema, std::move(factory)};
}

std::unique_ptr<Object> ClassRegistry::Create(const std::string& name) {
    Factory f;
    {
        std::lock_guard<std::mutex> lock(RegistryMutex());
        auto it = Registry().find(name);
        if (it == Registry().end()) return nullptr;
        f = it->second.factory;
    }
    return f();
}

bool ClassRegistry::IsRegistered(const std::string& name) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    return Registry().count(name) != 0;
}

uint16_t ClassRegistry::Schema(const std::string& name) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto it = Registry().find(name);
    return it == Registry().end() ? 0 : it->second.schema;
}

Archive::Archive() : mode_(Store) {}

Archive::Archive(std::vector<uint8_t> bytes) : mode_(Load), buf_(std::move(bytes)) {
    loadedMap_.push_back(std::string());  // index 0 is the null reference
}

void Archive::Need(size_t n) const {
    if (mode_ != Load) throw ArchiveError("archive is not loading");
    if (n > buf_.size() - pos_) throw ArchiveError("unexpected end of archive");
}

void Archive::WriteBytes(const void* data, size_t n) {
    if (mode_ != Store) throw ArchiveError("archive is not storing");
    const auto* p = static_cast<const uint8_t*>(data);
    buf_.insert(buf_.end(), p, p + n);
}

void Archive::WriteU8(uint8_t v) { WriteBytes(&v, 1); }

void Archive::WriteU16(uint16_t v) {
    uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    WriteBytes(b, 2);
}

void Archive::WriteU32(uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    WriteBytes(b, 4);
}

void Archive::WriteI32(int32_t v) { WriteU32(static_cast<uint32_t>(v)); }

void Archive::WriteF64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    WriteU32(uint32_t(bits));
    WriteU32(uint32_t(bits >> 32));
}

void Archive::WriteString(std::string_view s) {
    const size_t n = s.size();
    if (n < 255) {
        WriteU8(uint8_t(n));
    } else if (n < 0xFFFE) {
        WriteU8(0xFF);
        WriteU16(uint16_t(n));
    } else {
        if (n > 0xFFFFFFFFu) throw ArchiveError("string too long");
        WriteU8(0xFF);
        WriteU16(0xFFFF);
        WriteU32(uint32_t(n));
    }
    WriteBytes(s.data(), n);
}

uint8_t Archive::ReadU8() {
    Need(1);
    return buf_[pos_++];
}

uint16_t Archive::ReadU16() {
    Need(2);
    uint16_t v = uint16_t(buf_[pos_] | (buf_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

uint32_t Archive::ReadU32() {
    Need(4);
    uint32_t v = uint32_t(buf_[pos_]) | (uint32_t(buf_[pos_ + 1]) << 8) |
                 (uint32_t(buf_[pos_ + 2]) << 16) | (uint32_t(buf_[pos_ + 3]) << 24);
    pos_ += 4;
    return v;
}

int32_t Archive::ReadI32() { return static_cast<int32_t>(ReadU32()); }

double Archive::ReadF64() {
    uint64_t lo = ReadU32();
    uint64_t hi = ReadU32();
    uint64_t bits = lo | (hi << 32);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

namespace {
std::atomic<void (*)()> g_nonFiniteHook{nullptr};
}  // namespace

void Archive::SetNonFiniteHook(void (*hook)()) { g_nonFiniteHook = hook; }

double Archive::ReadFiniteF64(double fallback) {
    const double v = ReadF64();
    if (std::isfinite(v)) return v;
    ++nonFinite_;
    if (void (*hook)() = g_nonFiniteHook.load()) hook();
    return fallback;
}

std::string Archive::ReadString() {
    size_t n = ReadU8();
    if (n == 0xFF) {
        n = ReadU16();
        if (n == 0xFFFE) throw ArchiveError("wide strings are not supported");
        if (n == 0xFFFF) n = ReadU32();
    }
    Need(n);
    std::string s(reinterpret_cast<const char*>(buf_.data() + pos_), n);
    pos_ += n;
    return s;
}

void Archive::WriteCount(size_t n) {
    if (n < 0xFFFF) {
        WriteU16(uint16_t(n));
    } else {
        if (n > 0xFFFFFFFFu) throw ArchiveError("array too long");
        WriteU16(0xFFFF);
        WriteU32(uint32_t(n));
    }
}

size_t Archive::ReadCount(size_t minBytesPerElement) {
    size_t n = ReadU16();
    if (n == 0xFFFF) n = ReadU32();
    if (minBytesPerElement == 0) minBytesPerElement = 1;
    if (n > Remaining() / minBytesPerElement) throw ArchiveError("element count exceeds the archive");
    return n;
}

void Archive::WriteTag(uint32_t index, bool isClass) {
    if (index < kBigObjectTag) {
        WriteU16(uint16_t(isClass ? (kClassTag | index) : index));
    } else {
        WriteU16(kBigObjectTag);
        WriteU32(isClass ? (kBigClassTag | index) : index);
    }
}

void Archive::WriteObject(const Object* obj) {
    if (!obj) {
        WriteU16(kNullTag);
        return;
    }
    const std::string name = obj->GetClassName();
    auto it = storedClasses_.find(name);
    if (it != storedClasses_.end()) {
        WriteTag(it->second, true);
    } else {
        if (name.size() > 0xFFFF) throw ArchiveError("class name too long");
        WriteU16(kNewClassTag);
        WriteU16(ClassRegistry::Schema(name) ? ClassRegistry::Schema(name) : 1);
        WriteU16(uint16_t(name.size()));
        WriteBytes(name.data(), name.size());
        storedClasses_[name] = mapCount_++;
    }
    // Every object takes the next index; the arrays never store one object twice.
    mapCount_++;
    const_cast<Object*>(obj)->Serialize(*this);
}

std::unique_ptr<Object> Archive::ReadObject(const char* expectedClass) {
    uint32_t tag = ReadU16();
    bool isClass = false;
    uint32_t index = 0;
    std::string className;
    if (tag == kBigObjectTag) {
        uint32_t big = ReadU32();
        isClass = (big & kBigClassTag) != 0;
        index = big & ~kBigClassTag;
    } else if (tag == kNewClassTag) {
        uint16_t schema = ReadU16();
        uint16_t len = ReadU16();
        Need(len);
        className.assign(reinterpret_cast<const char*>(buf_.data() + pos_), len);
        pos_ += len;
        if (!ClassRegistry::IsRegistered(className)) throw ArchiveError("unknown class " + className);
        if (schema != ClassRegistry::Schema(className)) throw ArchiveError("class schema mismatch");
        if (mapCount_ >= kMaxMapCount) throw ArchiveError("object map overflow");
        loadedMap_.push_back(className);
        mapCount_++;
    } else if (tag & kClassTag) {
        isClass = true;
        index = tag & ~uint32_t(kClassTag);
    } else {
        index = tag;
    }

    if (className.empty()) {
        if (!isClass) {
            if (index == 0) return nullptr;
            // A reference to an object already read: owning arrays never share elements.
            throw ArchiveError("shared object reference");
        }
        if (index == 0 || index >= loadedMap_.size() || loadedMap_[index].empty())
            throw ArchiveError("bad class index");
        className = loadedMap_[index];
    }
    if (expectedClass && className != expectedClass) throw ArchiveError("unexpected class " + className);
    std::unique_ptr<Object> obj = ClassRegistry::Create(className);
    if (!obj) throw ArchiveError("cannot create " + className);
    if (mapCount_ >= kMaxMapCount) throw ArchiveError("object map overflow");
    loadedMap_.push_back(std::string());
    mapCount_++;
    obj->Serialize(*this);
    return obj;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path, size_t maxBytes) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw ArchiveError(std::string("cannot open file: ") + std::strerror(errno));
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (bytes.size() + got > maxBytes) {
            std::fclose(f);
            throw ArchiveError("file too large");
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) throw ArchiveError("cannot read file");
    return bytes;
}

namespace {

// The file a save lands in: a symbolic link is followed to the file it names (relative links
// from the link's own folder), so that saving through it changes that file and keeps the link.
// A chain longer than the system's own limit is left as it is; the rename then replaces it.
std::string SaveTarget(const std::string& path) {
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
        std::string link(size_t(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n <= 0 || size_t(n) >= link.size()) return target;
        link.resize(size_t(n));
        if (link[0] != '/') {
            const size_t slash = target.rfind('/');
            if (slash != std::string::npos) link = target.substr(0, slash + 1) + link;
        }
        target = link;
    }
    return path;
}

// A new file of a unique name in the folder of `target`, created exclusively and never through
// a link planted at its name; -1 with errno when none could be made.
int CreateTemporaryBeside(const std::string& target, std::string* name) {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    static std::mutex seedLock;
    static std::mt19937_64 rng = [] {
        std::random_device rd;
        return std::mt19937_64((uint64_t(rd()) << 32) ^ rd() ^ uint64_t(::getpid()));
    }();
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(8, 'x');
        {
            std::lock_guard<std::mutex> lock(seedLock);
            for (char& c : suffix) c = kChars[rng() % (sizeof kChars - 1)];
        }
        *name = folder + "." + base + "." + suffix + ".tmp";
        const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes, std::string* errorText) {
    const std::string target = SaveTarget(path);
    std::string tmp;
    // Only a regular file is replaced: a device, a folder or a socket in the way stays, and
    // the write goes to it as it is, or fails.
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        if (S_ISDIR(existing.st_mode)) {
            errno = EISDIR;
            if (errorText) *errorText = std::string("cannot replace file: ") + std::strerror(errno);
            return false;
        }
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errorText) *errorText = std::string("cannot open file: ") + std::strerror(errno);
            return false;
        }
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                const int e = errno;
                ::close(fd);
                if (errorText) *errorText = std::string("cannot write file: ") + std::strerror(e);
                return false;
            }
            done += size_t(w);
        }
        if (::close(fd) != 0) {
            if (errorText) *errorText = std::string("cannot close file: ") + std::strerror(errno);
            return false;
        }
        return true;
    }
    auto fail = [&](const char* what) {
        if (errorText) *errorText = std::string(what) + ": " + std::strerror(errno);
        return false;
    };
    auto discard = [&](int fd, const char* what) {
        const int e = errno;
        if (fd >= 0) ::close(fd);
        ::unlink(tmp.c_str());
        errno = e;
        return fail(what);
    };
    const int fd = CreateTemporaryBeside(target, &tmp);
    if (fd < 0) return fail("cannot create file");
    // The replacement keeps the permissions (and, where allowed, the group) of the file it
    // replaces; a new file takes the usual ones under the umask.
    struct stat old;
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        if (::fchmod(fd, old.st_mode & 07777) != 0) return discard(fd, "cannot set permissions");
        if (::fchown(fd, uid_t(-1), old.st_gid) != 0) { /* another group is not ours to give */ }
    }
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            return discard(fd, "cannot write file");
        }
        done += size_t(w);
    }
    if (::fsync(fd) != 0) return discard(fd, "cannot flush file");
    if (::close(fd) != 0) return discard(-1, "cannot close file");
    if (::rename(tmp.c_str(), target.c_str()) != 0) return discard(-1, "cannot replace file");
    return true;
}

}  // namespace fw
