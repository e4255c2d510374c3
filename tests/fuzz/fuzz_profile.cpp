// Fuzzes the profile-file reader and writer: any bytes parse without a crash, reads respect
// their buffer sizes, and a write that is accepted reads back as written while every other
// line of the file stays.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "builder/model/profile.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool Plain(const std::string& v) {
    if (v.empty()) return true;
    if (qp::IsProfileSpace(static_cast<unsigned char>(v.front())) || qp::IsProfileSpace(static_cast<unsigned char>(v.back())))
        return false;
    return v.front() != '"' && v.front() != '\'';
}

std::string Trimmed(const std::string& t) {
    std::size_t b = 0, e = t.size();
    while (b < e && qp::IsProfileSpace(static_cast<unsigned char>(t[b]))) ++b;
    while (e > b && qp::IsProfileSpace(static_cast<unsigned char>(t[e - 1]))) --e;
    return t.substr(b, e - b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16)) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    qp::ProfileFile p(bytes);
    Check(p.Text() == bytes);

    std::vector<std::string> names = p.SectionNames();
    names.push_back("");
    if (names.size() > 8) names.resize(8);
    for (const auto& s : names) {
        for (std::size_t n : {0u, 1u, 2u, 3u, 7u, 300u}) {
            std::string buf = p.SectionBuffer(s, n);
            Check(buf.size() <= (n < 2 ? 0 : n));
        }
        for (const auto& e : p.GetSection(s, 9999)) {
            for (std::size_t n : {0u, 1u, 2u, 5u, 260u}) Check(p.GetString(s, e.name, n).size() + (n ? 1 : 0) <= n || n == 0);
        }
    }

    // A write with names and text taken from the input itself.
    if (size >= 3) {
        std::size_t a = data[0] % 8, b = data[1] % 8, c = data[2] % 16;
        std::string rest = bytes.substr(3);
        std::string s = rest.substr(0, a);
        std::string k = rest.size() > a ? rest.substr(a, b) : std::string();
        std::string v = rest.size() > a + b ? rest.substr(a + b, c) : std::string();
        qp::ProfileFile w(bytes);
        if (w.SetString(s, k, v)) {
            qp::ProfileFile again(w.Text());
            std::string got = again.GetString(s, k, 4096);
            std::size_t lead = 0;
            while (lead < v.size() && qp::IsProfileSpace(static_cast<unsigned char>(v[lead]))) ++lead;
            std::string expect = v.substr(lead);
            if (Plain(expect)) Check(got == expect);
            // Every other section reads as before.
            for (const auto& other : names) {
                if (qp::ProfileNameEquals(other, Trimmed(s))) continue;
                auto before = p.GetSection(other, 9999);
                auto after = again.GetSection(other, 9999);
                Check(before.size() == after.size());
                for (std::size_t i = 0; i < before.size() && i < after.size(); ++i)
                    Check(before[i].name == after[i].name && before[i].value == after[i].value);
            }
        } else {
            Check(w.Text() == bytes);
        }
    }
    return 0;
}
