// The installation log format, its writer and its reader.
#include "setup/engine/log.h"

#include <cstdio>
#include <cstring>

#include "common/byteio.h"
#include "common/errors.h"
#include "common/fileio.h"

namespace qp {

namespace {

const char kLogMagic[] = "HeaderUninstalInfo Quillpack CopyRight 2001";
constexpr std::size_t kLogMagicSize = sizeof(kLogMagic) - 1;  // 43, no terminator in the file
constexpr std::int32_t kLogVersion = 1;
const char kDamaged[] = "Damaged";

void WriteNames(ByteWriter& w, const std::vector<std::string>& names) {
    w.I32(static_cast<std::int32_t>(names.size()));
    for (const auto& n : names) {
        // A name ends at its first zero, so a zero inside cannot change what the reader sees.
        std::string text = n.substr(0, std::strlen(n.c_str()));
        w.I32(static_cast<std::int32_t>(text.size() + 1));
        w.Bytes(text);
        w.U8(0);
    }
}

void WriteFolder(ByteWriter& w, const std::string& text) {
    std::string t = text.substr(0, std::strlen(text.c_str()));
    if (t.size() > kLogFolderField - 1) t.resize(kLogFolderField - 1);
    w.Fixed(t, kLogFolderField);
}

// A length of 0 or less ends the list before its count; the stream goes on from there.
std::vector<std::string> ReadNames(ByteReader& r) {
    std::vector<std::string> names;
    const std::int32_t count = r.I32();
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t n = r.I32();
        if (n <= 0) break;
        r.Need(static_cast<std::size_t>(n));
        std::string bytes = r.Bytes(static_cast<std::size_t>(n));
        names.push_back(bytes.substr(0, std::strlen(bytes.c_str())));
    }
    return names;
}

}  // namespace

std::vector<std::uint8_t> EncodeLog(const InstallLog& log) {
    ByteWriter w;
    w.Bytes(kLogMagic, kLogMagicSize);
    w.I32(kLogVersion);
    WriteNames(w, log.components);
    WriteNames(w, log.groups);
    WriteFolder(w, log.program_folder);
    WriteFolder(w, log.destination);
    w.I32(log.language);
    return w.Data();
}

InstallLog DecodeLog(const std::uint8_t* data, std::size_t size) {
    if (size < kLogMagicSize || std::memcmp(data, kLogMagic, kLogMagicSize) != 0)
        throw FormatError("Unknow file format");
    ByteReader r(data, size);
    r.Skip(kLogMagicSize);
    InstallLog log;
    try {
        if (r.I32() >= 2) throw FormatError("Version is newer than program");
        log.components = ReadNames(r);
        log.groups = ReadNames(r);
        log.program_folder = r.Fixed(kLogFolderField);
        log.destination = r.Fixed(kLogFolderField);
        log.language = r.I32();
    } catch (const FormatError& e) {
        if (std::strcmp(e.what(), "Version is newer than program") == 0) throw;
        throw FormatError(kDamaged);
    }
    return log;
}

int WriteLogFile(const std::string& path, const InstallLog& log) {
    const auto bytes = EncodeLog(log);
    return WriteFileReplacing(path, bytes.data(), bytes.size(), ".new") == FileResult::kOk ? 1 : -1;
}

int ReadLogFile(const std::string& path, InstallLog& log, LogMessage& message) {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, bytes, kMaxLogFileSize) != FileResult::kOk) {
        message = {path + " UnInstalation LOG file error!", "FATAL Error !"};
        return 0;
    }
    try {
        log = DecodeLog(bytes.data(), bytes.size());
    } catch (const FormatError& e) {
        if (std::strcmp(e.what(), kDamaged) == 0)
            message = {path + " UnInstalation LOG file error!", "FATAL Error !"};
        else
            message = {e.what(), "Fatal Error !"};
        return 0;
    }
    return 1;
}

}  // namespace qp
