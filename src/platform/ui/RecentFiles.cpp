#include "platform/ui/RecentFiles.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace fw {

void RecentFileList::Load(const std::string& file) {
    paths_.clear();
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (paths_.size() < capacity_ && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || std::find(paths_.begin(), paths_.end(), line) != paths_.end()) continue;
        paths_.push_back(line);
    }
}

bool RecentFileList::Save(const std::string& file) const {
    std::string tmp = file + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        for (const auto& p : paths_) out << p << '\n';
        out.flush();
        if (!out) return false;
    }
    return std::rename(tmp.c_str(), file.c_str()) == 0;
}

void RecentFileList::Add(const std::string& path) {
    if (path.empty() || path.find('\n') != std::string::npos) return;
    paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > capacity_) paths_.resize(capacity_);
}

void RecentFileList::Remove(size_t index) {
    if (index < paths_.size()) paths_.erase(paths_.begin() + static_cast<long>(index));
}

std::string RecentFileList::MenuText(size_t index) const {
    std::string text = "&" + std::to_string(index + 1) + " ";
    for (char c : paths_.at(index)) {
        if (c == '&') text += '&';
        text += c;
    }
    return text;
}

}  // namespace fw
