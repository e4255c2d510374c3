// An in-memory dialog template (DLGTEMPLATE with its items), for dialogs that are laid out in
// code rather than in a resource script. Texts are ANSI and converted to UTF-16 here.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace qp {

class CDialogTemplate {
public:
    // Position and size in dialog units; DS_SETFONT is added when a font is named.
    CDialogTemplate(const std::string& caption, DWORD style, short x, short y, short cx, short cy,
                    const std::string& font = "MS Sans Serif", WORD point_size = 8, DWORD ex_style = 0);

    // A control of a named class ("BUTTON", "EDIT", "STATIC", UPDOWN_CLASSA, ...).
    void AddControl(const std::string& class_name, int id, const std::string& text, DWORD style,
                    short x, short y, short cx, short cy, DWORD ex_style = 0);

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
    int Count() const { return count_; }

private:
    void PutDword(DWORD v);
    void PutText(const std::string& text);
    void AlignDword();

    std::vector<WORD> words_;
    int count_ = 0;
};

}  // namespace qp
