// The makers of the eight item windows, one per window file of this folder, and the item
// operations the workspace trees start in them.
#pragma once
#include <memory>

#include "builder/ui/items/ItemWindow.h"

namespace qp {

// Makes and creates (hidden) the window of each kind; null when creation failed.
std::unique_ptr<CItemWindow> MakeItemWindow(ItemHost& host, ItemWindowKind kind);

std::unique_ptr<CItemWindow> MakeComponentWindow(ItemHost& host);
std::unique_ptr<CItemWindow> MakeGroupWindow(ItemHost& host);
std::unique_ptr<CItemWindow> MakeFilesWindow(ItemHost& host);
std::unique_ptr<CItemWindow> MakeSetupWindow(ItemHost& host);
std::unique_ptr<CItemWindow> MakeRegistryWindow(ItemHost& host);
std::unique_ptr<CItemWindow> MakeStringWindow(ItemHost& host);
std::unique_ptr<CItemWindow> MakeLinkWindow(ItemHost& host);
std::unique_ptr<CItemWindow> MakeFunctionWindow(ItemHost& host);

class CRegistry;
// A value made from the registry tree: its row in the registry window, selected and in label
// editing (as one made from the window itself).
void EditNewRegistryValue(CItemWindow& registry_window, const CRegistry* value);
// "Registry Properties": the node's file groups; true when the author accepted.
bool EditRegistryGroups(ItemHost& host, CRegistry& node);

}  // namespace qp
