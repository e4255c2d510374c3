// The file-group page ("IncludeFileGroup"): every file group of the project in a tree with
// check boxes; the checked ones become the edited item's group list. Used by "Registry
// Properties" and "Group Properties".
#pragma once
#include <string>
#include <vector>

#include "builder/model/doc.h"
#include "framework/PropertySheet.h"

namespace qp {

class CGroupPage : public CPropertyPage {
public:
    CGroupPage(HINSTANCE instance, const CDazDoc& doc, std::vector<CItemGroup*>& groups);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    bool OnInit() override;
    bool OnSetActive() override;
    void OnApply() override;

private:
    const CDazDoc& doc_;
    std::vector<CItemGroup*>& groups_;
    bool checks_set_ = false;
};

// One sheet of one group page; true when the author pressed OK.
bool RunGroupChoiceSheet(HWND owner, HINSTANCE instance, const char* caption, const CDazDoc& doc,
                   std::vector<CItemGroup*>& groups);

}  // namespace qp
