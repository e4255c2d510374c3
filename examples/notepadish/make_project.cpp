// Writes examples/notepadish/notepadish.qpk through the project model, the way an author would
// make it in the builder. File nodes hold bare names, so that on every open they are found
// under the project's DATA folder (DATA\<group>\<folders>\<name>) on Linux and Windows alike;
// the side files are named relative to the project's folder.
//
// Usage: make_notepadish_project OUTPUT.qpk LANGUAGE.ini
#include <cstdio>
#include <string>

#include "builder/model/doc.h"
#include "builder/model/language.h"
#include "builder/model/projectfile.h"

namespace {

using namespace qp;

class StderrReporter : public Reporter {
public:
    using Reporter::Report;
    void Report(Severity, const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

CObListFile* Folder(CObListFile* parent, const char* name) { return parent->AddFolder(name); }

void MakeProject(CDazDoc& doc) {
    doc.settings_block.set_product_guid("{5E0B7A31-9C42-4d1e-A6F3-2B8D90C4E715}");
    doc.CreateDefaultFolders();
    doc.AddLanguage(0);  // English
    doc.AddLanguage(1);  // German

    // Groups, with sub-folders; "notes.txt" is in two groups on purpose.
    CItemGroup* program = doc.group_list.Add("Program");
    program->overwrite_word = overwrite::kAlways;
    program->shared = 0;  // the product's own files: a removal takes them away
    program->file_tree.AddFile("notepadish.txt");
    program->file_tree.AddFile("notepadish.ini");
    program->file_tree.AddFile("notes.txt");
    CObListFile* bin = Folder(&program->file_tree, "bin");
    bin->AddFile("notepadish.cmd");
    bin->AddFile("wordlist.dat");

    CItemGroup* templates = doc.group_list.Add("Templates");
    templates->destination = "<TARGETDIR>\\Templates";
    templates->shared = 0;
    templates->file_tree.AddFile("notes.txt");
    CObListFile* letters = Folder(&templates->file_tree, "letters");
    letters->AddFile("letter.txt");
    letters->AddFile("memo.txt");

    CItemGroup* help = doc.group_list.Add("Help");
    help->destination = "<TARGETDIR>\\Help";
    help->language_mask = "10";  // English only
    help->shared = 0;
    help->file_tree.AddFile("guide.txt");
    CItemGroup* hilfe = doc.group_list.Add("Help German");
    hilfe->destination = "<TARGETDIR>\\Help";
    hilfe->language_mask = "01";  // German only
    hilfe->shared = 0;
    Folder(&hilfe->file_tree, "de")->AddFile("anleitung.txt");

    // Components and setup types.
    CItemComponent* program_files = doc.root_component.AddChild("Program Files");
    program_files->file_need = CItemComponent::kCritical;
    program_files->description = "The editor and its word list";
    program_files->file_groups.push_back(program);
    CItemComponent* help_files = doc.root_component.AddChild("Help Files");
    help_files->file_need = CItemComponent::kRecommended;
    help_files->description = "The user's guide";
    help_files->file_groups = {help, hilfe};
    CItemComponent* template_files = doc.root_component.AddChild("Templates");
    template_files->description = "Letter and memo templates";
    template_files->file_groups.push_back(templates);
    template_files->required_components.push_back(program_files);

    CItemSetup* compact = doc.setup_type_list.Add("Compact");
    compact->require_component_step = 0;
    compact->components = {program_files};
    CItemSetup* typical = doc.setup_type_list.Add("Typical");
    typical->require_component_step = 0;
    typical->components = {program_files, help_files, template_files};
    CItemSetup* custom = doc.setup_type_list.Add("Custom");
    custom->components = {program_files, help_files, template_files};

    // A registry set with one value of each kind below HKEY_CURRENT_USER\Software\Notepadish.
    CRegistry* set = doc.registry_root.AddSet("RegEntry1");
    CRegistry* hkcu = set->children[1].get();
    CRegistry* key = hkcu->AddChild(CRegistry::kKey, "Software")->AddChild(CRegistry::kKey, "Notepadish");
    key->file_groups.push_back(program);
    key->AddChild(CRegistry::kString, "InstallDir", "<TARGETDIR>")->file_groups.push_back(program);
    key->AddChild(CRegistry::kBinary, "WindowPlacement", "2C0000000100FF7F")->file_groups.push_back(program);
    key->AddChild(CRegistry::kDword, "FontSize", "0000000B")->file_groups.push_back(program);

    // Shortcuts: the program folder with the editor and the uninstaller, and one on the desktop.
    doc.CreateDefaultShortcuts();
    CObListShort* folder = doc.shortcut_root.children[0]->children[0]->children[1].get();
    CObListShort* link = folder->AddChild(CObListShort::kShortcut, "Notepadish");
    link->target = "<TARGETDIR>\\notepadish.txt";
    link->comment = "Opens the Notepadish notes";
    link->file_groups.push_back(program);
    CObListShort* guide = folder->AddChild(CObListShort::kShortcut, "Notepadish Guide");
    guide->target = "<TARGETDIR>\\Help\\guide.txt";
    guide->file_groups.push_back(help);
    CObListShort* desk = doc.shortcut_root.AddChild(CObListShort::kShortcut, "Notepadish");
    desk->target = "<TARGETDIR>\\notepadish.txt";
    desk->file_groups.push_back(program);

    // Product texts in both languages (wizard texts come from the language file).
    doc.SetString("PRODUCT_NAME", "Notepadish");
    doc.SetString("COMPANY_NAME", "Veltor Examples");
    doc.SetString("FOLDER_NAME", "Notepadish");
    doc.SetString("TITLE_MAIN", "Notepadish 1.2");
    doc.SetString("TITLE_CAPTIONBAR", "Notepadish Setup");
    doc.SetString("UNINST_DISPLAY_NAME", "Notepadish 1.2");
    CStringItem* title = doc.FindString("TITLE_CAPTIONBAR");
    if (title) title->SetValue(1, "Notepadish Installation");

    doc.side_file_paths[0] = "setup.bmp";
    doc.side_file_paths[1] = "readme.txt";
    doc.side_file_paths[2] = "license.txt";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_notepadish_project OUTPUT.qpk LANGUAGE.ini\n");
        return 2;
    }
    qp::LanguageFile texts(argv[2]);
    qp::CDazDoc doc;
    doc.wizard_texts = &texts;
    MakeProject(doc);
    doc.wizard_texts = nullptr;
    StderrReporter reporter;
    return qp::SaveProject(doc, argv[1], reporter) ? 0 : 1;
}
