#include "platform/ui/ResourcePack.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

namespace fw {

namespace {

constexpr char kMagic[8] = {'P', 'Q', 'R', 'P', 'A', 'C', 'K', '1'};

class Reader {
public:
    explicit Reader(const std::vector<unsigned char>& b) : b_(b) {}
    bool U32(uint32_t& v) {
        if (b_.size() - pos_ < 4) return false;
        v = uint32_t(b_[pos_]) | uint32_t(b_[pos_ + 1]) << 8 | uint32_t(b_[pos_ + 2]) << 16 | uint32_t(b_[pos_ + 3]) << 24;
        pos_ += 4;
        return true;
    }
    size_t Left() const { return b_.size() - pos_; }
    void Skip(size_t n) { pos_ += n; }

private:
    const std::vector<unsigned char>& b_;
    size_t pos_ = 0;
};

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

bool ResourcePack::Open(const std::string& path) {
    loaded_ = false;
    images_.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return false;
    Reader r(bytes);
    r.Skip(sizeof kMagic);
    uint32_t count = 0;
    if (!r.U32(count) || count > kMaxPictures) return false;
    std::map<uint32_t, Image> images;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t id = 0, w = 0, h = 0;
        if (!r.U32(id) || !r.U32(w) || !r.U32(h)) return false;
        if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return false;
        if (r.Left() / 4 < static_cast<size_t>(w) * h) return false;
        if (images.count(id)) return false;
        Image img(static_cast<int>(w), static_cast<int>(h));
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                uint32_t p = 0;
                r.U32(p);
                img.SetPixel(static_cast<int>(x), static_cast<int>(y), p);
            }
        images.emplace(id, std::move(img));
    }
    if (r.Left() != 0) return false;
    images_ = std::move(images);
    loaded_ = true;
    return true;
}

bool ResourcePack::GetImage(uint32_t id, Image& out) const {
    auto it = images_.find(id);
    if (it == images_.end()) return false;
    out = it->second;
    return true;
}

bool ResourcePack::Write(const std::string& path, const std::map<uint32_t, Image>& images) {
    std::string out(kMagic, sizeof kMagic);
    PutU32(out, static_cast<uint32_t>(images.size()));
    for (const auto& [id, img] : images) {
        PutU32(out, id);
        PutU32(out, static_cast<uint32_t>(img.Width()));
        PutU32(out, static_cast<uint32_t>(img.Height()));
        for (uint32_t p : img.Pixels()) PutU32(out, p);
    }
    std::string tmp = path + ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!f) return false;
        f.write(out.data(), static_cast<std::streamsize>(out.size()));
        f.flush();
        if (!f) return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

}  // namespace fw
