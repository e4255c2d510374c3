// "Component Properties": eight pages over one component, the one-page group sheets
// ("Registry Properties", "Group Properties") and the "Setup Type" dialog.
#include "builder/ui/sheets/Pages.h"

#include "builder/ui/res/editors_ids.h"
#include "common/win/dc.h"
#include "framework/Dialog.h"

namespace qp {

namespace {
constexpr int kCombo = 1000, kCheck = 1001, kRadio = 1002, kDisplayCombo = 1005, kTree = 1010, kEdit = 1020;
}

// ---- pages that any sheet may use --------------------------------------------------------------

CKeyTextPage::CKeyTextPage(HINSTANCE instance, const std::string& caption, const CDazDoc& doc, std::string& field)
    : CQpPage(instance, caption), doc_(doc), field_(field) {
    Label(caption[0] == ' ' ? caption.substr(1) + ":" : caption + ":", 7, 10, 230);
    Combo(kCombo, CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL, 7, 22, 236, 120);
}

void CKeyTextPage::Load() {
    CWindow combo = Item(kCombo);
    for (const std::string& k : AuthorStringKeys(doc_)) combo.Send(CB_ADDSTRING, 0, LPARAM(k.c_str()));
    combo.SetText(field_);
    text_ = field_;
}

bool CKeyTextPage::OnControl(int id, int code) {
    if (id != kCombo) return false;
    CWindow combo = Item(kCombo);
    if (code == CBN_EDITCHANGE) {
        text_ = combo.Text();
        return true;
    }
    if (code == CBN_SELCHANGE) {
        // A choice from the list: the edit line follows only after this notification.
        const LRESULT sel = combo.Send(CB_GETCURSEL);
        const LRESULT n = sel == CB_ERR ? CB_ERR : combo.Send(CB_GETLBTEXTLEN, WPARAM(sel));
        if (n == CB_ERR) return false;
        std::string text(std::size_t(n) + 1, '\0');
        combo.Send(CB_GETLBTEXT, WPARAM(sel), LPARAM(&text[0]));
        text.resize(std::size_t(n));
        text_ = text;
        return true;
    }
    return false;
}

void CKeyTextPage::Write() { field_ = text_; }

CCommentPage::CCommentPage(HINSTANCE instance, std::string& field) : CQpPage(instance, "Comment"), field_(field) {
    EditBox(kEdit, 7, 7, 236, 136, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL);
}

void CCommentPage::Load() { Item(kEdit).SetText(field_); }
bool CCommentPage::OnControl(int id, int code) { return id == kEdit && code == EN_CHANGE; }
void CCommentPage::Write() { field_ = Item(kEdit).Text(); }

// ---- component pages -----------------------------------------------------------------------

namespace {
class CVisiblePage : public CQpPage {
public:
    CVisiblePage(HINSTANCE instance, CItemComponent& c) : CQpPage(instance, "Visible"), c_(c) {
        CheckBox(kCheck, "Visible", 7, 10, 120);
    }

protected:
    void Load() override { ::CheckDlgButton(hwnd_, kCheck, c_.visible ? BST_CHECKED : BST_UNCHECKED); }
    bool OnControl(int id, int code) override { return id == kCheck && code == BN_CLICKED; }
    void Write() override { c_.visible = ::IsDlgButtonChecked(hwnd_, kCheck) == BST_CHECKED ? 1 : 0; }

private:
    CItemComponent& c_;
};

class CFileNeedPage : public CQpPage {
public:
    CFileNeedPage(HINSTANCE instance, CItemComponent& c) : CQpPage(instance, "File Need"), c_(c) {
        Group("File need", 7, 7, 150, 60);
        Radio(kRadio, "Critical", true, 15, 20, 120);
        Radio(kRadio + 1, "Recomended", false, 15, 34, 120);
        Radio(kRadio + 2, "Info", false, 15, 48, 120);
    }

protected:
    void Load() override { ::CheckRadioButton(hwnd_, kRadio, kRadio + 2, kRadio + NormalFileNeed(c_.file_need)); }
    bool OnControl(int id, int code) override { return id >= kRadio && id <= kRadio + 2 && code == BN_CLICKED; }
    void Write() override {
        for (int i = 0; i < 3; ++i)
            if (::IsDlgButtonChecked(hwnd_, kRadio + i) == BST_CHECKED) c_.file_need = i;
    }

private:
    CItemComponent& c_;
};
}  // namespace

CFileGroupPage::CFileGroupPage(HINSTANCE instance, const CDazDoc& doc, std::vector<CItemGroup*>& groups)
    : CQpPage(instance, "IncludeFileGroup"), state_(doc, groups), groups_(groups) {
    Control(WC_TREEVIEWA, IDC_GROUP_TREE, WS_BORDER | WS_TABSTOP | TVS_HASLINES | TVS_SHOWSELALWAYS, 7, 7, 236, 136);
}

void CFileGroupPage::Load() {
    // The boxes are set when the page opens, as the nodes go in: the check-box style is given
    // after the tree is made and before its first node (the order the tree view needs to keep
    // the states it is given).
    CTreeCtrl tree(Item(IDC_GROUP_TREE));
    ::SetWindowLongPtrA(tree, GWL_STYLE, ::GetWindowLongPtrA(tree, GWL_STYLE) | TVS_CHECKBOXES);
    for (std::size_t i = 0; i < state_.Rows().size(); ++i) {
        HTREEITEM n = tree.Insert(nullptr, state_.Rows()[i].group->name, LPARAM(i));
        tree.SetCheck(n, state_.Rows()[i].checked);
    }
}

bool CFileGroupPage::OnNotify(NMHDR* h, LRESULT& result) {
    if (h->idFrom != IDC_GROUP_TREE || loading_) return false;
    if (h->code == NM_CLICK || (h->code == TVN_KEYDOWN && reinterpret_cast<NMTVKEYDOWN*>(h)->wVKey == VK_SPACE))
        MarkChanged();
    result = 0;
    return false;
}

void CFileGroupPage::Write() {
    CTreeCtrl tree(Item(IDC_GROUP_TREE));
    for (HTREEITEM n = tree.Root(); n; n = tree.Sibling(n)) {
        const std::size_t i = std::size_t(tree.ItemData(n));
        if (i < state_.Rows().size()) state_.Rows()[i].checked = tree.Check(n);
    }
    state_.Apply(groups_);
}

bool RunGroupChoiceSheet(const SheetContext& ctx, const char* caption, std::vector<CItemGroup*>& groups) {
    CFileGroupPage page(ctx.instance, *ctx.doc, groups);
    CQpSheet sheet(caption, false);
    sheet.AddPage(page);
    return sheet.DoModal(ctx) == IDOK;
}

namespace {
// The four images of the required-component tree (index 0 unused): free, required, locked, self.
HIMAGELIST MakeStateImages() {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24, 5, 0);
    HDC screen = ::GetDC(nullptr);
    for (int i = 0; i < 5; ++i) {
        HBITMAP bmp = ::CreateCompatibleBitmap(screen, 16, 16);
        {
            CMemoryDC dc(screen);
            CSelectObject keep(dc, bmp);
            const RECT all{0, 0, 16, 16};
            dc.FillSolidRect(all, ::GetSysColor(COLOR_WINDOW));
            const RECT box{2, 2, 14, 14};
            if (i >= 1 && i <= 3) {
                dc.FillSolidRect(box, i == 3 ? RGB(200, 200, 200) : RGB(255, 255, 255));
                dc.Draw3dRect(box, RGB(64, 64, 64), RGB(64, 64, 64));
            }
            if (i == 2 || i == 3) {  // required: a check mark; locked: a cross
                CGdiObject<HPEN> pen(::CreatePen(PS_SOLID, 2, i == 2 ? RGB(0, 0, 0) : RGB(128, 0, 0)));
                CSelectObject use(dc, pen);
                if (i == 2) {
                    POINT mark[3] = {{4, 8}, {7, 11}, {12, 4}};
                    ::Polyline(dc, mark, 3);
                } else {
                    POINT a[2] = {{4, 4}, {12, 12}}, b[2] = {{12, 4}, {4, 12}};
                    ::Polyline(dc, a, 2);
                    ::Polyline(dc, b, 2);
                }
            } else if (i == 4) {  // self: a filled square
                dc.FillSolidRect(RECT{3, 3, 13, 13}, RGB(0, 64, 192));
            }
        }
        ImageList_Add(list, bmp, nullptr);
        ::DeleteObject(bmp);
    }
    ::ReleaseDC(nullptr, screen);
    return list;
}
}  // namespace

CRequiredPage::CRequiredPage(HINSTANCE instance, const CDazDoc& doc, CItemComponent& c)
    : CQpPage(instance, "Requiered Component"), state_(doc, c), c_(c) {
    Control(WC_TREEVIEWA, kTree, WS_BORDER | WS_TABSTOP | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS,
            7, 7, 236, 136);
}

CRequiredPage::~CRequiredPage() {
    if (images_) ImageList_Destroy(images_);
}

void CRequiredPage::Load() {
    CTreeCtrl tree(Item(kTree));
    images_ = MakeStateImages();
    tree.SetImageList(images_);
    std::vector<HTREEITEM> parents;
    for (std::size_t i = 0; i < state_.Nodes().size(); ++i) {
        const auto& n = state_.Nodes()[i];
        parents.resize(std::size_t(n.depth));
        HTREEITEM node = tree.Insert(parents.empty() ? nullptr : parents.back(), n.component->name, LPARAM(i), n.state);
        parents.push_back(node);
    }
    for (HTREEITEM n = tree.Root(); n; n = tree.Sibling(n)) tree.Expand(n);
}

bool CRequiredPage::OnNotify(NMHDR* h, LRESULT& result) {
    if (h->idFrom != kTree || h->code != NM_CLICK) return false;
    CTreeCtrl tree(Item(kTree));
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(tree, &p);
    UINT flags = 0;
    HTREEITEM node = tree.HitTest(p, &flags);
    if (node && (flags & TVHT_ONITEMICON)) {
        const std::size_t i = std::size_t(tree.ItemData(node));
        if (state_.Toggle(i)) {
            tree.SetImage(node, state_.Nodes()[i].state);
            MarkChanged();
        }
    }
    result = 0;
    return true;
}

void CRequiredPage::Write() { state_.Apply(c_); }

// ---- the sheet -------------------------------------------------------------------------------

void RunComponentSheet(const SheetContext& ctx, CItemComponent& c, int page) {
    CDazDoc& doc = *ctx.doc;
    CKeyTextPage description(ctx.instance, " Description", doc, c.description);
    CKeyTextPage status(ctx.instance, "Status Text", doc, c.status_text);
    CKeyTextPage display(ctx.instance, "Display", doc, c.display_text);
    CVisiblePage visible(ctx.instance, c);
    CFileNeedPage need(ctx.instance, c);
    CFileGroupPage groups(ctx.instance, doc, c.file_groups);
    CRequiredPage required(ctx.instance, doc, c);
    CCommentPage comment(ctx.instance, c.comment);
    CQpSheet sheet("Component Properties", false, true);
    sheet.AddPages({&description, &status, &display, &visible, &need, &groups, &required, &comment});
    sheet.DoModal(ctx, page);
}

// ---- "Setup Type" ------------------------------------------------------------------------------

namespace {
class CSetupTypeDialog : public CDialog {
public:
    CSetupTypeDialog(HINSTANCE instance, const CDazDoc& doc, CItemSetup& setup)
        : CDialog(instance, tmpl_), tmpl_("Setup Type", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 250, 130),
          doc_(doc), setup_(setup), fields_(SetupTypeFields::Read(setup)) {
        tmpl_.AddControl("STATIC", -1, "Description:", WS_VISIBLE, 7, 9, 60, 9);
        tmpl_.AddControl("COMBOBOX", kCombo, "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL,
                         70, 7, 173, 100);
        tmpl_.AddControl("STATIC", -1, "Display Name", WS_VISIBLE, 7, 29, 60, 9);
        tmpl_.AddControl("COMBOBOX", kDisplayCombo, "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL,
                         70, 27, 173, 100);
        tmpl_.AddControl("STATIC", -1, "Comment", WS_VISIBLE, 7, 49, 60, 9);
        tmpl_.AddControl("EDIT", kEdit, "", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 70, 47, 173, 13);
        tmpl_.AddControl("BUTTON", kCheck, "Require select component step", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 70,
                         68, 173, 10);
        tmpl_.AddControl("BUTTON", IDOK, "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 139, 109, 50, 14);
        tmpl_.AddControl("BUTTON", IDCANCEL, "Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 193, 109, 50, 14);
    }

protected:
    bool OnInit() override {
        for (int id : {kCombo, kDisplayCombo})
            for (const std::string& k : AuthorStringKeys(doc_)) Item(id).Send(CB_ADDSTRING, 0, LPARAM(k.c_str()));
        Item(kCombo).SetText(fields_.description);
        Item(kDisplayCombo).SetText(fields_.display_name);
        Item(kEdit).SetText(fields_.comment);
        ::CheckDlgButton(hwnd_, kCheck, fields_.require_component_step ? BST_CHECKED : BST_UNCHECKED);
        return true;
    }
    void OnOK() override {
        fields_.description = Item(kCombo).Text();
        fields_.display_name = Item(kDisplayCombo).Text();
        fields_.comment = Item(kEdit).Text();
        fields_.require_component_step = ::IsDlgButtonChecked(hwnd_, kCheck) == BST_CHECKED;
        fields_.Apply(setup_);
        EndDialog(IDOK);
    }

private:
    CDialogTemplate tmpl_;
    const CDazDoc& doc_;
    CItemSetup& setup_;
    SetupTypeFields fields_;
};
}  // namespace

bool RunSetupTypeDialog(const SheetContext& ctx, CItemSetup& setup) {
    CSetupTypeDialog dlg(ctx.instance, *ctx.doc, setup);
    return dlg.DoModal(ctx.owner) == IDOK;
}

}  // namespace qp
