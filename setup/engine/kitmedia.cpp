// Reading a one-file kit's small files and the archive's place inside the program.
#include "setup/engine/kitmedia.h"

#include <memory>

#include "common/errors.h"
#include "common/kitpayload.h"
#include "common/textload.h"

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

}  // namespace qp
