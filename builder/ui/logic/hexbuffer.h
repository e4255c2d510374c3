// The hex edit control's data and rules, without the window: the bytes with their base address,
// the named properties, the caret and the selection, typing in units of 1, 2 or 4 bytes,
// insert and overwrite, the clipboard rules, and the text of each row that the window paints.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qp {

// Window messages of the "HEX" class (its hosts drive it with these alone).
// HEXM_SETDATA: wParam the base address, lParam a const HexDataArg*; returns the result code.
constexpr unsigned HEXM_SETDATA = 0x8000 + 0x100;  // WM_APP + 0x100
// HEXM_GETPROPERTY / HEXM_SETPROPERTY: wParam a HexProperty; set returns 1 when taken.
constexpr unsigned HEXM_GETPROPERTY = 0x8000 + 0x101;
constexpr unsigned HEXM_SETPROPERTY = 0x8000 + 0x102;
// HEXM_GETDATA: wParam the buffer size, lParam the buffer; returns the data's size.
constexpr unsigned HEXM_GETDATA = 0x8000 + 0x103;

enum HexProperty : std::uintptr_t {
    kHexShowAddress, kHexShowAscii, kHexAllowChangeSize, kHexDataModified, kHexDigitsInAddress,
    kHexDigitsInData, kHexColumns, kHexFontHeight, kHexInsertMode
};

// What "SetData" is handed: the shape of an automation-style array.
struct HexDataArg {
    int dimensions = 1;
    bool bytes = true;         // element type is an unsigned byte
    std::uint64_t size = 0;    // element count
    const std::uint8_t* data = nullptr;
};

// Results of "SetData" (the automation error codes a host sees).
constexpr std::uint32_t kHexOk = 0, kHexInvalidArg = 0x80070057u, kHexOutOfMemory = 0x8007000Eu;

enum class HexKey { kLeft, kRight, kUp, kDown, kHome, kEnd, kPageUp, kPageDown, kCtrlHome, kCtrlEnd };

class HexBuffer {
public:
    // --- named properties; setters return false when the value is ignored -------------------
    bool show_address = true;
    bool allow_change_size = false;
    bool data_modified = false;
    bool ShowAscii() const { return show_ascii_; }
    void SetShowAscii(bool on);
    int DigitsInAddress() const { return digits_in_address_; }
    bool SetDigitsInAddress(int digits);
    int DigitsInData() const { return digits_in_data_; }
    bool SetDigitsInData(int digits);
    int Columns() const { return columns_; }
    bool SetColumns(int columns);
    int FontHeight() const { return font_height_; }
    bool SetFontHeight(int height);
    bool insert_mode = false;

    std::uint32_t SetData(const HexDataArg& arg, std::uint32_t base_address);
    const std::vector<std::uint8_t>& Data() const { return data_; }
    std::uint32_t BaseAddress() const { return base_; }
    // Two upper-case digits per byte; empty without data.
    std::string DataText() const;

    // --- geometry in units and rows ------------------------------------------------------------
    int UnitBytes() const { return digits_in_data_ / 2; }
    int UnitCount() const { return int((data_.size() + std::size_t(UnitBytes()) - 1) / std::size_t(UnitBytes())); }
    int RowCount() const { return UnitCount() / columns_ + 1; }
    // Whether the character area is shown (single-byte units only).
    bool AsciiShown() const { return show_ascii_ && digits_in_data_ == 2; }

    // --- caret and selection -------------------------------------------------------------------
    int CaretUnit() const { return caret_unit_; }
    int CaretDigit() const { return caret_digit_; }
    bool CaretInAscii() const { return caret_ascii_; }
    int SelFirst() const { return sel_first_; }
    int SelLast() const { return sel_last_; }
    bool HasSelection() const { return sel_first_ >= 0; }
    bool IsSelected(int unit) const { return sel_first_ >= 0 && unit >= sel_first_ && unit <= sel_last_; }
    void ClearSelection() { sel_first_ = sel_last_ = -1; }
    // Places the caret (a click); `extend` selects from the anchor to `unit` (a drag).
    void PlaceCaret(int unit, int digit, bool ascii, bool extend);
    void Move(HexKey key, bool extend, int page_rows);
    // Ctrl+Tab: false when there is no character area.
    bool SwitchArea();
    void SelectAll();

    // --- edits ------------------------------------------------------------------------------------
    // A typed character; false when it is not taken (passed on to the dialog).
    bool Type(char c);
    // The selected units' bytes; empty without a selection.
    std::vector<std::uint8_t> Copy() const;
    // Copies and removes the selection; false (nothing changed) when size changes are not allowed.
    bool Cut(std::vector<std::uint8_t>& out);
    void Paste(const std::vector<std::uint8_t>& bytes);
    // The Delete and Backspace keys: remove the selection, else the unit at (or before) the caret;
    // only where the size may change.
    bool DeleteKey(bool backspace);

    // --- the painted text, in character cells ------------------------------------------------
    // The whole text of a row: address, units (blanks past the end), characters.
    std::string RowText(int row) const;
    // The first character cell of unit column `col` in the hexadecimal area, and in the
    // character area.
    int HexCell(int col) const;
    int AsciiCell(int col) const;
    int RowWidth() const;
    // The unit, digit and area under character cell `cell` of row `row`; false off any unit.
    bool HitTest(int row, int cell, int& unit, int& digit, bool& ascii) const;

private:
    bool MayResize() const { return insert_mode || allow_change_size; }
    std::uint32_t UnitValue(int unit) const;
    void SetUnitValue(int unit, std::uint32_t value);
    void InsertUnits(int unit, int count);
    void RemoveUnits(int first, int last);
    void Clamp();

    std::vector<std::uint8_t> data_;
    std::uint32_t base_ = 0;
    bool show_ascii_ = true;
    int digits_in_address_ = 4;
    int digits_in_data_ = 2;
    int columns_ = 8;
    int font_height_ = 14;
    int caret_unit_ = 0, caret_digit_ = 0;
    bool caret_ascii_ = false;
    int sel_first_ = -1, sel_last_ = -1, anchor_ = -1;
};

}  // namespace qp
