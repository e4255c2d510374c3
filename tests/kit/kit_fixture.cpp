// Shared set-up of the kit tests.
#include "kit_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "builder/model/projectfile.h"
#include <zlib.h>

namespace kittest {

void MakeFile(const std::string& path, std::size_t size, char fill) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::string data(size, fill);
    for (std::size_t i = 0; i < size; i += 7) data[i] = static_cast<char>('a' + i % 26);
    qptest::WriteText(path, data);
}

namespace {

struct Member {
    std::string name;
    std::uint16_t method = 0;
    std::uint32_t csize = 0, size = 0, offset = 0;
};

// A reader of just what these tests need (the runtime's reader lives in the setup engine, which
// the builder side does not link): the central directory, and stored or deflated data.
std::vector<Member> ReadDirectory(const std::vector<std::uint8_t>& z) {
    auto u16 = [&](std::size_t p) { return static_cast<std::uint16_t>(z.at(p) | z.at(p + 1) << 8); };
    auto u32 = [&](std::size_t p) { return static_cast<std::uint32_t>(u16(p) | static_cast<std::uint32_t>(u16(p + 2)) << 16); };
    std::vector<Member> out;
    if (z.size() < 22) return out;
    std::size_t end = z.size() - 22;
    while (end > 0 && u32(end) != 0x06054b50u) --end;
    if (u32(end) != 0x06054b50u) return out;
    std::size_t count = u16(end + 10), p = u32(end + 16);
    for (std::size_t k = 0; k < count; ++k) {
        if (u32(p) != 0x02014b50u) break;
        Member m;
        m.method = u16(p + 10);
        m.csize = u32(p + 20);
        m.size = u32(p + 24);
        std::size_t n = u16(p + 28), extra = u16(p + 30), comment = u16(p + 32);
        m.offset = u32(p + 42);
        m.name.assign(reinterpret_cast<const char*>(&z.at(p + 46)), n);
        out.push_back(m);
        p += 46 + n + extra + comment;
    }
    return out;
}

}  // namespace

std::vector<std::string> ZipMembers(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& m : ReadDirectory(qptest::ReadBytes(path))) names.push_back(m.name);
    return names;
}

std::string ZipMember(const std::string& path, const std::string& member) {
    std::vector<std::uint8_t> z = qptest::ReadBytes(path);
    for (const auto& m : ReadDirectory(z)) {
        if (m.name != member) continue;
        std::size_t data = m.offset + 30 + (z.at(m.offset + 26) | z.at(m.offset + 27) << 8) +
                           (z.at(m.offset + 28) | z.at(m.offset + 29) << 8);
        if (m.method == 0) return std::string(reinterpret_cast<const char*>(&z.at(data)), m.size);
        std::string out(m.size, '\0');
        z_stream s{};
        if (inflateInit2(&s, -MAX_WBITS) != Z_OK) return std::string();
        s.next_in = const_cast<Bytef*>(&z.at(data));
        s.avail_in = m.csize;
        s.next_out = reinterpret_cast<Bytef*>(&out[0]);
        s.avail_out = m.size;
        int rc = inflate(&s, Z_FINISH);
        inflateEnd(&s);
        return rc == Z_STREAM_END ? out : std::string();
    }
    return std::string();
}

std::vector<std::string> ExistingFiles(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (e.is_regular_file()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::unique_ptr<qp::CDazDoc> SmallProject(const qptest::TempDir& dir) {
    auto doc = std::make_unique<qp::CDazDoc>();
    doc->SetPathName(dir / "proj.qpk");
    doc->AddLanguage(0);
    MakeFile(dir / "src/app.exe", 3000, 'p');
    MakeFile(dir / "src/bin/tool.dll", 1023, 'd');
    MakeFile(dir / "src/docs/app.exe", 2048, 'q');
    qp::CItemGroup* program = doc->group_list.Add("Program");
    program->file_tree.AddFile(dir / "src/app.exe");
    program->file_tree.AddFolder("bin")->AddFile(dir / "src/bin/tool.dll");
    qp::CItemGroup* docs = doc->group_list.Add("Docs");
    docs->file_tree.AddFile(dir / "src/docs/app.exe");
    doc->root_component.AddChild("Main")->file_groups = {program, docs};
    return doc;
}

std::string SaveSmallProject(const qptest::TempDir& dir) {
    auto doc = SmallProject(dir);
    qptest::RecordingReporter r;
    EXPECT_TRUE(qp::SaveProject(*doc, dir / "proj.qpk", r)) << r.All();
    return dir / "proj.qpk";
}

void SaveProjectTo(qp::CDazDoc& doc, const std::string& path) {
    qptest::RecordingReporter r;
    EXPECT_TRUE(qp::SaveProject(doc, path, r)) << r.All();
}

std::string FakeRuntime(const qptest::TempDir& dir) {
    std::string path = dir / "REDIS/setup.ex_";
    MakeFile(path, 5000, 'R');
    return path;
}

std::vector<std::uint8_t> MinimalPe(bool x64) {
    std::vector<std::uint8_t> b(0x400);
    auto u16 = [&](std::size_t at, unsigned v) { b[at] = v & 0xFF, b[at + 1] = (v >> 8) & 0xFF; };
    auto u32 = [&](std::size_t at, unsigned v) { u16(at, v & 0xFFFF), u16(at + 2, v >> 16); };
    b[0] = 'M', b[1] = 'Z';
    u32(0x3C, 0x40);
    b[0x40] = 'P', b[0x41] = 'E';
    const unsigned opt_size = x64 ? 0xF0 : 0xE0;
    u16(0x44, x64 ? 0x8664 : 0x14C), u16(0x46, 1), u16(0x54, opt_size), u16(0x56, x64 ? 0x22 : 0x102);
    const std::size_t o = 0x58;  // optional header
    const std::size_t d = x64 ? 4 : 0;  // PE32+ has no BaseOfData and a 64-bit ImageBase
    u16(o, x64 ? 0x20B : 0x10B), u32(o + 4, 0x200), u32(o + 16, 0x1000), u32(o + 20, 0x1000);
    if (!x64) u32(o + 24, 0x1000);
    u32(o + 28 - d, x64 ? 0 : 0x400000), u32(o + 32, 0x1000), u32(o + 36, 0x200), u16(o + 40, 4), u16(o + 48, 4);
    u32(o + 56, 0x2000), u32(o + 60, 0x200), u16(o + 68, 3);
    if (x64) {
        u32(o + 24, 0x40000000);  // ImageBase (64-bit, low half in the PE32 BaseOfData place)
        u32(o + 72, 0x100000), u32(o + 80, 0x1000), u32(o + 88, 0x100000), u32(o + 96, 0x1000), u32(o + 108, 16);
    } else {
        u32(o + 72, 0x100000), u32(o + 76, 0x1000), u32(o + 80, 0x100000), u32(o + 84, 0x1000), u32(o + 92, 16);
    }
    const std::size_t s = o + opt_size;  // the one section
    std::copy_n(".text", 5, b.begin() + s);
    u32(s + 8, 0x200), u32(s + 12, 0x1000), u32(s + 16, 0x200), u32(s + 20, 0x200), u32(s + 36, 0x60000020);
    b[0x200] = 0xC3;
    return b;
}

}  // namespace kittest
