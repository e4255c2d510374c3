// The workspace bar's tab control and its six trees.
#include "builder/ui/frame/WorkspaceBar.h"

#include "builder/ui/frame/MainFrame.h"
#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/res/resource.h"
#include "common/languages.h"

namespace qp {

namespace {
constexpr int kTabId = 100, kTreeFirstId = 101;
constexpr UINT_PTR kLanguageChecksTimer = 1;
const char* const kTabTexts[kTreeCount] = {"Group", "Component", "Setup Type", "Registry", "String", "Link"};
enum Image { kImgRoot, kImgGroup, kImgFolder, kImgComponent, kImgSetup, kImgRegSet, kImgHive, kImgKey, kImgLanguage,
             kImgShell, kImgProgramFolder, kImgShortcut };
const int kContextMenus[kTreeCount] = {IDM_GROUP_POPUP, IDM_COMPONENT_POPUP, IDM_SETUP_POPUP, IDM_REGISTRY_POPUP, 0,
                              IDM_LINK_POPUP};

int RegistryImage(std::int32_t kind) {
    return kind == CRegistry::kSet ? kImgRegSet : kind == CRegistry::kHive ? kImgHive : kImgKey;
}
int ShortcutImage(std::int32_t kind) {
    return kind == CObListShort::kDesktop         ? kImgRoot
           : kind < CObListShort::kProgramFolder ? kImgShell
           : kind == CObListShort::kProgramFolder ? kImgProgramFolder
                                                  : kImgShortcut;
}
}  // namespace

bool CWorkspaceBar::CreateBar(HINSTANCE instance, int tab, int width) {
    if (!Create(instance, frame_, "Workspace Bar", kLeft, width)) return false;
    tab_ = CTabCtrl(::CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_MULTILINE,
                                      0, 0, 100, 100, hwnd_, HMENU(INT_PTR(kTabId)), instance, nullptr));
    if (!tab_.Handle()) return false;
    tab_.Send(WM_SETFONT, WPARAM(::GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    tab_images_ = CImageList::FromBitmap(instance, IDB_TABS, 16, RGB(255, 0, 255), CMainFrame::Scaled(96));
    node_images_ = CImageList::FromBitmap(instance, IDB_NODES, 16, RGB(255, 0, 255), CMainFrame::Scaled(96));
    tab_.SetImageList(tab_images_);
    for (int i = 0; i < kTreeCount; ++i) tab_.Insert(i, kTabTexts[i], i);
    for (int i = 0; i < kTreeCount; ++i) {
        DWORD style = WS_CHILD | WS_BORDER | WS_TABSTOP | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS |
                      TVS_SHOWSELALWAYS | TVS_EDITLABELS;
        if (TreeKind(i) == TreeKind::kString) style = (style & ~TVS_EDITLABELS) | TVS_CHECKBOXES;
        trees_[std::size_t(i)] = CTreeCtrl(::CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", style & ~WS_BORDER, 0,
                                                             0, 10, 10, hwnd_, HMENU(INT_PTR(kTreeFirstId + i)),
                                                             instance, nullptr));
        if (!trees_[std::size_t(i)].Handle()) return false;
        trees_[std::size_t(i)].SetImageList(node_images_);
    }
    SelectTab(tab < 0 || tab >= kTreeCount ? 0 : tab);
    return true;
}

void CWorkspaceBar::SelectTab(int tab) {
    tab_.SetCurSel(tab);
    ShowTree(tab);
}

void CWorkspaceBar::ShowTree(int tab) {
    for (int i = 0; i < kTreeCount; ++i) trees_[std::size_t(i)].Show(i == tab ? SW_SHOW : SW_HIDE);
}

bool CWorkspaceBar::HasFocus() const {
    HWND focus = ::GetFocus();
    return focus && (focus == hwnd_ || ::IsChild(hwnd_, focus));
}

void CWorkspaceBar::ApplyTabRule() {
    // Measure with the texts on several rows first; from three rows on, one row of images whose
    // tabs share the width, so that none scrolls out of reach.
    LONG_PTR style = ::GetWindowLongPtrA(tab_, GWL_STYLE);
    ::SetWindowLongPtrA(tab_, GWL_STYLE, (style | TCS_MULTILINE) & ~TCS_FIXEDWIDTH);
    for (int i = 0; i < kTreeCount; ++i) tab_.SetItemText(i, kTabTexts[i]);
    const TabLayout rule = TabRule(tab_.RowCount());
    if (!rule.texts) {
        for (int i = 0; i < kTreeCount; ++i) tab_.SetItemText(i, "");
        style = ::GetWindowLongPtrA(tab_, GWL_STYLE);
        ::SetWindowLongPtrA(tab_, GWL_STYLE, (style & ~TCS_MULTILINE) | TCS_FIXEDWIDTH);
        const RECT r = tab_.ClientRect();
        const int width = (r.right - r.left - 4) / kTreeCount;
        tab_.Send(TCM_SETITEMSIZE, 0, MAKELPARAM(width > 16 ? width : 16, tab_.RowHeight()));
    }
}

void CWorkspaceBar::OnLayout(const RECT& inner) {
    inner_ = inner;
    if (!tab_.Handle()) return;
    const int w = inner.right - inner.left, h = inner.bottom - inner.top;
    tab_.Move(inner.left, inner.top, w, h);
    ApplyTabRule();
    const int top = tab_.RowCount() * tab_.RowHeight() + 4;
    for (auto& t : trees_) t.Move(inner.left + 2, inner.top + top, w - 4, h - top - 2);
}

HTREEITEM CWorkspaceBar::Add(TreeKind t, HTREEITEM parent, const std::string& text, TreeNode::Role role, void* item,
                             int image) {
    HTREEITEM node = Tree(t).Insert(parent, text, LPARAM(item), image);
    refs_[std::size_t(t)][node] = NodeRef{role, item};
    return node;
}

CWorkspaceBar::NodeRef CWorkspaceBar::Ref(TreeKind t, HTREEITEM node) const {
    const auto& m = refs_[std::size_t(t)];
    auto it = m.find(node);
    return it == m.end() ? NodeRef{} : it->second;
}

HTREEITEM CWorkspaceBar::NodeOf(TreeKind t, const void* item) const {
    for (const auto& [node, ref] : refs_[std::size_t(t)])
        if (ref.item == item) return node;
    return nullptr;
}

TreeNode CWorkspaceBar::Describe(TreeKind t, HTREEITEM node) const {
    const NodeRef r = Ref(t, node);
    TreeNode n;
    n.role = node ? r.role : TreeNode::kNone;
    if (!r.item) return n;
    switch (n.role) {
    case TreeNode::kRegistry: n.kind = static_cast<CRegistry*>(r.item)->kind; break;
    case TreeNode::kShortcut: n.kind = static_cast<CObListShort*>(r.item)->kind; break;
    case TreeNode::kFolder: n.kind = CObListFile::kFolder; break;
    case TreeNode::kComponent: n.has_parent = !static_cast<CItemComponent*>(r.item)->IsRoot(); break;
    default: break;
    }
    return n;
}

void CWorkspaceBar::AddFolders(HTREEITEM parent, CObListFile& node) {
    for (auto& c : node.children) {
        if (c->kind != CObListFile::kFolder) continue;
        HTREEITEM n = Add(TreeKind::kGroup, parent, c->name, TreeNode::kFolder, c.get(), kImgFolder);
        AddFolders(n, *c);
    }
}

void CWorkspaceBar::AddComponents(TreeKind t, HTREEITEM parent, CItemComponent& c) {
    HTREEITEM n = Add(t, parent, c.name, TreeNode::kComponent, &c, c.IsRoot() ? kImgRoot : kImgComponent);
    for (auto& child : c.children) AddComponents(t, n, *child);
    Tree(t).Expand(n);
}

void CWorkspaceBar::AddRegistry(HTREEITEM parent, CRegistry& r) {
    HTREEITEM n = Add(TreeKind::kRegistry, parent, r.kind == CRegistry::kRoot ? "Registry Entries" : r.name,
                      TreeNode::kRegistry, &r, r.kind == CRegistry::kRoot ? kImgRoot : RegistryImage(r.kind));
    for (auto& c : r.children)
        if (c->kind <= CRegistry::kKey) AddRegistry(n, *c);
    if (r.kind <= CRegistry::kSet) Tree(TreeKind::kRegistry).Expand(n);
}

void CWorkspaceBar::AddShortcuts(HTREEITEM parent, CObListShort& s) {
    HTREEITEM n = Add(TreeKind::kLink, parent, s.name, TreeNode::kShortcut, &s, ShortcutImage(s.kind));
    for (auto& c : s.children) AddShortcuts(n, *c);
    Tree(TreeKind::kLink).Expand(n);
}

void CWorkspaceBar::Build(TreeKind t) {
    CTreeCtrl tree = Tree(t);
    refs_[std::size_t(t)].clear();
    tree.DeleteAll();
    if (!doc_) return;
    switch (t) {
    case TreeKind::kGroup: {
        HTREEITEM root = Add(t, nullptr, "Group files", TreeNode::kRoot, nullptr, kImgRoot);
        for (auto& g : doc_->group_list.items) {
            HTREEITEM gn = Add(t, root, g->name, TreeNode::kGroup, g.get(), kImgGroup);
            HTREEITEM files = Add(t, gn, "Files", TreeNode::kFilesRoot, &g->file_tree, kImgFolder);
            AddFolders(files, g->file_tree);
        }
        tree.Expand(root);
        break;
    }
    case TreeKind::kComponent:
        AddComponents(t, nullptr, doc_->root_component);
        break;
    case TreeKind::kSetupType: {
        HTREEITEM root = Add(t, nullptr, "Setup Type", TreeNode::kRoot, nullptr, kImgRoot);
        for (auto& s : doc_->setup_type_list.items) Add(t, root, s->name, TreeNode::kSetupType, s.get(), kImgSetup);
        tree.Expand(root);
        break;
    }
    case TreeKind::kRegistry:
        AddRegistry(nullptr, doc_->registry_root);
        break;
    case TreeKind::kString: {
        HTREEITEM root = Add(t, nullptr, "String", TreeNode::kRoot, nullptr, kImgRoot);
        tree.ClearStateImage(root);  // only the languages have a box
        for (auto& l : doc_->string_table.language_list) {
            const LanguageEntry* e = LanguageAt(l->table_index);
            HTREEITEM n = Add(t, root, e ? e->name : "?", TreeNode::kLanguage, l.get(), kImgLanguage);
            tree.SetCheck(n, l->shown != 0);
        }
        tree.Expand(root);
        // Again once painted: the tree view puts the state images back to unchecked until then.
        ::SetTimer(hwnd_, kLanguageChecksTimer, 30, nullptr);
        break;
    }
    case TreeKind::kLink:
        AddShortcuts(nullptr, doc_->shortcut_root);
        break;
    }
}

void CWorkspaceBar::SetProject(CDazDoc* doc) {
    doc_ = doc;
    for (int i = 0; i < kTreeCount; ++i) Build(TreeKind(i));
}

void CWorkspaceBar::OnSelect(TreeKind t, HTREEITEM node) {
    const NodeRef r = Ref(t, node);
    switch (t) {
    case TreeKind::kGroup:
        frame_.ShowItem(ItemWindowKind::kGroup, r.role == TreeNode::kGroup ? r.item : nullptr);
        frame_.ShowItem(ItemWindowKind::kFiles,
                        r.role == TreeNode::kFolder || r.role == TreeNode::kFilesRoot ? r.item : nullptr);
        break;
    case TreeKind::kComponent: frame_.ShowItem(ItemWindowKind::kComponent, r.item); break;
    case TreeKind::kSetupType: frame_.ShowItem(ItemWindowKind::kSetup, r.item); break;
    case TreeKind::kRegistry: frame_.ShowItem(ItemWindowKind::kRegistry, r.item); break;
    case TreeKind::kString: frame_.ShowItem(ItemWindowKind::kString, r.item); break;
    case TreeKind::kLink: frame_.ShowItem(ItemWindowKind::kLink, r.item); break;
    }
    // The tree keeps the focus so that its keys and commands stay with it.
    ::SetFocus(Tree(t));
}

void CWorkspaceBar::OnRightClick(TreeKind t) {
    CTreeCtrl tree = Tree(t);
    POINT screen;
    ::GetCursorPos(&screen);
    POINT client = screen;
    ::ScreenToClient(tree, &client);
    if (HTREEITEM hit = tree.HitTest(client)) tree.Select(hit);
    ::SetFocus(tree);
    if (kContextMenus[int(t)]) frame_.TrackContextMenu(kContextMenus[int(t)], screen);
}

bool CWorkspaceBar::OnEndLabel(TreeKind t, NMTVDISPINFOA* info) {
    if (!info->item.pszText || !frame_.Edits()) return false;
    const NodeRef r = Ref(t, info->item.hItem);
    const std::string text = info->item.pszText;
    ProjectEdits& e = *frame_.Edits();
    RenameResult result = RenameResult::kNotAllowed;
    switch (r.role) {
    case TreeNode::kGroup: result = e.RenameGroup(*static_cast<CItemGroup*>(r.item), text); break;
    case TreeNode::kFolder: result = e.RenameFolder(*static_cast<CObListFile*>(r.item), text); break;
    case TreeNode::kComponent: result = e.RenameComponent(*static_cast<CItemComponent*>(r.item), text); break;
    case TreeNode::kSetupType: result = e.RenameSetupType(*static_cast<CItemSetup*>(r.item), text); break;
    case TreeNode::kRegistry: result = e.RenameRegistry(*static_cast<CRegistry*>(r.item), text); break;
    case TreeNode::kShortcut: result = e.RenameShortcut(*static_cast<CObListShort*>(r.item), text); break;
    default: break;
    }
    // Accepted renames update the node through the listener; refusals drop the edit silently.
    return result == RenameResult::kRenamed;
}

void CWorkspaceBar::OnDelete(TreeKind t) {
    CTreeCtrl tree = Tree(t);
    HTREEITEM node = tree.Selection();
    const TreeNode d = Describe(t, node);
    if (!CanRenameNode(t, d) || !frame_.Edits()) return;
    const NodeRef r = Ref(t, node);
    ProjectEdits& e = *frame_.Edits();
    auto ask = [&](const char* text, UINT buttons) {
        const int answer = ::MessageBoxA(frame_.Handle(), text, "Quillpacker", buttons | MB_ICONQUESTION);
        return answer == IDOK || answer == IDYES;
    };
    // Where the selection goes: the next sibling, else the previous one, else the parent.
    HTREEITEM next = tree.Sibling(node);
    if (!next) next = tree.Next(node, TVGN_PREVIOUS);
    if (!next) next = tree.ParentItem(node);
    bool done = false;
    switch (d.role) {
    case TreeNode::kFolder:
        done = ask("Delete folder ?", MB_OKCANCEL) && e.DeleteFileNode(*static_cast<CObListFile*>(r.item));
        break;
    case TreeNode::kGroup:
        done = ask("Delete group ?", MB_OKCANCEL) && e.DeleteGroup(*static_cast<CItemGroup*>(r.item));
        break;
    case TreeNode::kComponent:
        done = ask("Delete Component?", MB_YESNO) && e.DeleteComponent(*static_cast<CItemComponent*>(r.item));
        break;
    case TreeNode::kSetupType:
        done = ask("Delete Setup?", MB_YESNO) && e.DeleteSetupType(*static_cast<CItemSetup*>(r.item));
        break;
    case TreeNode::kRegistry:
        done = ask("Delete?", MB_YESNO) && e.DeleteRegistry(*static_cast<CRegistry*>(r.item));
        break;
    case TreeNode::kShortcut:
        done = ask("Delete Link ?", MB_YESNO) && e.DeleteShortcut(*static_cast<CObListShort*>(r.item));
        break;
    default: break;
    }
    if (done && next && Ref(t, next).role != TreeNode::kNone) tree.Select(next);
}

void CWorkspaceBar::Inserted(TreeKind t, HTREEITEM parent, const std::string& text, TreeNode::Role role, void* item,
                             int image) {
    CTreeCtrl tree = Tree(t);
    HTREEITEM node = NodeOf(t, item);
    if (!node) node = Add(t, parent, text, role, item, image);
    tree.Expand(parent);
    tree.Select(node);
    ::SetFocus(tree);
    tree.EditLabel(node);
}

bool CWorkspaceBar::OnCmdMsg(UINT id) {
    const TreeKind t = ActiveTree();
    CTreeCtrl tree = Tree(t);
    HTREEITEM node = tree.Selection();
    const NodeRef r = Ref(t, node);
    ProjectEdits* e = frame_.Edits();
    if (!e) return false;
    if (id == cmd::kInsertGroup) {
        SelectTab(0);
        CItemGroup* g = e->NewGroup();
        HTREEITEM root = Tree(TreeKind::kGroup).Root();
        HTREEITEM gn = Add(TreeKind::kGroup, root, g->name, TreeNode::kGroup, g, kImgGroup);
        Add(TreeKind::kGroup, gn, "Files", TreeNode::kFilesRoot, &g->file_tree, kImgFolder);
        Inserted(TreeKind::kGroup, root, g->name, TreeNode::kGroup, g, kImgGroup);
        return true;
    }
    const Decision d = TreeCommand(t, Describe(t, node), id);
    if (!d.known) return false;
    if (!d.enabled) return true;
    if (id == cmd::kProperties && t == TreeKind::kSetupType) {
        // The setup-type dialog; the project counts as changed whatever the answer.
        RunSetupTypeDialog(frame_.SheetContextFor(), *static_cast<CItemSetup*>(r.item));
        e->Changed(ItemKind::kSetupType, r.item);
        return true;
    }
    if (id == cmd::kProperties && t == TreeKind::kRegistry) {
        EditRegistryGroups(frame_, *static_cast<CRegistry*>(r.item));
        return true;
    }
    switch (id) {
    case cmd::kDelete: OnDelete(t); return true;
    case cmd::kRename: ::SetFocus(tree); tree.EditLabel(node); return true;
    case cmd::kNewComponent: {
        CItemComponent* c = e->NewComponent(*static_cast<CItemComponent*>(r.item));
        Inserted(t, node, c->name, TreeNode::kComponent, c, kImgComponent);
        return true;
    }
    case cmd::kNewSetupType: {
        CItemSetup* s = e->NewSetupType();
        Inserted(t, tree.Root(), s->name, TreeNode::kSetupType, s, kImgSetup);
        return true;
    }
    case cmd::kNewKey: case cmd::kNewString: case cmd::kNewBinary: case cmd::kNewDword: {
        const std::int32_t kind = id == cmd::kNewKey      ? CRegistry::kKey
                                  : id == cmd::kNewString ? CRegistry::kString
                                  : id == cmd::kNewBinary ? CRegistry::kBinary
                                                          : CRegistry::kDword;
        CRegistry* n = e->NewRegistry(*static_cast<CRegistry*>(r.item), kind);
        if (kind == CRegistry::kKey) Inserted(t, node, n->name, TreeNode::kRegistry, n, kImgKey);
        else EditNewRegistryValue(frame_.Item(ItemWindowKind::kRegistry), n);
        return true;
    }
    case cmd::kAddEntry: {
        CRegistry* set = e->NewRegistry(*static_cast<CRegistry*>(r.item), CRegistry::kSet);
        HTREEITEM sn = NodeOf(t, set);
        if (!sn) {
            AddRegistry(node, *set);
            sn = NodeOf(t, set);
        }
        Inserted(t, node, set->name, TreeNode::kRegistry, set, kImgRegSet);
        return true;
    }
    case cmd::kInsertFolder: case cmd::kInsertFile: {
        CObListShort* s = e->NewShortcut(*static_cast<CObListShort*>(r.item), id == cmd::kInsertFolder ? CObListShort::kProgramFolder
                                                                                             : CObListShort::kShortcut);
        Inserted(t, node, s->name, TreeNode::kShortcut, s, ShortcutImage(s->kind));
        return true;
    }
    }
    return true;
}

bool CWorkspaceBar::OnUpdateCmdUI(CCmdUI& ui) {
    if (!frame_.Doc()) return false;
    if (ui.id == cmd::kInsertGroup) {
        ui.Enable(true);
        return true;
    }
    const TreeKind t = ActiveTree();
    const Decision d = TreeCommand(t, Describe(t, Tree(t).Selection()), ui.id);
    if (!d.known) return false;
    ui.Enable(d.enabled);
    return true;
}

void CWorkspaceBar::SelectFolder(const CObListFile* folder) {
    HTREEITEM node = NodeOf(TreeKind::kGroup, folder);
    if (!node) return;
    SelectTab(0);
    Tree(TreeKind::kGroup).Expand(Tree(TreeKind::kGroup).ParentItem(node));
    Tree(TreeKind::kGroup).Select(node);
    Tree(TreeKind::kGroup).Expand(node);
}

void CWorkspaceBar::ItemChanged(ItemKind kind, const void* item) {
    if (kind == ItemKind::kLanguage) return;
    for (int i = 0; i < kTreeCount; ++i) {
        HTREEITEM node = NodeOf(TreeKind(i), item);
        if (!node) continue;
        const NodeRef r = Ref(TreeKind(i), node);
        std::string text;
        switch (r.role) {
        case TreeNode::kGroup: text = static_cast<CItemGroup*>(r.item)->name; break;
        case TreeNode::kFolder: text = static_cast<CObListFile*>(r.item)->name; break;
        case TreeNode::kComponent: text = static_cast<CItemComponent*>(r.item)->name; break;
        case TreeNode::kSetupType: text = static_cast<CItemSetup*>(r.item)->name; break;
        case TreeNode::kRegistry: text = static_cast<CRegistry*>(r.item)->name; break;
        case TreeNode::kShortcut: text = static_cast<CObListShort*>(r.item)->name; break;
        default: continue;
        }
        if (static_cast<CRegistry*>(r.item) == &doc_->registry_root) continue;
        Tree(TreeKind(i)).SetItemText(node, text);
    }
}

void CWorkspaceBar::ItemAdded(ItemKind kind, const void* item, const void* parent) {
    // Folders made in the files window join the group tree, keys and registry sets made in the
    // registry window the registry tree; other additions come from the trees, which insert
    // their own nodes.
    if (kind == ItemKind::kRegistry) {
        auto* r = const_cast<CRegistry*>(static_cast<const CRegistry*>(item));
        if (r->kind > CRegistry::kKey || NodeOf(TreeKind::kRegistry, r)) return;
        if (HTREEITEM p = NodeOf(TreeKind::kRegistry, parent)) {
            AddRegistry(p, *r);
            Tree(TreeKind::kRegistry).Expand(p);
        }
        return;
    }
    if (kind != ItemKind::kFileNode) return;
    const auto* f = static_cast<const CObListFile*>(item);
    if (f->kind != CObListFile::kFolder || NodeOf(TreeKind::kGroup, f)) return;
    HTREEITEM p = NodeOf(TreeKind::kGroup, parent);
    if (p) Add(TreeKind::kGroup, p, f->name, TreeNode::kFolder, const_cast<CObListFile*>(f), kImgFolder);
}

void CWorkspaceBar::ItemRemoving(ItemKind, const void* item) {
    for (int i = 0; i < kTreeCount; ++i) {
        HTREEITEM node = NodeOf(TreeKind(i), item);
        if (!node) continue;
        // Forget the subtree's references, then the nodes.
        auto& m = refs_[std::size_t(i)];
        std::vector<HTREEITEM> stack{node};
        while (!stack.empty()) {
            HTREEITEM n = stack.back();
            stack.pop_back();
            m.erase(n);
            for (HTREEITEM c = Tree(TreeKind(i)).Child(n); c; c = Tree(TreeKind(i)).Sibling(c)) stack.push_back(c);
        }
        Tree(TreeKind(i)).Delete(node);
    }
}

bool CWorkspaceBar::OnNotify(NMHDR* h, LRESULT& result) {
    if (h->idFrom == kTabId && h->code == TCN_SELCHANGE) {
        ShowTree(tab_.CurSel());
        return true;
    }
    const int index = int(h->idFrom) - kTreeFirstId;
    if (index < 0 || index >= kTreeCount) return false;
    const TreeKind t = TreeKind(index);
    switch (h->code) {
    case TVN_SELCHANGEDA:
        OnSelect(t, reinterpret_cast<NMTREEVIEWA*>(h)->itemNew.hItem);
        return true;
    case NM_RCLICK:
        OnRightClick(t);
        result = 1;
        return true;
    case TVN_BEGINLABELEDITA: {
        auto* info = reinterpret_cast<NMTVDISPINFOA*>(h);
        result = CanRenameNode(t, Describe(t, info->item.hItem)) ? FALSE : TRUE;
        return true;
    }
    case TVN_ENDLABELEDITA:
        result = OnEndLabel(t, reinterpret_cast<NMTVDISPINFOA*>(h)) ? TRUE : FALSE;
        return true;
    case TVN_KEYDOWN: {
        const WORD key = reinterpret_cast<NMTVKEYDOWN*>(h)->wVKey;
        if (key == VK_DELETE && t != TreeKind::kRegistry && t != TreeKind::kString) OnDelete(t);
        if (key == VK_SPACE && t == TreeKind::kString && frame_.Edits()) {
            // The space bar toggles the selected language's box as a click does: the model
            // first; the box then shows the model once the tree has done its own toggle.
            const NodeRef r = Ref(t, Tree(t).Selection());
            if (r.role == TreeNode::kLanguage) {
                auto* lang = static_cast<CLangItem*>(r.item);
                frame_.Edits()->SetLanguageShown(*lang, lang->shown == 0);
            }
            ::SetTimer(hwnd_, kLanguageChecksTimer, 1, nullptr);
        }
        return true;
    }
    case NM_CLICK:
        if (t == TreeKind::kString && frame_.Edits()) {
            // A click on a language's check box toggles its shown flag.
            CTreeCtrl tree = Tree(t);
            POINT p;
            ::GetCursorPos(&p);
            ::ScreenToClient(tree, &p);
            UINT flags = 0;
            HTREEITEM node = tree.HitTest(p, &flags);
            const NodeRef r = Ref(t, node);
            if (node && (flags & TVHT_ONITEMSTATEICON) && r.role == TreeNode::kLanguage) {
                auto* lang = static_cast<CLangItem*>(r.item);
                frame_.Edits()->SetLanguageShown(*lang, lang->shown == 0);
                tree.SetCheck(node, lang->shown != 0);
                result = 1;  // the box shows the model's state, set above
            }
        }
        return true;
    }
    return false;
}

LRESULT CWorkspaceBar::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_SHOWWINDOW) frame_.RecalcLayout();
    if (msg == WM_TIMER && w == kLanguageChecksTimer) {
        ::KillTimer(hwnd_, kLanguageChecksTimer);
        CTreeCtrl tree = Tree(TreeKind::kString);
        HTREEITEM root = tree.Root();
        if (root) tree.ClearStateImage(root);
        for (HTREEITEM n = root ? tree.Child(root) : nullptr; n; n = tree.Sibling(n)) {
            const NodeRef r = Ref(TreeKind::kString, n);
            if (r.role == TreeNode::kLanguage) tree.SetCheck(n, static_cast<CLangItem*>(r.item)->shown != 0);
        }
        return 0;
    }
    return CDockBar::HandleMessage(msg, w, l);
}

}  // namespace qp
