// Which wizard page follows which: the rules of a normal run and of a maintenance run, kept
// apart from the windows so that they can be tested on their own.
#pragma once
#include <cstdint>

namespace qp::wiz {

enum class Button { Next, Back, Cancel };

// Page numbers with a page of their own.
constexpr int kPageWelcome = 1;
constexpr int kPageLicense = 2;
constexpr int kPageReadme = 3;
constexpr int kPageUserInfo = 4;
constexpr int kPageDestination = 5;
constexpr int kPageSetupType = 6;
constexpr int kPageComponents = 7;
constexpr int kPageProgramFolder = 8;
constexpr int kPageConfirm = 9;
constexpr int kPageInstalling = 10;
constexpr int kPageReport = 11;
constexpr int kPageFinishRestart = 12;
constexpr int kPageComplete = 13;
constexpr int kPageAddRemove = 17;
constexpr int kPageUninstalling = 18;

// Maintenance actions; -1 means the user has not chosen yet.
constexpr int kActionNone = -1;
constexpr int kActionModify = 0;
constexpr int kActionRepair = 1;
constexpr int kActionRemove = 2;

// What the normal sequence looks at besides the page number.
struct SequenceInput {
    std::uint32_t page_mask = 0;
    bool has_setup_types = false;
    bool setup_type_selected = false;
    bool setup_type_component_step = false;  // the selected type lets the user pick components
};

// The page after `page` in a normal run; 0 ends the wizard. Any number that has no page also
// ends it when switched to.
int NextNormalPage(const SequenceInput& in, int page, Button button);
int NextMaintenancePage(int page, Button button, int action);

// The pages of an upgrade: the welcome page always (it says which version replaces which), then
// those of `page_mask` from the destination on, without the setup type and the components (the
// earlier choice stays).
std::uint32_t UpgradePageMask(std::uint32_t page_mask);

// The first page of a normal run. This is the sequence's answer for page 0 and Next, so a mask
// without any of pages 1 to 9 starts on the install page instead of ending the wizard at once.
int FirstNormalPage(const SequenceInput& in);
int FirstMaintenancePage(int action);

// Whether switching to `page` builds a window (12 stands for 12 or 13).
bool PageExists(int page);
// Page 12 is only shown when a file waits for the next restart; 13 otherwise.
int FinalPage(bool restart_needed);
// Pages 2 to 11, 17 and 18 carry the shared header band and buttons.
bool IsInteriorPage(int page);

// Whether Cancel, Esc, the close box or Alt+F4 on `page` may ask to abort the run. Not on the
// pages after the install or removal phase (report, restart, finish): the work is done there
// and undoing it would leave the product half-installed, so these keys do nothing.
bool CancelAsksToAbort(int page);

}  // namespace qp::wiz
