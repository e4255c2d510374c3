// A one-file kit under Wine: the example product built by qpbc into one signed program with its
// package-manager manifests, copied alone into an empty folder, installed unattended and through
// the wizard, removed by the quiet uninstaller; cut copies refused with the bad-kit message.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <filesystem>

#include "builder/kit/sha256.h"
#include "support/gui_driver.h"
#include "support/run_process.h"
#include "support/testutil.h"

using namespace qpe2e;

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
    return out;
}

std::string LogText(const std::string& path) { return Exists(path) ? qptest::ReadText(path) : "<no log>"; }

// Where the example product installs its program file: its own value under HKEY_CURRENT_USER.
std::string InstallDir() {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Notepadish", 0, KEY_READ, &k) != ERROR_SUCCESS) return "";
    char buf[MAX_PATH] = {};
    DWORD size = sizeof(buf) - 1;
    RegQueryValueExA(k, "InstallDir", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    return buf;
}

class OneFileKit : public ::testing::Test {
protected:
    // The example built once into one signed program, for every test of this file.
    static void SetUpTestSuite() {
        dir_ = new qptest::TempDir;
        fs::copy(fs::path(QP_EXAMPLE_DIR), dir_->Path() / "ex", fs::copy_options::recursive);
        build_ = qptest::RunProcess(
            QP_QPBC_EXE,
            {"build", *dir_ / "ex\\notepadish.qpk", "--name", "Notepadish-3.2", "--kit-root", *dir_ / "kits", "--runtime",
             QP_SETUP_EXE, "--single-file", "--set", "DisplayVersion=3.2", "--sign-command", QP_SIGN_CMD " {file}",
             "--winget-manifest", *dir_ / "manifests", "--installer-url", "https://downloads.example.com/Notepadish-3.2.exe",
             "--license", "Proprietary", "--json"},
            dir_->Str());
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static std::string Program() { return *dir_ / "kits\\Notepadish-3.2.exe"; }
    // The program copied alone into the empty folder `name`; its path there.
    std::string Alone(const std::string& name) {
        const std::string folder = *dir_ / name;
        fs::create_directories(folder);
        const std::string copy = folder + "\\Notepadish-3.2.exe";
        EXPECT_TRUE(CopyFileA(Program().c_str(), copy.c_str(), FALSE));
        return copy;
    }
    static std::string Key() {
        // The example's product GUID, as the build's JSON gives it.
        const std::string& o = build_.out;
        const std::size_t at = o.find("\"product_code\": \"");
        return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + o.substr(at + 17, 38);
    }
    static std::string InfoFolder() {
        char buf[MAX_PATH] = {};
        SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, buf);
        return std::string(buf) + "\\QPBInformation\\" + Key().substr(Key().rfind('\\') + 1);
    }
    void ExpectInstalledFrom(const std::string& program, const std::string& folder) {
        EXPECT_EQ("3.2", RegText(Key(), "DisplayVersion"));
        EXPECT_EQ(program, RegText(Key(), "MediaPath")) << "the one program is the media";
        EXPECT_EQ(std::vector<std::string>{"Notepadish-3.2.exe"}, Names(folder)) << "nothing written beside the program";
        EXPECT_TRUE(Exists(InstallDir() + "\\notepadish.txt")) << InstallDir();
        // The information folder holds the plain runtime, not the kit it was carried in.
        const std::string info = InfoFolder();
        EXPECT_TRUE(qptest::ReadBytes(info + "\\setup.exe") == qptest::ReadBytes(QP_SETUP_EXE));
        std::uintmax_t total = 0;
        for (const auto& e : fs::directory_iterator(info)) total += fs::file_size(e.path());
        EXPECT_LT(total, fs::file_size(QP_SETUP_EXE) + 64 * 1024) << "setup.exe, setup.lst and the log only";
    }
    void RemoveQuietly() {
        const std::string quiet = RegText(Key(), "QuietUninstallString");
        EXPECT_EQ(0u, Process(quiet).Wait(60000)) << quiet;
        for (int i = 0; i < 100 && Exists(InfoFolder()); ++i) Sleep(100);
        EXPECT_EQ("<no key>", RegText(Key(), "DisplayVersion"));
        EXPECT_FALSE(Exists(InfoFolder()));
        EXPECT_FALSE(Exists(InstallDir() + "\\notepadish.txt"));
    }
    static qptest::TempDir* dir_;
    static qptest::ProcessResult build_;
};
qptest::TempDir* OneFileKit::dir_ = nullptr;
qptest::ProcessResult OneFileKit::build_;

TEST_F(OneFileKit, BuildSignsTheProgramAndWritesManifestsThatHashIt) {
    ASSERT_EQ(0, build_.status) << build_.out << build_.err;
    EXPECT_NE(std::string::npos, build_.err.find("Succeeded")) << "osslsigncode verify, run by the sign command: " << build_.err;
    EXPECT_FALSE(Exists(*dir_ / "kits\\Notepadish-3.2")) << "no kit folder";
    // The identifier comes from the example's publisher and product names.
    const std::string installer = qptest::ReadText(*dir_ / "manifests\\Veltor.Notepadish.installer.yaml");
    EXPECT_NE(std::string::npos, installer.find("InstallerSha256: \"" + qp::FileSha256(Program()) + "\"")) << installer;
    EXPECT_NE(std::string::npos, installer.find(QP_ARCH_NAME)) << installer;
    EXPECT_NE(std::string::npos, installer.find("ElevationRequirement: elevatesSelf")) << "the runtime asks for administrator rights";
    EXPECT_TRUE(Exists(*dir_ / "manifests\\Veltor.Notepadish.yaml"));
    EXPECT_TRUE(Exists(*dir_ / "manifests\\Veltor.Notepadish.locale.en-US.yaml"));
}

TEST_F(OneFileKit, AloneInAnEmptyFolderInstallsUnattendedAndIsRemovedQuietly) {
    ASSERT_EQ(0, build_.status) << build_.err;
    const std::string program = Alone("download"), log = *dir_ / "run.log";
    ASSERT_EQ(0u, Process("\"" + program + "\" -s -log \"" + log + "\"", *dir_ / "download").Wait(120000)) << LogText(log);
    ExpectInstalledFrom(program, *dir_ / "download");
    RemoveQuietly();
}

TEST_F(OneFileKit, AloneInAnEmptyFolderInstallsThroughTheWizard) {
    ASSERT_EQ(0, build_.status) << build_.err;
    const std::string program = Alone("wizard");
    Process p("\"" + program + "\"", *dir_ / "wizard");
    HWND lang = WaitTop(p.Id(), "#32770", "Select Language");
    ASSERT_TRUE(lang);
    EXPECT_TRUE(FindTop(p.Id(), "CALDS", "Setup")) << "the splash of the setup.bmp inside the program";
    Screenshot("onefile-00-language");
    Press(lang, IDOK);
    int shown = 0;
    const std::vector<std::string> titles = PressNextToTheEnd(p, [&](HWND page) {
        if (ItemText(page, 1033) == "License Agreement") {
            EXPECT_NE(std::string::npos, ItemText(page, 1007).find("Notepadish")) << "the licence inside the program";
        }
        Screenshot("onefile-" + std::to_string(++shown));
    });
    ASSERT_EQ(0u, p.Wait(30000));
    CloseShownFolderWindows();
    EXPECT_GE(titles.size(), 4u);
    ExpectInstalledFrom(program, *dir_ / "wizard");
    RemoveQuietly();
}

TEST_F(OneFileKit, CutCopiesStopWithTheBadKitMessageAndStatus1603) {
    ASSERT_EQ(0, build_.status) << build_.err;
    const std::vector<std::uint8_t> whole = qptest::ReadBytes(Program());
    const std::size_t runtime = static_cast<std::size_t>(fs::file_size(QP_SETUP_EXE));
    struct Cut {
        const char* name;
        std::size_t keep;
    } cuts[] = {
        {"half", runtime + (whole.size() - runtime) / 2},  // a download broken off in the kit
        {"signature", whole.size() - 100},                 // in the certificate table
    };
    for (const Cut& c : cuts) {
        const std::string folder = *dir_ / (std::string("cut-") + c.name), log = folder + "\\run.log";
        fs::create_directories(folder);
        const std::string program = folder + "\\Notepadish-3.2.exe";
        qptest::WriteBytes(program, std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(c.keep)));
        EXPECT_EQ(1603u, Process("\"" + program + "\" -s -log \"" + log + "\"", folder).Wait(60000)) << c.name;
        EXPECT_NE(std::string::npos, LogText(log).find("Bad Instalation file")) << c.name << ": " << LogText(log);
        EXPECT_EQ("<no key>", RegText(Key(), "DisplayVersion")) << c.name;
    }
    // Through the wizard the same message is shown in a box.
    const std::string folder = *dir_ / "cut-shown";
    fs::create_directories(folder);
    const std::string program = folder + "\\Notepadish-3.2.exe";
    qptest::WriteBytes(program, std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cuts[0].keep)));
    Process p("\"" + program + "\"", folder);
    HWND box = WaitTop(p.Id(), "#32770", "Fatal Error !");
    ASSERT_TRUE(box);
    EXPECT_NE(std::string::npos, BoxText(box).find("Bad Instalation file"));
    Screenshot("onefile-cut");
    Press(box, IDOK);
    EXPECT_EQ(1603u, p.Wait(30000));
}

}  // namespace
