// The Windows API and the portable readers agree on version and time, on a DLL our build
// stamps with a version resource and on files without one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/fileinfo.h"
#include "common/win/fileinfo_win.h"
#include "peimage.h"
#include "support/testutil.h"

namespace {

const std::uint64_t kTestDllVersion = (std::uint64_t{3} << 48) | (std::uint64_t{14} << 32) | (159u << 16) | 26535u;

std::string OwnProgram() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

TEST(FileVersionAgreement, StampedDll) {
    std::string api_text = "unset", portable_text = "unset";
    EXPECT_EQ(qp::FileVersionApi(QP_TEST_DLL, &api_text), kTestDllVersion);
    EXPECT_EQ(qp::FileVersionFromImage(QP_TEST_DLL, &portable_text), kTestDllVersion);
    EXPECT_EQ(api_text, "3.14.159.26535");
    EXPECT_EQ(portable_text, api_text);
    EXPECT_EQ(qp::FileVersion(QP_TEST_DLL, nullptr), kTestDllVersion);
}

TEST(FileVersionAgreement, FilesWithoutVersionGiveZeroAndLeaveTheText) {
    qptest::TempDir tmp;
    std::string text_file = tmp / "readme.txt";
    qptest::WriteText(text_file, "no resources here\r\n");
    // Our test programs carry no version resource.
    for (const std::string& file : {text_file, OwnProgram(), tmp / "missing.dll"}) {
        std::string a = "untouched", p = "untouched";
        EXPECT_EQ(qp::FileVersionApi(file, &a), 0u) << file;
        EXPECT_EQ(qp::FileVersionFromImage(file, &p), 0u) << file;
        EXPECT_EQ(a, "untouched");
        EXPECT_EQ(p, "untouched");
    }
}

TEST(FileVersionAgreement, SystemDllsAgreeToo) {
    char dir[MAX_PATH];
    UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    ASSERT_GT(n, 0u);
    for (const char* name : {"\\kernel32.dll", "\\user32.dll", "\\version.dll"}) {
        std::string file = std::string(dir, n) + name;
        EXPECT_EQ(qp::FileVersionFromImage(file), qp::FileVersionApi(file)) << file;
    }
}

// The system's reader and ours take the same view of hand-assembled images, damaged ones too.
TEST(FileVersionAgreement, HandAssembledImages) {
    qptest::TempDir tmp;
    int n = 0;
    auto both = [&](const peimage::Bytes& bytes, const char* what) {
        std::string file = tmp / ("image" + std::to_string(n++) + ".dll");
        qptest::WriteBytes(file, bytes);
        std::string a = "untouched", p = "untouched";
        EXPECT_EQ(qp::FileVersionFromImage(file, &p), qp::FileVersionApi(file, &a)) << what;
        EXPECT_EQ(p, a) << what;
    };
    both(peimage::MakeImage(false).bytes, "pe32");
    both(peimage::MakeImage(true).bytes, "pe32+");
    for (const peimage::Damage& d : peimage::kDamages) {
        if (d.stricter_than_wine) continue;
        peimage::Image img = peimage::MakeImage();
        d.apply(img);
        both(img.bytes, d.what);
    }
    for (const peimage::Damage& d : peimage::kIgnored) {
        peimage::Image img = peimage::MakeImage();
        d.apply(img);
        both(img.bytes, d.what);
    }
}

std::uint64_t SetWriteTime(const std::string& file, std::uint64_t t) {
    HANDLE h = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(t);
    ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
    BOOL ok = SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    return ok ? t : 0;
}

TEST(FileTimeAgreement, ApiGivesTheStampAndPortableTheSameSecond) {
    qptest::TempDir tmp;
    std::string file = tmp / "stamped.bin";
    qptest::WriteText(file, "x");
    // 2009-02-13 23:31:30.1234567 UTC; the C runtime's stat has whole seconds only.
    const std::uint64_t stamp = 128790414901234567ull;
    ASSERT_EQ(SetWriteTime(file, stamp), stamp);
    EXPECT_EQ(qp::FileTimeApi(file), stamp);
    EXPECT_EQ(qp::FileTime(file), stamp);
    EXPECT_EQ(qp::FileTimePortable(file), stamp - stamp % 10000000);

    // Still readable while another handle has the file open for reading.
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(qp::FileTimeApi(file), stamp);
    CloseHandle(held);
}

TEST(FileTimeAgreement, StampedDllAgreesToTheSecond) {
    std::uint64_t api = qp::FileTimeApi(QP_TEST_DLL);
    ASSERT_NE(api, qp::kNoFileTime);
    EXPECT_EQ(qp::FileTimePortable(QP_TEST_DLL), api - api % 10000000);
}

TEST(FileTimeAgreement, UnopenableFilesGiveAllBitsBothWays) {
    qptest::TempDir tmp;
    for (const std::string& file : {tmp / "missing.bin", tmp.Str()}) {
        EXPECT_EQ(qp::FileTimeApi(file), qp::kNoFileTime) << file;
        EXPECT_EQ(qp::FileTimePortable(file), qp::kNoFileTime) << file;
    }
}

}  // namespace
