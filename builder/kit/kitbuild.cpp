// The kit build pipeline: missing-file check, wizard hook, kit directory, runtime and side
// files, setup list, archive, and the hook that shows the kit. Each step that fails is reported
// with the builder's message and recorded in the result, and the build goes on to the next.
#include "builder/kit/kitbuild.h"

#include <cstdio>
#include <cstring>

#include "builder/kit/kitlist.h"
#include "builder/model/platform.h"
#include "common/errors.h"
#include "common/pathutil.h"
#include "common/setuplist.h"

namespace qp {
namespace {

std::string Format1(const char* pattern, const std::string& arg) {
    std::string out = pattern;
    auto pos = out.find("%s");
    if (pos != std::string::npos) out.replace(pos, 2, arg);
    return out;
}

void Fail(KitBuildResult* result, Reporter& reporter, const std::string& text) {
    reporter.Report(Severity::Error, text);
    if (result) result->failures.push_back(text);
}

// Copies through a temporary beside the target, so that a failed copy leaves the kit's previous
// file as it was rather than a truncated one.
bool CopyFileOver(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) return false;
    const std::string src = HostPath(from), dst = HostPath(to), tmp = dst + ".qptmp";
    std::FILE* in = std::fopen(src.c_str(), "rb");
    if (!in) return false;
    std::FILE* out = std::fopen(tmp.c_str(), "wb");
    if (!out) {
        std::fclose(in);
        return false;
    }
    std::vector<char> buf(1 << 16);
    bool ok = true;
    for (;;) {
        std::size_t n = std::fread(buf.data(), 1, buf.size(), in);
        if (n > 0 && std::fwrite(buf.data(), 1, n, out) != n) {
            ok = false;
            break;
        }
        if (n < buf.size()) {
            if (std::ferror(in)) ok = false;
            break;
        }
    }
    std::fclose(in);
    if (std::fclose(out) != 0) ok = false;
    if (ok && sys::MoveOver(tmp, dst)) return true;
    sys::RemoveFile(tmp);
    return false;
}

bool WriteWholeFile(const std::string& path, const void* data, std::size_t size) {
    const std::string dst = HostPath(path), tmp = dst + ".qptmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0) ok = false;
    if (ok && sys::MoveOver(tmp, dst)) return true;
    sys::RemoveFile(tmp);
    return false;
}

// The compressor writes the archive's directory only when it is unloaded and cannot say there
// whether that worked; an archive without its end record would reach the kit as if complete.
bool ArchiveHasEndRecord(const std::string& path) {
    std::FILE* f = std::fopen(HostPath(path).c_str(), "rb");
    if (!f) return false;
    bool found = false;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        long size = std::ftell(f);
        // The end record (22 bytes) may be followed by a comment of up to 65535 bytes; a size
        // that ftell cannot give (above 2 GB on Windows) is looked at from the end as well.
        long tail = 22 + 65535;
        if (size >= 0 && size < tail) tail = size;
        if (size < 0 ? std::fseek(f, -tail, SEEK_END) == 0 : std::fseek(f, size - tail, SEEK_SET) == 0) {
            std::vector<unsigned char> buf(static_cast<std::size_t>(tail));
            std::size_t n = std::fread(buf.data(), 1, buf.size(), f);
            for (std::size_t i = n >= 22 ? n - 22 + 1 : 0; i-- > 0;) {
                if (buf[i] == 'P' && buf[i + 1] == 'K' && buf[i + 2] == 5 && buf[i + 3] == 6) {
                    found = true;
                    break;
                }
            }
        }
    }
    std::fclose(f);
    return found;
}

}  // namespace

std::string DefaultKitRoot(const CDazDoc& doc) {
    if (!doc.kit_root.empty()) return doc.kit_root;
    const std::string& path = doc.PathName();
    if (path.empty()) return std::string();
    std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return "KITS";  // a project named without a folder lies here
    return path.substr(0, cut + 1) + "KITS";
}

std::string KitPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return std::string();
    std::string out = dir;
    if (!IsPathSeparator(out.back())) out += kPathSeparator;
    return out + name;
}

bool ParseRuntimeArch(const std::string& text, RuntimeArch& arch) {
    if (text == "x86" || text == "i686") arch = RuntimeArch::X86;
    else if (text == "x64" || text == "x86_64") arch = RuntimeArch::X64;
    else return false;
    return true;
}

std::string RuntimeSource(const std::string& builder_dir, RuntimeArch arch) {
    std::string redis = KitPath(builder_dir.empty() ? std::string(".") : builder_dir, "REDIS");
    if (arch == RuntimeArch::X64) redis = KitPath(redis, "x64");
    return KitPath(redis, kRuntimeSourceName);
}

std::size_t CountProjectFiles(const CDazDoc& doc) {
    std::size_t n = 0;
    for (const auto& g : doc.group_list.items)
        static_cast<const CObListFile&>(g->file_tree).ForEachFile([&](const CObListFile&) { ++n; });
    return n;
}

std::string ArchiveDir(const CItemGroup& group, const CObListFile& file) {
    std::string rel = file.RelativeDir();
    return rel.empty() ? group.name : group.name + "\\" + rel;
}

bool ArchiveProjectFiles(const CDazDoc& doc, const std::string& archive_path, const CompressorFactory& make,
                         Reporter& reporter, Progress* progress, KitBuildResult* result) {
    std::unique_ptr<Compressor> zip = make ? make(reporter) : MakeStaticCompressor(reporter);
    const std::size_t total = CountProjectFiles(doc);
    if (result) result->files_total = total;
    if (!zip || !zip->Load()) {
        if (result) result->failures.push_back("The zip compressor could not be loaded; no archive was made.");
        return false;
    }
    // Each build starts a new archive: the compressor would otherwise append to the last one.
    if (!archive_path.empty()) sys::RemoveFile(HostPath(archive_path));

    std::size_t done = 0;
    bool ok = true;
    for (const auto& g : doc.group_list.items) {
        static_cast<const CObListFile&>(g->file_tree).ForEachFile([&](const CObListFile& f) {
            if (!ok) return;
            const std::string dir = ArchiveDir(*g, f);
            if (progress) {
                progress->Status(f.name);
                if (!progress->Step(done + 1, total)) {
                    ok = false;
                    if (result) {
                        result->cancelled = true;
                        result->failures.push_back("The build was stopped before every file was in the archive.");
                    }
                    return;
                }
            }
            if (!dir.empty() && dir.back() == '\\') reporter.Report(Severity::Error, kMsgArchiveDirEndsWithSeparator);
            if (!zip->AddFile(HostPath(f.name), dir, archive_path)) {
                Fail(result, reporter, Format1(kMsgErrorAdding, f.name));
                ok = false;
                return;
            }
            ++done;
        });
        if (!ok) break;
    }
    zip->Unload();
    if (result) result->files_added = done;
    if (done > 0 && !ArchiveHasEndRecord(archive_path)) {
        if (ok) Fail(result, reporter, "The archive " + archive_path + " could not be finished.");
        return false;
    }
    if (ok && done == 0 && !archive_path.empty()) {
        // A project without files still gets an archive, so that every kit has its three files:
        // an empty zip is its end record alone.
        const unsigned char empty_zip[22] = {'P', 'K', 5, 6};
        if (!WriteWholeFile(archive_path, empty_zip, sizeof empty_zip)) {
            Fail(result, reporter, Format1(kMsgCantCopy, archive_path));
            return false;
        }
    }
    return ok;
}

KitBuildResult BuildMedia(CDazDoc& doc, KitBuildParams params, Reporter& reporter, Progress* progress) {
    KitBuildResult result;

    // 1. Nothing is built while a file of the project is missing.
    result.missing_files = doc.MissingFiles();
    if (!result.missing_files.empty()) {
        std::string text = kMsgFilesMissing;
        for (const auto& m : result.missing_files) text += m + "\n";
        Fail(&result, reporter, text);
        return result;
    }

    // 2. The wizard may rename the kit or move its root; its root becomes the project's.
    if (params.kit_root.empty()) params.kit_root = DefaultKitRoot(doc);
    if (params.wizard) {
        if (!params.wizard(params)) {
            result.cancelled = true;
            return result;
        }
        doc.kit_root = params.kit_root;
    }
    result.started = true;

    // 3, 4. The kit directory and the paths of its files (empty when there is no root).
    const std::string root = params.kit_root;
    std::string kit_dir, exe, list, cab, side[3];
    if (!root.empty()) {
        kit_dir = KitPath(root, params.kit_name);
        result.kit_dir = kit_dir;
        // The whole path is made (not only the last level) so that a root typed on the command
        // line need not exist yet.
        NullReporter quiet;
        if (!CreateDirectoryPath(kit_dir, quiet))
            Fail(&result, reporter, "Can't create the kit directory " + kit_dir);
        exe = KitPath(kit_dir, kKitSetupExe);
        list = KitPath(kit_dir, kKitSetupList);
        cab = KitPath(kit_dir, kKitArchive);
        for (int i = 0; i < 3; ++i) side[i] = KitPath(kit_dir, kKitSideFiles[i]);
    }

    // 5, 6. The runtime and the side files, each replacing the last kit's.
    if (!CopyFileOver(params.runtime_path, exe)) Fail(&result, reporter, Format1(kMsgCantCopy, params.runtime_path));
    for (int i = 0; i < 3; ++i) {
        const std::string& from = doc.side_file_paths[static_cast<std::size_t>(i)];
        if (from.empty()) continue;
        if (!CopyFileOver(from, side[i])) Fail(&result, reporter, Format1(kMsgCantCopy, from));
    }

    // 7. The setup list, with a product GUID made first when the project has none.
    if (doc.settings_block.product_guid().empty()) doc.MakeProductGuid();
    bool list_ok = false;
    try {
        SetupList records = MakeSetupList(doc);
        if (!list.empty()) {
            SaveSetupList(records, HostPath(list));
            list_ok = true;
        }
    } catch (const TextTooLong& e) {
        Fail(&result, reporter, e.what());
    } catch (const std::exception&) {
        // The writer's own reason adds nothing the user can act on beyond the message below.
    }
    if (!list_ok) Fail(&result, reporter, kMsgCantCreateList);

    // 8. The archive.
    bool archive_ok = ArchiveProjectFiles(doc, cab, params.make_compressor, reporter, progress, &result);

    result.complete = result.failures.empty() && archive_ok && list_ok;
    // 9. The kit is shown whatever happened once the wizard was confirmed.
    if (params.show_kit_dir) params.show_kit_dir(kit_dir);
    return result;
}

}  // namespace qp
