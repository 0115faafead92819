// The recent-file list of the File menu: at most a fixed number of paths,
// the latest first, kept in a small text file of the configuration folder.
#pragma once

#include <string>
#include <vector>

namespace fw {

class RecentFileList {
public:
    explicit RecentFileList(size_t capacity = 4) : capacity_(capacity) {}

    // Reads the list (a missing or unreadable file gives an empty list;
    // lines beyond the capacity and empty lines are ignored).
    void Load(const std::string& file);
    // Writes the list; false when the file could not be written.
    bool Save(const std::string& file) const;

    // Puts the path first, removing an earlier entry of the same path.
    void Add(const std::string& path);
    void Remove(size_t index);
    size_t Size() const { return paths_.size(); }
    const std::string& operator[](size_t i) const { return paths_[i]; }
    // "&1 path" for the menu (an '&' of the path doubled).
    std::string MenuText(size_t index) const;

private:
    size_t capacity_;
    std::vector<std::string> paths_;
};

}  // namespace fw
