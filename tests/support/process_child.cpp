// The child that the process helper's own tests run: it behaves as the awkward programs the
// helper must see through (one that leaves a process behind holding its output, one that runs
// too long with a helper of its own, one that holds a file).
//   process_child print OUT ERR CODE     writes OUT and ERR, exits with CODE
//   process_child sleep MS               sleeps
//   process_child linger MS OUT          leaves a copy of itself sleeping MS with our output, writes OUT, exits 0
//   process_child tree MS PIDFILE        starts a copy of itself sleeping MS, writes its id to PIDFILE, sleeps MS
//   process_child hold FILE READY MS     opens FILE for writing (shared with nobody), creates READY, waits
//                                        until READY is gone (at most MS)
//   process_child fds                    lists its open descriptors above 2 (Linux)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

void Nap(int ms) {
#ifdef _WIN32
    Sleep(DWORD(ms));
#else
    usleep(useconds_t(ms) * 1000);
#endif
}

// A copy of this program, sleeping `ms`, that keeps our standard handles; its process id.
long SpawnSleeper(const char* self, const char* ms) {
#ifdef _WIN32
    (void)self;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string cmd = std::string("\"") + path + "\" sleep " + ms;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(path, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return long(pi.dwProcessId);
#else
    const pid_t pid = fork();
    if (pid == 0) {
        execl(self, self, "sleep", ms, static_cast<char*>(nullptr));
        _exit(127);
    }
    return long(pid);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "print" && argc == 5) {
        std::fputs(argv[2], stdout);
        std::fputs(argv[3], stderr);
        return std::atoi(argv[4]);
    }
    if (mode == "sleep" && argc == 3) {
        Nap(std::atoi(argv[2]));
        return 0;
    }
    if (mode == "linger" && argc == 4) {
        if (SpawnSleeper(argv[0], argv[2]) < 0) return 3;
        std::fputs(argv[3], stdout);
        return 0;
    }
    if (mode == "tree" && argc == 4) {
        const long pid = SpawnSleeper(argv[0], argv[2]);
        if (pid < 0) return 3;
        if (FILE* f = std::fopen(argv[3], "w")) {
            std::fprintf(f, "%ld", pid);
            std::fclose(f);
        }
        Nap(std::atoi(argv[2]));
        return 0;
    }
    if (mode == "hold" && argc == 5) {
#ifdef _WIN32
        HANDLE h = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return 3;
#else
        const int h = open(argv[2], O_WRONLY | O_CREAT, 0644);
        if (h < 0) return 3;
#endif
        if (FILE* f = std::fopen(argv[3], "w")) std::fclose(f);
        // Until the test removes READY again.
        for (int waited = 0; waited < std::atoi(argv[4]); waited += 50) {
            FILE* f = std::fopen(argv[3], "r");
            if (!f) break;
            std::fclose(f);
            Nap(50);
        }
        return 0;
    }
#ifndef _WIN32
    if (mode == "fds") {
        if (DIR* d = opendir("/proc/self/fd")) {
            const int own = dirfd(d);
            while (dirent* e = readdir(d)) {
                const int fd = std::atoi(e->d_name);
                if (e->d_name[0] != '.' && fd > 2 && fd != own) std::printf("%d ", fd);
            }
            closedir(d);
        }
        return 0;
    }
#endif
    std::fputs("usage: process_child print|sleep|linger|tree|hold|fds ...\n", stderr);
    return 2;
}
