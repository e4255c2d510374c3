// The setup wizard's windows: the background window, the pages built from their tables, the
// splash window, the language dialog and the About box. Decisions come from the portable
// classes beside this folder; these windows map controls to them.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include "common/settings.h"
#include "setup/wizard/setup_data.h"
#include "setup/wizard/wizard_state.h"

namespace qp::wiz {

// What the wizard calls in the engine. Both run inside the progress page's message handler and
// pump messages themselves; they update the page's controls 1032, 1025 and 1024.
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
    std::string common_programs;  // the all-users Programs folder, listed on page 8
    WizardHooks hooks;
};

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
    std::string Text(const std::string& key) const;

    // Page procedure plumbing.
    INT_PTR HandlePage(HWND page, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleBackground(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    HWND BuildPage(int page, HWND owner);
    bool SharedHandler(HWND page, UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result);
    void InitPage(HWND page, int number);
    // Page work on a button; false keeps the page (the wizard does not switch).
    bool LeavePage(HWND page, int number, int button_id);
    void OnButton(HWND page, int id);
    int NextPage(int page, int button_id);
    void PaintBackground(HWND wnd);
    void PaintEngraving(HWND page);
    RECT EngravingRect(HWND page) const;

    // Component page (component_page.cpp).
    void InitComponentPage(HWND page);
    bool ComponentNotify(HWND page, NMHDR* hdr, INT_PTR& result);
    void ToggleItem(HWND tree, HTREEITEM item);
    void ShowRequired(HWND page);
    void FillTree(HWND tree, Component& c, HTREEITEM parent);

    WizardSetup setup_;
    HWND background_ = nullptr;
    HWND page_ = nullptr;
    HFONT bold_font_ = nullptr;
    HIMAGELIST images_ = nullptr;
    HCURSOR engrave_cursor_ = nullptr;
    bool running_phase_ = false;  // the engine works inside page 10 or 18
};

// The splash window of the kit's bitmap, or null when the bitmap cannot be loaded.
HWND ShowSplash(HINSTANCE instance, const std::string& bitmap_path);
void DestroySplash(HWND splash);

// The language dialog; 1 for OK (the choice is in the state and the texts), 2 for Cancel.
int ChooseLanguage(HINSTANCE instance, HWND owner, WizardData& data, WizardState& state);
// The language an unattended run takes: the dialog's preselection.
std::size_t DefaultLanguage(const WizardData& data);

// The About box, modal to `owner`, centred over `center_on`.
void ShowAbout(HINSTANCE instance, HWND owner, HWND center_on);

// The shell's folder browser as the destination page uses it ("Create dir?" for a typed path
// that does not exist). True with `path` set when a folder was chosen.
bool BrowseForFolder(HWND owner, HWND background, const std::string& title, std::string& path);

// Registers the "Setup" and "CALDS" window classes.
bool RegisterWizardClasses(HINSTANCE instance);

// The read-only viewer behaviour of the licence and readme edits.
void MakeViewer(HWND edit);

// ANSI text to UTF-16 with the system's code page.
std::u16string Widen(const std::string& text);

}  // namespace qp::wiz
