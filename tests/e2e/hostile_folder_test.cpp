// setup.exe run from a download folder that holds more than the kit: DLLs and an "explorer.exe"
// planted beside it never run; a finished install stays finished however the wizard is closed;
// the install goes to the system's own program folder for the runtime's architecture.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include "support/gui_driver.h"
#include "e2e/kit_builder.h"
#include "kitzip/zip_writer.h"
#include "setup/engine/driver.h"
#include "support/testutil.h"
#include "wizard/unmanaged_windows.h"

using namespace qpe2e;

static const int g_unmanaged = qptest::RunWithUnmanagedWindows();

namespace {

// A product of its own, so that nothing here meets the other end-to-end runs' product.
constexpr char kHostileGuid[] = "{5E2E0024-0C1D-4A1B-9f00-00000000E2E4}";
const std::string kUninstallKey =
    std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kHostileGuid;

// Every DLL that Wine reported the runtime loading (WINEDEBUG=+loaddll, an interactive install
// with the program folder opened at the end, and an unattended one, in both architectures),
// and the names that installers were attacked through on Windows.
const char* const kPlantedDlls[] = {
    // Reported by Wine for setup.exe (and the explorer it opens).
    "advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "kernelbase.dll", "msvcrt.dll", "ole32.dll",
    "shell32.dll", "user32.dll", "shcore.dll", "shlwapi.dll", "combase.dll", "rpcrt4.dll", "sechost.dll",
    "imm32.dll", "uxtheme.dll", "version.dll", "msimg32.dll", "oleaut32.dll", "ucrtbase.dll", "win32u.dll",
    "winex11.drv", "actxprxy.dll", "windowscodecs.dll", "propsys.dll", "explorerframe.dll",
    // Names that installers were attacked through on Windows.
    "dwmapi.dll", "userenv.dll", "profapi.dll", "cryptbase.dll", "winmm.dll", "setupapi.dll",
    "textshaping.dll", "wintypes.dll", "msctf.dll", "oleacc.dll", "apphelp.dll", "windows.storage.dll",
    "comdlg32.dll", "mpr.dll", "netapi32.dll", "bcrypt.dll", "cfgmgr32.dll", "dnsapi.dll",
};

std::string ShellFolder(int csidl) {
    char buf[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, buf);
    return buf;
}

// A company of its own too, so that the product's folder is not the other runs' either.
constexpr char kHostileCompany[] = "E2E Hostile Vendor";

std::string Target(const std::string& program_files) {
    return program_files + "\\" + kHostileCompany + "\\" + kProduct;
}

bool KeyExists(const std::string& key, REGSAM view = 0) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

std::string LogText(const std::string& path) {
    return Exists(path) ? qptest::ReadText(path) : std::string("<no log>");
}

// The markers left by plants that ran, by name.
std::string Markers(const std::string& folder) {
    std::string found;
    WIN32_FIND_DATAA fd;
    for (const char* pattern : {"\\*.loaded", "\\*.ran"}) {
        HANDLE h = FindFirstFileA((folder + pattern).c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) continue;
        do found += std::string(" ") + fd.cFileName;
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    return found;
}

// Private copies and self-delete helpers' folders left in the temporary folder.
std::string PrivateCopiesLeft() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string found;
    WIN32_FIND_DATAA fd;
    for (const char* pattern : {"qp-run-*", "qp-del-*"}) {
        HANDLE h = FindFirstFileA((std::string(temp) + pattern).c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) continue;
        do found += std::string(" ") + fd.cFileName;
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    return found;
}

BOOL CALLBACK CloseFolderWindow(HWND w, LPARAM) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof(cls));
    if (strcmp(cls, "ExplorerWClass") == 0 || strcmp(cls, "CabinetWClass") == 0) PostMessageA(w, WM_CLOSE, 0, 0);
    return TRUE;
}

void CloseFolderWindows() {
    Settle(1500);
    EnumWindows(CloseFolderWindow, 0);
}

// The sample product with only the confirmation page before the install.
qp::SetupList QuickList() {
    qp::SetupList list = SampleList();
    list.settings.set_product_guid(kHostileGuid);
    list.settings.set_page_mask(1u << 8);
    for (auto& str : list.strings)
        if (str.key == "COMPANY_NAME") str.values = {kHostileCompany};
    return list;
}

// Presses Yes on a "Quillpack" question if one comes up within `ms`. True when one came.
bool AnswerYesIfAsked(DWORD pid, DWORD ms) {
    if (HWND box = WaitTop(pid, "#32770", "Quillpack", ms)) {
        Press(box, IDYES);
        Settle();
        return true;
    }
    return false;
}

class HostileFolder : public ::testing::Test {
protected:
    void SetUp() override {
        kit_ = dir_.Str() + "\\Downloads";
        CreateDirectoryA(kit_.c_str(), nullptr);
    }
    void TearDown() override {
        // Whatever a test left installed goes, so that the next one starts clean.
        for (REGSAM view : {REGSAM(KEY_WOW64_32KEY), REGSAM(KEY_WOW64_64KEY)}) {
            const std::string quiet = RegText(kUninstallKey, "QuietUninstallString", view);
            if (Found(quiet)) Process(quiet).Wait(60000);
        }
    }
    std::string Setup() const { return "\"" + kit_ + "\\setup.exe\""; }
    // Walks a QuickList kit from the language dialog to the report page.
    HWND ToReportPage(Process& p) {
        HWND lang = WaitTop(p.Id(), "#32770", "Select Language");
        if (!lang) return nullptr;
        Press(lang, IDOK);
        HWND page = WaitPage(p.Id(), "Start Copying Files");
        if (!page) return nullptr;
        Press(page, 1003);
        return WaitPage(p.Id(), "Installation Report", 60000);
    }
    qptest::TempDir dir_;
    std::string kit_;
};

}  // namespace

TEST_F(HostileFolder, PlantedDllsAndExplorerNeverRun) {
    WriteKit(kit_, QuickList());
    for (const char* name : kPlantedDlls)
        ASSERT_TRUE(CopyFileA(QP_PLANT_DLL, (kit_ + "\\" + name).c_str(), FALSE)) << name;
    ASSERT_TRUE(CopyFileA(QP_PLANT_EXE, (kit_ + "\\explorer.exe").c_str(), FALSE));
    const std::string target = Target(ShellFolder(CSIDL_PROGRAM_FILES));

    // Interactive, to the end, where the program folder is opened in the explorer.
    {
        Process p(Setup(), kit_);
        ASSERT_TRUE(p.Started());
        HWND page = ToReportPage(p);
        ASSERT_TRUE(page);
        Press(page, 1003);
        page = WaitPage(p.Id(), "Quillpacker Wizard Complete");
        ASSERT_TRUE(page);
        Press(page, 1003);
        EXPECT_EQ(p.Wait(30000), 0u);
        CloseFolderWindows();
    }
    EXPECT_TRUE(Exists(target + "\\app.txt"));
    EXPECT_EQ(Markers(kit_), "") << "planted code ran in the interactive run";
    EXPECT_EQ(PrivateCopiesLeft(), "");
    const std::string quiet = RegText(kUninstallKey, "QuietUninstallString");
    ASSERT_TRUE(Found(quiet));
    EXPECT_EQ(Process(quiet).Wait(60000), 0u);

    // Unattended, started from the kit folder as current folder too.
    const std::string log = dir_.Str() + "\\run.log";
    EXPECT_EQ(Process(Setup() + " -s -log \"" + log + "\"", kit_).Wait(60000), 0u) << LogText(log);
    EXPECT_TRUE(Exists(target + "\\app.txt"));
    EXPECT_EQ(Markers(kit_), "") << "planted code ran in the unattended run";
    EXPECT_EQ(PrivateCopiesLeft(), "");
}

TEST_F(HostileFolder, ClosingTheWizardAfterTheInstallKeepsTheInstall) {
    WriteKit(kit_, QuickList());
    const std::string target = Target(ShellFolder(CSIDL_PROGRAM_FILES));
    Process p(Setup(), kit_);
    HWND page = ToReportPage(p);
    ASSERT_TRUE(page);
    // Esc, then Alt+F4's message, on the report page; any question is answered Yes.
    PostMessageA(page, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(page, WM_KEYUP, VK_ESCAPE, 0);
    const bool asked_on_report = AnswerYesIfAsked(p.Id(), 3000);
    Screenshot("hostile-report-after-esc");
    if (p.Wait(0) == STILL_ACTIVE) {
        PostMessageA(page, WM_CLOSE, 0, 0);
        AnswerYesIfAsked(p.Id(), 2000);
    }
    EXPECT_FALSE(asked_on_report) << "\"Abort Setup?\" on the report page";
    if (p.Wait(0) == STILL_ACTIVE && IsWindow(page)) {
        Press(page, 1003);
        page = WaitPage(p.Id(), "Quillpacker Wizard Complete");
        ASSERT_TRUE(page);
        PostMessageA(page, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_FALSE(AnswerYesIfAsked(p.Id(), 2000)) << "\"Abort Setup?\" on the last page";
        if (p.Wait(0) == STILL_ACTIVE) Press(page, 1003);
    }
    EXPECT_EQ(p.Wait(30000), 0u);
    CloseFolderWindows();
    EXPECT_TRUE(Exists(target + "\\app.txt")) << "the installed files stay";
    EXPECT_TRUE(KeyExists(kUninstallKey)) << "the product stays registered";
}

// The runtime of each architecture installs into the system's folder for programs of that
// architecture: on 64-bit Windows "Program Files (x86)" for the x86 runtime; and wherever the
// system says that folder is (localised systems name it differently).
TEST_F(HostileFolder, ProgramFilesOfTheRuntimesArchitecture) {
    struct Row {
        const char* what;
        std::string runtime;
        REGSAM view;  // the registry view the runtime sees
        int folder;   // the shell's name for its program folder, as this test sees it
    };
    std::vector<Row> rows = {{"this build's runtime", QP_SETUP_EXE, 0, CSIDL_PROGRAM_FILES}};
#ifdef _WIN64
    // Only the prefix that runs 32-bit programs (setup_wow64_e2e_test) has the x86 runtime's row.
    if (GetEnvironmentVariableA("QP_WINE_WOW64", nullptr, 0) != 0) {
        if (!Exists(QP_X86_SETUP_EXE)) GTEST_SKIP() << "no x86 runtime at " << QP_X86_SETUP_EXE << " (the i686 tree)";
        rows = {{"the x86 runtime on 64-bit Windows", QP_X86_SETUP_EXE, KEY_WOW64_32KEY, CSIDL_PROGRAM_FILESX86}};
    }
#endif
    const char* const kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    const std::string localised = "C:\\Programme";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string system_folder = ShellFolder(row.folder);
        ASSERT_FALSE(system_folder.empty());
        HKEY cv;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersion, 0, KEY_READ | KEY_WRITE | row.view, &cv),
                  ERROR_SUCCESS);
        const std::string before = RegText(kCurrentVersion, "ProgramFilesDir", row.view);
        for (const std::string& folder : {system_folder, localised}) {
            SCOPED_TRACE(folder);
            // A system in another language: the folder under the name that system gives it.
            if (folder == localised)
                RegSetValueExA(cv, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                               static_cast<DWORD>(folder.size() + 1));
            WriteKit(kit_, QuickList());
            ASSERT_TRUE(CopyFileA(row.runtime.c_str(), (kit_ + "\\setup.exe").c_str(), FALSE));
            const std::string log = dir_.Str() + "\\pf.log";
            EXPECT_EQ(Process(Setup() + " -s -log \"" + log + "\"", kit_).Wait(60000), 0u) << LogText(log);
            EXPECT_TRUE(Exists(Target(folder) + "\\app.txt")) << LogText(log);
            EXPECT_TRUE(Exists(folder + "\\QPBInformation\\" + kHostileGuid + "\\setup.exe"));
            EXPECT_TRUE(KeyExists(kUninstallKey, row.view)) << "registered in the view the runtime sees";
            const std::string quiet = RegText(kUninstallKey, "QuietUninstallString", row.view);
            EXPECT_EQ(Process(quiet).Wait(60000), 0u) << quiet;
            EXPECT_FALSE(Exists(Target(folder) + "\\app.txt"));
        }
        if (before.empty())
            RegDeleteValueA(cv, "ProgramFilesDir");
        else
            RegSetValueExA(cv, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(before.c_str()),
                           static_cast<DWORD>(before.size() + 1));
        RegCloseKey(cv);
    }
    for (const char* left : {"\\E2E Hostile Vendor\\Gizmo", "\\E2E Hostile Vendor", "\\QPBInformation", ""})
        RemoveDirectoryA((localised + left).c_str());
}

// Readers of the runtime take only ordinary files of a bounded size: an over-long setup list
// gives the bad-file message at once instead of being read into memory.
// A download folder named in a script that the system's ANSI code page lacks (Cyrillic on a
// Western system): the kit installs, and the registration names a folder that exists.
TEST_F(HostileFolder, KitInAFolderNamedInAnotherScriptInstalls) {
    std::wstring folder(kit_.begin(), kit_.end());
    folder += L"\\\u0417\u0430\u0433\u0440\u0443\u0437\u043a\u0438";  // "Downloads" in Russian
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    wchar_t short_form[MAX_PATH] = {};
    const DWORD n = GetShortPathNameW(folder.c_str(), short_form, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    WriteKit(std::string(short_form, short_form + n), QuickList());

    const std::string log = dir_.Str() + "\\script.log";
    std::wstring line = L"\"" + folder + L"\\setup.exe\" -s -log \"" + std::wstring(log.begin(), log.end()) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi));
    CloseHandle(pi.hThread);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u) << LogText(log);
    EXPECT_TRUE(Exists(Target(ShellFolder(CSIDL_PROGRAM_FILES)) + "\\app.txt")) << LogText(log);
    const std::string media = RegText(kUninstallKey, "MediaPath");
    const DWORD a = GetFileAttributesA(media.c_str());
    EXPECT_TRUE(a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) << "MediaPath " << media;
}

TEST_F(HostileFolder, OverLongSetupListIsRefusedAtStart) {
    WriteKit(kit_, QuickList());
    const std::string list = kit_ + "\\setup.lst";
    HANDLE h = CreateFileA(list.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = (64ll << 20) + 1;
    SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
    const std::string log = dir_.Str() + "\\long.log";
    EXPECT_EQ(Process(Setup() + " -s -log \"" + log + "\"", kit_).Wait(60000),
              static_cast<DWORD>(qp::setup::kExitStartFailed));
    EXPECT_NE(LogText(log).find(list + " Instalation file error!"), std::string::npos) << LogText(log);
}

namespace {

// The sample product on the small drive of full_disk.sh, with files too big for it all: the
// first fits, the other two do not.
std::string FullDiskKit(const std::string& kit, const std::string& drive) {
    qp::SetupList list = QuickList();
    list.groups[0].destination = drive + "\\Gizmo";
    list.groups[1].destination = drive + "\\Gizmo\\Help";
    WriteKit(kit, list);
    const std::string src = kit + "\\payload";
    unsigned seed = 24;
    for (const char* name : {"app.txt", "manual.txt", "help.txt"}) {
        std::vector<std::uint8_t> bytes(100 * 1024);
        for (auto& b : bytes) b = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
        qptest::WriteBytes(src + "\\" + name, bytes);
    }
    kitzip::ZipWriter zip(kit + "\\setup.cab");
    zip.AddFile(src + "\\app.txt", "Program Files/app.txt", 0);
    zip.AddFile(src + "\\manual.txt", "Program Files/docs/manual.txt", 0);
    zip.AddFile(src + "\\help.txt", "Help Files/help.txt", 0);
    zip.Close();
    return drive + "\\Gizmo";
}

std::string FullDrive() {
    char drive[16] = {};
    return GetEnvironmentVariableA("QP_FULL_DISK", drive, sizeof drive) ? drive : "";
}

}  // namespace

// A disk that fills up half-way: the user is asked once; Abort leaves nothing of the run,
// Ignore completes with the files-failed status.
TEST_F(HostileFolder, FullDiskAsksOnce) {
    const std::string drive = FullDrive();
    if (drive.empty()) GTEST_SKIP() << "no small drive (run as setup_fulldisk_e2e_test)";
    struct Row {
        int answer;
        DWORD status;
    } rows[] = {{IDABORT, static_cast<DWORD>(qp::setup::kExitCancelled)},
                {IDIGNORE, static_cast<DWORD>(qp::setup::kExitFilesFailed)}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.answer == IDABORT ? "Abort" : "Ignore");
        const std::string folder = FullDiskKit(kit_, drive);
        Process p(Setup(), kit_);
        HWND lang = WaitTop(p.Id(), "#32770", "Select Language");
        ASSERT_TRUE(lang);
        Press(lang, IDOK);
        HWND page = WaitPage(p.Id(), "Start Copying Files");
        ASSERT_TRUE(page);
        Press(page, 1003);
        HWND box = WaitTop(p.Id(), "#32770", "Failed to copy file", 60000);
        ASSERT_TRUE(box);
        EXPECT_NE(BoxText(box).find("CANT COPY"), std::string::npos) << BoxText(box);
        Screenshot(row.answer == IDABORT ? "fulldisk-question" : "fulldisk-question-ignore");
        Press(box, row.answer);
        if (row.answer == IDIGNORE) {
            page = WaitPage(p.Id(), "Installation Report", 60000);
            ASSERT_TRUE(page);
            EXPECT_FALSE(FindTop(p.Id(), "#32770", "Failed to copy file")) << "asked a second time";
            Press(page, 1003);
            page = WaitPage(p.Id(), "Quillpacker Wizard Complete");
            ASSERT_TRUE(page);
            Press(page, 1003);
        } else {
            for (int i = 0; i < 40 && p.Wait(0) == STILL_ACTIVE; ++i) {
                EXPECT_FALSE(FindTop(p.Id(), "#32770", "Failed to copy file")) << "asked a second time";
                Sleep(50);
            }
        }
        EXPECT_EQ(p.Wait(60000), row.status);
        CloseFolderWindows();
        if (row.answer == IDABORT) {
            EXPECT_FALSE(Exists(folder)) << "the run's folders go too";
            EXPECT_FALSE(KeyExists(kUninstallKey));
            EXPECT_FALSE(Exists(ShellFolder(CSIDL_PROGRAM_FILES) + "\\QPBInformation\\" + kHostileGuid));
        } else {
            EXPECT_TRUE(Exists(folder + "\\app.txt"));
            const std::string quiet = RegText(kUninstallKey, "QuietUninstallString");
            EXPECT_EQ(Process(quiet).Wait(60000), 0u);
        }
    }
    // Unattended: every failure in the log, status 1.
    const std::string folder = FullDiskKit(kit_, drive);
    const std::string log = dir_.Str() + "\\full.log";
    EXPECT_EQ(Process(Setup() + " -s -log \"" + log + "\"", kit_).Wait(60000),
              static_cast<DWORD>(qp::setup::kExitFilesFailed));
    const std::string text = LogText(log);
    for (const std::string& failed : {folder + "\\docs\\manual.txt", folder + "\\Help\\help.txt"})
        EXPECT_NE(text.find("CANT COPY  " + failed), std::string::npos) << text;
    EXPECT_TRUE(Exists(folder + "\\app.txt"));
}

namespace {

// Holds a file open as a writer does while it extracts.
struct HeldOpen {
    explicit HeldOpen(const std::string& path)
        : h(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                        nullptr)) {}
    ~HeldOpen() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    HANDLE h;
};

}  // namespace

// A run killed half-way leaves files written beside their final names. The next run of the
// product removes them: only names of that form beside the product's own files, none that
// someone holds open, nothing while another run of the product is going, never through a link.
TEST_F(HostileFolder, KilledRunsTemporaryFilesGoWithTheNextRun) {
    WriteKit(kit_, QuickList());
    const std::string log = dir_.Str() + "\\sweep.log";
    const std::string run = Setup() + " -s -log \"" + log + "\"";
    ASSERT_EQ(Process(run, kit_).Wait(60000), 0u) << LogText(log);
    const std::string target = Target(ShellFolder(CSIDL_PROGRAM_FILES));
    const std::string info = ShellFolder(CSIDL_PROGRAM_FILES) + "\\QPBInformation\\" + kHostileGuid;
    ASSERT_TRUE(Exists(target + "\\app.txt"));
    const std::string victim = dir_.Str() + "\\victim.txt";
    qptest::WriteText(victim, "not the product's");

    struct Row {
        std::string path;
        bool goes;
    };
    const std::vector<Row> rows = {
        {target + "\\app.txt.qz0", true},     // a replaced file's new content, never renamed
        {target + "\\APP.TXT.qz12", true},    // names compare without case
        {info + "\\setup.exe.qpnew", true},   // the information folder's runtime, never renamed
        {info + "\\setup.lst.qpnew", true},
        {target + "\\app.txt.qz5", false},    // held open below: a writer still at it
        {target + "\\other.txt.qz0", false},  // beside no file of the product
        {target + "\\app.txt.qz007", false},  // not a name the extractor gives
        {target + "\\app.txt.qzx", false},
        {target + "\\app.txt.tmp", false},
    };
    auto plant = [&] {
        for (const Row& row : rows) qptest::WriteText(row.path, "left");
    };
    const std::string link = target + "\\app.txt.qz1";
    auto plant_link = [&] { return CreateSymbolicLinkA(link.c_str(), victim.c_str(), 0) != 0; };

    // Another run of the product going: this one says so, changes nothing and ends with 1618,
    // unattended and through its message alike.
    plant();
    {
        const std::string name = std::string("Global\\Quillpack.Run.") + kHostileGuid;
        HANDLE other = CreateMutexA(nullptr, FALSE, name.c_str());
        ASSERT_TRUE(other);
        EXPECT_EQ(Process(run, kit_).Wait(60000), 1618u) << LogText(log);
        EXPECT_NE(LogText(log).find("another setup of this product is running"), std::string::npos) << LogText(log);
        Process p(Setup(), kit_);
        HWND box = nullptr;
        EXPECT_TRUE(WaitFor([&] {
            box = FindTop(p.Id(), "#32770", "");
            return box && BoxText(box).find("Another setup of Gizmo is running.") != std::string::npos;
        })) << (box ? BoxText(box) : "no message");
        Screenshot("hostile-another-run");
        if (box) Press(box, IDOK);
        EXPECT_EQ(p.Wait(30000), 1618u);
        CloseHandle(other);
    }
    for (const Row& row : rows) EXPECT_TRUE(Exists(row.path)) << row.path << " went while another run was going";

    // Alone: what a killed run left goes, the rest stays.
    const bool linked = plant_link();
    {
        HeldOpen held(target + "\\app.txt.qz5");
        ASSERT_NE(held.h, INVALID_HANDLE_VALUE);
        EXPECT_EQ(Process(run, kit_).Wait(60000), 0u) << LogText(log);
    }
    for (const Row& row : rows) EXPECT_EQ(Exists(row.path), !row.goes) << row.path;
    EXPECT_NE(LogText(log).find("Removed the temporary file " + target + "\\app.txt.qz0"), std::string::npos)
        << LogText(log);
    if (linked) {
        EXPECT_EQ(qptest::ReadText(victim), "not the product's") << "a link was followed";
    }
    EXPECT_EQ(qptest::ReadText(target + "\\app.txt").find("left"), std::string::npos);
    for (const Row& row : rows) DeleteFileA(row.path.c_str());
    DeleteFileA(link.c_str());
}

// A product that an older x86 runtime installed on 64-bit Windows has its folders under the
// 64-bit "Program Files" (that runtime built the path from the system drive); its registration
// says where. The new runtime finds the information folder there: maintenance, an upgrade and
// the removal work, and the removal leaves nothing in either program folder.
TEST_F(HostileFolder, ProgramFilesOfAnOlderX86RuntimesProductIsFound) {
#ifdef _WIN64
    if (GetEnvironmentVariableA("QP_WINE_WOW64", nullptr, 0) == 0)
        GTEST_SKIP() << "only in the prefix that runs 32-bit programs (setup_wow64_e2e_test)";
    if (!Exists(QP_X86_SETUP_EXE)) GTEST_SKIP() << "no x86 runtime at " << QP_X86_SETUP_EXE << " (the i686 tree)";
    const char* const kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    const std::string native = ShellFolder(CSIDL_PROGRAM_FILES), x86 = ShellFolder(CSIDL_PROGRAM_FILESX86);
    ASSERT_NE(native, x86);
    const std::string old_target = Target(native), old_info = native + "\\QPBInformation\\" + kHostileGuid;
    const std::string log = dir_.Str() + "\\old.log";
    auto silent = [&](const std::string& kit) {
        return Process("\"" + kit + "\\setup.exe\" -s -log \"" + log + "\"", kit).Wait(60000);
    };
    auto x86_kit = [&](const std::string& version, const std::string& app) {
        const std::string kit = dir_.Str() + "\\kit" + version;
        CreateDirectoryA(kit.c_str(), nullptr);
        qp::SetupList list = QuickList();
        list.strings.push_back({"DisplayVersion", "", {version}});
        WriteKitWith(kit, list, {{"Program Files/app.txt", app}, {"Program Files/docs/manual.txt", "manual"},
                                 {"Help Files/help.txt", "help"}});
        EXPECT_TRUE(CopyFileA(QP_X86_SETUP_EXE, (kit + "\\setup.exe").c_str(), FALSE));
        return kit;
    };
    // The older runtime's layout: the x86 runtime told that programs go to the 64-bit folder.
    {
        HKEY cv;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersion, 0, KEY_READ | KEY_WRITE | KEY_WOW64_32KEY, &cv),
                  ERROR_SUCCESS);
        const std::string before = RegText(kCurrentVersion, "ProgramFilesDir", KEY_WOW64_32KEY);
        RegSetValueExA(cv, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(native.c_str()),
                       static_cast<DWORD>(native.size() + 1));
        const DWORD status = silent(x86_kit("1.0", "app 1.0"));
        RegSetValueExA(cv, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(before.c_str()),
                       static_cast<DWORD>(before.size() + 1));
        RegCloseKey(cv);
        ASSERT_EQ(status, 0u) << LogText(log);
    }
    ASSERT_TRUE(Exists(old_info + "\\uninst.lst"));
    ASSERT_TRUE(Exists(old_target + "\\app.txt"));
    ASSERT_EQ(RegText(kUninstallKey, "LogFile", KEY_WOW64_32KEY), old_info + "\\uninst.lst");

    // Maintenance from the kit, then an upgrade: both read the folder where it is.
    EXPECT_EQ(silent(dir_.Str() + "\\kit1.0"), 0u) << LogText(log);
    EXPECT_TRUE(Exists(old_target + "\\app.txt"));
    EXPECT_EQ(silent(x86_kit("2.0", "app 2.0")), 0u) << LogText(log);
    EXPECT_EQ(qptest::ReadText(old_target + "\\app.txt"), "app 2.0") << "upgraded where it was";
    EXPECT_EQ(RegText(kUninstallKey, "DisplayVersion", KEY_WOW64_32KEY), "2.0");
    EXPECT_FALSE(Exists(x86 + "\\QPBInformation\\" + kHostileGuid)) << "a second information folder";
    EXPECT_FALSE(Exists(Target(x86))) << "a second product folder";

    const std::string quiet = RegText(kUninstallKey, "QuietUninstallString", KEY_WOW64_32KEY);
    EXPECT_EQ(quiet.find("\"" + old_info + "\\setup.exe\""), 0u) << quiet;
    EXPECT_EQ(Process(quiet + " -log \"" + log + "\"").Wait(60000), 0u) << LogText(log);
    for (int i = 0; i < 100 && Exists(old_info); ++i) Sleep(100);
    EXPECT_FALSE(KeyExists(kUninstallKey, KEY_WOW64_32KEY));
    for (const std::string& gone : {old_info, old_target, native + "\\" + kHostileCompany, Target(x86),
                                    x86 + "\\QPBInformation\\" + kHostileGuid})
        EXPECT_FALSE(Exists(gone)) << gone << "\n" << LogText(log);
#else
    GTEST_SKIP() << "64-bit Windows only";
#endif
}
