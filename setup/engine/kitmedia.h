// Where a run's kit is: beside the program (setup.lst, setup.cab and the side files in its
// folder) or inside it (a one-file kit, common/kitpayload.h). A one-file kit is read in place:
// setup.lst and the side files into memory, the archive as a window of the program; nothing
// is written beside the program.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qp {

struct OneFileKit {
    std::string program;                      // the program that carries the kit
    std::uint64_t archive_offset = 0, archive_size = 0;  // setup.cab inside it
    std::vector<std::uint8_t> list;           // setup.lst
    std::vector<std::uint8_t> bitmap;         // setup.bmp; empty when the kit has none
    std::string readme, license;              // the start of each text (what a viewer shows); empty when none
    std::vector<std::uint8_t> plain_runtime;  // the runtime without the kit, for the information folder
};

enum class KitKind {
    kFolder,   // a plain runtime: the kit lies in its folder
    kOneFile,  // `kit` is filled
    kDamaged,  // a one-file kit that is cut short or damaged; `why` says how
};

// Looks at the program `path` (the running setup.exe, or the "MediaPath" of an installed
// product). A file that cannot be opened is kDamaged too.
KitKind OpenKitProgram(const std::string& path, OneFileKit& kit, std::string* why = nullptr);

struct InstallContext;

// What the user picked when asked for the kit: a kit folder, a file in one (its setup.exe or
// setup.cab), or a one-file kit of this product (its setup list names ctx.product_guid), which
// becomes the media program. False, with `ctx` unchanged, for a one-file kit of another product.
bool UsePickedKit(const std::string& picked, InstallContext& ctx);

}  // namespace qp
