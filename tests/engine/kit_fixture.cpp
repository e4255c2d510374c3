// The engine test kit.
#include "engine/kit_fixture.h"

#include <zlib.h>

#include <fstream>
#include <stdexcept>

#include "common/byteio.h"

namespace enginetest {

void WriteStoredZip(const std::string& path, const std::map<std::string, std::string>& members) {
    qp::ByteWriter local, central;
    std::uint32_t count = 0;
    for (const auto& [name, data] : members) {
        const std::uint32_t crc =
            crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
        const std::uint32_t offset = static_cast<std::uint32_t>(local.Size());
        local.U32(0x04034b50);
        local.U16(20);
        local.U16(0);
        local.U16(0);       // stored
        local.U16(0x6000);  // 12:00
        local.U16(0x5821);  // 2024-01-01
        local.U32(crc);
        local.U32(static_cast<std::uint32_t>(data.size()));
        local.U32(static_cast<std::uint32_t>(data.size()));
        local.U16(static_cast<std::uint16_t>(name.size()));
        local.U16(0);
        local.Bytes(name);
        local.Bytes(data);
        central.U32(0x02014b50);
        central.U16(20);
        central.U16(20);
        central.U16(0);
        central.U16(0);
        central.U16(0x6000);
        central.U16(0x5821);
        central.U32(crc);
        central.U32(static_cast<std::uint32_t>(data.size()));
        central.U32(static_cast<std::uint32_t>(data.size()));
        central.U16(static_cast<std::uint16_t>(name.size()));
        central.U16(0);
        central.U16(0);
        central.U16(0);
        central.U16(0);
        central.U32(0);
        central.U32(offset);
        central.Bytes(name);
        ++count;
    }
    qp::ByteWriter end;
    end.U32(0x06054b50);
    end.U16(0);
    end.U16(0);
    end.U16(static_cast<std::uint16_t>(count));
    end.U16(static_cast<std::uint16_t>(count));
    end.U32(static_cast<std::uint32_t>(central.Size()));
    end.U32(static_cast<std::uint32_t>(local.Size()));
    end.U16(0);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    for (const auto* w : {&local, &central, &end})
        out.write(reinterpret_cast<const char*>(w->Data().data()), static_cast<std::streamsize>(w->Size()));
}

qp::FileNode FileLeaf(const std::string& source_path) {
    qp::FileNode n;
    n.kind = qp::FileNode::kFile;
    n.name = source_path;
    n.version = 0;
    n.time = 0;
    return n;
}

qp::FileNode Folder(const std::string& name, std::vector<qp::FileNode> children) {
    qp::FileNode n;
    n.kind = qp::FileNode::kFolder;
    n.name = name;
    n.version = ~0ull;
    n.children = std::move(children);
    return n;
}

qp::GroupRecord Group(const std::string& name, std::vector<qp::FileNode> files) {
    qp::GroupRecord g;
    g.name = name;
    g.shared = 0;
    g.overwrite_word = 0x001;
    g.file_tree.kind = qp::FileNode::kRoot;
    g.file_tree.name = name;
    g.file_tree.children = std::move(files);
    return g;
}

qp::ComponentRecord Component(const std::string& name, std::vector<std::string> groups) {
    qp::ComponentRecord c;
    c.name = name;
    c.group_names = std::move(groups);
    return c;
}

qp::StringRecord Text(const std::string& key, const std::string& value) {
    qp::StringRecord s;
    s.key = key;
    s.values = {value};
    return s;
}

std::vector<qp::WrittenFile> FilesOf(const qp::WrittenRecord& r) {
    std::vector<qp::WrittenFile> out;
    r.EachFile([&out](const qp::WrittenFile& f) { out.push_back(f); });
    return out;
}

int ScriptedQuestions::AbortRetryIgnore(const std::string& text, const std::string& caption) {
    asked.push_back(caption + "|" + text);
    if (answers.empty()) return kIgnore;
    int a = answers.front();
    answers.erase(answers.begin());
    return a;
}

void ScriptedQuestions::Message(const std::string& text, const std::string& caption, Icon) {
    messages.push_back(caption + "|" + text);
}

bool ScriptedQuestions::PickFolder(const std::string&, std::string& folder) {
    if (folders.empty()) return false;
    folder = folders.front();
    folders.erase(folders.begin());
    return true;
}

}  // namespace enginetest
