// The file effects of the install rules on the real Windows file system.
#pragma once
#include "setup/engine/filerules.h"
#include "setup/engine/unzip.h"

namespace qp {

class WinFileEffects : public FileEffects {
public:
    // `nt_family` chooses the delayed move over a "wininit.ini" entry; `windows_folder` is
    // where that file lives.
    WinFileEffects(bool nt_family, std::string windows_folder)
        : nt_family_(nt_family), windows_folder_(std::move(windows_folder)) {}

    bool Exists(const std::string& path) override;
    bool IsLocked(const std::string& path) override;
    std::uint64_t Version(const std::string& path) override;
    std::uint64_t LastWriteTime(const std::string& path) override;
    bool CreateFolderPath(const std::string& folder) override;
    int Extract(const std::string& archive, const std::string& member, const std::string& folder,
                const std::string& output) override;
    int ExtractNew(const std::string& archive, const std::string& member, const std::string& folder,
                   const std::string& output, bool& taken) override;
    bool Delete(const std::string& path) override;
    bool RemoveFolder(const std::string& folder) override;
    bool ScheduleReplace(const std::string& temp, const std::string& target) override;
    int SelfRegister(const std::string& path) override;
    bool Copy(const std::string& from, const std::string& to) override;
    bool Write(const std::string& to, const std::vector<std::uint8_t>& bytes) override;
    void ReleaseArchive() override;
    std::int64_t SharedCount(const std::string& path) override;
    void SetSharedCount(const std::string& path, std::int64_t count) override;

    // A one-file kit: extraction from `program` reads the archive at this window of it.
    void SetArchiveWindow(const std::string& program, std::uint64_t offset, std::uint64_t size) override {
        window_program_ = program;
        window_ = {offset, size};
    }

private:
    std::string window_program_;
    ArchiveWindow window_;
    // The kit archive, open from the first extraction until ReleaseArchive.
    ZipArchive* Archive(const std::string& path, int& rc);

    bool nt_family_;
    std::string windows_folder_;
    ZipArchive archive_;
};

// Self-registration of a library through its DllRegisterServer: 0 success, 2 OLE could not be
// initialised, 3 not loadable, 4 no DllRegisterServer, 5 it returned a failure code.
int SelfRegisterLibrary(const std::string& path);

// Where the use counts of shared files live, under HKEY_LOCAL_MACHINE: one double word per
// file, named by its full path.
constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

}  // namespace qp
