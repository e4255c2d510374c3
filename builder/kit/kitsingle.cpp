// Assembling the one-file kit from a staged kit folder.
#include "builder/kit/kitsingle.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "builder/kit/kitbuild.h"
#include "builder/kit/kiterror.h"
#include "builder/kit/kitstage.h"
#include "common/errors.h"
#include "common/fileio.h"
#include "common/fsprim.h"
#include "common/kitpayload.h"
#include "common/pathutil.h"
#include "common/strutil.h"

namespace qp {

std::string SingleFileProgramPath(const std::string& kit_root, const std::string& kit_name) {
    const bool has_exe = kit_name.size() > 4 && EqualNoCase(kit_name.substr(kit_name.size() - 4), ".exe");
    return KitPath(kit_root, has_exe ? kit_name : kit_name + ".exe");
}

void AssembleSingleFile(const std::string& stage_dir, const std::string& program) {
    std::vector<std::uint8_t> runtime;
    if (ReadWholeFile(HostPath(KitPath(stage_dir, kKitSetupExe)), runtime, 256u * 1024 * 1024) != FileResult::kOk)
        throw IoError("the runtime in the kit cannot be read");
    std::vector<const char*> names = {kKitSetupList, kKitArchive};
    for (const char* side : kKitSideFiles)
        if (IsFile(HostPath(KitPath(stage_dir, side)))) names.push_back(side);

    std::FILE* out = CreateNewFile(HostPath(program));
    if (!out) throw IoError("cannot create " + program);
    std::string why;
    try {
        KitProgramWriter w([out](const void* p, std::size_t n) { return std::fwrite(p, 1, n, out) == n; });
        w.Runtime(std::move(runtime));
        std::vector<char> buf(1 << 16);
        for (const char* name : names) {
            const std::string path = KitPath(stage_dir, name);
            std::FILE* in = std::fopen(HostPath(path).c_str(), "rb");
            if (!in) throw IoError("cannot open " + path);
            w.BeginFile(name);
            std::size_t n;
            while ((n = std::fread(buf.data(), 1, buf.size(), in)) > 0) w.Append(buf.data(), n);
            const bool failed = std::ferror(in) != 0;
            std::fclose(in);
            if (failed) throw IoError("cannot read " + path);
        }
        w.Finish();
    } catch (const std::exception& e) {
        why = e.what();
    }
    if (std::fclose(out) != 0 && why.empty()) why = "cannot write " + program;
    if (!why.empty()) {
        RemoveFile(HostPath(program));
        throw IoError(why);
    }
}

void CheckSingleFile(const std::string& program) {
    std::unique_ptr<ByteSource> src = OpenByteSource(HostPath(program));
    KitPayload payload;
    std::string why;
    if (FindKitPayload(*src, payload, &why) != KitPayloadFound::kFound)
        throw KitError(program + " holds no intact kit: " + why);
}

}  // namespace qp
