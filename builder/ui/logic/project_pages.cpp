// The project settings pages, the new-project path, the build page and the pending-edit hook.
#include "builder/ui/logic/project_pages.h"

#include <algorithm>
#include <cctype>

#include "builder/kit/kitbuild.h"
#include "builder/kit/kitcheck.h"
#include "common/pathutil.h"

namespace qp {

// ---- Steps ------------------------------------------------------------------------------------

const char* const kStepTexts[kWizardSteps] = {"Welcome",  "Soft Agree",    "Read me",      "User",
                                              "Choose destination", "Setup type", "Custom setup",
                                              "Select program folder", "Start copying file", "Setup Complete"};

StepsPageState StepsPageState::Read(const SettingsBlock& block) {
    StepsPageState s;
    const std::uint32_t mask = block.page_mask();
    for (int i = 0; i < kWizardSteps; ++i) s.steps[std::size_t(i)] = (mask >> i) & 1u;
    s.guid = block.product_guid();
    if (s.guid.empty()) s.NewGuid();
    return s;
}

std::uint32_t StepsPageState::PageMask() const {
    std::uint32_t mask = 0;
    for (int i = 0; i < kWizardSteps; ++i)
        if (steps[std::size_t(i)]) mask |= 1u << i;
    return mask;
}

bool StepsPageState::NewGuid() { return MakeGuidText(guid); }

void StepsPageState::Apply(CDazDoc& doc) const {
    doc.settings_block.set_page_mask(PageMask());
    doc.settings_block.set_product_guid(guid.substr(0, SettingsBlock::kProductGuidSize));
    doc.SetModifiedFlag();
}

// ---- Languages ----------------------------------------------------------------------------------

ProjectLanguagesState ProjectLanguagesState::Read(const CDazDoc& doc) {
    ProjectLanguagesState s;
    for (const auto& l : doc.string_table.language_list)
        if (l->table_index >= 0 && l->table_index < kLanguageCount) s.checked[std::size_t(l->table_index)] = true;
    return s;
}

void ProjectLanguagesState::Apply(CDazDoc& doc) const {
    for (int i = 0; i < kLanguageCount; ++i)
        if (checked[std::size_t(i)] && !doc.IsLanguagePresent(i)) doc.AddLanguage(i);
    auto& langs = doc.string_table.language_list;
    for (std::size_t pos = langs.size(); pos-- > 0;) {
        const int index = langs[pos]->table_index;
        const bool keep = index >= 0 && index < kLanguageCount && checked[std::size_t(index)];
        if (!keep && langs.size() > 1) doc.RemoveLanguage(int(pos));
    }
}

// ---- General properties ----------------------------------------------------------------------

const char* const GeneralPageState::kLabels[kFields] = {"Company",     "AppName",        "Folder Name", "TitleMain",
                                                        "Caption bar", "Uninstall Name", "Publisher",   "Version"};
const char* const GeneralPageState::kKeys[kFields] = {"COMPANY_NAME",     "PRODUCT_NAME",        "FOLDER_NAME",
                                                      "TITLE_MAIN",       "TITLE_CAPTIONBAR",    "UNINST_DISPLAY_NAME",
                                                      "PUBLISHER",        "PRODUCT_VERSION"};

GeneralPageState::GeneralPageState()
    : values_{"Company", "ProjectName", "ProjectName", "ProjectName", "ProjectName Setup", "ProjectName", "Veltor",
              "1.0"} {}

void GeneralPageState::Set(Field f, const std::string& text) {
    if (f < 0 || f >= kFields) return;
    values_[f] = text;
    if (f != kAppName) return;
    values_[kCaptionBar] = text + " Setup";
    values_[kTitleMain] = text + " Setup";
    values_[kFolderName] = text;
    values_[kUninstallName] = text;
}

void GeneralPageState::Apply(CDazDoc& doc) const {
    for (int f = 0; f < kFields; ++f) doc.SetString(kKeys[f], values_[std::size_t(f)]);
    doc.SetModifiedFlag();
}

// ---- Colors ---------------------------------------------------------------------------------------

const std::array<ColourSlot, 8> kColourSlots = {{
    {"Title text", SettingsBlock::kTitleTextColour},
    {"Title shadow", SettingsBlock::kTitleShadowColour},
    {"Message bottom text", SettingsBlock::kBottomTextColour},
    {"Message bottom text shadow", SettingsBlock::kBottomShadowColour},
    {"Message right-bottom text", SettingsBlock::kRightBottomTextColour},
    {"Message right bottom  shadow", SettingsBlock::kRightBottomShadowColour},
    {"WindowC1", SettingsBlock::kWindowColour1},
    {"WindowC2", SettingsBlock::kWindowColour2},
}};

// ---- New Project ----------------------------------------------------------------------------------

std::string NewProjectPath(const std::string& directory, const std::string& file_name) {
    std::string dir = directory;
    StripTrailingBackslashes(dir);
    return dir + "\\" + file_name + ".qpk";
}

// ---- Build Media ------------------------------------------------------------------------------------

std::vector<std::string> ExistingKits(const std::vector<DirEntry>& listing) {
    std::vector<std::string> out;
    // "." and ".." are left out by name: a drive's root lists neither, so skipping the first
    // entry there would drop a real kit.
    for (const DirEntry& e : listing)
        if (e.directory && !e.system && e.name != "." && e.name != "..") out.push_back(e.name);
    return out;
}

std::string KitListPattern(const std::string& kit_root) {
    std::string root = kit_root;
    StripTrailingBackslashes(root);
    return root + "\\*";
}

std::string KitNameMessage(const std::string& kit_name) {
    if (kit_name.empty()) return "Type a name for the kit: it is made in a folder of that name in the directory shown.";
    std::string why = KitNameProblem(kit_name);
    if (why.empty()) return why;
    why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
    return why + ".";
}

BuildPageState BuildPageState::Read(const CDazDoc& doc) {
    BuildPageState s;
    s.kit_root = DefaultKitRoot(doc);
    return s;
}

// ---- pending edits ----------------------------------------------------------------------------------

int PendingEdits::Add(Commit commit) {
    commits_.push_back({next_, std::move(commit)});
    return next_++;
}

void PendingEdits::Remove(int token) {
    commits_.erase(std::remove_if(commits_.begin(), commits_.end(), [token](const auto& c) { return c.first == token; }),
                   commits_.end());
}

void PendingEdits::CommitAll() {
    // A commit may close its sheet (and remove itself): run over a copy.
    const auto commits = commits_;
    for (const auto& c : commits) c.second();
}

}  // namespace qp
