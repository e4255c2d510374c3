// The private copy of setup.exe: made in a folder of its own under the user's temporary folder,
// readable and writable only by the user, the administrators and the system, started, waited
// for, and removed.
#include "setup/setup_start.h"

#include <windows.h>

#include <vector>

#include "common/kitpayload.h"
#include "common/win/process.h"
#include "common/win/widen.h"
#include "setup/engine/privatecopy.h"
#include "setup/engine/win/privatecopy_win.h"

namespace qp::setup {
namespace {

bool WriteNew(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return CloseHandle(h) && ok;
}

// The copy is the runtime alone: a one-file kit's payload stays where it is, and the copy reads
// it from the started program (whose path it is given). Only the layout is looked at here; the
// copy checks the payload as it opens it, and a damaged kit is copied whole for the copy to
// refuse with the bad-kit message.
bool MakeCopy(const std::string& started, const std::string& copy) {
    try {
        std::unique_ptr<ByteSource> src = OpenByteSource(started);
        KitPayload payload;
        if (FindKitPayload(*src, payload, nullptr, false) == KitPayloadFound::kFound)
            return WriteNew(copy, PlainRuntime(*src, payload));
    } catch (const std::exception&) {
    }
    return CopyFileA(started.c_str(), copy.c_str(), TRUE) != 0;
}

}  // namespace

bool RunPrivateCopy(const std::string& kit_folder, const std::string& user_arguments, int& status) {
    const std::string started = OwnProgramPath();
    if (started.empty()) return false;
    const std::string folder = MakePrivateFolder();
    if (folder.empty()) return false;
    const std::string copy = folder + "\\setup.exe";
    if (!MakeCopy(started, copy)) {
        RemovePrivateFolder(folder, copy);
        return false;
    }
    // Held open with delete-on-close and not inherited: should this process be killed, the
    // system deletes the copy once the copy has ended too; the next run removes the empty folder.
    HANDLE keep = CreateFileA(copy.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0);
    std::string line = PrivateCopyCommandLine(copy, static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(self)),
                                              started, kit_folder, user_arguments);
    STARTUPINFOA si{};
    GetStartupInfoA(&si);  // the window state the user's shell asked for
    si.cb = sizeof si;
    si.lpReserved = nullptr;
    si.lpDesktop = nullptr;
    si.lpTitle = nullptr;
    si.cbReserved2 = 0;
    si.lpReserved2 = nullptr;
    // The copy writes no output and needs no handle of ours but the one it waits on.
    si.dwFlags &= ~STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nullptr;
    PROCESS_INFORMATION pi{};
    const bool started_ok = StartInheritingOnly(copy.c_str(), line, {self}, si, 0, nullptr, pi);
    if (self) CloseHandle(self);
    if (!started_ok) {
        if (keep != INVALID_HANDLE_VALUE) CloseHandle(keep);
        RemovePrivateFolder(folder, copy);
        return false;
    }
    AllowSetForegroundWindow(pi.dwProcessId);
    CloseHandle(pi.hThread);
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    if (!GetExitCodeProcess(pi.hProcess, &code)) code = 1603;
    CloseHandle(pi.hProcess);
    if (keep != INVALID_HANDLE_VALUE) CloseHandle(keep);
    RemovePrivateFolder(folder, copy);
    status = static_cast<int>(code);
    return true;
}

void SweepStalePrivateCopies() { SweepStalePrivateFolders(); }

}  // namespace qp::setup
