// qpb.exe: start-up of the builder, the main frame, and the message loop. A project named on
// the command line is opened as if it had been chosen with Open.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <memory>
#include <string>

#include "builder/ui/app/FileType.h"
#include "builder/ui/frame/MainFrame.h"
#include "builder/ui/frame/Splash.h"

namespace {

void Idle(void* frame) { static_cast<qp::CMainFrame*>(frame)->OnIdle(); }

std::string FirstArgument(const char* line) {
    std::string s = line ? line : "";
    std::size_t i = s.find_first_not_of(' ');
    if (i == std::string::npos) return std::string();
    if (s[i] == '"') {
        const std::size_t end = s.find('"', i + 1);
        return s.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
    }
    const std::size_t end = s.find(' ', i);
    return s.substr(i, end == std::string::npos ? std::string::npos : end - i);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                                              ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    ::OleInitialize(nullptr);
    int code = 1;
    {
        auto frame = std::make_unique<qp::CMainFrame>(instance);
        if (frame->CreateFrame()) {
            char exe[MAX_PATH];
            const DWORD n = ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
            if (n > 0 && n < MAX_PATH) qp::RegisterProjectFileType(exe);
            frame->Show(show == SW_HIDE ? SW_SHOWNORMAL : show);
            frame->Update();
            // Owned by the frame, so that it stays in front of it and goes with it.
            qp::CSplashWnd splash(instance);
            splash.Open(frame->Handle());
            const std::string path = FirstArgument(command_line);
            if (!path.empty()) frame->OpenProject(path);
            code = qp::RunMessageLoop(frame->Handle(), frame->Client(), frame->Accelerators(), &Idle, frame.get());
        } else {
            ::MessageBoxA(nullptr, "The main window could not be created.", "Quillpacker", MB_OK | MB_ICONERROR);
        }
    }
    ::OleUninitialize();
    return code;
}
