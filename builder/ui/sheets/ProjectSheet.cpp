// "Project Files": side files with previews, steps and GUID, languages, Os, colours; and the same
// sheet as the new-project wizard "Proj vizar" (general properties, steps, languages, Os).
#include <windows.h>
#include <commdlg.h>

#include "builder/ui/sheets/Pages.h"
#include "common/textload.h"
#include "framework/CommonDialogs.h"

namespace qp {

namespace {

constexpr int kFile = 1100, kBrowse = 1101, kPreview = 1102, kGuid = 1110, kNewGuid = 1111, kStep = 1120,
              kLangList = 1140, kField = 1150, kSwatch = 1170, kAdvanced = 1180;

// A side file page: "File:", "..." and a preview. The path is stored the moment it is chosen.
class CSideFilePage : public CQpPage {
public:
    CSideFilePage(HINSTANCE instance, const std::string& caption, CDazDoc& doc, int slot, bool bitmap)
        : CQpPage(instance, caption), doc_(doc), slot_(slot), bitmap_(bitmap) {
        Label("File:", 7, 9, 20);
        EditBox(kFile, 30, 7, 185);
        PushButton(kBrowse, "...", 220, 7, 23, 13);
        if (bitmap)
            Control("STATIC", kPreview, SS_OWNERDRAW | WS_BORDER, 7, 26, 236, 117);
        else
            EditBox(kPreview, 7, 26, 236, 117, ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL);
    }
    ~CSideFilePage() override { Forget(); }

protected:
    void Load() override {
        Item(kFile).SetText(doc_.side_file_paths[std::size_t(slot_)]);
        Preview();
    }
    bool OnCommand(int id, int code, HWND control) override {
        if (id == kBrowse && code == BN_CLICKED) {
            Browse();
            return true;
        }
        return CQpPage::OnCommand(id, code, control);
    }
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_DRAWITEM && w == kPreview) {
            Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
            return TRUE;
        }
        return CQpPage::HandleMessage(msg, w, l);
    }

private:
    void Browse() {
        FileDialogOptions o;
        o.filter = bitmap_ ? " BmpFiles (*.bmp) |*.bmp|All Files (*.*) |*.*||"
                           : " TextFiles (*.txt) |*.txt|All Files (*.*) |*.*||";
        o.initial_file = doc_.side_file_paths[std::size_t(slot_)];
        o.hide_read_only = true;
        const std::vector<std::string> chosen = OpenFileDialog(hwnd_, o);
        if (chosen.empty()) return;
        doc_.side_file_paths[std::size_t(slot_)] = chosen[0];
        doc_.SetModifiedFlag();
        Item(kFile).SetText(chosen[0]);
        Preview();
    }
    void Forget() {
        if (picture_) ::DeleteObject(picture_);
        picture_ = nullptr;
    }
    void Preview() {
        const std::string& path = doc_.side_file_paths[std::size_t(slot_)];
        if (bitmap_) {
            Forget();
            if (!path.empty())
                picture_ = HBITMAP(::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
            Item(kPreview).Invalidate();
            return;
        }
        std::string text;
        if (LoadViewerText(path, &text)) Item(kPreview).SetText(text);
    }
    void Draw(const DRAWITEMSTRUCT& d) {
        CDC dc(d.hDC);
        dc.FillSolidRect(d.rcItem, ::GetSysColor(COLOR_BTNFACE));
        if (!picture_) return;
        BITMAP info{};
        ::GetObjectA(picture_, sizeof(info), &info);
        CMemoryDC mem(d.hDC);
        CSelectObject use(mem, picture_);
        ::SetStretchBltMode(d.hDC, COLORONCOLOR);
        ::StretchBlt(d.hDC, d.rcItem.left, d.rcItem.top, d.rcItem.right - d.rcItem.left, d.rcItem.bottom - d.rcItem.top,
                     mem, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }

    CDazDoc& doc_;
    int slot_;
    bool bitmap_;
    HBITMAP picture_ = nullptr;
};

class CStepsPage : public CQpPage {
public:
    CStepsPage(HINSTANCE instance, CDazDoc& doc)
        : CQpPage(instance, "Steps "), doc_(doc), state_(StepsPageState::Read(doc.settings_block)) {
        Group("Steps", 7, 7, 150, 140);
        for (int i = 0; i < kWizardSteps; ++i) CheckBox(kStep + i, kStepTexts[i], 14, short(19 + 12 * i), 140);
        Label("GUID", 163, 9, 80);
        EditBox(kGuid, 163, 20, 80, 36, ES_MULTILINE | ES_READONLY);
        PushButton(kNewGuid, "NewGUID", 163, 60, 80);
    }
    void WriteNow() {
        if (opened_) Read();
        state_.Apply(doc_);
    }

protected:
    void Load() override {
        for (int i = 0; i < kWizardSteps; ++i)
            ::CheckDlgButton(hwnd_, kStep + i, state_.steps[std::size_t(i)] ? BST_CHECKED : BST_UNCHECKED);
        Item(kGuid).SetText(state_.guid);
    }
    bool OnControl(int id, int code) override {
        if (id == kNewGuid && code == BN_CLICKED) {
            if (state_.NewGuid()) Item(kGuid).SetText(state_.guid);
            return true;
        }
        return id >= kStep && id < kStep + kWizardSteps && code == BN_CLICKED;
    }
    void Write() override { WriteNow(); }

private:
    void Read() {
        for (int i = 0; i < kWizardSteps; ++i) state_.steps[std::size_t(i)] = ::IsDlgButtonChecked(hwnd_, kStep + i) == BST_CHECKED;
    }
    CDazDoc& doc_;
    StepsPageState state_;
};

class CLanguagesPage : public CQpPage {
public:
    CLanguagesPage(HINSTANCE instance, CDazDoc& doc)
        : CQpPage(instance, "Languages"), doc_(doc), state_(ProjectLanguagesState::Read(doc)) {
        Control(WC_LISTVIEWA, kLangList, WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 7, 7, 236, 136);
    }
    void WriteNow() {
        if (opened_) {
            CListCtrl list(Item(kLangList));
            for (int i = 0; i < list.Count() && i < kLanguageCount; ++i)
                state_.checked[std::size_t(i)] = ListView_GetCheckState(list, i) != FALSE;
        }
        state_.Apply(doc_);
    }

protected:
    void Load() override {
        CListCtrl list(Item(kLangList));
        list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
        list.AddColumn(0, "Language", 300);
        for (int i = 0; i < kLanguageCount; ++i) {
            list.Insert(i, LanguageName(i), LPARAM(i));
            ListView_SetCheckState(list, i, state_.checked[std::size_t(i)]);
        }
    }
    bool OnNotify(NMHDR* h, LRESULT&) override {
        if (h->idFrom != kLangList || h->code != LVN_ITEMCHANGED || loading_) return false;
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(h);
        if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK))
            MarkChanged();
        return false;
    }
    void Write() override { WriteNow(); }

private:
    CDazDoc& doc_;
    ProjectLanguagesState state_;
};

class CGeneralPage : public CQpPage {
public:
    explicit CGeneralPage(HINSTANCE instance) : CQpPage(instance, "General properties") {
        for (int f = 0; f < GeneralPageState::kFields; ++f) {
            Label(GeneralPageState::kLabels[f], 7, short(9 + 17 * f), 60);
            EditBox(kField + f, 70, short(7 + 17 * f), 173);
        }
    }
    void WriteNow(CDazDoc& doc) { state_.Apply(doc); }

protected:
    void Load() override { Show(); }
    bool OnControl(int id, int code) override {
        if (code != EN_CHANGE || id < kField || id >= kField + GeneralPageState::kFields || showing_) return false;
        const auto f = GeneralPageState::Field(id - kField);
        state_.Set(f, Item(id).Text());
        if (f == GeneralPageState::kAppName) Show(id);
        return true;
    }

private:
    // Puts the state into the fields, except the one being typed in.
    void Show(int skip = 0) {
        showing_ = true;
        for (int f = 0; f < GeneralPageState::kFields; ++f)
            if (kField + f != skip) Item(kField + f).SetText(state_.Get(GeneralPageState::Field(f)));
        showing_ = false;
    }
    GeneralPageState state_;
    bool showing_ = false;
};

using ChooseGradientFn = int(WINAPI*)(HWND, COLORREF*, COLORREF*);

class CColorsPage : public CQpPage {
public:
    CColorsPage(HINSTANCE instance, CDazDoc& doc, const SheetContext& ctx)
        : CQpPage(instance, "Colors"), doc_(doc), ctx_(ctx), kept_(Current()) {
        for (std::size_t i = 0; i < kColourSlots.size(); ++i) {
            const short y = short(9 + 16 * int(i));
            Label(kColourSlots[i].label, 7, y, 110);
            Control("STATIC", kSwatch + int(i), SS_NOTIFY | WS_BORDER, 120, short(y - 2), 40, 12);
        }
        PushButton(kAdvanced, "Advanced", 180, 7, 60);
    }
    ~CColorsPage() override {
        for (HBRUSH b : brushes_)
            if (b) ::DeleteObject(b);
    }

protected:
    bool OnCommand(int id, int code, HWND control) override {
        if (id == kAdvanced && code == BN_CLICKED) {
            Advanced();
            return true;
        }
        if (id >= kSwatch && id < kSwatch + int(kColourSlots.size()) && code == STN_DBLCLK) {
            const std::size_t i = std::size_t(id - kSwatch);
            COLORREF c = COLORREF(doc_.settings_block.U32(kColourSlots[i].offset));
            if (ChooseColour(hwnd_, c)) {
                doc_.settings_block.SetU32(kColourSlots[i].offset, std::uint32_t(c));
                doc_.SetModifiedFlag();
                Repaint();
            }
            return true;
        }
        return CQpPage::OnCommand(id, code, control);
    }
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_NOTIFY) {
            // A colour is stored the moment it is chosen, so that the frame shows it at once;
            // OK and Apply keep it, Cancel puts back what the last of them kept.
            const UINT code = reinterpret_cast<const NMHDR*>(l)->code;
            if (code == PSN_APPLY) kept_ = Current();
            if (code == PSN_RESET && Current() != kept_) {
                for (std::size_t i = 0; i < kColourSlots.size(); ++i)
                    doc_.settings_block.SetU32(kColourSlots[i].offset, kept_[i]);
                if (ctx_.colours_changed) ctx_.colours_changed();
            }
        }
        if (msg == WM_CTLCOLORSTATIC) {
            const int id = ::GetDlgCtrlID(HWND(l));
            if (id >= kSwatch && id < kSwatch + int(kColourSlots.size())) {
                const std::size_t i = std::size_t(id - kSwatch);
                const COLORREF c = COLORREF(doc_.settings_block.U32(kColourSlots[i].offset)) & 0xFFFFFF;
                if (!brushes_[i] || colours_[i] != c) {
                    if (brushes_[i]) ::DeleteObject(brushes_[i]);
                    brushes_[i] = ::CreateSolidBrush(c);
                    colours_[i] = c;
                }
                return LRESULT(brushes_[i]);
            }
        }
        return CQpPage::HandleMessage(msg, w, l);
    }

private:
    std::array<std::uint32_t, 8> Current() const {
        std::array<std::uint32_t, 8> c{};
        for (std::size_t i = 0; i < kColourSlots.size(); ++i) c[i] = doc_.settings_block.U32(kColourSlots[i].offset);
        return c;
    }
    void Repaint() {
        for (std::size_t i = 0; i < kColourSlots.size(); ++i) Item(kSwatch + int(i)).Invalidate();
        Invalidate();
    }
    // shadepick.dll from the builder's own folder, loaded for this call only; nothing happens
    // when it or its export is missing.
    void Advanced() {
        const std::string path = ctx_.program_dir + "\\shadepick.dll";
        HMODULE lib = ::LoadLibraryA(path.c_str());
        if (!lib) return;
        auto choose = reinterpret_cast<ChooseGradientFn>(reinterpret_cast<void*>(::GetProcAddress(lib, "ChooseGradient")));
        if (choose) {
            COLORREF first = COLORREF(doc_.settings_block.U32(SettingsBlock::kWindowColour1));
            COLORREF second = COLORREF(doc_.settings_block.U32(SettingsBlock::kWindowColour2));
            if (choose(hwnd_, &first, &second) == 1) {
                doc_.settings_block.SetU32(SettingsBlock::kWindowColour1, std::uint32_t(first));
                doc_.settings_block.SetU32(SettingsBlock::kWindowColour2, std::uint32_t(second));
                doc_.SetModifiedFlag();
                Repaint();
                if (ctx_.colours_changed) ctx_.colours_changed();
            }
        }
        ::FreeLibrary(lib);
    }

    CDazDoc& doc_;
    const SheetContext& ctx_;
    std::array<HBRUSH, 8> brushes_{};
    std::array<COLORREF, 8> colours_{};
    std::array<std::uint32_t, 8> kept_;  // the colours as the sheet opened or last applied
};

}  // namespace

void RunProjectSettings(const SheetContext& ctx) {
    CDazDoc& doc = *ctx.doc;
    CSideFilePage bmp(ctx.instance, "Setup Bitmap", doc, 0, true);
    CSideFilePage readme(ctx.instance, "Readme File", doc, 1, false);
    CSideFilePage licence(ctx.instance, "License file", doc, 2, false);
    CStepsPage steps(ctx.instance, doc);
    CLanguagesPage languages(ctx.instance, doc);
    COsPage os(ctx.instance, [&doc] { return std::int32_t(doc.settings_block.os_mask()); },
               [&doc](std::int32_t m) {
                   doc.settings_block.set_os_mask(std::uint32_t(m));
                   doc.SetModifiedFlag();
               });
    CColorsPage colours(ctx.instance, doc, ctx);
    CQpSheet sheet("Project Files", false, true);
    sheet.AddPages({&bmp, &readme, &licence, &steps, &languages, &os, &colours});
    sheet.DoModal(ctx);
}

bool RunNewProjectWizard(const SheetContext& ctx) {
    CDazDoc& doc = *ctx.doc;
    CGeneralPage general(ctx.instance);
    CStepsPage steps(ctx.instance, doc);
    CLanguagesPage languages(ctx.instance, doc);
    COsPage os(ctx.instance, [&doc] { return std::int32_t(doc.settings_block.os_mask()); },
               [&doc](std::int32_t m) { doc.settings_block.set_os_mask(std::uint32_t(m)); });
    CQpSheet sheet("Proj vizar", true, true);
    sheet.AddPages({&general, &steps, &languages, &os});
    // Nothing reaches the project before Finish, which applies the pages in this order.
    sheet.on_finish = [&] {
        steps.WriteNow();
        languages.WriteNow();
        os.WriteNow();
        general.WriteNow(doc);
        return true;
    };
    return sheet.DoModal(ctx.owner, ctx.instance) == IDOK;
}

}  // namespace qp
