// The one wizard state of a run: which page is up, what the pages collected, and the flags the
// engine and the driver read. Shared by every page window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "setup/wizard/components.h"
#include "setup/wizard/page_sequence.h"

namespace qp::wiz {

struct WizardState {
    int current_page = 0;
    int first_page = 0;  // Back is disabled on it
    bool end = false;
    bool abort = false;
    bool restart_now = false;
    std::vector<std::string> created_folders;  // made for the destination; gone again on abort
    bool restart_needed = false;
    bool files_failed = false;  // some file could not be copied

    std::string target_dir;
    std::string program_folder;
    std::string user_name;
    std::string company;
    std::string serial;

    int setup_type = -1;          // index into the setup types; -1 none
    int setup_type_at_open = -1;  // the one selected when the setup-type page was last opened
    // The type whose component list the states last took. Comparing with this (rather than
    // with the type at the last opening of the setup-type page) keeps the user's component
    // choices when they page back and forth, and still applies a type chosen, left with Back
    // and confirmed later.
    int setup_type_applied = -1;

    std::size_t language_position = 0;  // which value of each string is shown
    int language_index = 0;             // language-table index, for group language masks

    bool maintenance = false;
    int action = kActionNone;
    // A newer version over the registered one: the welcome page says which replaces which, and
    // the destination is the installed one.
    bool upgrade = false;
    std::string upgrade_text;
    bool silent = false;

    std::vector<std::string> report;
};

// What the normal sequence needs from the state and the setup list.
inline SequenceInput SequenceOf(const WizardState& s, std::uint32_t page_mask,
                                const std::vector<SetupType>& types) {
    SequenceInput in;
    in.page_mask = s.upgrade ? UpgradePageMask(page_mask) : page_mask;
    // An upgrade keeps the earlier choice of components: no setup type to choose.
    in.has_setup_types = !types.empty() && !s.upgrade;
    in.setup_type_selected = !s.upgrade && s.setup_type >= 0 && s.setup_type < static_cast<int>(types.size());
    in.setup_type_component_step = in.setup_type_selected && types[s.setup_type].component_step;
    return in;
}

// Leaving the setup-type page with Next, and building the component page: a newly chosen type
// selects its components, so the choice holds even when the component page is not shown.
inline void TakeSetupType(WizardState& s, Component& root, const std::vector<SetupType>& types) {
    if (s.setup_type < 0 || s.setup_type >= static_cast<int>(types.size())) return;
    if (s.setup_type != s.setup_type_applied) {
        ApplyTreeStates(root, &types[s.setup_type], true, s.maintenance);
        s.setup_type_applied = s.setup_type;
    }
}

}  // namespace qp::wiz
