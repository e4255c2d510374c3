// The workspace bar: a tab control over six trees (groups, components, setup types, registry,
// strings, shortcuts). Each tree follows one pattern: selection shows the item in its item
// window, right click selects and shows the tree's context menu, renames through label editing
// under the sibling rule, Delete with its question.
#pragma once
#include <windows.h>

#include <array>
#include <map>

#include "builder/model/edits.h"
#include "builder/ui/logic/commands.h"
#include "framework/Controls.h"
#include "framework/Frame.h"

namespace qp {

class CMainFrame;

class CWorkspaceBar : public CDockBar, public CCmdTarget {
public:
    explicit CWorkspaceBar(CMainFrame& frame) : frame_(frame) {}
    ~CWorkspaceBar() override { Destroy(); }

    bool CreateBar(HINSTANCE instance, int tab, int width);
    // Rebuilds every tree from the project (null empties them).
    void SetProject(CDazDoc* doc);
    int CurrentTab() const { return tab_.CurSel(); }
    void SelectTab(int tab);
    CTreeCtrl Tree(TreeKind kind) const { return trees_[std::size_t(kind)]; }
    // True when the keyboard focus is in one of the trees.
    bool HasFocus() const;
    // Selects and expands the node of a model item in the group tree (files window's double click).
    void SelectFolder(const CObListFile* folder);

    bool OnCmdMsg(UINT id) override;
    bool OnUpdateCmdUI(CCmdUI& ui) override;

    // The model changed elsewhere.
    void ItemChanged(ItemKind kind, const void* item);
    void ItemAdded(ItemKind kind, const void* item, const void* parent);
    void ItemRemoving(ItemKind kind, const void* item);

protected:
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    void OnLayout(const RECT& inner) override;
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;

private:
    struct NodeRef {
        TreeNode::Role role = TreeNode::kNone;
        void* item = nullptr;
    };
    TreeKind ActiveTree() const { return TreeKind(CurrentTab() < 0 ? 0 : CurrentTab()); }
    HTREEITEM Add(TreeKind t, HTREEITEM parent, const std::string& text, TreeNode::Role role, void* item, int image);
    NodeRef Ref(TreeKind t, HTREEITEM node) const;
    TreeNode Describe(TreeKind t, HTREEITEM node) const;
    HTREEITEM NodeOf(TreeKind t, const void* item) const;
    void Build(TreeKind t);
    void AddFolders(HTREEITEM parent, CObListFile& node);
    void AddComponents(TreeKind t, HTREEITEM parent, CItemComponent& c);
    void AddRegistry(HTREEITEM parent, CRegistry& r);
    void AddShortcuts(HTREEITEM parent, CObListShort& s);
    void OnSelect(TreeKind t, HTREEITEM node);
    void OnRightClick(TreeKind t);
    bool OnEndLabel(TreeKind t, NMTVDISPINFOA* info);
    void OnDelete(TreeKind t);
    void Inserted(TreeKind t, HTREEITEM parent, const std::string& text, TreeNode::Role role, void* item, int image);
    void ApplyTabRule();
    void ShowTree(int tab);

    CMainFrame& frame_;
    CDazDoc* doc_ = nullptr;
    CTabCtrl tab_;
    CImageList tab_images_, node_images_;
    std::array<CTreeCtrl, kTreeCount> trees_;
    std::array<std::map<HTREEITEM, NodeRef>, kTreeCount> refs_;
    RECT inner_{};
};

}  // namespace qp
