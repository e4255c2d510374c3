// The setup wizard's windows: the background window, the pages built from their tables, the
// splash window, the language dialog and the About box. Decisions come from the portable
// classes beside this folder; these windows map controls to them.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/settings.h"
#include "common/win/dc.h"
#include "setup/wizard/setup_data.h"
#include "setup/wizard/wizard_state.h"

namespace qp::wiz {

// Posted to the progress page (10 or 18) as it opens: the engine's phase starts once the page
// shows.
constexpr UINT kStartMessage = WM_USER + 101;

// What the wizard calls in the engine. Both run inside the progress page's message handler and
// pump messages themselves; they update the page's kIdStatus, kIdFileName and kIdProgress.
struct WizardHooks {
    std::function<void(HWND page)> install;
    std::function<void(HWND page)> uninstall;
    // The component selection changed or the target moved: the figure of the component page.
    std::function<std::int32_t()> required_kb;
};

struct WizardSetup {
    HINSTANCE instance = nullptr;
    WizardData* data = nullptr;
    WizardState* state = nullptr;
    SettingsBlock settings;
    std::string license_path;
    std::string readme_path;
    // A one-file kit: the texts themselves, in place of the two paths.
    bool texts_inside = false;
    std::string license_text, readme_text;
    std::string common_programs;  // the all-users Programs folder, listed on page 8
    WizardHooks hooks;
};

struct PageEvent;

class Wizard {
public:
    explicit Wizard(WizardSetup setup);
    ~Wizard();
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    // Creates the background window (normal runs) and shows the first page. False when the
    // background window cannot be created.
    bool Run(int show);
    void SwitchTo(int page);
    // Ends the wizard: destroys the page and the background window, sets the end flag.
    void Close();

    HWND Page() const { return page_; }
    HWND Background() const { return background_; }
    WizardState& State() { return *setup_.state; }
    WizardData& Data() { return *setup_.data; }
    const WizardSetup& Setup() const { return setup_; }

    // "Abort Setup?" (or the component page's "Abort ?"); Yes sets the abort flag.
    bool ConfirmCancel(HWND owner, bool component_page);
    // The text of `key` in the chosen language ("" when not found).
    // Taken as a pointer: the callers' literals then make no string of their own.
    std::string Text(const char* key) const;

    // Page procedure plumbing.
    INT_PTR HandlePage(HWND page, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleBackground(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

    // The component page's handler (component_page.cpp).
    static bool ComponentPage(Wizard& w, HWND page, PageEvent& e);

private:
    HWND BuildPage(int page, HWND owner);
    bool SharedHandler(HWND page, UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result);
    void OnButton(HWND page, int id);
    int NextPage(int page, int button_id);
    void PaintBackground(HWND wnd);
    void PaintEngraving(HWND page);
    RECT EngravingRect(HWND page) const;
    void ToggleItem(HWND tree, HTREEITEM item);
    void ShowRequired(HWND page);
    void FillTree(HWND tree, Component& c, HTREEITEM parent);

    WizardSetup setup_;
    HWND background_ = nullptr;
    HWND page_ = nullptr;
    // Made once and kept for the wizard's life: the pages' bold titles, the background's
    // three Times faces, the header and side pictures.
    CGdiObject<HFONT> bold_font_;
    CGdiObject<HFONT> title_font_;
    CGdiObject<HFONT> link_font_;
    CGdiObject<HFONT> message_font_;
    CGdiObject<HBITMAP> header_bitmap_;
    CGdiObject<HBITMAP> side_bitmap_;
    HIMAGELIST images_ = nullptr;
    HCURSOR engrave_cursor_ = nullptr;
    bool running_phase_ = false;  // the engine works inside page 10 or 18
};

// What a page's handler is told: the page opens, one of its controls sends a command or a
// notification, or a button leaves it (`id` is then the button).
struct PageEvent {
    enum Kind { kOpen, kCommand, kNotify, kLeave } kind;
    int id = 0;
    int code = 0;              // the command's notification code
    NMHDR* hdr = nullptr;      // kNotify
    INT_PTR result = 0;        // kNotify: the answer for the control
    bool stay = false;         // kLeave: set to keep the page
};
// A page's own behaviour beyond the controls every page shares; true when it handled the event.
using PageHandler = bool (*)(Wizard& w, HWND page, PageEvent& e);
// The handler of page number `page` (pages.cpp), null for a number with nothing of its own.
PageHandler HandlerOf(int page);

// The splash window of the kit's bitmap, or null when the bitmap cannot be loaded.
HWND ShowSplash(HINSTANCE instance, const std::string& bitmap_path);
// The same from the bytes of a bitmap file (a one-file kit's setup.bmp); null when they are
// none, or not an uncompressed bitmap that fits them.
HWND ShowSplash(HINSTANCE instance, const std::vector<std::uint8_t>& bitmap_file);
void DestroySplash(HWND splash);

// The language dialog; 1 for OK (the choice is in the state and the texts), 2 for Cancel.
int ChooseLanguage(HINSTANCE instance, HWND owner, WizardData& data, WizardState& state);
// The language an unattended run takes: the dialog's preselection.
std::size_t DefaultLanguage(const WizardData& data);

// The About box, modal to `owner`, centred over `center_on`.
void ShowAbout(HINSTANCE instance, HWND owner, HWND center_on);

// The shell's folder browser, opened on `path`. With `create_owner`, it has an edit box, and a
// typed folder that does not exist is offered for creation ("Create dir?", over `create_owner`),
// as the destination page wants it. True with `path` set when a folder was chosen.
bool BrowseForFolder(HWND owner, const std::string& title, std::string& path,
                     HWND create_owner = nullptr);

// Creates `path` with every missing level; when that fails, says so in a message box over
// `owner` ("Failed to create directory") and gives false.
bool CreateFolderOrSay(HWND owner, const std::string& path);

// Registers the "Setup" and "CALDS" window classes.
bool RegisterWizardClasses(HINSTANCE instance);

// The read-only viewer behaviour of the licence and readme edits.
void MakeViewer(HWND edit);

}  // namespace qp::wiz
