// The ZpInit / ZpSetOptions / ZpArchive interface over the zip writer.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/fsprim.h"
#include "kitzip/kitzip.h"
#include "kitzip/zip_writer.h"

namespace kitzip {
namespace {

struct Options {
    std::string date, root, archive_dir;
    ZPOPT flags{};
};

bool g_ready = false;
ZIPUSERFUNCTIONS g_functions{};
Options g_options;
// The archive of the last call, suspended between calls while its files are still being
// compressed. Its destructor writes the central directory, so unloading the library (or
// leaving the program) finishes the archive.
struct PendingArchive {
    std::unique_ptr<ZipWriter> writer;
    ~PendingArchive();
    ZipWriter* operator->() const { return writer.get(); }
    explicit operator bool() const { return writer != nullptr; }
};
PendingArchive g_open;

#ifdef KITZIP_DLL
// Set when the library is detached because the process ends: its other threads are gone.
bool g_process_ending = false;
#endif

PendingArchive::~PendingArchive() {
#ifdef KITZIP_DLL
    if (!writer) return;
    if (g_process_ending) {
        // A worker may have died holding a piece: waiting for it would never end.
        writer.release();
        return;
    }
    // FreeLibrary without ZpFinish: the loader's lock is held here, and no thread can end
    // while it is, so the workers are left waiting once the archive is written.
    try {
        writer->Close();
    } catch (...) {
    }
    writer->LeaveThreads();
#endif
}

void Print(const std::string& text) {
    if (!g_ready || !g_functions.print) return;
    std::vector<char> buf(text.begin(), text.end());
    buf.push_back('\0');
    g_functions.print(buf.data(), static_cast<unsigned long>(text.size()));
}

int Level(int v) {
    if (v >= '0' && v <= '9') return v - '0';
    if (v >= 0 && v <= 9) return v;
    return 6;
}

bool IsSep(char c) { return c == '/' || c == '\\'; }

// A path as a member name: no drive, no leading separators, no "." or ".." parts, "/" between.
std::string StoredName(const std::string& path) {
    std::string p = path;
    if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) p.erase(0, 2);
    std::string out, part;
    auto flush = [&] {
        if (!part.empty() && part != "." && part != "..") {
            if (!out.empty()) out += '/';
            out += part;
        }
        part.clear();
    };
    for (char c : p) {
        if (IsSep(c))
            flush();
        else
            part += c;
    }
    flush();
    return out;
}

std::string LastPart(const std::string& name) {
    std::size_t slash = name.find_last_of('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

bool IsAbsolute(const std::string& p) {
    return (!p.empty() && IsSep(p[0])) || (p.size() >= 2 && p[1] == ':');
}

// "mmddyyyy" or "mmddyy" as the local midnight starting that day; -1 when it is no date.
std::int64_t ParseDate(const std::string& s) {
    if (s.size() != 8 && s.size() != 6) return -1;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    std::tm tm{};
    tm.tm_mon = std::stoi(s.substr(0, 2)) - 1;
    tm.tm_mday = std::stoi(s.substr(2, 2));
    int year = std::stoi(s.substr(4));
    if (s.size() == 6) year += year < 80 ? 2000 : 1900;
    tm.tm_year = year - 1900;
    tm.tm_isdst = -1;
    if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday < 1 || tm.tm_mday > 31) return -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

struct Item {
    std::string source, member;
    bool is_dir = false;
    std::int64_t mtime = 0;
};

std::string Join(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (name.empty()) return dir;
    return dir + "/" + name;
}

int Collect(const std::string& given, std::vector<Item>& items, std::int64_t since) {
    const ZPOPT& o = g_options.flags;
    const std::string source = (g_options.root.empty() || IsAbsolute(given)) ? given : g_options.root + "/" + given;
    qp::PathStat st = qp::StatPath(source);
    if (!st.Exists()) {
        Print("zip warning: name not matched: " + given + "\n");
        return ZE_OPEN;
    }
    const bool under_dir = !g_options.archive_dir.empty();
    std::string stored = (o.fJunkDir || under_dir) ? LastPart(StoredName(given)) : StoredName(given);
    const std::string prefix = StoredName(g_options.archive_dir);
    if (st.kind != qp::PathKind::kDirectory) {
        if (since >= 0 && st.mtime < since) return ZE_OK;
        if (stored.empty()) return ZE_PARMS;
        items.push_back({source, Join(prefix, stored), false, st.mtime});
        return ZE_OK;
    }
    if (!o.fJunkDir && !stored.empty()) items.push_back({source, Join(prefix, stored), true, st.mtime});
    if (!o.fRecurse) return ZE_OK;
    namespace fs = std::filesystem;
    std::vector<fs::path> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(fs::path(source), ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        found.push_back(it->path());
    if (ec) {
        Print("zip warning: could not read the folder " + given + "\n");
        return ZE_OPEN;
    }
    std::sort(found.begin(), found.end());
    const fs::path base(source);
    for (const fs::path& p : found) {
        std::string rel = StoredName(p.lexically_relative(base).generic_string());
        qp::PathStat fst = qp::StatPath(p.string());
        if (!fst.Exists() || rel.empty()) continue;
        if (fst.kind != qp::PathKind::kDirectory && since >= 0 && fst.mtime < since) continue;
        if (fst.kind == qp::PathKind::kDirectory && o.fJunkDir) continue;
        std::string name = o.fJunkDir ? LastPart(rel) : Join(stored, rel);
        items.push_back({p.string(), Join(prefix, name), fst.kind == qp::PathKind::kDirectory, fst.mtime});
    }
    return ZE_OK;
}

// The writer for `path`: the suspended one when it still matches the file, else a new one.
ZipWriter& OpenArchive(const std::string& path) {
    if (g_open && g_open->Path() == path) {
        if (g_open->Resume()) return *g_open.writer;
        g_open.writer.reset();  // changed behind our back: its pending directory no longer fits
    }
    if (g_open) {
        std::unique_ptr<ZipWriter> done = std::move(g_open.writer);
        done->Close();
    }
    g_open.writer = std::make_unique<ZipWriter>(path);
    return *g_open.writer;
}

// After a failure past the opening: the archive must not pass for a whole one.
void AbandonArchive() {
    if (!g_open) return;
    std::unique_ptr<ZipWriter> broken = std::move(g_open.writer);
    broken->Abandon();
}

int Archive(const ZCL& list) {
    const ZPOPT& o = g_options.flags;
    if (!list.lpszZipFN || !*list.lpszZipFN || list.argc < 0 || (list.argc > 0 && !list.FNV)) return ZE_PARMS;
    if (o.fEncrypt || o.fTranslate || o.fDeleteEntries || o.fUpdate || o.fFreshen || o.fRepair) {
        Print("zip error: option not supported by kitzip\n");
        return ZE_PARMS;
    }
    std::int64_t since = -1;
    if (!g_options.date.empty() && (since = ParseDate(g_options.date)) < 0) {
        Print("zip error: bad date " + g_options.date + "\n");
        return ZE_PARMS;
    }
    std::vector<Item> items;
    for (int i = 0; i < list.argc; ++i) {
        if (!list.FNV[i]) return ZE_PARMS;
        int rc = Collect(list.FNV[i], items, since);
        if (rc != ZE_OK) return rc;
    }
    if (items.empty()) {
        Print("zip error: Nothing to do!\n");
        return ZE_NONE;
    }
    const std::string path = list.lpszZipFN;
    ZipWriter* w;
    try {
        w = &OpenArchive(path);
    } catch (const qp::FormatError& e) {
        Print(std::string("zip error: ") + e.what() + "\n");
        return ZE_FORM;
    } catch (const qp::IoError& e) {
        Print(std::string("zip error: ") + e.what() + "\n");
        return ZE_CREAT;
    }
    w->SetThreads(o.fThreads);
    int result = ZE_OK;
    for (const Item& it : items) {
        try {
            if (it.is_dir)
                w->AddDirectory(it.member, it.mtime);
            else
                w->AddFile(it.source, it.member, Level(o.fLevel));
        } catch (const qp::IoError& e) {
            Print(std::string("zip error: ") + e.what() + "\n");
            result = w->Failed() ? ZE_WRITE : qp::StatPath(it.source).Exists() ? ZE_READ : ZE_OPEN;
            break;
        }
    }
    if (result == ZE_OK && o.fMove) {
        try {
            w->Flush();  // every source read before any is deleted
        } catch (const qp::IoError& e) {
            Print(std::string("zip error: ") + e.what() + "\n");
            result = w->Failed() ? ZE_WRITE : ZE_READ;
        }
    }
    if (result != ZE_OK) {
        AbandonArchive();
        return result;
    }
    if (result == ZE_OK && o.fComment && g_functions.comment) {
        std::vector<char> buf(65536, '\0');
        if (g_functions.comment(buf.data()) == 1) {
            buf.back() = '\0';
            w->SetComment(buf.data());
        }
    }
    if (result == ZE_OK && o.fMove) {
        for (auto i = items.rbegin(); i != items.rend(); ++i) {
            std::error_code ec;
            std::filesystem::remove(std::filesystem::path(i->source), ec);  // a folder only goes when empty
        }
    }
    w->Suspend();
    return result;
}

}  // namespace

bool FinishPendingArchive() {
    if (!g_open) return true;
    std::unique_ptr<ZipWriter> done = std::move(g_open.writer);
    try {
        done->Close();
        return true;
    } catch (const std::exception& e) {
        Print(std::string("zip error: ") + e.what() + "\n");
        return false;
    }
}

}  // namespace kitzip

extern "C" int ZP_CALL ZpInit(ZIPUSERFUNCTIONS* functions) {
    kitzip::FinishPendingArchive();
    if (!functions || !functions->print || !functions->comment || !functions->password) {
        kitzip::g_ready = false;
        return 0;
    }
    kitzip::g_functions = *functions;
    kitzip::g_ready = true;
    return 1;
}

extern "C" int ZP_CALL ZpSetOptions(ZPOPT* options) {
    if (!options) return 0;
    try {
        kitzip::Options o;
        o.flags = *options;
        o.date = options->Date ? options->Date : "";
        o.root = options->szRootDir ? options->szRootDir : "";
        o.archive_dir = options->szArchiveDir ? options->szArchiveDir : "";
        o.flags.Date = o.flags.szRootDir = o.flags.szArchiveDir = nullptr;
        kitzip::g_options = std::move(o);
        return 1;
    } catch (...) {
        return 0;
    }
}

extern "C" int ZP_CALL ZpFinish(void) {
    try {
        return kitzip::FinishPendingArchive() ? ZE_OK : ZE_WRITE;
    } catch (...) {
        return ZE_WRITE;
    }
}

extern "C" int ZP_CALL ZpArchive(ZCL list) {
    if (!kitzip::g_ready) return ZE_LOGIC;
    try {
        return kitzip::Archive(list);
    } catch (const std::bad_alloc&) {
        return ZE_MEM;
    } catch (const std::exception& e) {
        kitzip::Print(std::string("zip error: ") + e.what() + "\n");
        return ZE_WRITE;
    } catch (...) {
        return ZE_LOGIC;
    }
}

#ifdef KITZIP_DLL
#include <windows.h>

// The C runtime calls this before it runs the destructors of a detaching library.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved != nullptr) kitzip::g_process_ending = true;
    return TRUE;
}
#endif
