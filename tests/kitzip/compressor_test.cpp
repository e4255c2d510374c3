// The builder's compressor binding over the static library: names inside the archive, the
// archive complete after Unload, and the failure text on the console.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "builder/kit/compressor.h"
#include "kitzip/zip_writer.h"
#include "support/testutil.h"

using namespace qptest;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const std::string& cab) {
    kitzip::ZipWriter w(cab);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < w.Count(); ++i) names.push_back(w.Member(i).name);
    return names;
}

struct CurrentDir {
    fs::path saved = fs::current_path();
    explicit CurrentDir(const fs::path& p) { fs::current_path(p); }
    ~CurrentDir() { fs::current_path(saved); }
};

}  // namespace

TEST(StaticCompressor, AddsFilesUnderGroupFoldersAndFinishesOnUnload) {
    TempDir dir;
    fs::create_directories(dir.Path() / "src" / "bin");
    WriteText(dir / "src/app.exe", "MZ app");
    WriteText(dir / "src/bin/x.dll", "MZ dll");
    const std::string cab = dir / "kit/setup.cab";
    fs::create_directories(dir.Path() / "kit");
    RecordingReporter reporter;
    std::FILE* console = std::tmpfile();
    ASSERT_NE(console, nullptr);
    {
        auto c = qp::MakeStaticCompressor(reporter, console);
        ASSERT_TRUE(c->Load());
        CurrentDir here(dir.Path() / "src");
        EXPECT_TRUE(c->AddFile("app.exe", "Program Executable Files", cab));  // bare name: current directory
        EXPECT_TRUE(c->AddFile(dir / "src/bin/x.dll", "Program DLLs\\bin", cab));
        EXPECT_TRUE(c->AddFile(dir / "src/app.exe", "Other Group", cab));
        EXPECT_FALSE(c->AddFile(dir / "src/gone.exe", "Program DLLs", cab));
        c->Unload();
    }
    EXPECT_EQ(Names(cab), (std::vector<std::string>{"Program Executable Files/app.exe", "Program DLLs/bin/x.dll",
                                                    "Other Group/app.exe"}));
    const std::string out = Rewound(console);
    EXPECT_NE(out.find("Error in archiving\n"), std::string::npos) << out;
    EXPECT_TRUE(reporter.entries.empty());
    std::fclose(console);
}
