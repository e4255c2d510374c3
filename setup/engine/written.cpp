// The record of written files: its text form, writer and reader.
#include "setup/engine/written.h"

#include <algorithm>

#include "common/fileio.h"
#include "common/fsprim.h"
#include "common/strutil.h"

namespace qp {

namespace {

const char kHeader[] = "QPBWritten 1";

bool ParseKilobytes(const std::string& s, std::uint32_t& out) {
    if (s.empty() || s.size() > 9) return false;
    std::uint32_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::uint32_t>(c - '0');
    }
    out = v;
    return true;
}

}  // namespace

bool WrittenRecord::Has(const std::string& path) const { return at_.find(LowerAscii(path)) != at_.end(); }

void WrittenRecord::Add(const std::string& path, std::uint32_t kilobytes) {
    if (path.empty()) return;
    std::size_t index = files_.size();
    const auto in = at_.emplace(LowerAscii(path), index);
    if (in.second)
        files_.push_back({path, kilobytes});
    else
        files_[in.first->second].kilobytes = kilobytes;
}

// The file leaves a hole: one run removes at most what it has read or added, and a record read
// back has none.
void WrittenRecord::Remove(const std::string& path) {
    const auto it = at_.find(LowerAscii(path));
    if (it == at_.end()) return;
    files_[it->second] = WrittenFile{};
    at_.erase(it);
}

void WrittenRecord::Clear() { *this = WrittenRecord(); }

std::uint64_t WrittenRecord::Kilobytes() const {
    std::uint64_t n = 0;
    for (const auto& f : files_) n += f.kilobytes;
    return n;
}

std::string EncodeWrittenRecord(const WrittenRecord& r) {
    // A line break or tab inside a text would split it; no path or folder name holds one.
    auto clean = [](std::string s) {
        s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t' || c == 0; }),
                s.end());
        return s;
    };
    std::string out = std::string(kHeader) + "\r\n";
    out += "destination\t" + clean(r.destination) + "\r\n";
    out += "folder\t" + clean(r.program_folder) + "\r\n";
    r.EachFile([&](const WrittenFile& f) { out += "file\t" + std::to_string(f.kilobytes) + "\t" + clean(f.path) + "\r\n"; });
    return out;
}

bool DecodeWrittenRecord(const std::string& text, WrittenRecord& out) {
    out.Clear();
    WrittenRecord r;
    std::size_t pos = 0;
    bool first = true;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos || end - pos > kWrittenLineLimit) return false;
        const std::string line = text.substr(pos, end - pos);
        pos = end + 2;
        if (first) {
            if (line != kHeader) return false;
            first = false;
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) return false;
        const std::string kind = line.substr(0, tab), value = line.substr(tab + 1);
        if (kind == "destination") {
            r.destination = value;
        } else if (kind == "folder") {
            r.program_folder = value;
        } else if (kind == "file") {
            const std::size_t tab2 = value.find('\t');
            std::uint32_t kb = 0;
            if (tab2 == std::string::npos || !ParseKilobytes(value.substr(0, tab2), kb)) return false;
            const std::string path = value.substr(tab2 + 1);
            if (path.empty()) return false;
            r.Add(path, kb);
        } else {
            return false;
        }
    }
    if (first) return false;
    out = std::move(r);
    return true;
}

int WriteWrittenRecord(const std::string& path, const WrittenRecord& record) {
    const std::string text = EncodeWrittenRecord(record);
    return WriteFileReplacing(path, text.data(), text.size(), ".new") == FileResult::kOk ? 1 : -1;
}

RecordRead ReadWrittenRecord(const std::string& path, WrittenRecord& out) {
    out.Clear();
    if (!IsFile(path)) return RecordRead::kMissing;
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, bytes, kWrittenRecordLimit) != FileResult::kOk) return RecordRead::kDamaged;
    const std::string text(bytes.begin(), bytes.end());
    return DecodeWrittenRecord(text, out) ? RecordRead::kRead : RecordRead::kDamaged;
}

}  // namespace qp
