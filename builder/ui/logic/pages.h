// What the component and group windows show and what their property sheets read and write:
// the rows of the two property lists with their right-click rules, and one state class per
// sheet page. A page reads its item when it is made, the window maps its controls onto the
// state, and Apply writes the state back. Portable: the pages only translate controls.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "builder/model/doc.h"
#include "builder/model/language.h"

namespace qp {

// ---- the property lists -------------------------------------------------------------------

struct PropertyRow {
    std::string property;  // "Description", "Shared", ...
    int code = 0;          // the row's item data
    std::string value;     // empty when no item is shown
    int page = 0;          // the sheet page a double click opens
};

// The eight rows of a component (null: the value cells are empty).
std::vector<PropertyRow> ComponentRows(const CItemComponent* c);
// The eight rows of a group.
std::vector<PropertyRow> GroupRows(const CItemGroup* g);

// A right click on a row: flips what that row flips and says whether anything changed.
bool ComponentRowRightClick(CItemComponent& c, int row);
bool GroupRowRightClick(CItemGroup& g, int row);

// "CRITICAL", "RECOMENDED" or "STANDARD"; anything above 2 (or below 0) reads as 2.
std::int32_t NormalFileNeed(std::int32_t need);
const char* FileNeedText(std::int32_t need);

// ---- page life ------------------------------------------------------------------------------

// The property-sheet rule: a page that was never opened, or opened and left alone, writes
// nothing on Apply.
class PageLife {
public:
    void Opened() { opened_ = true; }
    void Changed() { if (opened_) modified_ = true; }
    bool ShouldApply() const { return opened_ && modified_; }
    // After a write the page is clean again (Apply leaves the sheet open).
    void Applied() { modified_ = false; }

private:
    bool opened_ = false;
    bool modified_ = false;
};

// ---- group pages ---------------------------------------------------------------------------

// The "Os" page: seven boxes, "OS Independent" first. The six system boxes are greyed while the
// first is checked but keep their marks, and Apply stores every box that is checked.
struct OsPageState {
    static constexpr int kBoxes = 7;
    std::array<bool, kBoxes> boxes{};

    static OsPageState Read(std::int32_t mask);
    bool SystemBoxesEnabled() const { return !boxes[0]; }
    std::int32_t Mask() const;
};
extern const char* const kOsBoxTexts[OsPageState::kBoxes];

// The "OverWrite Type" page: the mode list and the two radio groups.
struct OverwritePageState {
    int mode = -1;    // 0 "ALLWAYS" .. 4 "By VERSION and by DATE"; -1 nothing selected
    int version = 0;  // 0 NEWER, 1 NEWER or SAME, 2 OLDER
    int date = 0;

    // The highest bit of each group wins; a word without condition bits starts on the first.
    static OverwritePageState Read(std::int32_t word);
    bool VersionEnabled() const { return mode == 3 || mode == 4; }
    bool DateEnabled() const { return mode == 2 || mode == 4; }
    // Mode bit (0 without a mode) plus both condition bits, whatever the mode uses.
    std::int32_t Word() const;
};
extern const char* const kOverwriteModeTexts[5];
extern const char* const kOverwriteVersionTexts[3];
extern const char* const kOverwriteDateTexts[3];

// The "Languages Group" page: the row "Independent", then one row per language index the
// project uses (every index without a project).
class LanguageMaskPage {
public:
    struct Row {
        int table_index;  // -1 for "Independent"
        std::string label;
        bool checked;
    };
    // `used` lists the table indices of the project's languages; null: no project open.
    LanguageMaskPage(const std::string& mask, const std::vector<int>* used);
    const std::vector<Row>& Rows() const { return rows_; }
    void Toggle(std::size_t row);
    void Set(std::size_t row, bool checked);
    // Empty when "Independent" is checked; else 259 characters with "1" at each checked index.
    std::string Mask() const;

private:
    std::vector<Row> rows_;
};
constexpr std::size_t kLanguageMaskLength = 259;

// The "Destination" page: folder paths in the project's folder tree.
// The node's path as the page puts it in "Current Value" (predefined folders by their macro).
std::string DestinationOf(const CObListFile& folder);
// The folder node whose path is `destination` (files are never matched); null when none is.
const CObListFile* FindDestinationNode(const CObListFile& tree, const std::string& destination);
// Label editing on the page is allowed on the author's own folders only.
inline bool CanRenameDestination(const CObListFile& node) { return node.kind == CObListFile::kFolder && node.folder_id == 0; }

// ---- component pages -------------------------------------------------------------------------

// The keys offered by the three text pages and by the setup-type dialog: the author's own
// strings (category 0), in table order.
std::vector<std::string> AuthorStringKeys(const CDazDoc& doc);

// The file-group page ("IncludeFileGroup"), the one choice of groups behind the component
// sheet, "Registry Properties" and "Group Properties": every file group of the project, in the
// project's order, checked when the edited list holds it.
class GroupChoice {
public:
    GroupChoice(const CDazDoc& doc, const std::vector<CItemGroup*>& chosen);
    struct Row {
        CItemGroup* group;
        bool checked;
    };
    std::vector<Row>& Rows() { return rows_; }
    const std::vector<Row>& Rows() const { return rows_; }
    // The edited list becomes the checked groups, in the project's group order (a group the
    // list held that the project no longer has is not kept).
    void Apply(std::vector<CItemGroup*>& chosen) const;

private:
    std::vector<Row> rows_;
};

// The "Requiered Component" page.
class RequiredPage {
public:
    enum State { kFree = 1, kRequired = 2, kLocked = 3, kSelf = 4 };
    struct Node {
        CItemComponent* component;
        int depth;  // 0 for top-level components
        State state;
    };
    // Locked: components that already require the edited one (through the requirement
    // closure, ancestors counted); they cannot become its requirements, which keeps the
    // requirements free of cycles.
    RequiredPage(const CDazDoc& doc, const CItemComponent& edited);
    const std::vector<Node>& Nodes() const { return nodes_; }
    // Free <-> required; false (nothing changed) for locked and self nodes.
    bool Toggle(std::size_t index);
    // The required list becomes every required node, depth first.
    void Apply(CItemComponent& edited) const;

private:
    std::vector<Node> nodes_;
};

// ---- setup-type dialog -------------------------------------------------------------------

struct SetupTypeFields {
    std::string description, display_name, comment;
    bool require_component_step = true;
    static SetupTypeFields Read(const CItemSetup& s);
    void Apply(CItemSetup& s) const;
};

}  // namespace qp
