// The hex edit control's buffer rules (see hexbuffer.h).
#include "builder/ui/logic/hexbuffer.h"

#include <algorithm>
#include <cstdio>

namespace qp {

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

void HexBuffer::SetShowAscii(bool on) {
    show_ascii_ = on;
    if (!AsciiShown()) caret_ascii_ = false;
}

bool HexBuffer::SetDigitsInAddress(int digits) {
    if (digits != 4 && digits != 8) return false;
    digits_in_address_ = digits;
    return true;
}

bool HexBuffer::SetDigitsInData(int digits) {
    if (digits != 2 && digits != 4 && digits != 8) return false;
    digits_in_data_ = digits;
    ClearSelection();
    anchor_ = -1;
    caret_unit_ = caret_digit_ = 0;
    if (!AsciiShown()) caret_ascii_ = false;
    return true;
}

bool HexBuffer::SetColumns(int columns) {
    // Zero columns would leave no room for a unit on a row.
    if (columns <= 0) return false;
    columns_ = columns;
    return true;
}

bool HexBuffer::SetFontHeight(int height) {
    if (height < 8) return false;
    font_height_ = height;
    return true;
}

std::uint32_t HexBuffer::SetData(const HexDataArg& arg, std::uint32_t base_address) {
    if (arg.dimensions != 1 || !arg.bytes || (arg.size > 0 && !arg.data)) return kHexInvalidArg;
    if (arg.size > 0x7FFFFFFFull) return kHexOutOfMemory;
    data_.assign(arg.data, arg.data + arg.size);
    base_ = base_address;
    ClearSelection();
    anchor_ = -1;
    caret_unit_ = caret_digit_ = 0;
    caret_ascii_ = false;
    data_modified = false;
    return kHexOk;
}

std::string HexBuffer::DataText() const {
    std::string out;
    char buf[4];
    for (std::uint8_t b : data_) {
        std::snprintf(buf, sizeof(buf), "%02X", b);
        out += buf;
    }
    return out;
}

std::uint32_t HexBuffer::UnitValue(int unit) const {
    std::uint32_t v = 0;
    const std::size_t at = std::size_t(unit) * std::size_t(UnitBytes());
    for (int i = UnitBytes() - 1; i >= 0; --i) {
        v <<= 8;
        if (at + std::size_t(i) < data_.size()) v |= data_[at + std::size_t(i)];
    }
    return v;
}

void HexBuffer::SetUnitValue(int unit, std::uint32_t value) {
    const std::size_t at = std::size_t(unit) * std::size_t(UnitBytes());
    for (int i = 0; i < UnitBytes(); ++i, value >>= 8)
        if (at + std::size_t(i) < data_.size()) data_[at + std::size_t(i)] = std::uint8_t(value & 0xFF);
}

void HexBuffer::InsertUnits(int unit, int count) {
    const std::size_t at = std::min(data_.size(), std::size_t(unit) * std::size_t(UnitBytes()));
    data_.insert(data_.begin() + std::ptrdiff_t(at), std::size_t(count) * std::size_t(UnitBytes()), std::uint8_t(0));
}

void HexBuffer::RemoveUnits(int first, int last) {
    const std::size_t from = std::min(data_.size(), std::size_t(first) * std::size_t(UnitBytes()));
    const std::size_t to = std::min(data_.size(), std::size_t(last + 1) * std::size_t(UnitBytes()));
    data_.erase(data_.begin() + std::ptrdiff_t(from), data_.begin() + std::ptrdiff_t(to));
}

void HexBuffer::Clamp() {
    caret_unit_ = std::max(0, std::min(caret_unit_, UnitCount()));
    if (caret_digit_ >= digits_in_data_) caret_digit_ = 0;
}

void HexBuffer::PlaceCaret(int unit, int digit, bool ascii, bool extend) {
    if (extend) {
        if (anchor_ < 0) anchor_ = caret_unit_;
        const int last = std::min(unit, UnitCount() - 1);
        if (last < 0) return;
        sel_first_ = std::min(anchor_, last);
        sel_last_ = std::max(anchor_, last);
    } else {
        ClearSelection();
        anchor_ = unit;
    }
    caret_unit_ = unit;
    caret_digit_ = ascii ? 0 : digit;
    caret_ascii_ = ascii && AsciiShown();
    Clamp();
}

void HexBuffer::Move(HexKey key, bool extend, int page_rows) {
    int unit = caret_unit_;
    const int last = UnitCount();
    page_rows = std::max(1, page_rows);
    switch (key) {
    case HexKey::kLeft: unit -= 1; break;
    case HexKey::kRight: unit += 1; break;
    case HexKey::kUp: unit -= columns_; break;
    case HexKey::kDown: unit += columns_; break;
    case HexKey::kHome: unit -= unit % columns_; break;
    case HexKey::kEnd: unit += columns_ - 1 - unit % columns_; break;
    case HexKey::kPageUp: unit -= columns_ * page_rows; break;
    case HexKey::kPageDown: unit += columns_ * page_rows; break;
    case HexKey::kCtrlHome: unit = 0; break;
    case HexKey::kCtrlEnd: unit = last; break;
    }
    // Up and Page Up above the first row stop at the same column of it; Down below the last
    // unit stops just past the end (where typing appends).
    if (unit < 0) unit = (key == HexKey::kLeft) ? 0 : caret_unit_ % columns_;
    if (unit > last) unit = last;
    if (extend && anchor_ < 0) anchor_ = caret_unit_;
    const int anchor = anchor_;
    if (extend) {
        // The selection runs from the anchor to the unit before the caret when moving right of
        // it, and to the caret itself when moving left.
        const int end = unit > anchor ? unit - 1 : unit;
        sel_first_ = std::min(anchor, end);
        sel_last_ = std::min(std::max(anchor, end), last - 1);
        if (sel_last_ < sel_first_ || sel_last_ < 0) ClearSelection();
    } else {
        ClearSelection();
        anchor_ = unit;
    }
    caret_unit_ = unit;
    caret_digit_ = 0;
}

bool HexBuffer::SwitchArea() {
    if (!AsciiShown()) return false;
    caret_ascii_ = !caret_ascii_;
    caret_digit_ = 0;
    return true;
}

void HexBuffer::SelectAll() {
    if (UnitCount() == 0) return;
    sel_first_ = 0;
    sel_last_ = UnitCount() - 1;
    anchor_ = 0;
    caret_unit_ = caret_digit_ = 0;
}

bool HexBuffer::Type(char c) {
    const int digit = HexDigit(c);
    if (caret_ascii_ ? static_cast<unsigned char>(c) < 32 : digit < 0) return false;
    if (HasSelection()) {
        if (MayResize()) {
            caret_unit_ = sel_first_;
            RemoveUnits(sel_first_, sel_last_);
            InsertUnits(caret_unit_, 1);
            caret_digit_ = 0;
        }
        ClearSelection();
    } else if (insert_mode && caret_digit_ == 0 && caret_unit_ < UnitCount()) {
        InsertUnits(caret_unit_, 1);
    }
    if (caret_unit_ >= UnitCount()) {
        if (!MayResize()) return true;  // taken, but there is nothing to change
        InsertUnits(UnitCount(), 1);
        caret_digit_ = 0;
    }
    anchor_ = -1;
    data_modified = true;
    if (caret_ascii_) {
        data_[std::size_t(caret_unit_)] = static_cast<std::uint8_t>(c);
        ++caret_unit_;
        return true;
    }
    // Digit 0 is the most significant one as shown.
    const int shift = 4 * (digits_in_data_ - 1 - caret_digit_);
    std::uint32_t v = UnitValue(caret_unit_);
    v = (v & ~(0xFu << shift)) | (std::uint32_t(digit) << shift);
    SetUnitValue(caret_unit_, v);
    if (++caret_digit_ == digits_in_data_) {
        caret_digit_ = 0;
        ++caret_unit_;
    }
    return true;
}

std::vector<std::uint8_t> HexBuffer::Copy() const {
    if (!HasSelection()) return {};
    const std::size_t from = std::min(data_.size(), std::size_t(sel_first_) * std::size_t(UnitBytes()));
    const std::size_t to = std::min(data_.size(), std::size_t(sel_last_ + 1) * std::size_t(UnitBytes()));
    return std::vector<std::uint8_t>(data_.begin() + std::ptrdiff_t(from), data_.begin() + std::ptrdiff_t(to));
}

bool HexBuffer::Cut(std::vector<std::uint8_t>& out) {
    if (!MayResize() || !HasSelection()) return false;
    out = Copy();
    caret_unit_ = sel_first_;
    caret_digit_ = 0;
    RemoveUnits(sel_first_, sel_last_);
    ClearSelection();
    anchor_ = -1;
    data_modified = true;
    Clamp();
    return true;
}

void HexBuffer::Paste(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return;
    std::size_t at;
    std::size_t count = bytes.size();
    if (insert_mode) {
        at = std::min(data_.size(), std::size_t(caret_unit_) * std::size_t(UnitBytes()));
        const std::size_t room = (count + std::size_t(UnitBytes()) - 1) / std::size_t(UnitBytes()) * std::size_t(UnitBytes());
        data_.insert(data_.begin() + std::ptrdiff_t(at), room, std::uint8_t(0));
    } else {
        if (HasSelection()) {
            at = std::size_t(sel_first_) * std::size_t(UnitBytes());
            count = std::min(count, std::size_t(sel_last_ - sel_first_ + 1) * std::size_t(UnitBytes()));
        } else {
            at = std::size_t(caret_unit_) * std::size_t(UnitBytes());
        }
        if (at > data_.size()) at = data_.size();
        if (at + count > data_.size()) {
            if (allow_change_size)
                data_.resize(at + count, 0);
            else
                count = data_.size() - at;
        }
    }
    std::copy(bytes.begin(), bytes.begin() + std::ptrdiff_t(count), data_.begin() + std::ptrdiff_t(at));
    ClearSelection();
    anchor_ = -1;
    caret_unit_ = int((at + count) / std::size_t(UnitBytes()));
    caret_digit_ = 0;
    data_modified = true;
    Clamp();
}

bool HexBuffer::DeleteKey(bool backspace) {
    if (!MayResize()) return false;
    if (HasSelection()) {
        caret_unit_ = sel_first_;
        RemoveUnits(sel_first_, sel_last_);
        ClearSelection();
    } else if (backspace) {
        if (caret_unit_ == 0) return false;
        --caret_unit_;
        RemoveUnits(caret_unit_, caret_unit_);
    } else {
        if (caret_unit_ >= UnitCount()) return false;
        RemoveUnits(caret_unit_, caret_unit_);
    }
    anchor_ = -1;
    caret_digit_ = 0;
    data_modified = true;
    Clamp();
    return true;
}

int HexBuffer::HexCell(int col) const {
    return (show_address ? digits_in_address_ + 2 : 0) + col * (digits_in_data_ + 1);
}

int HexBuffer::AsciiCell(int col) const { return HexCell(columns_) + 1 + col; }

int HexBuffer::RowWidth() const { return AsciiShown() ? AsciiCell(columns_) : HexCell(columns_); }

std::string HexBuffer::RowText(int row) const {
    std::string out;
    char buf[32];
    const int first = row * columns_;
    if (show_address) {
        std::snprintf(buf, sizeof(buf), "%0*X  ", digits_in_address_,
                      unsigned(std::uint32_t(first) * std::uint32_t(UnitBytes()) + base_));
        // Eight digits at most, whatever the sum's width.
        out += std::string(buf).substr(std::string(buf).size() - std::size_t(digits_in_address_) - 2);
    }
    for (int c = 0; c < columns_; ++c) {
        const int unit = first + c;
        if (unit < UnitCount()) {
            std::snprintf(buf, sizeof(buf), "%0*X ", digits_in_data_, unsigned(UnitValue(unit)));
            out += buf;
        } else {
            out += std::string(std::size_t(digits_in_data_) + 1, ' ');
        }
    }
    if (AsciiShown()) {
        out += ' ';
        for (int c = 0; c < columns_; ++c) {
            const int unit = first + c;
            if (unit >= UnitCount()) {
                out += ' ';
            } else {
                const unsigned char b = data_[std::size_t(unit)];
                out += (b >= 32 && b < 127) ? char(b) : '.';
            }
        }
    }
    return out;
}

bool HexBuffer::HitTest(int row, int cell, int& unit, int& digit, bool& ascii) const {
    if (row < 0 || cell < 0) return false;
    const int first = row * columns_;
    if (cell >= HexCell(0) && cell < HexCell(columns_)) {
        const int col = (cell - HexCell(0)) / (digits_in_data_ + 1);
        unit = first + col;
        digit = std::min(digits_in_data_ - 1, (cell - HexCell(0)) % (digits_in_data_ + 1));
        ascii = false;
    } else if (AsciiShown() && cell >= AsciiCell(0) && cell < AsciiCell(columns_)) {
        unit = first + cell - AsciiCell(0);
        digit = 0;
        ascii = true;
    } else {
        return false;
    }
    if (unit > UnitCount()) unit = UnitCount();
    if (unit == UnitCount()) digit = 0;
    return true;
}

}  // namespace qp
