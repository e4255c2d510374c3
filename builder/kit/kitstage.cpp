// The staging folder, the kit lock and exclusive file creation of the kit build.
#include "builder/kit/kitstage.h"

#include <dirent.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "builder/kit/kitbuild.h"
#include "builder/kit/kitcheck.h"
#include "builder/kit/kiterror.h"
#include "builder/kit/stagesys.h"
#include "common/strutil.h"
#include "common/pathutil.h"

namespace qp {

namespace {

using stagesys::Entry;
using stagesys::IsLink;
using stagesys::LookAt;
using stagesys::MakeDir;
using stagesys::RemoveDir;
using stagesys::RemoveEntry;

// The files a kit directory may hold; a folder that holds anything else is not replaced.
const char* const kKitFiles[] = {"setup.exe", "setup.lst", "setup.cab", "setup.bmp", "readme.txt", "license.txt"};

std::string StagePrefix(const std::string& name) { return "." + name + ".qpstage-"; }
std::string OldPrefix(const std::string& name) { return "." + name + ".qpold-"; }

std::string RandomSuffix() {
    static std::mt19937_64 rng{std::random_device{}() ^
                               static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    static const char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string s;
    for (int i = 0; i < 8; ++i) s += kDigits[rng() % 36];
    return s;
}

std::vector<std::string> ListNames(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return names;
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
    }
    ::closedir(d);
    return names;
}

// A folder of ours (staging or a replaced kit) holds plain files only; nothing in it is
// followed.
void RemoveFlatFolder(const std::string& dir) {
    for (const std::string& n : ListNames(dir)) RemoveEntry(KitPath(dir, n));
    RemoveDir(dir);
}

bool IsKitFileName(const std::string& n) {
    for (const char* k : kKitFiles)
        if (EqualNoCase(n, k)) return true;
    return false;
}

// The last error of a C runtime call, in the system's words.
std::string LastCError() { return std::strerror(errno); }

}  // namespace

// ---- Lock ------------------------------------------------------------------------------------

std::unique_ptr<KitLock> KitLock::Acquire(const std::string& root, const std::string& name, int wait_ms) {
    const std::string path = HostPath(KitPath(root, "." + name + ".qplock"));
    std::unique_ptr<KitLock> lock(new KitLock);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    for (;;) {
        if (stagesys::TryLock(path, lock->handle_, lock->fd_)) return lock;
        if (std::chrono::steady_clock::now() >= until) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    throw KitError("another build of the kit " + name + " is running (it holds " + path +
                   "); build again when it has finished");
}

KitLock::~KitLock() { stagesys::Unlock(handle_, fd_); }

// ---- Staging ---------------------------------------------------------------------------------

void KitStage::Create(const std::string& root, const std::string& name) {
    root_ = root;
    name_ = name;
    // What an interrupted build of this kit left behind (the caller holds the lock).
    for (const std::string& n : ListNames(HostPath(root))) {
        if (n.compare(0, StagePrefix(name).size(), StagePrefix(name)) == 0 ||
            n.compare(0, OldPrefix(name).size(), OldPrefix(name)) == 0) {
            const std::string p = HostPath(KitPath(root, n));
            if (LookAt(p) == Entry::kDirectory) RemoveFlatFolder(p);
        }
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string dir = KitPath(root, StagePrefix(name) + RandomSuffix());
        // mkdir fails when anything, a link included, stands at the name: the folder is new.
        if (MakeDir(HostPath(dir))) {
            dir_ = dir;
            return;
        }
        if (errno != EEXIST) throw KitError("cannot create the staging folder " + dir + ": " + LastCError());
    }
    throw KitError("cannot find a free name for a staging folder in " + root);
}

KitStage::~KitStage() {
    if (!dir_.empty() && !committed_) RemoveFlatFolder(HostPath(dir_));
}

void KitStage::Commit(const std::string& kit_dir) {
    const std::string kit = HostPath(kit_dir), stage = HostPath(dir_);
    std::string old;
    const Entry there = LookAt(kit);
    if (there == Entry::kDirectory) {
        for (const std::string& n : ListNames(kit)) {
            if (!IsKitFileName(n) || LookAt(KitPath(kit, n)) == Entry::kDirectory)
                throw KitError(kit_dir + " exists and holds \"" + n +
                               "\", which is no kit file; it is not replaced. Choose another kit name, or empty that folder");
        }
    } else if (there == Entry::kOther && !IsLink(kit)) {
        throw KitError(kit_dir + " exists and is not a folder; it is not replaced");
    }
    if (there != Entry::kNone) {
        for (int attempt = 0; attempt < 100 && old.empty(); ++attempt) {
            std::string candidate = HostPath(KitPath(root_, OldPrefix(name_) + RandomSuffix()));
            if (LookAt(candidate) == Entry::kNone) old = candidate;
        }
        if (old.empty() || std::rename(kit.c_str(), old.c_str()) != 0)
            throw KitError("cannot move the previous kit " + kit_dir + " aside: " + LastCError());
    }
    if (std::rename(stage.c_str(), kit.c_str()) != 0) {
        const std::string why = "cannot move the new kit into " + kit_dir + ": " + LastCError();
        if (!old.empty()) std::rename(old.c_str(), kit.c_str());
        throw KitError(why);
    }
    committed_ = true;
    if (!old.empty()) {
        if (LookAt(old) == Entry::kDirectory)
            RemoveFlatFolder(old);
        else
            RemoveEntry(old);  // a link that stood in the kit's place: the link goes, not its target
    }
}

// ---- Files -----------------------------------------------------------------------------------

std::FILE* CreateNewFile(const std::string& path) { return stagesys::CreateNew(path); }

void CopyToNewFile(const std::string& from, const std::string& to) {
    if (from.empty()) throw IoError("no file named");
    const std::string src = HostPath(from), dst = HostPath(to);
    // Looked at before it is opened: opening a pipe would wait for a writer, and a device such
    // as /dev/zero never ends.
    std::string why = InputProblem(from);
    if (!why.empty()) throw IoError(why);
    // Looked at again through the open file, in case it changed in between.
    bool regular = true;
    std::FILE* in = stagesys::OpenRegular(src, regular);
    if (!regular) throw IoError(from + " is not a regular file");
    if (!in) throw IoError(LastCError());
    std::FILE* out = CreateNewFile(dst);
    if (!out) {
        why = LastCError();
        std::fclose(in);
        throw IoError(why);
    }
    std::vector<char> buf(1 << 16);
    for (;;) {
        std::size_t n = std::fread(buf.data(), 1, buf.size(), in);
        if (n > 0 && std::fwrite(buf.data(), 1, n, out) != n) {
            why = LastCError();
            break;
        }
        if (n < buf.size()) {
            if (std::ferror(in)) why = LastCError();
            break;
        }
    }
    std::fclose(in);
    if (std::fclose(out) != 0 && why.empty()) why = LastCError();
    if (!why.empty()) throw IoError(why);
}

void WriteNewFile(const std::string& path, const void* data, std::size_t size) {
    std::FILE* f = CreateNewFile(HostPath(path));
    if (!f) throw IoError(LastCError());
    std::string why;
    if (size > 0 && std::fwrite(data, 1, size, f) != size) why = LastCError();
    if (std::fclose(f) != 0 && why.empty()) why = LastCError();
    if (!why.empty()) throw IoError(why);
}

}  // namespace qp
