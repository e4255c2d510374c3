// Builds dialog templates word by word, in the layout the dialog manager reads.
#include "framework/DialogTemplate.h"

#include "common/win/widen.h"

namespace qp {

CDialogTemplate::CDialogTemplate(const std::string& caption, DWORD style, short x, short y, short cx,
                                 short cy, const std::string& font, WORD point_size, DWORD ex_style) {
    if (!font.empty()) style |= DS_SETFONT;
    PutDword(style);
    PutDword(ex_style);
    words_.push_back(0);  // item count, patched as items come
    words_.push_back(WORD(x));
    words_.push_back(WORD(y));
    words_.push_back(WORD(cx));
    words_.push_back(WORD(cy));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    PutText(caption);
    if (style & DS_SETFONT) {
        words_.push_back(point_size);
        PutText(font);
    }
}

void CDialogTemplate::AddControl(const std::string& class_name, int id, const std::string& text, DWORD style,
                                 short x, short y, short cx, short cy, DWORD ex_style) {
    AlignDword();
    PutDword(style | WS_CHILD);
    PutDword(ex_style);
    words_.push_back(WORD(x));
    words_.push_back(WORD(y));
    words_.push_back(WORD(cx));
    words_.push_back(WORD(cy));
    words_.push_back(WORD(id));
    PutText(class_name);
    PutText(text);
    words_.push_back(0);  // no creation data
    ++count_;
    words_[4] = WORD(count_);
}

void CDialogTemplate::PutDword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
}

void CDialogTemplate::PutText(const std::string& text) {
    for (char16_t c : Widen(text)) words_.push_back(WORD(c));
    words_.push_back(0);
}

void CDialogTemplate::AlignDword() {
    if (words_.size() % 2) words_.push_back(0);
}

}  // namespace qp
