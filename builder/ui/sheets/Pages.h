// The page classes of the component, group and project sheets (the two plain pages only the
// component sheet shows live in its file). A page shown in two places is one class taking the
// field it edits (the Os page, the comment page).
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "builder/ui/logic/pages.h"
#include "builder/ui/logic/project_pages.h"
#include "builder/ui/sheets/Sheet.h"
#include "builder/ui/sheets/Sheets.h"
#include "common/win/dc.h"

namespace qp {

// An editable sorted drop-down of the author's string keys; any typed text is kept.
class CKeyTextPage : public CQpPage {
public:
    CKeyTextPage(HINSTANCE instance, const std::string& caption, const CDazDoc& doc, std::string& field);

protected:
    void Load() override;
    bool OnControl(int id, int code) override;
    void Write() override;

private:
    const CDazDoc& doc_;
    std::string& field_;
    std::string text_;  // what the page would write
};

class CCommentPage : public CQpPage {
public:
    CCommentPage(HINSTANCE instance, std::string& field);

protected:
    void Load() override;
    bool OnControl(int id, int code) override;
    void Write() override;

private:
    std::string& field_;
};

// "IncludeFileGroup": the file groups of the project with check boxes; the checked ones become
// the edited list (a component's, a registry node's or a shortcut's groups).
class CFileGroupPage : public CQpPage {
public:
    CFileGroupPage(HINSTANCE instance, const CDazDoc& doc, std::vector<CItemGroup*>& groups);

protected:
    void Load() override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    void Write() override;

private:
    GroupChoice state_;
    std::vector<CItemGroup*>& groups_;
};

class CRequiredPage : public CQpPage {
public:
    CRequiredPage(HINSTANCE instance, const CDazDoc& doc, CItemComponent& c);
    ~CRequiredPage() override;

protected:
    void Load() override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    void Write() override;

private:
    RequiredPage state_;
    CItemComponent& c_;
    HIMAGELIST images_ = nullptr;
};

// Two radio buttons over one flag: the first sets 1, the second 0.
class CFlagPage : public CQpPage {
public:
    CFlagPage(HINSTANCE instance, const std::string& caption, const std::string& on, const std::string& off,
              std::int32_t& field);

protected:
    void Load() override;
    bool OnControl(int id, int code) override;
    void Write() override;

private:
    std::int32_t& field_;
};

// "Os": a group's mask, or the project's in project mode (the accessors say which).
class COsPage : public CQpPage {
public:
    COsPage(HINSTANCE instance, std::function<std::int32_t()> read, std::function<void(std::int32_t)> write);
    // Wizard Finish: the state as it stands, opened or not.
    void WriteNow() { write_(state_.Mask()); }

protected:
    void Load() override;
    bool OnControl(int id, int code) override;
    void Write() override { WriteNow(); }

private:
    void EnableSystems();
    std::function<void(std::int32_t)> write_;
    OsPageState state_;
};

class COverwritePage : public CQpPage {
public:
    COverwritePage(HINSTANCE instance, CItemGroup& g);

protected:
    void Load() override;
    bool OnControl(int id, int code) override;
    void Write() override;

private:
    void Enable();
    CItemGroup& g_;
    OverwritePageState state_;
};

class CDestinationPage : public CQpPage {
public:
    CDestinationPage(HINSTANCE instance, CDazDoc& doc, CItemGroup& g);

protected:
    void Load() override;
    bool OnControl(int id, int code) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    void Write() override;

private:
    void AddFolders(HTREEITEM parent, CObListFile& node);
    CObListFile* Node(HTREEITEM item) const;
    void ShowPath(HTREEITEM item);
    CDazDoc& doc_;
    CItemGroup& g_;
};

class CLanguagesGroupPage : public CQpPage {
public:
    CLanguagesGroupPage(HINSTANCE instance, const CDazDoc& doc, CItemGroup& g);

protected:
    void Load() override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    void Write() override;

private:
    CItemGroup& g_;
    LanguageMaskPage state_;
};

}  // namespace qp
