// "qpbc build" as a release pipeline runs it: the product GUID kept or derived, product strings
// from the command line, the signing step, byte-identical rebuilds and the JSON result.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "builder/kit/kitbuild.h"
#include "builder/model/productcode.h"
#include "common/setuplist.h"
#include "kit_fixture.h"
#include "support/run_process.h"

namespace {

using qptest::ProcessResult;

class QpbcRelease : public ::testing::Test {
protected:
    ProcessResult Run(const std::vector<std::string>& args) { return qptest::RunProcess(QPBC_EXE, args, dir.Str()); }
    // Builds `project` into KITS/`kit` with the stand-in runtime, plus `extra` options.
    ProcessResult Build(const std::string& project, const std::string& kit, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"build", project, "--name", kit, "--kit-root", dir / "KITS", "--runtime", runtime};
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }
    qp::SetupList List(const std::string& kit) {
        return qp::LoadSetupList(qp::KitPath(qp::KitPath(dir / "KITS", kit), "setup.lst"));
    }
    std::string KitFile(const std::string& kit, const std::string& name) {
        return qp::KitPath(qp::KitPath(dir / "KITS", kit), name);
    }
    qptest::TempDir dir;
    std::string runtime = kittest::FakeRuntime(dir);
};

// A directory-style project below `root` with one group holding one file and the given product.
std::string WriteIprTree(const std::string& root, const std::string& product) {
    namespace fs = std::filesystem;
    fs::create_directories(fs::path(root) / "FILE GROUPS");
    fs::create_directories(fs::path(root) / "STRING TABLES" / "0009-English");
    kittest::MakeFile(root + "/data/app.exe", 100);
    const std::string file = (fs::path(root) / "data" / "app.exe").string();
    qptest::WriteText(root + "/quill.ipr", "[Project]\r\nName=Quill\r\n");
    qptest::WriteText(root + "/FILE GROUPS/default.fdf", "[FILEGROUPS]\r\nGROUP0=Program\r\n[Program]\r\nTARGET=<TARGETDIR>\r\n");
    qptest::WriteText(root + "/FILE GROUPS/Program.fgl", "[TOPDIR]\r\nFILE0=" + file + "\r\n");
    qptest::WriteText(root + "/STRING TABLES/default.shl", "[LANGUAGE]\r\nLANG0=0009\r\n[DATA]\r\nENTRY0=PRODUCT_NAME\r\n");
    qptest::WriteText(root + "/STRING TABLES/0009-English/value.shl", "[DATA]\r\nPRODUCT_NAME=" + product + "\r\n");
    return root + "/quill.ipr";
}

TEST_F(QpbcRelease, ImportedTreeGetsTheSameGuidWhereverItIsBuilt) {
    const std::string a = WriteIprTree(dir / "a", "Quill"), b = WriteIprTree(dir / "elsewhere/b", "Quill");
    ProcessResult ra = Build(a, "A"), rb = Build(b, "B");
    ASSERT_EQ(0, ra.status) << ra.err;
    ASSERT_EQ(0, rb.status) << rb.err;
    const std::string guid = List("A").settings.product_guid();
    EXPECT_EQ(38u, guid.size());
    EXPECT_EQ(guid, List("B").settings.product_guid());
    EXPECT_NE(std::string::npos, ra.err.find(guid)) << "the build says which GUID it derived";
    EXPECT_FALSE(std::filesystem::exists(dir / "a/quill.qpk")) << "the import writes no project file";
    // Another product is another identity.
    ASSERT_EQ(0, Build(WriteIprTree(dir / "c", "Quill Pro"), "C").status);
    EXPECT_NE(guid, List("C").settings.product_guid());
}

TEST_F(QpbcRelease, QpkWithoutGuidKeepsTheOneOfItsFirstBuild) {
    const std::string project = kittest::SaveSmallProject(dir);
    const std::vector<std::uint8_t> before = qptest::ReadBytes(project);
    ProcessResult first = Build(project, "K1");
    ASSERT_EQ(0, first.status) << first.err;
    const std::string guid = List("K1").settings.product_guid();
    ASSERT_EQ(38u, guid.size());
    EXPECT_NE(std::string::npos, first.err.find("stored")) << first.err;
    // Only the GUID field changed: magic (36 bytes) and version come before the settings block.
    const std::vector<std::uint8_t> after = qptest::ReadBytes(project);
    ASSERT_EQ(before.size(), after.size());
    constexpr std::size_t kField = 40 + 4;
    EXPECT_EQ(guid, std::string(after.begin() + kField, after.begin() + kField + 38));
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i < kField || i >= kField + 38) {
            ASSERT_EQ(before[i], after[i]) << "byte " << i;
        }
    }

    ProcessResult second = Build(project, "K2");
    ASSERT_EQ(0, second.status) << second.err;
    EXPECT_EQ(guid, List("K2").settings.product_guid());
    EXPECT_EQ(after, qptest::ReadBytes(project));

    // A GUID from the command line serves this build only; written in any case, it reaches the
    // kit in the builder's form.
    ProcessResult given = Build(project, "K3", {"--product-code", "8a3e5f10-2b7c-4d19-9e62-5c0f1a2b3c4d"});
    ASSERT_EQ(0, given.status) << given.err;
    EXPECT_EQ("{8A3E5F10-2B7C-4d19-9E62-5C0F1A2B3C4D}", List("K3").settings.product_guid());
    EXPECT_EQ(after, qptest::ReadBytes(project));
    for (const char* bad : {"{8A3E5F10-2B7C-4D19-9E62-5C0F1A2B3C4}", "8A3E5F102B7C4D199E625C0F1A2B3C4D", "{zA3E5F10-2B7C-4D19-9E62-5C0F1A2B3C4D}"})
        EXPECT_EQ(2, Build(project, "K4", {"--product-code", bad}).status) << bad;
    EXPECT_FALSE(std::filesystem::exists(dir / "KITS/K4"));
}

TEST_F(QpbcRelease, ProjectThatCannotKeepItsNewGuidBuildsNothing) {
    const std::string project = kittest::SaveSmallProject(dir);
    const std::vector<std::uint8_t> before = qptest::ReadBytes(project);
    // A folder where the temporary file would go: the project cannot be rewritten, even by root.
    std::filesystem::create_directory(project + ".qptmp");
    ProcessResult r = Build(project, "K1");
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("--product-code")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "KITS/K1"));
    EXPECT_EQ(before, qptest::ReadBytes(project));
}

TEST_F(QpbcRelease, SetChangesProductStringsForThisBuildOnly) {
    const std::string project = kittest::SaveSmallProject(dir);
    ASSERT_EQ(0, Build(project, "K0").status);  // gives the project its GUID
    const std::vector<std::uint8_t> before = qptest::ReadBytes(project);

    ProcessResult r = Build(project, "K1", {"--set", "DisplayVersion=2.1", "--set=product_version=2.1.0 beta"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("DisplayVersion is not a string of the project")) << r.err;
    EXPECT_EQ(std::string::npos, r.err.find("product_version is not")) << "PRODUCT_VERSION exists, in other case";
    EXPECT_EQ(before, qptest::ReadBytes(project));
    const qp::SetupList list = List("K1");
    for (auto [key, value] : {std::pair<const char*, const char*>{"DisplayVersion", "2.1"}, {"PRODUCT_VERSION", "2.1.0 beta"}}) {
        const qp::StringRecord* s = list.FindString(key);
        ASSERT_TRUE(s) << key;
        EXPECT_EQ(std::vector<std::string>{value}, s->values) << key;
    }

    // Refusals name the key and build nothing.
    for (const char* bad : {"DLG_WELCOME_TITLE=Hi", "nextbut=Go", "9LIVES=x", "BAD KEY=x", "=x", "NOVALUE"}) {
        ProcessResult refused = Build(project, "K2", {"--set", bad});
        EXPECT_EQ(2, refused.status) << bad;
        std::string key = std::string(bad).substr(0, std::string(bad).find('='));
        EXPECT_NE(std::string::npos, refused.err.find(key)) << bad << ": " << refused.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "KITS/K2"));
}

// The example product's tree copied to `to` with the files' own times, as a checkout that
// keeps them would give it.
std::string CopyExample(const std::string& to) {
    namespace fs = std::filesystem;
    const fs::path from = qptest::SourceDir() + "/examples/notepadish";
    fs::create_directories(fs::path(to).parent_path());
    fs::copy(from, to, fs::copy_options::recursive);
    for (const auto& e : fs::recursive_directory_iterator(from))
        if (e.is_regular_file()) fs::last_write_time(fs::path(to) / fs::relative(e.path(), from), fs::last_write_time(e.path()));
    return (fs::path(to) / "notepadish.qpk").string();
}

TEST_F(QpbcRelease, SameTreeGivesByteIdenticalKitsWhenAndWhereverItIsBuilt) {
    const std::string a = CopyExample(dir / "a"), b = CopyExample(dir / "elsewhere/b");
    ASSERT_EQ(0, Build(a, "K1").status);
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));  // past the archive's 2-second clock steps
    ProcessResult r = Run({"build", b, "--name", "K2", "--kit-root", dir / "other/root", "--runtime", runtime});
    ASSERT_EQ(0, r.status) << r.err;
    for (const char* f : {"setup.exe", "setup.lst", "setup.cab"})
        EXPECT_TRUE(qptest::ReadBytes(KitFile("K1", f)) == qptest::ReadBytes(qp::KitPath(dir / "other/root/K2", f)))
            << f << " differs";
}

TEST_F(QpbcRelease, SignCommandRunsOnSetupExeBeforeTheListIsWritten) {
    const std::string project = kittest::SaveSmallProject(dir);
    // The command sees setup.exe (a path with a blank and a quote) and, on Linux, no setup.lst yet.
#ifdef _WIN32
    const std::string check = "if exist {file} (echo signer ran) else (exit 5)";
    const std::string fail = "echo no certificate & exit 3 & rem {file}";
#else
    const std::string check = "test -f {file} && ! test -f \"$(dirname {file})/setup.lst\" && echo signer ran";
    const std::string fail = "echo no certificate; exit 3 {file}";
#endif
    ProcessResult ok = Run({"build", project, "--name", "it's kit", "--kit-root", dir / "KITS", "--runtime", runtime,
                            "--sign-command", check});
    ASSERT_EQ(0, ok.status) << ok.err;
    EXPECT_NE(std::string::npos, ok.err.find("signer ran")) << ok.err;

    ProcessResult failed = Build(project, "K2", {"--sign-command", fail, "--json"});
    EXPECT_EQ(1, failed.status);
    EXPECT_NE(std::string::npos, failed.err.find("no certificate")) << failed.err;
    EXPECT_NE(std::string::npos, failed.err.find("INCOMPLETE")) << failed.err;
    EXPECT_NE(std::string::npos, failed.out.find("exit status 3")) << failed.out;
    EXPECT_EQ(2, Build(project, "K3", {"--sign-command", "signtool sign"}).status) << "no {file}";
}

#ifndef _WIN32
// Under Wine a Linux signer cannot be waited for (see tests/e2e/sign), so the real signer is
// tried on the host with a minimal Windows program as the runtime.
TEST_F(QpbcRelease, KitSignedWithOsslsigncodeVerifies) {
    if (std::system("command -v osslsigncode >/dev/null && command -v openssl >/dev/null") != 0)
        GTEST_SKIP() << "osslsigncode or openssl missing (scripts/install-deps.sh installs them)";
    const std::string project = kittest::SaveSmallProject(dir);
    qptest::WriteBytes(runtime, kittest::MinimalPe());
    const std::string key = dir / "key.pem", cert = dir / "cert.pem";
    ASSERT_EQ(0, std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=QpTest -keyout '" + key +
                              "' -out '" + cert + "' 2>/dev/null")
                                 .c_str()));
    ProcessResult r = Build(project, "K1", {"--sign-command", "osslsigncode sign -certs '" + cert + "' -key '" + key +
                                                                 "' -in {file} -out {file}.signed && mv {file}.signed {file}"});
    ASSERT_EQ(0, r.status) << r.err;
    const std::string exe = KitFile("K1", "setup.exe");
    EXPECT_EQ(0, std::system(("osslsigncode verify -CAfile '" + cert + "' -in '" + exe + "' >/dev/null 2>&1").c_str()));
    EXPECT_NE(0, std::system(("osslsigncode verify -CAfile '" + cert + "' -in '" + runtime + "' >/dev/null 2>&1").c_str()))
        << "the unsigned runtime does not verify, so the check means something";
}

// What scripts read: one JSON object on stdout, read here by Python's json module.
TEST_F(QpbcRelease, JsonResultParsesWhenTheBuildWorksAndWhenItFails) {
    if (std::system("command -v python3 >/dev/null") != 0) GTEST_SKIP() << "python3 missing";
    const std::string project = kittest::SaveSmallProject(dir);
    auto check = [&](const ProcessResult& r, const std::string& python_asserts) {
        qptest::WriteText(dir / "out.json", r.out);
        const std::string cmd = "python3 -c 'import json,sys; o=json.load(open(sys.argv[1])); " + python_asserts +
                                "' '" + (dir / "out.json") + "'";
        return std::system(cmd.c_str());
    };
    ProcessResult ok = Build(project, "K1", {"--json"});
    ASSERT_EQ(0, ok.status) << ok.err;
    const std::string guid = List("K1").settings.product_guid();
    EXPECT_EQ(0, check(ok, "assert o[\"complete\"] is True and o[\"files_archived\"] == 3 and o[\"errors\"] == [] and "
                           "o[\"product_code\"] == \"" + guid + "\" and o[\"kit\"].endswith(\"K1\") and o[\"bytes\"] > 5000"))
        << ok.out;

    std::filesystem::remove(dir / "src/bin/tool.dll");
    ProcessResult missing = Build(project, "K2", {"--json"});
    EXPECT_EQ(1, missing.status);
    EXPECT_EQ(0, check(missing, "assert o[\"complete\"] is False and o[\"exit_status\"] == 1 and "
                                "any(\"tool.dll\" in e for e in o[\"errors\"])"))
        << missing.out;
    ProcessResult usage = Run({"build", project, "--json", "--name"});
    EXPECT_EQ(2, usage.status);
    EXPECT_EQ(0, check(usage, "assert o[\"complete\"] is False and o[\"kit\"] is None and len(o[\"errors\"]) == 1")) << usage.out;
}
#endif

}  // namespace
