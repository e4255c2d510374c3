// The one-file kit: the setup runtime with the kit's files carried inside it, and the layout
// by which the runtime finds them again. Written by the builder, read by the runtime.
//
// Layout of KIT.exe (all numbers little-endian):
//
//   [0, R)        the runtime's PE image as built (a certificate table it carried is dropped,
//                 and its security directory entry zeroed)
//   [R, D)        the files, one after the other, unpadded: setup.lst, setup.cab, then the
//                 side files (setup.bmp, readme.txt, license.txt) the kit has
//   [D, D+S)      the directory: per file u16 name length (1..259), the name, u64 offset from
//                 the start of the program, u64 size
//   zeros         0 to 7 bytes, so that the trailer ends on a multiple of 8: a signing tool
//                 then has nothing to pad before the certificate table it appends
//   trailer       48 bytes: u64 R, u64 D, u32 S, u32 file count, u32 the runtime's PE
//                 checksum field as built, u32 layout version (1), u32 flags (0), u32 CRC-32
//                 of every byte from R up to this field, then the 8 bytes "QPKITEND"
//   [signature]   what Authenticode signing appends: zero padding and the certificate table,
//                 which the PE's security directory (data directory 4) points at
//
// The reader finds the end of the signed content from the security directory (or the end of
// the file when there is none), steps back over at most 15 zero bytes of padding, and takes
// the trailer that ends there. Everything between the end of the runtime's sections and that
// point must be a payload whose offsets hold together and whose checksum matches; a program
// with bytes past its image that are not such a payload is a damaged kit, never a plain
// runtime, so a cut download is refused rather than run without its kit.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qp {

constexpr char kKitTrailerMagic[9] = "QPKITEND";
constexpr std::size_t kKitTrailerSize = 48;
constexpr std::uint32_t kKitLayoutVersion = 1;
constexpr std::size_t kKitMaxPadding = 15;
constexpr std::size_t kKitMaxFiles = 64;
constexpr std::size_t kKitMaxName = 259;

// Random access to the bytes of a file. ReadAt throws FormatError when the range passes the
// end and IoError when the medium fails.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    virtual void ReadAt(std::uint64_t pos, void* buf, std::size_t n) = 0;
};

class MemoryByteSource : public ByteSource {
public:
    explicit MemoryByteSource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    void ReadAt(std::uint64_t pos, void* buf, std::size_t n) override;

private:
    std::vector<std::uint8_t> bytes_;
};

// The file at `path`, opened for reading (shared with other readers and with the loader, so a
// running program can read itself). Throws IoError when it cannot be opened.
std::unique_ptr<ByteSource> OpenByteSource(const std::string& path);

// What the PE headers of a program say about where its parts lie.
struct PeLayout {
    bool pe32_plus = false;
    std::uint16_t machine = 0;            // 0x14C i386, 0x8664 x86-64
    std::uint64_t image_end = 0;          // end of the headers, the sections and a COFF symbol table
    std::size_t checksum_at = 0;          // file offset of the optional header's CheckSum
    std::size_t security_entry_at = 0;    // file offset of data directory 4 (offset, size)
    std::uint32_t security_offset = 0;    // the certificate table, 0 when unsigned
    std::uint32_t security_size = 0;
};
// Reads the headers from the first bytes of a program. Throws FormatError when they are not a
// PE image's.
PeLayout ReadPeLayout(ByteSource& src);

struct KitPayloadFile {
    std::string name;
    std::uint64_t offset = 0;  // from the start of the program
    std::uint64_t size = 0;
};

struct KitPayload {
    std::uint64_t runtime_size = 0;
    std::uint32_t runtime_checksum = 0;
    std::vector<KitPayloadFile> files;
    // The file of that name, compared without regard to ASCII case; null when absent.
    const KitPayloadFile* Find(const std::string& name) const;
};

enum class KitPayloadFound {
    kNone,     // a plain runtime: nothing after its image but padding and a certificate table
    kFound,    // a one-file kit
    kDamaged,  // bytes after the image that are no intact payload, or a cut certificate table
};

// Looks for the payload of a one-file kit in `src`. kDamaged comes with `why` (for a log).
// The checksum is verified over the whole payload unless `verify` is false.
KitPayloadFound FindKitPayload(ByteSource& src, KitPayload& payload, std::string* why = nullptr, bool verify = true);

// The bytes of one payload file (for the small ones: setup.lst and the side files). Throws
// FormatError when it is larger than `limit`.
std::vector<std::uint8_t> ReadPayloadFile(ByteSource& src, const KitPayloadFile& file,
                                          std::size_t limit = 64u * 1024 * 1024);

// The runtime alone, as it was before the payload went in: the image's bytes with the
// security directory entry zeroed and the checksum field as built.
std::vector<std::uint8_t> PlainRuntime(ByteSource& src, const KitPayload& payload);

// Writes a one-file kit to `sink` (false from the sink throws IoError). Call Runtime once, then
// BeginFile and Append for each file, then Finish.
class KitProgramWriter {
public:
    using Sink = std::function<bool(const void*, std::size_t)>;
    explicit KitProgramWriter(Sink sink) : sink_(std::move(sink)) {}
    // The runtime's PE image; throws FormatError when it is none. A certificate table it
    // carries is cut off: the kit's signature is made over the whole program afterwards.
    void Runtime(std::vector<std::uint8_t> pe);
    // Throws FormatError for an empty, over-long or repeated name, or too many files.
    void BeginFile(const std::string& name);
    void Append(const void* data, std::size_t n);
    // The directory, padding and trailer. Returns the program's size.
    std::uint64_t Finish();

private:
    void Put(const void* data, std::size_t n, bool checked);
    Sink sink_;
    std::uint64_t pos_ = 0, runtime_size_ = 0;
    std::uint32_t checksum_ = 0, crc_ = 0;
    bool have_runtime_ = false;
    std::vector<KitPayloadFile> files_;
};

}  // namespace qp
