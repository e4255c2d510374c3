// Central directory reader of the kit build (zip64 end records included), over the common zip
// directory reader.
#include "builder/kit/zipnames.h"

#include <cstdint>

#include "common/errors.h"
#include "common/fsprim.h"
#include "common/zipdir.h"
#include "kitzip/file_io.h"

namespace qp {
namespace {

// Calls `use` with the archive's end records and a reader of its bytes; false when the file
// cannot be read or `use` finds it damaged.
template <typename Use>
bool WithZipEnd(const std::string& host_path, Use use) {
    try {
        kitzip::File f(host_path, "rb");
        const ZipReadAt read = [&f](std::uint64_t pos, void* buf, std::size_t n) {
            f.Seek(pos);
            f.ReadExact(buf, n);
        };
        use(ReadZipEnd(StatPath(host_path).size, read), read);
        return true;
    } catch (const FormatError&) {
    } catch (const IoError&) {
    }
    return false;
}

}  // namespace

bool ZipHasEndRecords(const std::string& host_path) {
    return WithZipEnd(host_path, [](const ZipEnd&, const ZipReadAt&) {});
}

bool ReadZipMemberNames(const std::string& host_path, std::vector<std::string>& names) {
    names.clear();
    const bool ok = WithZipEnd(host_path, [&names](const ZipEnd& end, const ZipReadAt& read) {
        std::vector<std::uint8_t> cd(static_cast<std::size_t>(end.cd_size));
        read(end.cd_offset, cd.data(), cd.size());
        ByteReader r(cd);
        for (std::uint64_t i = 0; i < end.count; ++i) names.push_back(ReadZipCentralRecord(r).name);
    });
    if (!ok) names.clear();
    return ok;
}

}  // namespace qp
