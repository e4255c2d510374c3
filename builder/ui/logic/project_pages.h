// What the "Project Files" sheet (also the new-project wizard "Proj vizar"), the "New Project"
// dialog and the "Build Media" wizard read and write, and the hook through which open sheets
// commit their edits before a save. Portable: the windows only map controls onto these.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "builder/model/doc.h"
#include "common/languages.h"
#include "common/pathutil.h"  // MissingFolders, for the build page

namespace qp {

// ---- "Steps " -------------------------------------------------------------------------------

constexpr int kWizardSteps = 10;
extern const char* const kStepTexts[kWizardSteps];

struct StepsPageState {
    std::array<bool, kWizardSteps> steps{};
    std::string guid;

    // An empty product GUID gets a new one at once (left empty when none can be made).
    static StepsPageState Read(const SettingsBlock& block);
    // Bits 0 to 9 only: every higher bit of the old mask is dropped.
    std::uint32_t PageMask() const;
    bool NewGuid();  // false: the field is unchanged
    void Apply(CDazDoc& doc) const;
};

// ---- "Languages" (the project's language list) -------------------------------------------------

struct ProjectLanguagesState {
    std::array<bool, kLanguageCount> checked{};

    static ProjectLanguagesState Read(const CDazDoc& doc);
    // Adds each checked language the project lacks (in table order), then removes each cleared
    // one it has; the last remaining language is never removed (a project needs one).
    void Apply(CDazDoc& doc) const;
};

// ---- "General properties" (wizard only) ---------------------------------------------------------

class GeneralPageState {
public:
    enum Field { kCompany, kAppName, kFolderName, kTitleMain, kCaptionBar, kUninstallName, kPublisher, kVersion, kFields };
    static const char* const kLabels[kFields];
    static const char* const kKeys[kFields];

    GeneralPageState();
    const std::string& Get(Field f) const { return values_[f]; }
    // A change of AppName recomputes Caption bar and TitleMain (AppName + " Setup") and Folder
    // Name and Uninstall Name (AppName); other fields keep what was typed.
    void Set(Field f, const std::string& text);
    // Each field into the string table, for every language (missing keys are created).
    void Apply(CDazDoc& doc) const;

private:
    std::array<std::string, kFields> values_;
};

// ---- "Colors" ----------------------------------------------------------------------------------

struct ColourSlot {
    const char* label;
    std::size_t offset;  // in the settings block
};
extern const std::array<ColourSlot, 8> kColourSlots;

// ---- "New Project" ---------------------------------------------------------------------------------

// The directory without its trailing backslashes, "\", the file name and ".qpk".
std::string NewProjectPath(const std::string& directory, const std::string& file_name);

// ---- "Build Media" ------------------------------------------------------------------------------------

// One entry of a directory listing, in the order the listing returned it.
struct DirEntry {
    std::string name;
    bool directory = false;
    bool system = false;
};
// The "Exist" list: the directories of the listing that are not system directories, without
// "." and "..".
std::vector<std::string> ExistingKits(const std::vector<DirEntry>& listing);
// The pattern that lists the kit root: the root without trailing backslashes, then "\*".
std::string KitListPattern(const std::string& kit_root);

// Why Finish is refused for the kit name typed on the build page, as the author reads it; empty
// when the name can be the kit's folder.
std::string KitNameMessage(const std::string& kit_name);

// What the build page holds between its controls and Finish.
struct BuildPageState {
    std::string kit_name;
    std::string kit_root;
    std::int32_t uncompressed = 0;
    std::int32_t single_file = 0;  // one program KIT.exe in the kit root instead of the kit folder

    // The project's kit root, or the project file's folder followed by "\KITS".
    static BuildPageState Read(const CDazDoc& doc);
    // Finish: the kit root goes into the project (not saved in the project file).
    void Apply(CDazDoc& doc) const { doc.kit_root = kit_root; }
};

// ---- committing open sheets before a save -------------------------------------------------

// Sheets that are open register what their pages would write; a save runs every commit first,
// so that the saved project holds what the author sees.
class PendingEdits {
public:
    using Commit = std::function<void()>;
    // Returns a token for Remove.
    int Add(Commit commit);
    void Remove(int token);
    // Runs every registered commit, oldest first.
    void CommitAll();
    bool Empty() const { return commits_.empty(); }

private:
    std::vector<std::pair<int, Commit>> commits_;
    int next_ = 1;
};

}  // namespace qp
