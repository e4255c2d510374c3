// kitzip.dll as the builder binds it, under Wine: the three exports by name, the version
// resource, the load messages, and archives that our reader extracts.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "builder/kit/win/compressor_dll.h"
#include "kitzip/kitzip.h"
#include "setup/engine/unzip.h"
#include "support/testutil.h"

using namespace qptest;
namespace fs = std::filesystem;

namespace {

std::string Backslashes(std::string s) {
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
}

const std::string kDllDir = Backslashes(KITZIP_DLL_DIR);

int ZP_CALL Print(char*, unsigned long size) { return static_cast<int>(size); }
int ZP_CALL Comment(char* c) {
    c[0] = '\0';
    return 1;
}
int ZP_CALL Password(char*, int, const char*, const char*) { return 1; }

}  // namespace

TEST(KitzipDll, ExportsByNameBuildAnArchive) {
    TempDir dir;
    WriteText(dir / "a.txt", std::string(5000, 'a'));
    WriteText(dir / "b.txt", "bee");
    const std::string cab = dir / "setup.cab";

    HMODULE dll = LoadLibraryA((kDllDir + "\\kitzip.dll").c_str());
    ASSERT_NE(dll, nullptr);
    auto init = reinterpret_cast<int(__stdcall*)(ZIPUSERFUNCTIONS*)>(reinterpret_cast<void*>(GetProcAddress(dll, "ZpInit")));
    auto set = reinterpret_cast<int(__stdcall*)(ZPOPT*)>(reinterpret_cast<void*>(GetProcAddress(dll, "ZpSetOptions")));
    auto archive = reinterpret_cast<int(__stdcall*)(ZCL)>(reinterpret_cast<void*>(GetProcAddress(dll, "ZpArchive")));
    ASSERT_TRUE(init && set && archive);
    ZIPUSERFUNCTIONS callbacks{Print, Comment, Password};
    ASSERT_EQ(init(&callbacks), 1);
    ZPOPT o{};
    o.szArchiveDir = "Group\\Sub";
    o.fRecurse = 1;
    o.fLevel = 9;
    ASSERT_EQ(set(&o), 1);
    for (const char* f : {"a.txt", "b.txt"}) {
        std::string path = dir / f;
        char* files[] = {path.data()};
        EXPECT_EQ(archive(ZCL{1, cab.c_str(), files}), 0) << f;
    }
    FreeLibrary(dll);  // finishes the archive

    EXPECT_EQ(qp::ExtractMember(cab, "Group/Sub/a.txt", dir.Str(), dir / "a.out"), 0);
    EXPECT_EQ(ReadText(dir / "a.out"), std::string(5000, 'a'));
    EXPECT_EQ(qp::ExtractMember(cab, "Group/Sub/b.txt", dir.Str(), dir / "b.out"), 0);
    EXPECT_EQ(ReadText(dir / "b.out"), "bee");
}

TEST(KitzipDll, BuilderBindingAddsAndReportsLoadFailures) {
    TempDir dir;
    WriteText(dir / "app.exe", "MZ app");
    const std::string cab = dir / "setup.cab";
    RecordingReporter reporter;
    std::FILE* console = std::tmpfile();
    ASSERT_NE(console, nullptr);
    {
        auto c = qp::MakeDllCompressor(reporter, kDllDir, console);
        ASSERT_TRUE(c->Load());
        EXPECT_TRUE(c->AddFile(dir / "app.exe", "Program Executable Files", cab));
        EXPECT_FALSE(c->AddFile(dir / "none.exe", "Program Executable Files", cab));
        c->Unload();
    }
    EXPECT_EQ(qp::ExtractMember(cab, "Program Executable Files/app.exe", dir.Str(), dir / "out.exe"), 0);
    EXPECT_EQ(ReadText(dir / "out.exe"), "MZ app");
    EXPECT_NE(Rewound(console).find("Error in archiving\n"), std::string::npos);
    EXPECT_TRUE(reporter.entries.empty()) << reporter.All();

    // No kitzip.dll beside the builder.
    const std::string empty = Backslashes(dir.Str());
    EXPECT_FALSE(qp::MakeDllCompressor(reporter, empty, console)->Load());
    EXPECT_TRUE(reporter.Has("Cannot find " + empty + "\\kitzip.dll.")) << reporter.All();

    // A kitzip.dll without a version resource: refused before it is loaded.
    fs::create_directories(dir.Path() / "old");
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, (dir / "old/kitzip.dll").c_str(), FALSE));
    std::FILE* console2 = std::tmpfile();
    EXPECT_FALSE(qp::MakeDllCompressor(reporter, dir / "old", console2)->Load());
    EXPECT_NE(Rewound(console2).find("kitzip.DLL has the wrong version number. Insure that you have the correct dll's installed"),
              std::string::npos);
    std::fclose(console2);
    std::fclose(console);
}
