// Profile files with the reading rules of the Windows profile API: CR LF, CR and LF each end a
// line, blanks around each line, around "=" and inside "[ ]" are dropped, the text between "["
// and the last "]" names a section, lines before the first section form a nameless one, and
// lookups take the first match of a name (ASCII letters compared without regard to case).
#include "builder/model/profile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "common/fileio.h"
#include "common/fsprim.h"
#include "common/strutil.h"

namespace qp {

namespace {

// Names compare without regard to case for ASCII letters only; accented letters must match
// exactly, as they do for the API under Wine.
unsigned char Fold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsProfileSpace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && IsProfileSpace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

// The API works on zero-terminated texts: whatever follows a zero byte is not there.
std::string CutAtZero(std::string s) {
    auto z = s.find('\0');
    if (z != std::string::npos) s.resize(z);
    return s;
}

// The visible content of a raw line: without its final line feed or carriage return.
std::string Content(const std::string& raw) {
    std::size_t n = raw.size();
    if (n >= 2 && raw[n - 2] == '\r' && raw[n - 1] == '\n') return raw.substr(0, n - 2);
    if (n >= 1 && (raw[n - 1] == '\n' || raw[n - 1] == '\r')) return raw.substr(0, n - 1);
    return raw;
}


// Copies a text into a buffer of `size` characters the way the API hands out an entry: a
// leading quote that the text also ends with is dropped, and so is the closing one when the
// buffer was large enough to hold it.
std::string CopyEntry(const std::string& value, std::size_t size) {
    if (size == 0) return std::string();
    std::size_t start = 0;
    bool quoted = false;
    if (!value.empty() && (value[0] == '"' || value[0] == '\'') && value.size() > 1 && value.back() == value[0]) {
        quoted = true;
        start = 1;
    }
    std::size_t rest = value.size() - start;
    std::string out = value.substr(start, std::min(rest, size - 1));
    if (quoted && size >= rest && !out.empty()) out.pop_back();
    return out;
}

}  // namespace

bool IsProfileSpace(unsigned char c) {
    // Tab, vertical tab, form feed, space and the old end-of-file mark Ctrl-Z; carriage return
    // and line feed end a line before trimming ever sees them.
    return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A;
}

bool ProfileNameEquals(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

ProfileFile::ProfileFile(std::string bytes) {
    Split(bytes);
    Parse();
    loaded_ = true;
}

ProfileFile ProfileFile::Load(const std::string& path) {
    ProfileFile profile;
    std::ifstream in(path, std::ios::binary);
    if (!in) return profile;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxFileSize) return profile;
    in.seekg(0, std::ios::beg);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !in.read(&bytes[0], size)) return profile;
    profile.Split(bytes);
    profile.Parse();
    profile.loaded_ = true;
    return profile;
}

void ProfileFile::Split(const std::string& bytes) {
    bom_.clear();
    lines_.clear();
    std::size_t p = 0;
    // A UTF-8 signature is skipped; the rest is read as ANSI bytes.
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bom_ = bytes.substr(0, 3);
        p = 3;
    }
    // A line ends at CR LF, at a lone CR or at a lone LF.
    while (p < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", p);
        if (end == std::string::npos) {
            lines_.push_back(bytes.substr(p));
            break;
        }
        std::size_t next = end + 1;
        if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
        lines_.push_back(bytes.substr(p, next - p));
        p = next;
    }
}

void ProfileFile::Parse() {
    sections_.clear();
    first_section_.clear();
    sections_.push_back(Section{});  // the nameless section of lines before any "[...]"
    first_section_.emplace(std::string(), 0);
    bool have_prev = false, prev_blank = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string line = Content(lines_[i]);
        std::size_t s = 0, e = line.size();
        while (s < e && IsProfileSpace(static_cast<unsigned char>(line[s]))) ++s;
        while (e > s && IsProfileSpace(static_cast<unsigned char>(line[e - 1]))) --e;
        if (s < e && line[s] == '[') {
            std::size_t close = e - 1;
            while (close > s && line[close] != ']') --close;
            if (close > s) {
                Section section;
                section.name = Trim(CutAtZero(line.substr(s + 1, close - s - 1)));
                section.header = i;
                section.has_header = true;
                // emplace keeps an existing entry: a repeated name still finds the first.
                first_section_.emplace(LowerAscii(section.name), sections_.size());
                sections_.push_back(std::move(section));
                have_prev = false;
                continue;
            }
        }
        Key key;
        key.line = i;
        std::size_t eq = line.find('=', s);
        std::size_t name_end = e;
        if (eq != std::string::npos && eq < e) {
            std::size_t vs = eq + 1;
            name_end = eq;
            while (name_end > s && IsProfileSpace(static_cast<unsigned char>(line[name_end - 1]))) --name_end;
            while (vs < e && IsProfileSpace(static_cast<unsigned char>(line[vs]))) ++vs;
            key.value = CutAtZero(line.substr(vs, e - vs));
            key.has_value = true;
        }
        std::size_t len = name_end - s;
        // Runs of blank lines count once, as the API keeps them.
        if (len == 0 && have_prev && prev_blank) continue;
        key.name = CutAtZero(line.substr(s, len));
        have_prev = true;
        prev_blank = key.name.empty();
        Section& owner = sections_.back();
        owner.first_key.emplace(LowerAscii(key.name), owner.keys.size());
        owner.keys.push_back(std::move(key));
    }
}

std::string ProfileFile::Text() const {
    std::string out = bom_;
    for (const auto& l : lines_) out += l;
    return out;
}

bool ProfileFile::Save(const std::string& path) const {
    namespace fs = std::filesystem;
    std::string temp = path + ".qptmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        std::string text = Text();
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            fs::remove(temp, ec);
            return false;
        }
    }
    if (!RenameOver(temp, path)) {
        RemoveFile(temp);
        return false;
    }
    return true;
}

const ProfileFile::Section* ProfileFile::FindSection(const std::string& name) const {
    auto it = first_section_.find(LowerAscii(name));
    return it == first_section_.end() ? nullptr : &sections_[it->second];
}

const ProfileFile::Key* ProfileFile::FindKey(const Section& section, const std::string& name) {
    auto it = section.first_key.find(LowerAscii(name));
    return it == section.first_key.end() ? nullptr : &section.keys[it->second];
}

std::string ProfileFile::GetString(const std::string& section, const std::string& key, std::size_t size) const {
    if (key.empty()) return std::string();
    const Section* s = FindSection(Trim(section));
    if (!s) return std::string();
    const Key* k = FindKey(*s, Trim(key));
    if (!k || !k->has_value) return std::string();
    return CopyEntry(k->value, size);
}

std::string ProfileFile::SectionBuffer(const std::string& section, std::size_t size) const {
    // The section name is matched as given, without trimming, as the section read does.
    const Section* s = FindSection(section);
    std::string out;
    if (size < 2) return out;
    if (!s) return std::string(2, '\0');
    std::size_t len = size;  // room left, as the API counts it
    bool cut = false;
    for (const auto& k : s->keys) {
        if (len <= 2) break;
        if (k.name.empty() && !k.has_value) continue;
        if (!k.name.empty() && k.name[0] == ';') continue;
        std::string piece = k.name.substr(0, std::min(k.name.size(), len - 2));
        out += piece;
        out += '\0';
        len -= piece.size() + 1;
        if (len < 2) break;
        if (k.has_value) {
            out.back() = '=';
            std::string v = k.value.substr(0, std::min(k.value.size(), len - 2));
            out += v;
            out += '\0';
            len -= v.size() + 1;
        }
    }
    if (len <= 1) {
        cut = true;
    }
    out += '\0';
    if (cut) {
        // A full buffer ends with two zeros in its last two places.
        out.resize(size);
        out[size - 2] = '\0';
        out[size - 1] = '\0';
    }
    return out;
}

std::vector<ProfileEntry> ProfileFile::GetSection(const std::string& section, std::size_t size) const {
    std::vector<ProfileEntry> entries;
    std::string buf = SectionBuffer(section, size);
    std::size_t p = 0;
    while (p < buf.size() && buf[p] != '\0') {
        std::size_t z = buf.find('\0', p);
        if (z == std::string::npos) z = buf.size();
        std::string item = buf.substr(p, z - p);
        ProfileEntry entry;
        auto eq = item.find('=');
        if (eq == std::string::npos) {
            entry.name = item;
        } else {
            entry.name = item.substr(0, eq);
            entry.value = item.substr(eq + 1);
            entry.has_value = true;
        }
        entries.push_back(std::move(entry));
        p = z + 1;
    }
    return entries;
}

std::vector<std::string> ProfileFile::SectionNames() const {
    std::vector<std::string> names;
    for (const auto& s : sections_)
        if (s.has_header) names.push_back(s.name);
    return names;
}

std::string ProfileFile::LineEnding() const {
    for (const auto& l : lines_) {
        if (l.size() >= 2 && l.compare(l.size() - 2, 2, "\r\n") == 0) return "\r\n";
        if (!l.empty() && l.back() == '\n') return "\n";
    }
    return "\r\n";
}

void ProfileFile::InsertLine(std::size_t at, const std::string& content) {
    std::string eol = LineEnding();
    if (at > 0) {
        std::string& before = lines_[at - 1];
        if (before.empty() || (before.back() != '\n' && before.back() != '\r')) before += eol;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), content + eol);
}

bool ProfileFile::SetString(const std::string& section, const std::string& key, const std::string& value) {
    auto has_break = [](const std::string& s) {
        return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
    };
    std::string sec = Trim(section);
    std::string name = Trim(key);
    if (sec.empty() || name.empty() || has_break(section) || has_break(key) || has_break(value)) return false;
    if (name.find('=') != std::string::npos || name[0] == '[') return false;
    std::string text = value;
    std::size_t lead = 0;
    while (lead < text.size() && IsProfileSpace(static_cast<unsigned char>(text[lead]))) ++lead;
    text.erase(0, lead);

    const Section* s = FindSection(sec);
    if (s) {
        if (const Key* k = FindKey(*s, name)) {
            if (k->has_value && k->value == text) return true;
            // Keep the name as the file spells it and the line's own ending.
            std::string& raw = lines_[k->line];
            std::string ending = raw.substr(Content(raw).size());
            raw = k->name + "=" + text + ending;
            Parse();
            return true;
        }
        // After the section's last line that is not blank, so that a blank line before the
        // next section stays where it is.
        std::size_t at = s->has_header ? s->header + 1 : 0;
        for (const auto& k : s->keys)
            if (!k.name.empty() || k.has_value) at = k.line + 1;
        InsertLine(at, name + "=" + text);
        Parse();
        return true;
    }
    std::size_t at = lines_.size();
    if (at > 0 && !Trim(Content(lines_.back())).empty()) {
        InsertLine(at, "");
        ++at;
    }
    InsertLine(at, "[" + sec + "]");
    InsertLine(at + 1, name + "=" + text);
    Parse();
    return true;
}

bool ProfileFile::DeleteKey(const std::string& section, const std::string& key) {
    const Section* s = FindSection(Trim(section));
    if (!s) return false;
    std::string want = Trim(key);
    if (want.empty()) return false;
    const Key* k = FindKey(*s, want);
    if (!k) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(k->line));
    Parse();
    return true;
}

bool ProfileFile::DeleteSection(const std::string& section) {
    std::string want = Trim(section);
    if (want.empty()) return false;
    bool any = false;
    // From the back, so that line numbers of the sections still to remove stay valid.
    for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
        if (!it->has_header || !ProfileNameEquals(it->name, want)) continue;
        std::size_t end = lines_.size();
        auto next = it.base();  // the section after this one
        if (next != sections_.end()) end = next->header;
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(it->header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(end));
        any = true;
    }
    if (any) Parse();
    return any;
}

std::string ProfileRead(const std::string& path, const std::string& section, const std::string& key,
                        std::size_t size) {
    return ProfileFile::Load(path).GetString(section, key, size);
}

bool ProfileWrite(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value) {
    std::error_code ec;
    bool exists = std::filesystem::exists(path, ec);
    ProfileFile profile = ProfileFile::Load(path);
    // An existing file we cannot read must not be replaced by one holding only this entry.
    if (exists && !profile.Loaded()) return false;
    std::string before = profile.Text();
    if (!profile.SetString(section, key, value)) return false;
    if (exists && profile.Text() == before) return true;
    return profile.Save(path);
}

}  // namespace qp
