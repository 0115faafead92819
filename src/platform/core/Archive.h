// Binary archive of the design file: little-endian words, length-prefixed
// 8-bit strings and the object-array protocol (new-class mark, class index
// back-references, one map counter per archive).
//
// Loading trusts nothing: every length and count is checked against the
// bytes left, and any violation throws ArchiveError, which the document
// treats as a damaged file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Archive;

// Base of every class that the object protocol can write and create by name.
class Object {
public:
    virtual ~Object() = default;
    virtual const char* GetClassName() const = 0;
    virtual void Serialize(Archive& ar) = 0;
};

// Creates serialisable classes by name when an archive is read.
class ClassRegistry {
public:
    using Factory = std::function<std::unique_ptr<Object>()>;
    static void Register(const std::string& name, uint16_t schema, Factory factory);
    static std::unique_ptr<Object> Create(const std::string& name);
    static bool IsRegistered(const std::string& name);
    static uint16_t Schema(const std::string& name);
};

// Registers T (default-constructible, derived from Object) under its class name.
template <class T>
struct RegisterClass {
    explicit RegisterClass(const char* name, uint16_t schema = 1) {
        ClassRegistry::Register(name, schema, [] { return std::unique_ptr<Object>(new T()); });
    }
};

class Archive {
public:
    enum Mode { Store, Load };

    // A storing archive that collects bytes.
    Archive();
    // A loading archive over a copy of the bytes.
    explicit Archive(std::vector<uint8_t> bytes);

    bool IsStoring() const { return mode_ == Store; }
    bool IsLoading() const { return mode_ == Load; }

    const std::vector<uint8_t>& Bytes() const { return buf_; }
    size_t Position() const { return pos_; }
    size_t Remaining() const { return buf_.size() - pos_; }
    bool AtEnd() const { return pos_ >= buf_.size(); }

    void WriteU8(uint8_t v);
    void WriteU16(uint16_t v);
    void WriteI32(int32_t v);
    void WriteU32(uint32_t v);
    void WriteF64(double v);
    void WriteString(std::string_view s);
    void WriteBytes(const void* data, size_t n);

    uint8_t ReadU8();
    uint16_t ReadU16();
    int32_t ReadI32();
    uint32_t ReadU32();
    double ReadF64();
    // A number of a design: no dialog enters a NaN or an infinity, so such a stored value is
    // damage. The fallback (the field's default) is returned instead, and it is counted.
    double ReadFiniteF64(double fallback);
    size_t NonFiniteCount() const { return nonFinite_; }
    // Called at each such number (the records layer reports the damage); none by default.
    static void SetNonFiniteHook(void (*hook)());
    std::string ReadString();

    // Element counts of object arrays: 16-bit, or 0xFFFF then 32-bit.
    void WriteCount(size_t n);
    // The count is checked against the bytes left: each element needs at
    // least minBytesPerElement bytes.
    size_t ReadCount(size_t minBytesPerElement = 2);

    // The object protocol. WriteObject(nullptr) writes the null tag.
    void WriteObject(const Object* obj);
    // Reads one object reference. A null element gives nullptr; a class
    // other than expectedClass, an unknown class, a back-reference to an
    // object already read or a malformed tag throws ArchiveError.
    std::unique_ptr<Object> ReadObject(const char* expectedClass);

    // Typed stream operators, so that field lists read naturally.
    Archive& operator<<(uint16_t v) { WriteU16(v); return *this; }
    Archive& operator<<(int32_t v) { WriteI32(v); return *this; }
    Archive& operator<<(double v) { WriteF64(v); return *this; }
    Archive& operator<<(const std::string& s) { WriteString(s); return *this; }
    Archive& operator>>(uint16_t& v) { v = ReadU16(); return *this; }
    Archive& operator>>(int32_t& v) { v = ReadI32(); return *this; }
    Archive& operator>>(double& v) { v = ReadF64(); return *this; }
    Archive& operator>>(std::string& s) { s = ReadString(); return *this; }

private:
    void Need(size_t n) const;
    void WriteTag(uint32_t index, bool isClass);

    Mode mode_;
    std::vector<uint8_t> buf_;
    size_t pos_ = 0;
    // One counter per archive numbers each new class and object from 1.
    uint32_t mapCount_ = 1;
    size_t nonFinite_ = 0;
    std::map<std::string, uint32_t> storedClasses_;
    std::vector<std::string> loadedMap_;  // index -> class name ("" for objects)
};

// Reads a whole file into memory; throws ArchiveError when it cannot be read
// or exceeds maxBytes.
std::vector<uint8_t> ReadFileBytes(const std::string& path, size_t maxBytes = 256u * 1024 * 1024);

// Writes a file atomically: a temporary file beside the target, flushed and
// renamed over it. Returns false (and leaves the old file whole) on failure;
// errorText receives the system's reason.
bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes, std::string* errorText = nullptr);

}  // namespace fw
