// The page sequence of the setup wizard.
#include "setup/wizard/page_sequence.h"

namespace qp::wiz {

int NextNormalPage(const SequenceInput& in, int page, Button button) {
    if (button == Button::Cancel) return 0;
    const int step = button == Button::Next ? 1 : -1;
    int p = page;
    for (;;) {
        p += step;
        if (p == kPageFinishRestart) return p;
        if (p <= 0 || p > kPageConfirm) break;
        if (p == kPageSetupType && !in.has_setup_types) continue;
        if (p == kPageComponents && (!in.setup_type_selected || !in.setup_type_component_step))
            continue;
        if (in.page_mask & (1u << (p - 1))) break;
    }
    return p < 0 ? 0 : p;
}

int NextMaintenancePage(int page, Button button, int action) {
    if (button == Button::Cancel) return 0;
    if (button == Button::Back) return page == kPageComponents ? kPageAddRemove : 0;
    switch (page) {
    case kPageAddRemove:
        if (action == kActionRepair) return kPageInstalling;
        if (action == kActionRemove) return kPageUninstalling;
        return kPageComponents;
    case kPageComponents: return kPageInstalling;
    case kPageInstalling:
    case kPageUninstalling: return kPageReport;
    default: return 0;
    }
}

std::uint32_t UpgradePageMask(std::uint32_t page_mask) {
    const std::uint32_t dropped = (1u << (kPageLicense - 1)) | (1u << (kPageReadme - 1)) |
                                  (1u << (kPageUserInfo - 1)) | (1u << (kPageSetupType - 1)) |
                                  (1u << (kPageComponents - 1));
    return (page_mask | (1u << (kPageWelcome - 1))) & ~dropped;
}

int FirstNormalPage(const SequenceInput& in) { return NextNormalPage(in, 0, Button::Next); }

int FirstMaintenancePage(int action) {
    if (action == kActionRepair) return kPageInstalling;
    if (action == kActionRemove) return kPageUninstalling;
    return kPageAddRemove;
}

bool PageExists(int page) {
    return (page >= 1 && page <= kPageFinishRestart) || page == kPageAddRemove ||
           page == kPageUninstalling;
}

int FinalPage(bool restart_needed) {
    return restart_needed ? kPageFinishRestart : kPageComplete;
}

bool IsInteriorPage(int page) {
    return (page >= kPageLicense && page <= kPageReport) || page == kPageAddRemove ||
           page == kPageUninstalling;
}

bool CancelAsksToAbort(int page) {
    return page != kPageReport && page != kPageFinishRestart && page != kPageComplete;
}

}  // namespace qp::wiz
