// Reading a one-file kit's small files and the archive's place inside the program.
#include "setup/engine/kitmedia.h"

#include <memory>

#include "common/errors.h"
#include "common/fsprim.h"
#include "common/kitpayload.h"
#include "common/setuplist.h"
#include "common/textload.h"
#include "setup/engine/context.h"

namespace qp {
namespace {

// setup.lst and the bitmap are small; a larger one is a damaged kit, not something to load.
constexpr std::size_t kSmallFileLimit = 16u * 1024 * 1024;

std::string ViewerStart(ByteSource& src, const KitPayloadFile* f) {
    if (!f) return std::string();
    KitPayloadFile head = *f;
    if (head.size > kViewerTextLimit) head.size = kViewerTextLimit;
    std::vector<std::uint8_t> bytes = ReadPayloadFile(src, head);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

KitKind OpenKitProgram(const std::string& path, OneFileKit& kit, std::string* why) {
    try {
        std::unique_ptr<ByteSource> src = OpenByteSource(path);
        KitPayload payload;
        switch (FindKitPayload(*src, payload, why)) {
            case KitPayloadFound::kNone: return KitKind::kFolder;
            case KitPayloadFound::kDamaged: return KitKind::kDamaged;
            case KitPayloadFound::kFound: break;
        }
        const KitPayloadFile* list = payload.Find("setup.lst");
        const KitPayloadFile* cab = payload.Find("setup.cab");
        if (!list || !cab) throw FormatError("the kit inside the program lacks setup.lst or setup.cab");
        OneFileKit k;
        k.program = path;
        k.archive_offset = cab->offset;
        k.archive_size = cab->size;
        k.list = ReadPayloadFile(*src, *list, kSmallFileLimit);
        if (const KitPayloadFile* bmp = payload.Find("setup.bmp")) k.bitmap = ReadPayloadFile(*src, *bmp, kSmallFileLimit);
        k.readme = ViewerStart(*src, payload.Find("readme.txt"));
        k.license = ViewerStart(*src, payload.Find("license.txt"));
        k.plain_runtime = PlainRuntime(*src, payload);
        kit = std::move(k);
        return KitKind::kOneFile;
    } catch (const std::exception& e) {
        if (why) *why = e.what();
        return KitKind::kDamaged;
    }
}

bool UsePickedKit(const std::string& picked, InstallContext& ctx) {
    const std::string path = WithoutTrailingBackslash(picked);
    if (!IsFile(path)) {
        ctx.media_folder = path;
        ctx.media_program.clear();
        return true;
    }
    OneFileKit kit;
    const std::size_t slash = path.rfind('\\');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    if (OpenKitProgram(path, kit) == KitKind::kOneFile) {
        try {
            if (!EqualNoCase(ReadSetupList(kit.list).settings.product_guid(), ctx.product_guid)) return false;
        } catch (const std::exception&) {
            return false;
        }
        ctx.media_program = path;
        ctx.media_folder = folder;
        ctx.archive_offset = kit.archive_offset;
        ctx.archive_size = kit.archive_size;
        return true;
    }
    // A file of a kit folder stands for its folder.
    ctx.media_folder = folder;
    ctx.media_program.clear();
    return true;
}

}  // namespace qp
