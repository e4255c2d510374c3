// The editor windows (registry values, link properties, string table, function calls) that
// MakeItemWindow makes, and the sheets the workspace trees open from here.
#pragma once
#include <windows.h>

#include <memory>

#include "builder/ui/items/ItemWindows.h"

namespace qp {

class CMainFrame;
class CRegistry;

std::unique_ptr<CItemWindow> MakeRegistryWindow(CMainFrame& frame);
std::unique_ptr<CItemWindow> MakeLinkWindow(CMainFrame& frame);
std::unique_ptr<CItemWindow> MakeStringWindow(CMainFrame& frame);
std::unique_ptr<CItemWindow> MakeFunctionWindow(CMainFrame& frame);

// A value made from the registry tree: its row in the registry window, selected and in label
// editing (as one made from the window itself).
void EditNewRegistryValue(CItemWindow& registry_window, const CRegistry* value);

// "Registry Properties": the node's file groups; true when the author accepted.
bool EditRegistryGroups(CMainFrame& frame, CRegistry& node);

}  // namespace qp
