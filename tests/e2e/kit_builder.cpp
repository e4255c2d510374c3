// The sample kit of the end-to-end runs.
#include "e2e/kit_builder.h"

#include <windows.h>

#include "common/keytable.h"
#include "kitzip/zip_writer.h"
#include "support/testutil.h"

namespace qpe2e {
namespace {

qp::FileNode File(const std::string& source) {
    qp::FileNode n;
    n.kind = qp::FileNode::kFile;
    n.size = 1;
    n.version = 0;
    n.time = 0;
    n.name = source;
    return n;
}

qp::FileNode Folder(const std::string& name) {
    qp::FileNode n;
    n.kind = qp::FileNode::kFolder;
    n.version = ~0ull;
    n.name = name;
    return n;
}

void Str(qp::SetupList& l, const std::string& key, const std::string& value) {
    for (auto& s : l.strings) {
        if (s.key == key) {
            s.values = {value};
            return;
        }
    }
    l.strings.push_back({key, "", {value}});
}

}  // namespace

namespace {
std::string& Guid() {
    static std::string guid = qptest::RunGuid("5E2E0001");
    return guid;
}
}  // namespace

const std::string& SampleGuid() { return Guid(); }
void NewSampleGuid() { Guid() = qptest::RunGuid("5E2E0001"); }

qp::SetupList SampleList() {
    qp::SetupList l;
    qp::DefaultSettings(l.settings);
    l.settings.set_page_mask(0x1FF);
    l.settings.set_product_guid(SampleGuid());
    l.settings.set_os_mask(1);

    qp::GroupRecord prog;
    prog.name = "Program Files";
    prog.shared = 0;
    prog.destination = "<TARGETDIR>";
    prog.file_tree.name = prog.name;
    prog.file_tree.children.push_back(File("C:\\src\\app.txt"));
    qp::FileNode docs = Folder("docs");
    docs.children.push_back(File("C:\\src\\manual.txt"));
    prog.file_tree.children.push_back(docs);
    qp::GroupRecord help;
    help.name = "Help Files";
    help.shared = 0;
    help.destination = "<TARGETDIR>\\Help";
    help.file_tree.name = help.name;
    help.file_tree.children.push_back(File("C:\\src\\help.txt"));
    l.groups = {prog, help};

    l.components.name = "Components";
    qp::ComponentRecord program;
    program.name = "Program";
    program.description = "The program itself.";
    program.group_names = {"Program Files"};
    qp::ComponentRecord helpc;
    helpc.name = "Help";
    helpc.description = "Help texts.";
    helpc.group_names = {"Help Files"};
    l.components.children = {program, helpc};

    qp::SetupTypeRecord typical;
    typical.name = "Typical";
    typical.description = "Everything.";
    typical.require_component_step = 0;
    typical.component_names = {"Program", "Help"};
    qp::SetupTypeRecord custom;
    custom.name = "Custom";
    custom.description = "Choose what to install.";
    custom.require_component_step = 1;
    custom.component_names = {"Program", "Help"};
    l.setup_types = {typical, custom};

    qp::RegistryNode set;
    set.kind = qp::RegistryNode::kSet;
    set.name = "RegEntry1";
    qp::RegistryNode hive;
    hive.kind = qp::RegistryNode::kHive;
    hive.name = "HKEY_LOCAL_MACHINE";
    qp::RegistryNode k1, k2, value;
    k1.kind = qp::RegistryNode::kKey;
    k1.name = "SOFTWARE\\E2E Vendor";
    k2.kind = qp::RegistryNode::kKey;
    k2.name = "Gizmo";
    value.kind = qp::RegistryNode::kString;
    value.name = "Path";
    value.data = "<TARGETDIR>";
    value.group_names = {"Program Files"};
    k2.children = {value};
    k1.children = {k2};
    hive.children = {k1};
    set.children = {hive};
    l.registry.children = {set};

    for (int id = 1; id < qp::kKeyCount; ++id) {
        if (*qp::KeyName(id)) l.strings.push_back({qp::KeyName(id), "", {qp::KeyDefault(id)}});
    }
    Str(l, "PRODUCT_NAME", kProduct);
    Str(l, "COMPANY_NAME", kCompany);
    Str(l, "FOLDER_NAME", "Gizmo");
    Str(l, "TITLE_MAIN", "Gizmo 1.0 Setup");
    Str(l, "TITLE_CAPTIONBAR", "Gizmo Setup");
    Str(l, "UNINST_DISPLAY_NAME", "Gizmo 1.0");
    Str(l, "REMOVEAPPQUESTION", "Remove %P and all of its parts?");
    Str(l, "DLG_SELECTDIRECTORY_TITLE", "Choose Destination Location");
    Str(l, "DLG_REPORT_TITLE", "Installation Report");
    Str(l, "DLG_REPORT_COMMENT", "What Setup did.");
    Str(l, "DLG_ADDREMOVE_TITLE", "Maintenance");
    Str(l, "DLG_ADDREMOVE_COMMENT", "Modify, repair or remove %P.");
    Str(l, "DLG_ADDREMOVE_MODIFY", "&Modify: add or remove components");
    Str(l, "DLG_ADDREMOVE_REPAIR", "&Repair: install the chosen components again");
    Str(l, "DLG_ADDREMOVE_REMOVE", "R&emove: take %P off this computer");
    Str(l, "SPACEREQ", "Required:");
    Str(l, "CANCELBUT", "Cancel");
    for (int page = 1; page <= 18; ++page)
        Str(l, "M" + std::to_string(page), "Step " + std::to_string(page) + " of the Gizmo setup");
    l.languages = {{0, 200}};

    qp::ShortcutNode programs;
    programs.kind = qp::ShortcutNode::kPrograms;
    programs.name = "Programs";
    qp::ShortcutNode folder;
    folder.kind = qp::ShortcutNode::kFolder;
    folder.name = "<SHELL_OBJECT_FOLDER>";
    qp::ShortcutNode link;
    link.kind = qp::ShortcutNode::kShortcut;
    link.name = "Gizmo Readme";
    link.target = "<TARGETDIR>\\app.txt";
    link.group_names = {"Program Files"};
    folder.children = {link};
    programs.children = {folder};
    l.shortcuts.children = {programs};
    return l;
}

void WriteKit(const std::string& kit, const qp::SetupList& list) {
    qp::SaveSetupList(list, kit + "\\setup.lst");
    const std::string src = kit + "\\payload";
    CreateDirectoryA(src.c_str(), nullptr);
    qptest::WriteText(src + "\\app.txt", "Gizmo application\r\n");
    qptest::WriteText(src + "\\manual.txt", "Gizmo manual\r\n");
    qptest::WriteText(src + "\\help.txt", "Gizmo help\r\n");
    {
        kitzip::ZipWriter zip(kit + "\\setup.cab");
        zip.AddFile(src + "\\app.txt", "Program Files/app.txt", 6);
        zip.AddFile(src + "\\manual.txt", "Program Files/docs/manual.txt", 6);
        zip.AddFile(src + "\\help.txt", "Help Files/help.txt", 6);
        zip.Close();
    }
    qptest::WriteText(kit + "\\license.txt",
                      "GIZMO LICENCE\r\n\r\nYou may use Gizmo for testing the Quillpacker setup.\r\n");
    qptest::WriteText(kit + "\\readme.txt", "Gizmo 1.0\r\n\r\nRead me first.\r\n");
    CopyFileA(QP_SETUP_EXE, (kit + "\\setup.exe").c_str(), FALSE);
}

void WriteKitWith(const std::string& kit, const qp::SetupList& list, const std::map<std::string, std::string>& members) {
    qp::SaveSetupList(list, kit + "\\setup.lst");
    const std::string src = kit + "\\payload";
    CreateDirectoryA(src.c_str(), nullptr);
    {
        kitzip::ZipWriter zip(kit + "\\setup.cab");
        int n = 0;
        for (const auto& [member, content] : members) {
            const std::string file = src + "\\" + std::to_string(++n) + ".bin";
            qptest::WriteText(file, content);
            zip.AddFile(file, member, 6);
        }
        zip.Close();
    }
    CopyFileA(QP_SETUP_EXE, (kit + "\\setup.exe").c_str(), FALSE);
}

}  // namespace qpe2e
