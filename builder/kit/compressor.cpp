// Adding one file through the Zp* interface, shared by the DLL and the static binding.
#include "builder/kit/compressor_zp.h"

#include <vector>

#include "common/fsprim.h"

namespace qp {
namespace {

// The callbacks have no context argument: the console of the binding that initialised last.
std::FILE* g_console = stdout;

int ZP_CALL PrintToConsole(char* text, unsigned long size) {
    if (g_console && text) std::fwrite(text, 1, size, g_console);
    return static_cast<int>(size);
}

int ZP_CALL NoComment(char* comment) {
    if (comment) comment[0] = '\0';
    return 1;
}

int ZP_CALL NoPassword(char* buffer, int size, const char*, const char*) {
    if (buffer && size > 0) buffer[0] = '\0';
    return 1;
}

std::string WorkingDirectory() {
    std::string dir = CurrentDirectory();
    return dir.empty() ? "." : dir;
}

}  // namespace

ZpCompressor::~ZpCompressor() { ReleaseCallbacks(); }

void ZpCompressor::Say(const std::string& text) {
    if (console_) {
        std::fwrite(text.data(), 1, text.size(), console_);
        std::fflush(console_);
    }
}

bool ZpCompressor::Initialise() {
    ReleaseCallbacks();
    callbacks_ = new ZIPUSERFUNCTIONS{PrintToConsole, NoComment, NoPassword};
    g_console = console_;
    if (zp_.init(callbacks_) == 0) {
        Say("Application functions not set up properly. Terminating...");
        ReleaseCallbacks();
        return false;
    }
    return true;
}

void ZpCompressor::ReleaseCallbacks() {
    delete callbacks_;
    callbacks_ = nullptr;
}

bool ZpCompressor::AddFile(const std::string& file_path, const std::string& archive_dir, const std::string& archive_path) {
    if (!zp_.archive || !callbacks_) return false;
    const std::string root = WorkingDirectory();
    ZPOPT options{};
    options.Date = nullptr;
    options.szRootDir = root.c_str();
    options.szArchiveDir = archive_dir.c_str();
    // One file at a time: a folder handed over by mistake must not bring its whole tree along.
    options.fRecurse = 0;
    options.fRepair = 0;
    options.fLevel = 6;
    zp_.set_options(&options);
    std::vector<char> name(file_path.begin(), file_path.end());
    name.push_back('\0');
    char* files[] = {name.data()};
    ZCL list{1, archive_path.c_str(), files};
    g_console = console_;
    if (zp_.archive(list) != 0) {
        Say("Error in archiving\n");
        return false;
    }
    return true;
}

}  // namespace qp
