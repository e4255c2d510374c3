// What the wizard takes from the setup list: the component tree with run-time states, the setup
// types, the string table, the languages; and what it gives back to the engine (the selection).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "setup/wizard/components.h"
#include "setup/wizard/texts.h"

namespace qp {
struct SetupList;
struct InstallContext;
}

namespace qp::wiz {

struct WizardData {
    Component root;
    std::vector<SetupType> types;
    Texts texts;
    std::vector<int> language_indices;       // language-table index of each language, list order
    std::vector<std::uint16_t> language_ids;  // their Windows identifiers
    std::vector<std::string> language_names;  // their display names
};

// Fills `data` from the list; every component starts selected (a normal run's state).
void LoadWizardData(const SetupList& list, WizardData& data);

// Full names of every selected component below the root, in tree order.
std::vector<std::string> SelectedPaths(Component& root);
// Marks selected exactly the components whose full names are in `paths`.
void MarkSelected(Component& root, const std::vector<std::string>& paths);

// The files of each installable group with their expanded destinations, for the required size.
class GroupSizes {
public:
    GroupSizes(const SetupList& list, const InstallContext& ctx, std::int32_t language_index);
    const std::vector<FileSize>* Files(const std::string& group) const;

private:
    std::vector<std::pair<std::string, std::vector<FileSize>>> groups_;
};

// The language table entries the runtime needs: the language id and the name, 0 and "" for an
// index outside the table.
std::uint16_t LanguageIdAt(int table_index);
std::string LanguageNameAt(int table_index);

}  // namespace qp::wiz
