// The installation log "uninst.lst": what a first installation (and each modify or repair run)
// leaves for the next maintenance run. Byte layout: magic, version 1, chosen components, installed
// groups, program folder and destination in 3000-byte fields, the language-table index.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qp {

constexpr std::size_t kLogFolderField = 3000;

struct InstallLog {
    std::vector<std::string> components;  // component paths chosen in the run that wrote the log
    std::vector<std::string> groups;      // file groups installed
    std::string program_folder;
    std::string destination;
    std::int32_t language = 0;  // language-table index
};

// The log as bytes. A folder text longer than its field allows is cut so that a zero ends it.
std::vector<std::uint8_t> EncodeLog(const InstallLog& log);

// Reads a log. Throws FormatError whose text is the message to show: "Unknow file format" for a
// foreign file, "Version is newer than program" for a newer one, "Damaged" for a cut or broken one.
InstallLog DecodeLog(const std::uint8_t* data, std::size_t size);

// What the caller shows when a log file cannot be used.
struct LogMessage {
    std::string text;
    std::string caption;
};

// Writes the log beside `path` and renames it over only when complete. 1, or -1 on failure.
int WriteLogFile(const std::string& path, const InstallLog& log);

// The largest log that is read (a log holds a few lines per component and group). Only an
// ordinary file of at most this size is read; anything else is an unreadable log.
constexpr std::size_t kMaxLogFileSize = 64u << 20;

// Reads the log file. 1, or 0 with `message` filled with the box to show.
int ReadLogFile(const std::string& path, InstallLog& log, LogMessage& message);

}  // namespace qp
