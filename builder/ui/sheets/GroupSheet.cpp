// "GroupProperties": eight pages over one file group. The Os page also serves the project sheet.
#include "builder/ui/sheets/Pages.h"

namespace qp {

namespace {
constexpr int kRadio = 1002, kBox = 1030, kModeList = 1040, kVersion = 1041, kDate = 1044, kTree = 1010, kPath = 1021,
              kList = 1050, kOnlyProject = 1051;
constexpr int kMenuInsert = 2001, kMenuRename = 2002, kMenuDelete = 2003;
}  // namespace

// ---- Shared, Self Registered, Potlock ---------------------------------------------------------

CFlagPage::CFlagPage(HINSTANCE instance, const std::string& caption, const std::string& on, const std::string& off,
                     std::int32_t& field)
    : CQpPage(instance, caption), field_(field) {
    Radio(kRadio, on, true, 15, 15, 150);
    Radio(kRadio + 1, off, false, 15, 30, 150);
}
void CFlagPage::Load() { ::CheckRadioButton(hwnd_, kRadio, kRadio + 1, field_ ? kRadio : kRadio + 1); }
bool CFlagPage::OnControl(int id, int code) { return (id == kRadio || id == kRadio + 1) && code == BN_CLICKED; }
void CFlagPage::Write() { field_ = ::IsDlgButtonChecked(hwnd_, kRadio) == BST_CHECKED ? 1 : 0; }

// ---- Os ----------------------------------------------------------------------------------------

COsPage::COsPage(HINSTANCE instance, std::function<std::int32_t()> read, std::function<void(std::int32_t)> write)
    : CQpPage(instance, "Os"), write_(std::move(write)), state_(OsPageState::Read(read())) {
    for (int i = 0; i < OsPageState::kBoxes; ++i)
        CheckBox(kBox + i, kOsBoxTexts[i], short(i == 0 ? 10 : 25), short(10 + 15 * i), 120);
}

void COsPage::Load() {
    for (int i = 0; i < OsPageState::kBoxes; ++i)
        ::CheckDlgButton(hwnd_, kBox + i, state_.boxes[std::size_t(i)] ? BST_CHECKED : BST_UNCHECKED);
    EnableSystems();
}

void COsPage::EnableSystems() {
    for (int i = 1; i < OsPageState::kBoxes; ++i) Item(kBox + i).Enable(state_.SystemBoxesEnabled());
}

bool COsPage::OnControl(int id, int code) {
    if (id < kBox || id >= kBox + OsPageState::kBoxes || code != BN_CLICKED) return false;
    state_.boxes[std::size_t(id - kBox)] = ::IsDlgButtonChecked(hwnd_, id) == BST_CHECKED;
    EnableSystems();
    return true;
}

// ---- OverWrite Type -----------------------------------------------------------------------------

COverwritePage::COverwritePage(HINSTANCE instance, CItemGroup& g)
    : CQpPage(instance, "OverWrite Type"), g_(g), state_(OverwritePageState::Read(g.overwrite_word)) {
    Combo(kModeList, CBS_DROPDOWNLIST, 7, 7, 140, 90);
    Group("Version", 7, 26, 236, 52);
    for (int i = 0; i < 3; ++i) Radio(kVersion + i, kOverwriteVersionTexts[i], i == 0, 14, short(37 + 13 * i), 225);
    Group("Date/Time", 7, 84, 236, 52);
    for (int i = 0; i < 3; ++i) Radio(kDate + i, kOverwriteDateTexts[i], i == 0, 14, short(95 + 13 * i), 225);
}

void COverwritePage::Load() {
    CWindow list = Item(kModeList);
    for (const char* t : kOverwriteModeTexts) list.Send(CB_ADDSTRING, 0, LPARAM(t));
    list.Send(CB_SETCURSEL, WPARAM(state_.mode));
    ::CheckRadioButton(hwnd_, kVersion, kVersion + 2, kVersion + state_.version);
    ::CheckRadioButton(hwnd_, kDate, kDate + 2, kDate + state_.date);
    Enable();
}

void COverwritePage::Enable() {
    for (int i = 0; i < 3; ++i) {
        Item(kVersion + i).Enable(state_.VersionEnabled());
        Item(kDate + i).Enable(state_.DateEnabled());
    }
}

bool COverwritePage::OnControl(int id, int code) {
    if (id == kModeList && code == CBN_SELCHANGE) {
        state_.mode = int(Item(kModeList).Send(CB_GETCURSEL));
        Enable();
        return true;
    }
    if (code != BN_CLICKED) return false;
    if (id >= kVersion && id < kVersion + 3) {
        state_.version = id - kVersion;
        return true;
    }
    if (id >= kDate && id < kDate + 3) {
        state_.date = id - kDate;
        return true;
    }
    return false;
}

void COverwritePage::Write() { g_.overwrite_word = state_.Word(); }

// ---- Destination ---------------------------------------------------------------------------------

CDestinationPage::CDestinationPage(HINSTANCE instance, CDazDoc& doc, CItemGroup& g)
    : CQpPage(instance, "Destination"), doc_(doc), g_(g) {
    Control(WC_TREEVIEWA, kTree,
            WS_BORDER | WS_TABSTOP | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS | TVS_EDITLABELS, 7,
            7, 236, 100);
    Group("Current Value", 7, 111, 236, 32);
    EditBox(kPath, 14, 124, 222);
}

void CDestinationPage::AddFolders(HTREEITEM parent, CObListFile& node) {
    CTreeCtrl tree(Item(kTree));
    for (auto& c : node.children) {
        if (c->kind == CObListFile::kFile) continue;
        HTREEITEM n = tree.Insert(parent, c->name, LPARAM(c.get()));
        AddFolders(n, *c);
    }
}

CObListFile* CDestinationPage::Node(HTREEITEM item) const {
    return item ? reinterpret_cast<CObListFile*>(CTreeCtrl(Item(kTree)).ItemData(item)) : nullptr;
}

void CDestinationPage::Load() {
    CTreeCtrl tree(Item(kTree));
    HTREEITEM root = tree.Insert(nullptr, "Folder on Target system", LPARAM(&doc_.folder_tree));
    AddFolders(root, doc_.folder_tree);
    tree.Expand(root);
    Item(kPath).SetText(g_.destination);
    if (const CObListFile* n = FindDestinationNode(doc_.folder_tree, g_.destination)) {
        HTREEITEM item = tree.Find(LPARAM(n));
        if (item) {
            tree.Select(item);
            tree.Send(TVM_ENSUREVISIBLE, 0, LPARAM(item));
        }
    }
}

void CDestinationPage::ShowPath(HTREEITEM item) {
    CObListFile* n = Node(item);
    if (!n || n == &doc_.folder_tree) return;
    Item(kPath).SetText(DestinationOf(*n));
}

bool CDestinationPage::OnControl(int id, int code) { return id == kPath && code == EN_CHANGE; }

bool CDestinationPage::OnCommand(int id, int code, HWND control) {
    CTreeCtrl tree(Item(kTree));
    HTREEITEM sel = tree.Selection();
    CObListFile* node = Node(sel);
    switch (id) {
    case kMenuInsert:
        if (node) {
            CObListFile* made = node->AddFolder(CDazDoc::NewFolderName(*node));
            HTREEITEM n = tree.Insert(sel, made->name, LPARAM(made));
            tree.Expand(sel);
            tree.Select(n);
            doc_.SetModifiedFlag();
        }
        return true;
    case kMenuRename:
        if (node && CanRenameDestination(*node)) {
            ::SetFocus(tree);
            tree.EditLabel(sel);
        }
        return true;
    case kMenuDelete:
        if (node && node->parent && CanRenameDestination(*node)) {
            tree.Delete(sel);
            node->parent->Detach(node);
            doc_.SetModifiedFlag();
        }
        return true;
    }
    return CQpPage::OnCommand(id, code, control);
}

bool CDestinationPage::OnNotify(NMHDR* h, LRESULT& result) {
    if (h->idFrom != kTree) return false;
    CTreeCtrl tree(Item(kTree));
    switch (h->code) {
    case TVN_SELCHANGEDA:
        if (!loading_) {
            ShowPath(reinterpret_cast<NMTREEVIEWA*>(h)->itemNew.hItem);
            MarkChanged();
        }
        return true;
    case TVN_BEGINLABELEDITA: {
        const CObListFile* n = Node(reinterpret_cast<NMTVDISPINFOA*>(h)->item.hItem);
        result = n && CanRenameDestination(*n) ? FALSE : TRUE;
        return true;
    }
    case TVN_ENDLABELEDITA: {
        auto* info = reinterpret_cast<NMTVDISPINFOA*>(h);
        CObListFile* n = Node(info->item.hItem);
        result = FALSE;
        if (n && info->item.pszText && *info->item.pszText) {
            n->name = info->item.pszText;
            result = TRUE;
            doc_.SetModifiedFlag();
            tree.SetItemText(info->item.hItem, n->name);
            ShowPath(info->item.hItem);
        }
        return true;
    }
    case NM_RCLICK: {
        POINT p;
        ::GetCursorPos(&p);
        POINT c = p;
        ::ScreenToClient(tree, &c);
        if (HTREEITEM hit = tree.HitTest(c)) tree.Select(hit);
        HMENU menu = ::CreatePopupMenu();
        ::AppendMenuA(menu, MF_STRING, kMenuInsert, "Insert folder");
        ::AppendMenuA(menu, MF_STRING, kMenuRename, "Rename");
        ::AppendMenuA(menu, MF_STRING, kMenuDelete, "Delete");
        ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, p.x, p.y, 0, hwnd_, nullptr);
        ::DestroyMenu(menu);
        result = 1;
        return true;
    }
    }
    return false;
}

void CDestinationPage::Write() { g_.destination = Item(kPath).Text(); }

// ---- Languages Group -----------------------------------------------------------------------------

namespace {
std::vector<int> UsedLanguages(const CDazDoc& doc) {
    std::vector<int> used;
    for (const auto& l : doc.string_table.language_list) used.push_back(l->table_index);
    return used;
}
}  // namespace

CLanguagesGroupPage::CLanguagesGroupPage(HINSTANCE instance, const CDazDoc& doc, CItemGroup& g)
    : CQpPage(instance, "Languages Group"), g_(g), state_(g.language_mask, nullptr) {
    const std::vector<int> used = UsedLanguages(doc);
    state_ = LanguageMaskPage(g.language_mask, &used);
    Control(WC_LISTVIEWA, kList, WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 7, 7, 236, 118);
    CheckBox(kOnlyProject, "Show only in project", 7, 131, 150);
}

void CLanguagesGroupPage::Load() {
    CListCtrl list(Item(kList));
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    list.AddColumn(0, "Language", 300);
    for (std::size_t i = 0; i < state_.Rows().size(); ++i) {
        list.Insert(int(i), state_.Rows()[i].label, LPARAM(i));
        ListView_SetCheckState(list, int(i), state_.Rows()[i].checked);
    }
    ::CheckDlgButton(hwnd_, kOnlyProject, BST_CHECKED);
}

bool CLanguagesGroupPage::OnNotify(NMHDR* h, LRESULT&) {
    if (h->idFrom != kList || h->code != LVN_ITEMCHANGED || loading_) return false;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(h);
    if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK))
        MarkChanged();
    return false;
}

void CLanguagesGroupPage::Write() {
    CListCtrl list(Item(kList));
    for (int i = 0; i < list.Count(); ++i) state_.Set(std::size_t(i), ListView_GetCheckState(list, i) != FALSE);
    g_.language_mask = state_.Mask();
}

// ---- the sheet -------------------------------------------------------------------------------------

void RunGroupPropertiesSheet(const SheetContext& ctx, CItemGroup& g, int page) {
    CDazDoc& doc = *ctx.doc;
    CFlagPage shared(ctx.instance, "Shared", "Shared", "Not Shared", g.shared);
    CFlagPage selfreg(ctx.instance, "Self Registered", "SelfReg", "Not Self registered", g.self_register);
    CFlagPage potlock(ctx.instance, "Potlock", "Locked", "Not Lock", g.restart_if_locked);
    COsPage os(ctx.instance, [&g] { return g.operating_system_mask; }, [&g](std::int32_t m) { g.operating_system_mask = m; });
    COverwritePage overwrite(ctx.instance, g);
    CDestinationPage destination(ctx.instance, doc, g);
    CLanguagesGroupPage languages(ctx.instance, doc, g);
    CCommentPage comment(ctx.instance, g.comment);
    CQpSheet sheet("GroupProperties", false);
    sheet.AddPages({&shared, &selfreg, &potlock, &os, &overwrite, &destination, &languages, &comment});
    sheet.DoModal(ctx, page);
}

}  // namespace qp
