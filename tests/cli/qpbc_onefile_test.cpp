// "qpbc build --single-file": one program carrying the kit, the same bytes from build to build,
// signed after the kit is in, and the package manager's manifests written from it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "builder/kit/kitbuild.h"
#include "builder/kit/sha256.h"
#include "common/kitpayload.h"
#include "kit_fixture.h"
#include "support/run_process.h"

namespace {

using qptest::ProcessResult;
namespace fs = std::filesystem;

class QpbcOneFile : public ::testing::Test {
protected:
    void SetUp() override { qptest::WriteBytes(runtime, kittest::MinimalPe()); }
    ProcessResult Build(const std::string& project, const std::string& root, std::vector<std::string> extra) {
        std::vector<std::string> args = {"build", project, "--name", "App", "--kit-root", root, "--runtime", runtime};
        args.insert(args.end(), extra.begin(), extra.end());
        return qptest::RunProcess(QPBC_EXE, args, dir.Str());
    }
    qptest::TempDir dir;
    std::string runtime = dir / "setup.ex_";
};

TEST_F(QpbcOneFile, OneProgramCarriesTheFolderKitsFilesAndIsTheSameFromBuildToBuild) {
    const std::string project = kittest::SaveSmallProject(dir);
    ASSERT_EQ(0, Build(project, dir / "folder", {}).status);
    ProcessResult one = Build(project, dir / "one", {"--single-file", "--json"});
    ASSERT_EQ(0, one.status) << one.err;
    const std::string program = qp::KitPath(dir / "one", "App.exe");
    EXPECT_NE(std::string::npos, one.out.find("App.exe\", \"complete\": true")) << "kit: the program: " << one.out;
    EXPECT_FALSE(fs::exists(dir / "one/App")) << "no kit folder beside the program";
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir / "one"))
        if (e.path().filename() != ".App.qplock") left.push_back(e.path().filename().string());  // as for a folder kit
    EXPECT_EQ(std::vector<std::string>{"App.exe"}, left) << "no staging folder left behind";

    // Inside: the runtime as it was, then exactly the folder kit's files.
    auto src = qp::OpenByteSource(program);
    qp::KitPayload payload;
    std::string why;
    ASSERT_EQ(qp::KitPayloadFound::kFound, qp::FindKitPayload(*src, payload, &why)) << why;
    EXPECT_EQ(qptest::ReadBytes(runtime), qp::PlainRuntime(*src, payload));
    ASSERT_EQ(2u, payload.files.size());
    for (const char* name : {"setup.lst", "setup.cab"})
        EXPECT_TRUE(qp::ReadPayloadFile(*src, *payload.Find(name)) == qptest::ReadBytes(qp::KitPath(dir / "folder/App", name)))
            << name;
    src.reset();

    std::this_thread::sleep_for(std::chrono::milliseconds(2100));  // past the archive's 2-second clock steps
    ASSERT_EQ(0, Build(project, dir / "again", {"--single-file"}).status);
    EXPECT_TRUE(qptest::ReadBytes(program) == qptest::ReadBytes(qp::KitPath(dir / "again", "App.exe")));
}

TEST_F(QpbcOneFile, SignCommandRunsOnTheProgramOnceTheKitIsIn) {
    const std::string project = kittest::SaveSmallProject(dir);
#ifdef _WIN32
    const std::string check = "echo signing {file}";
#else
    // The program the signer gets already holds its kit: its size is more than the runtime's.
    const std::string check = "test $(wc -c < {file}) -gt 1024 && echo signing {file}";
#endif
    ProcessResult r = Build(project, dir / "one", {"--single-file", "--sign-command", check});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("signing")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("App.exe")) << "the program is signed, not a setup.exe: " << r.err;
    EXPECT_EQ(1, Build(project, dir / "two", {"--single-file", "--sign-command", "exit 4 {file}"}).status);
    EXPECT_FALSE(fs::exists(dir / "two/App.exe")) << "a program whose signing failed is not left as if complete";
}

TEST_F(QpbcOneFile, ManifestOptionsAreCheckedBeforeAnythingIsBuilt) {
    const std::string project = kittest::SaveSmallProject(dir);
    const std::string url = "https://example.com/App.exe";
    struct Case {
        std::vector<std::string> args;
        const char* names;
    } cases[] = {
        {{"--winget-manifest", "m", "--installer-url", url, "--license", "MIT"}, "--single-file"},
        {{"--single-file", "--winget-manifest", "m", "--license", "MIT"}, "--installer-url"},
        {{"--single-file", "--winget-manifest", "m", "--installer-url", url}, "--license"},
        {{"--single-file", "--winget-manifest", "m", "--installer-url", "ftp://x/App.exe", "--license", "MIT"}, "http"},
        {{"--single-file", "--winget-manifest", "m", "--installer-url", url, "--license", "MIT", "--locale", "en_US"}, "--locale"},
        {{"--single-file", "--winget-manifest", "m", "--installer-url", url, "--license", "MIT", "--package-identifier",
          "NoDot"},
         "--package-identifier"},
        {{"--single-file", "--installer-url", url}, "--winget-manifest"},
    };
    for (const Case& c : cases) {
        ProcessResult r = Build(project, dir / "k", c.args);
        EXPECT_EQ(2, r.status) << c.names;
        EXPECT_NE(std::string::npos, r.err.find(c.names)) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir / "k")) << "nothing built";
}

#ifndef _WIN32
// The schemas are checked with Python's jsonschema and yaml, which only the host can run.
int Validate(const std::string& manifests, const std::string& program, const std::string& out) {
    const std::string cmd = "python3 '" + qptest::TestData("kit/validate_winget.py") + "' '" +
                            qptest::TestData("kit/winget-schemas/v1.10.0") + "' '" + manifests + "' '" + program +
                            "' > '" + out + "'";
    return std::system(cmd.c_str());
}

TEST_F(QpbcOneFile, ManifestsValidateAgainstThePublishedSchemasAndHashTheSignedProgram) {
    if (std::system("python3 -c 'import jsonschema, yaml' 2>/dev/null") != 0)
        GTEST_SKIP() << "python3-jsonschema or python3-yaml missing (scripts/install-deps.sh installs them)";
    const std::string project = kittest::SaveSmallProject(dir);
    // A signer that changes the program, so that a hash taken before it would not match.
    ProcessResult r = Build(project, dir / "one",
                            {"--single-file", "--sign-command", "printf 'SIGNATURE' >> {file}", "--set", "DisplayVersion=2.1",
                             "--set", "Publisher=Veltor Soft", "--winget-manifest", dir / "manifests", "--installer-url",
                             "https://downloads.example.com/App-2.1.exe", "--license", "Proprietary", "--json"});
    // The appended bytes are no certificate table: the program no longer holds an intact kit,
    // which the build says, and no manifests are written for it.
    EXPECT_EQ(1, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("intact")) << r.err;
    EXPECT_FALSE(fs::exists(dir / "manifests"));

    r = Build(project, dir / "one",
              {"--single-file", "--set", "DisplayVersion=2.1", "--set", "Publisher=Veltor Soft", "--set",
               "Comments=Edits text files", "--winget-manifest", dir / "manifests", "--installer-url",
               "https://downloads.example.com/App-2.1.exe", "--license", "Proprietary", "--json"});
    ASSERT_EQ(0, r.status) << r.err;
    const std::string program = qp::KitPath(dir / "one", "App.exe");
    ASSERT_EQ(0, Validate(dir / "manifests", program, dir / "parsed.json")) << qptest::ReadText(dir / "parsed.json");
    const std::string parsed = qptest::ReadText(dir / "parsed.json");
    for (const char* want : {"\"PackageVersion\": \"2.1\"", "\"Architecture\": \"x86\"", "\"Scope\": \"machine\"",
                             "\"Silent\": \"-s\"", "\"Log\": \"-log \\\"<LOGPATH>\\\"\"", "\"InstallerReturnCode\": 1638",
                             "\"ReturnResponse\": \"cancelledByUser\"",
                             "\"ReturnResponse\": \"installInProgress\"", "\"DisplayVersion\": \"2.1\"",
                             "\"Publisher\": \"Veltor Soft\"", "\"ShortDescription\": \"Edits text files\"",
                             "\"ElevationRequirement\": \"elevationRequired\""})
        EXPECT_NE(std::string::npos, parsed.find(want)) << want << "\n" << parsed;
    EXPECT_NE(std::string::npos, r.out.find("winget_manifests")) << r.out;

    // Without a version the package manager has nothing to list it under.
    const std::string bare = kittest::SaveSmallProject(dir);
    r = Build(bare, dir / "two", {"--single-file", "--winget-manifest", dir / "m2", "--installer-url", "https://x.example/A.exe",
                                  "--license", "MIT"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("DisplayVersion")) << r.err;
}

TEST_F(QpbcOneFile, ProgramSignedWithOsslsigncodeVerifiesAndStillHoldsItsKit) {
    if (std::system("command -v osslsigncode >/dev/null && command -v openssl >/dev/null") != 0)
        GTEST_SKIP() << "osslsigncode or openssl missing (scripts/install-deps.sh installs them)";
    const std::string project = kittest::SaveSmallProject(dir);
    const std::string key = dir / "key.pem", cert = dir / "cert.pem";
    ASSERT_EQ(0, std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=QpTest -keyout '" + key +
                              "' -out '" + cert + "' 2>/dev/null")
                                 .c_str()));
    ProcessResult r = Build(project, dir / "one",
                            {"--single-file", "--set", "DisplayVersion=1.0", "--winget-manifest", dir / "m",
                             "--installer-url", "https://x.example/App.exe", "--license", "MIT", "--sign-command",
                             "osslsigncode sign -certs '" + cert + "' -key '" + key +
                                 "' -in {file} -out {file}.signed && mv {file}.signed {file}"});
    ASSERT_EQ(0, r.status) << r.err;
    const std::string program = qp::KitPath(dir / "one", "App.exe");
    EXPECT_EQ(0, std::system(("osslsigncode verify -CAfile '" + cert + "' -in '" + program + "' >/dev/null 2>&1").c_str()));
    auto src = qp::OpenByteSource(program);
    qp::KitPayload payload;
    std::string why;
    ASSERT_EQ(qp::KitPayloadFound::kFound, qp::FindKitPayload(*src, payload, &why)) << why;
    EXPECT_EQ(qptest::ReadBytes(runtime), qp::PlainRuntime(*src, payload)) << "the plain runtime, unsigned";
    EXPECT_EQ(0, Validate(dir / "m", program, dir / "parsed.json")) << qptest::ReadText(dir / "parsed.json");
}
#endif

}  // namespace
