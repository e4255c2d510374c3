// CMDIString: every string of the project in our grid, one column per shown language, with
// the category check boxes, "Column Name Fixed", New, Delete, the clipboard commands and the
// language files.
#include <windows.h>

#include <cstring>

#include "builder/model/language.h"
#include "builder/ui/controls/GridCtrl.h"
#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/logic/commands.h"
#include "builder/ui/logic/stringview.h"
#include "builder/ui/res/editors_ids.h"
#include "common/languages.h"
#include "framework/CommonDialogs.h"

namespace qp {

namespace {

// The open and save dialogs of a language file.
FileDialogOptions LanguageFileOptions() {
    FileDialogOptions o;
    o.filter = "Language file(*.ini) |*.ini|(*.*)|*.*||";
    o.default_ext = "ini";
    o.initial_file = "*.ini";
    return o;
}

struct Box {
    int id;
    const char* text;
    int width;
};
const Box kBoxes[] = {{IDC_ST_RESOURCES, "Resources", 90},
                      {IDC_ST_PROJECT, "Project ", 80},
                      {IDC_ST_USER, "User", 60},
                      {IDC_ST_BOTTOM, "Bottom Message", 120},
                      {IDC_ST_FIXED, "Column Name Fixed", 140}};

class CMDIString : public CItemWindow {
public:
    explicit CMDIString(ItemHost& h) : CItemWindow(h, ItemWindowKind::kString) {}

    std::string Caption() const override {
        if (!item_) return "String Table Window";
        return std::string("String -") + LanguageName(static_cast<CLangItem*>(item_)->table_index);
    }

    HWND MakeControl() override {
        CGridCtrl::Register(host_.Instance());
        for (const Box& b : kBoxes) {
            HWND h = ::CreateWindowExA(0, "BUTTON", b.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 10,
                                       10, hwnd_, HMENU(INT_PTR(b.id)), host_.Instance(), nullptr);
            ::SendMessageA(h, WM_SETFONT, WPARAM(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        }
        SyncBoxes();
        HWND grid = ::CreateWindowExA(WS_EX_CLIENTEDGE, "QpGrid", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL,
                                      0, 0, 10, 10, hwnd_, HMENU(INT_PTR(IDC_ST_GRID)), host_.Instance(), nullptr);
        return grid;
    }

    void Reload() override {
        CGridCtrl* grid = Grid();
        if (!grid) return;
        CDazDoc* doc = host_.Doc();
        if (!doc) {
            grid->Model().SetSize(0, 0);
            grid->Refresh();
            Show(SW_HIDE);
            shown_ = nullptr;
            return;
        }
        Rebuild();
        if (item_ && item_ != shown_) {
            // A language chosen in the tree: its column in the current row.
            const auto& langs = doc->string_table.language_list;
            for (std::size_t i = 0; i < langs.size(); ++i) {
                if (langs[i].get() != item_) continue;
                const int col = ColumnOfLanguage(grid->Model(), doc->string_table, int(i));
                if (col >= 0) ::SendMessageA(control_, GRM_SETCURSOR, WPARAM(grid->Model().Row()), LPARAM(col));
            }
        }
        shown_ = item_;
    }

    void BeforeSave() override {
        CDazDoc* doc = host_.Doc();
        if (!doc) return;
        CGridCtrl* grid = Grid();
        StoreColumnWidths(grid ? &grid->Model() : nullptr, doc->string_table);
    }

    bool OnCmdMsg(UINT id) override {
        CDazDoc* doc = host_.Doc();
        CGridCtrl* grid = Grid();
        if (!doc || !grid) return false;
        GridModel& m = grid->Model();
        switch (id) {
        case ID_STRING_NEW: {
            CStringItem* s = NewAuthorString(*doc);
            doc->SetModifiedFlag();
            filter_.user = true;
            SyncBoxes();
            Rebuild();
            for (int r = 1; r < m.Rows(); ++r)
                if (m.RowData(r) == reinterpret_cast<std::intptr_t>(s)) ::SendMessageA(control_, GRM_SETCURSOR, WPARAM(r), 1);
            ::SetFocus(control_);
            return true;
        }
        case ID_STRING_DELETE:
            if (DeleteAuthorStrings(m, doc->string_table, m.SelStartRow(), m.SelEndRow()) > 0) doc->SetModifiedFlag();
            Rebuild();
            return true;
        case ID_STRING_LOAD: {
            const std::vector<std::string> paths = OpenFileDialog(host_.Owner(), LanguageFileOptions());
            if (!paths.empty()) {
                LoadLanguageFile(*doc, paths[0]);
                Rebuild();
            }
            return true;
        }
        case ID_STRING_SAVE: {
            const std::string path = SaveFileDialog(host_.Owner(), LanguageFileOptions());
            if (!path.empty()) {
                SaveWizardTexts(*doc, path);
                Rebuild();
            }
            return true;
        }
        case cmd::kCopy: case cmd::kCut: {
            PutOnClipboard(m.Text(m.Row(), m.Col()));
            if (id == cmd::kCut) StoreEdit(m.Row(), m.Col(), "");
            return true;
        }
        case cmd::kPaste: {
            const int row = m.Row(), col = m.Col();
            if (StoreEdit(row, col, PastedCellText(FromClipboard())) && row + 1 < m.Rows())
                ::SendMessageA(control_, GRM_SETCURSOR, WPARAM(row + 1), LPARAM(col));
            return true;
        }
        }
        return false;
    }

    bool OnUpdateCmdUI(CCmdUI& ui) override {
        switch (ui.id) {
        case ID_STRING_NEW: case ID_STRING_DELETE: case ID_STRING_LOAD: case ID_STRING_SAVE:
        case cmd::kCopy: case cmd::kCut: case cmd::kPaste:
            ui.Enable(host_.Doc() != nullptr);
            return true;
        }
        return false;
    }

protected:
    void OnSize(UINT, int cx, int cy) override {
        const int h = ScaledToScreen(22);
        int x = 4;
        for (const Box& b : kBoxes) {
            ::MoveWindow(::GetDlgItem(hwnd_, b.id), x, 2, ScaledToScreen(b.width), h - 4, TRUE);
            x += ScaledToScreen(b.width) + 4;
        }
        if (control_) ::MoveWindow(control_, 0, h, cx, cy > h ? cy - h : 0, TRUE);
    }

    bool OnCommand(int id, int code, HWND control) override {
        if (code == BN_CLICKED && id >= IDC_ST_RESOURCES && id <= IDC_ST_FIXED) {
            auto on = [&](int box) { return ::IsDlgButtonChecked(hwnd_, box) == BST_CHECKED; };
            filter_.resources = on(IDC_ST_RESOURCES);
            filter_.project = on(IDC_ST_PROJECT);
            filter_.user = on(IDC_ST_USER);
            filter_.billboard = on(IDC_ST_BOTTOM);
            id_fixed_ = on(IDC_ST_FIXED);
            Rebuild();
            return true;
        }
        return CItemWindow::OnCommand(id, code, control);
    }

    bool OnNotify(NMHDR* h, LRESULT& result) override {
        if (h->hwndFrom != control_) return false;
        CGridCtrl* grid = Grid();
        CDazDoc* doc = host_.Doc();
        if (!grid || !doc) return true;
        auto* n = reinterpret_cast<NMGRID*>(h);
        switch (h->code) {
        case GRN_BEFOREEDIT:
            n->cancel = !MayEditCell(grid->Model(), n->row, n->col);
            return true;
        case GRN_AFTEREDIT:
            // A refused key leaves the cell as it was, silently.
            if (StoreCell(grid->Model(), doc->string_table, n->row, n->col, n->text ? n->text : ""))
                doc->SetModifiedFlag();
            else
                n->cancel = TRUE;
            return true;
        case GRN_COLWIDTH: {
            // Kept in the language at once, so that the grid's rebuilds keep it too.
            auto* lang = reinterpret_cast<CLangItem*>(grid->Model().ColData(n->col));
            for (const auto& l : doc->string_table.language_list)
                if (l.get() == lang && n->col >= 2) l->lang_value = grid->Model().ColWidth(n->col);
            return true;
        }
        case NM_RCLICK: {
            POINT p;
            ::GetCursorPos(&p);
            host_.TrackContextMenu(IDM_STRING_POPUP, p);
            result = 1;
            return true;
        }
        }
        return false;
    }

private:
    CGridCtrl* Grid() const { return CGridCtrl::Of(control_); }

    void SyncBoxes() {
        ::CheckDlgButton(hwnd_, IDC_ST_RESOURCES, filter_.resources ? BST_CHECKED : BST_UNCHECKED);
        ::CheckDlgButton(hwnd_, IDC_ST_PROJECT, filter_.project ? BST_CHECKED : BST_UNCHECKED);
        ::CheckDlgButton(hwnd_, IDC_ST_USER, filter_.user ? BST_CHECKED : BST_UNCHECKED);
        ::CheckDlgButton(hwnd_, IDC_ST_BOTTOM, filter_.billboard ? BST_CHECKED : BST_UNCHECKED);
        ::CheckDlgButton(hwnd_, IDC_ST_FIXED, id_fixed_ ? BST_CHECKED : BST_UNCHECKED);
    }

    void Rebuild() {
        CGridCtrl* grid = Grid();
        CDazDoc* doc = host_.Doc();
        if (!grid || !doc) return;
        GridModel& m = grid->Model();
        const int row = m.Row(), col = m.Col();
        FillStringGrid(m, doc->string_table, filter_, id_fixed_);
        m.SetCursor(row, col);
        grid->Refresh();
    }

    // A cell edit from a command, by the same rules as one typed into the grid.
    bool StoreEdit(int row, int col, const std::string& text) {
        CGridCtrl* grid = Grid();
        CDazDoc* doc = host_.Doc();
        if (!grid || !doc || !MayEditCell(grid->Model(), row, col)) return false;
        if (!StoreCell(grid->Model(), doc->string_table, row, col, text)) return false;
        grid->Model().SetText(row, col, text);
        doc->SetModifiedFlag();
        grid->Refresh();
        return true;
    }

    void PutOnClipboard(const std::string& text) {
        if (!::OpenClipboard(hwnd_)) return;
        ::EmptyClipboard();
        if (HGLOBAL g = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
            std::memcpy(::GlobalLock(g), text.c_str(), text.size() + 1);
            ::GlobalUnlock(g);
            if (!::SetClipboardData(CF_TEXT, g)) ::GlobalFree(g);
        }
        ::CloseClipboard();
    }

    std::string FromClipboard() {
        std::string out;
        if (!::OpenClipboard(hwnd_)) return out;
        if (HGLOBAL g = ::GetClipboardData(CF_TEXT)) {
            const SIZE_T size = ::GlobalSize(g);
            if (const char* p = static_cast<const char*>(::GlobalLock(g))) {
                out.assign(p, strnlen(p, size));
                ::GlobalUnlock(g);
            }
        }
        ::CloseClipboard();
        return out;
    }

    StringFilter filter_;
    bool id_fixed_ = false;
    const void* shown_ = nullptr;
};

}  // namespace

std::unique_ptr<CItemWindow> MakeStringWindow(ItemHost& host) { return std::make_unique<CMDIString>(host); }

}  // namespace qp
