// Owning array of archived objects (point tables, equation lists): the
// framework's object-array form with element count and object references.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/Archive.h"

namespace fw {

// T derives from Object and offers static const char* StaticClassName().
template <class T>
class ObArray {
public:
    ObArray() = default;
    ObArray(const ObArray& other) { CopyFrom(other); }
    ObArray& operator=(const ObArray& other) {
        if (this != &other) CopyFrom(other);
        return *this;
    }
    ObArray(ObArray&&) noexcept = default;
    ObArray& operator=(ObArray&&) noexcept = default;

    int GetCount() const { return static_cast<int>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }
    // The element at i, or nullptr when i lies outside the array or the
    // slot is empty.
    T* GetAt(int i) const {
        return (i >= 0 && i < GetCount()) ? items_[size_t(i)].get() : nullptr;
    }
    void DeleteAll() { items_.clear(); }
    // Stores a copy at index i, growing the array as needed (set-at-grow).
    void SetAtGrow(int i, std::unique_ptr<T> item) {
        if (i < 0) return;
        if (size_t(i) >= items_.size()) items_.resize(size_t(i) + 1);
        items_[size_t(i)] = std::move(item);
    }
    void Add(std::unique_ptr<T> item) { items_.push_back(std::move(item)); }
    void InsertAt(int i, std::unique_ptr<T> item) {
        if (i < 0) i = 0;
        if (i > GetCount()) i = GetCount();
        items_.insert(items_.begin() + i, std::move(item));
    }
    void RemoveAt(int i) {
        if (i >= 0 && i < GetCount()) items_.erase(items_.begin() + i);
    }

    // Loading deletes what the array holds first. A null element, another
    // class or a truncated element throws ArchiveError.
    void Serialize(Archive& ar) {
        if (ar.IsStoring()) {
            ar.WriteCount(items_.size());
            for (const auto& p : items_) ar.WriteObject(p.get());
        } else {
            DeleteAll();
            size_t n = ar.ReadCount(2);
            // A damaged count can still claim far more elements than follow:
            // grow as elements really arrive instead of trusting it up front.
            items_.reserve(n < 1024 ? n : 1024);
            for (size_t i = 0; i < n; ++i) {
                std::unique_ptr<Object> obj = ar.ReadObject(T::StaticClassName());
                if (!obj) throw ArchiveError("null element in array");
                items_.emplace_back(static_cast<T*>(obj.release()));
            }
        }
    }

private:
    void CopyFrom(const ObArray& other) {
        std::vector<std::unique_ptr<T>> copy;
        copy.reserve(other.items_.size());
        for (const auto& p : other.items_) copy.push_back(p ? std::make_unique<T>(*p) : nullptr);
        items_ = std::move(copy);
    }

    std::vector<std::unique_ptr<T>> items_;
};

}  // namespace fw
