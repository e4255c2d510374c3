// The gradient dialog: two picker panels over a background that is the gradient itself.
#pragma once
#include <windows.h>

#include <memory>

#include "ColourPicker.h"
#include "framework/Dialog.h"

namespace qp::shade {

class CGradientDlg : public CDialog {
public:
    CGradientDlg(HINSTANCE instance, COLORREF first, COLORREF second);

    COLORREF First() const { return colours_[0]; }
    COLORREF Second() const { return colours_[1]; }

protected:
    bool OnInit() override;
    void DoDataExchange(CDataExchange& dx) override;
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnDestroy() override;

private:
    void SetGradientValues(int which, COLORREF colour);
    void OnPickerColour(COLORREF colour, int id);
    void RepaintBackground();
    void FitPanels();
    bool PaintGradient(HDC hdc, const RECT& r) const;

    COLORREF colours_[2];
    // Red, green, blue of the first colour, then of the second, each as channel x 256.
    int gradient_[6] = {};
    std::unique_ptr<CColourPicker> pickers_[2];
    bool initialised_ = false;
    bool writing_ = false;
};

}  // namespace qp::shade
