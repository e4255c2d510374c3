// Central directory reader of the kit build (zip64 end records included).
#include "builder/kit/zipnames.h"

#include <cstdint>
#include <cstdio>

namespace qp {

namespace {

class File {
public:
    explicit File(const std::string& path) : f_(std::fopen(path.c_str(), "rb")) {}
    ~File() {
        if (f_) std::fclose(f_);
    }
    bool ok() const { return f_ != nullptr; }
    bool Seek(std::uint64_t at) {
#ifdef _WIN32
        return _fseeki64(f_, static_cast<long long>(at), SEEK_SET) == 0;
#else
        return fseeko(f_, static_cast<off_t>(at), SEEK_SET) == 0;
#endif
    }
    std::uint64_t Size() {
#ifdef _WIN32
        if (_fseeki64(f_, 0, SEEK_END) != 0) return 0;
        long long n = _ftelli64(f_);
#else
        if (fseeko(f_, 0, SEEK_END) != 0) return 0;
        long long n = ftello(f_);
#endif
        return n < 0 ? 0 : static_cast<std::uint64_t>(n);
    }
    bool Read(void* to, std::size_t n) { return std::fread(to, 1, n, f_) == n; }

private:
    std::FILE* f_;
};

std::uint64_t Le(const unsigned char* p, int n) {
    std::uint64_t v = 0;
    for (int i = n; i-- > 0;) v = (v << 8) | p[i];
    return v;
}

}  // namespace

bool ReadZipMemberNames(const std::string& host_path, std::vector<std::string>& names) {
    names.clear();
    File f(host_path);
    if (!f.ok()) return false;
    const std::uint64_t size = f.Size();
    if (size < 22) return false;
    const std::uint64_t tail_size = size < 22 + 65535 ? size : 22 + 65535;
    std::vector<unsigned char> tail(static_cast<std::size_t>(tail_size));
    if (!f.Seek(size - tail_size) || !f.Read(tail.data(), tail.size())) return false;
    std::size_t eocd = tail.size();
    for (std::size_t i = tail.size() - 22 + 1; i-- > 0;) {
        if (tail[i] == 'P' && tail[i + 1] == 'K' && tail[i + 2] == 5 && tail[i + 3] == 6) {
            eocd = i;
            break;
        }
    }
    if (eocd == tail.size()) return false;
    const unsigned char* e = &tail[eocd];
    std::uint64_t count = Le(e + 10, 2), cd_size = Le(e + 12, 4), cd_offset = Le(e + 16, 4);
    if (count == 0xFFFF || cd_size == 0xFFFFFFFF || cd_offset == 0xFFFFFFFF) {
        // The zip64 locator stands just before the end record.
        const std::uint64_t eocd_at = size - tail_size + eocd;
        unsigned char loc[20], rec[56];
        if (eocd_at < 20 || !f.Seek(eocd_at - 20) || !f.Read(loc, 20) || Le(loc, 4) != 0x07064b50) return false;
        if (!f.Seek(Le(loc + 8, 8)) || !f.Read(rec, 56) || Le(rec, 4) != 0x06064b50) return false;
        count = Le(rec + 32, 8);
        cd_size = Le(rec + 40, 8);
        cd_offset = Le(rec + 48, 8);
    }
    if (cd_offset > size || cd_size > size - cd_offset || count > cd_size / 46 + 1) return false;
    std::vector<unsigned char> cd(static_cast<std::size_t>(cd_size));
    if (!f.Seek(cd_offset) || (cd_size > 0 && !f.Read(cd.data(), cd.size()))) return false;
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (cd.size() - at < 46 || Le(&cd[at], 4) != 0x02014b50) return false;
        const std::size_t name_len = Le(&cd[at + 28], 2), extra = Le(&cd[at + 30], 2), comment = Le(&cd[at + 32], 2);
        if (cd.size() - at - 46 < name_len + extra + comment) return false;
        names.emplace_back(reinterpret_cast<const char*>(&cd[at + 46]), name_len);
        at += 46 + name_len + extra + comment;
    }
    return true;
}

}  // namespace qp
