// A release build under Wine: the example product's kit built by qpbc with the version from the
// command line and setup.exe signed through --sign-command, installed unattended, its uninstall
// registration checked, and removed again.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "common/setuplist.h"
#include "support/gui_driver.h"
#include "support/run_process.h"
#include "support/testutil.h"

using namespace qpe2e;

namespace {

// The Authenticode signature a signer appends: the PE's certificate table (data directory 4)
// points at a WIN_CERTIFICATE of revision 2.0 holding PKCS#7 signed data.
bool HasSignature(const std::vector<std::uint8_t>& pe) {
    auto u16 = [&](std::size_t at) { return at + 2 <= pe.size() ? unsigned(pe[at] | pe[at + 1] << 8) : 0u; };
    auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    const std::size_t nt = u32(0x3C), opt = nt + 24;
    const std::size_t dirs = opt + (u16(opt) == 0x20B ? 112 : 96);
    const std::size_t cert = u32(dirs + 4 * 8), size = u32(dirs + 4 * 8 + 4);
    return cert != 0 && size >= 8 && cert + size <= pe.size() && u16(cert + 4) == 0x0200 && u16(cert + 6) == 0x0002;
}

TEST(ReleaseKit, SignedKitWithVersionFromTheCommandLineInstallsAndRegistersIt) {
    qptest::TempDir dir;
    namespace fs = std::filesystem;
    fs::copy(fs::path(QP_EXAMPLE_DIR), dir.Path() / "ex", fs::copy_options::recursive);
    const std::string project = dir / "ex\\notepadish.qpk";
    const std::vector<std::uint8_t> before = qptest::ReadBytes(project);
    const std::string root = dir / "kits";

    qptest::ProcessResult b = qptest::RunProcess(
        QP_QPBC_EXE,
        {"build", project, "--name", "Signed", "--kit-root", root, "--runtime", QP_SETUP_EXE, "--set", "DisplayVersion=2.1",
         "--sign-command", QP_SIGN_CMD " {file}"},
        dir.Str());
    ASSERT_EQ(0, b.status) << b.out << b.err;
    EXPECT_NE(std::string::npos, b.err.find("Succeeded")) << "osslsigncode verify, run by the sign command: " << b.err;
    EXPECT_EQ(before, qptest::ReadBytes(project)) << "--set does not write the project";
    const std::string kit = root + "\\Signed";
    EXPECT_TRUE(HasSignature(qptest::ReadBytes(kit + "\\setup.exe")));
    EXPECT_FALSE(HasSignature(qptest::ReadBytes(QP_SETUP_EXE)));

    const std::string guid = qp::LoadSetupList(kit + "\\setup.lst").settings.product_guid();
    const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + guid;
    ASSERT_EQ(0u, Process("\"" + kit + "\\setup.exe\" -s", kit).Wait(120000));
    EXPECT_EQ("2.1", RegText(key, "DisplayVersion"));

    const std::string quiet = RegText(key, "QuietUninstallString");
    EXPECT_EQ(0u, Process(quiet).Wait(60000)) << quiet;
    for (int i = 0; i < 100 && RegText(key, "DisplayVersion") != "<no key>"; ++i) Sleep(100);
    EXPECT_EQ("<no key>", RegText(key, "DisplayVersion"));
}

}  // namespace
