// MakeItemWindow: the window of each kind with its creation caption and icon.
#include "builder/ui/items/ItemWindows.h"

#include "builder/ui/res/resource.h"

namespace qp {

std::unique_ptr<CItemWindow> MakeItemWindow(ItemHost& host, ItemWindowKind kind) {
    std::unique_ptr<CItemWindow> w;
    const char* caption = "";
    switch (kind) {
    case ItemWindowKind::kComponent: w = MakeComponentWindow(host); caption = "Component"; break;
    case ItemWindowKind::kGroup: w = MakeGroupWindow(host); caption = "Group"; break;
    case ItemWindowKind::kFiles: w = MakeFilesWindow(host); caption = "Folder"; break;
    case ItemWindowKind::kSetup: w = MakeSetupWindow(host); caption = "Setup"; break;
    case ItemWindowKind::kRegistry: w = MakeRegistryWindow(host); caption = "Registry"; break;
    case ItemWindowKind::kString: w = MakeStringWindow(host); caption = "String"; break;
    case ItemWindowKind::kLink: w = MakeLinkWindow(host); caption = "Link"; break;
    case ItemWindowKind::kFunction: w = MakeFunctionWindow(host); caption = "Function"; break;
    }
    if (!w || !w->CreateWindowOf(caption, IDI_ITEM_FIRST + int(kind))) return nullptr;
    return w;
}

}  // namespace qp
