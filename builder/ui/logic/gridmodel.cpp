// The grid control's model (see gridmodel.h).
#include "builder/ui/logic/gridmodel.h"

namespace qp {

namespace {
const std::string kEmpty;
}

void GridModel::SetSize(int rows, int cols) {
    rows_ = std::max(0, rows);
    cols_ = std::max(0, cols);
    cells_.resize(std::size_t(rows_));
    for (auto& r : cells_) r.resize(std::size_t(cols_));
    widths_.resize(std::size_t(cols_), 64);
    row_data_.resize(std::size_t(rows_), 0);
    col_data_.resize(std::size_t(cols_), 0);
    SetFixed(fixed_rows_, fixed_cols_);
}

void GridModel::SetFixed(int rows, int cols) {
    fixed_rows_ = std::max(0, rows);
    fixed_cols_ = std::max(0, cols);
    row_ = anchor_row_ = ClampRow(row_);
    col_ = anchor_col_ = ClampCol(col_);
    top_ = std::max(top_, fixed_rows_);
    left_ = std::max(left_, fixed_cols_);
    SetTopRow(top_);
    SetLeftCol(left_);
}

const std::string& GridModel::Text(int row, int col) const {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return kEmpty;
    return cells_[std::size_t(row)][std::size_t(col)];
}

void GridModel::SetText(int row, int col, const std::string& text) {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return;
    cells_[std::size_t(row)][std::size_t(col)] = text;
}

void GridModel::SetColWidth(int col, int width) {
    if (col >= 0 && col < cols_) widths_[std::size_t(col)] = std::max(0, width);
}

void GridModel::SetRowData(int row, std::intptr_t data) {
    if (row >= 0 && row < rows_) row_data_[std::size_t(row)] = data;
}

void GridModel::SetColData(int col, std::intptr_t data) {
    if (col >= 0 && col < cols_) col_data_[std::size_t(col)] = data;
}

int GridModel::ClampRow(int row) const {
    const int lo = std::min(fixed_rows_, rows_ - 1);
    const int v = std::max(lo, std::min(row, rows_ - 1));
    return v < 0 ? 0 : v;
}

int GridModel::ClampCol(int col) const {
    const int lo = std::min(fixed_cols_, cols_ - 1);
    const int v = std::max(lo, std::min(col, cols_ - 1));
    return v < 0 ? 0 : v;
}

void GridModel::SetCursor(int row, int col) {
    row_ = anchor_row_ = ClampRow(row);
    col_ = anchor_col_ = ClampCol(col);
}

void GridModel::ExtendTo(int row, int col) {
    row_ = ClampRow(row);
    col_ = ClampCol(col);
}

void GridModel::Navigate(GridNav nav, bool extend, int page_rows) {
    int r = row_, c = col_;
    page_rows = std::max(1, page_rows);
    switch (nav) {
    case GridNav::kLeft: --c; break;
    case GridNav::kRight: ++c; break;
    case GridNav::kUp: --r; break;
    case GridNav::kDown: ++r; break;
    case GridNav::kHome: c = fixed_cols_; break;
    case GridNav::kEnd: c = cols_ - 1; break;
    case GridNav::kPageUp: r -= page_rows; break;
    case GridNav::kPageDown: r += page_rows; break;
    case GridNav::kFirst: r = fixed_rows_; c = fixed_cols_; break;
    case GridNav::kLast: r = rows_ - 1; c = cols_ - 1; break;
    }
    if (extend)
        ExtendTo(r, c);
    else
        SetCursor(r, c);
}

void GridModel::SetTopRow(int row) { top_ = std::max(fixed_rows_, std::min(row, std::max(fixed_rows_, rows_ - 1))); }

void GridModel::SetLeftCol(int col) { left_ = std::max(fixed_cols_, std::min(col, std::max(fixed_cols_, cols_ - 1))); }

void GridModel::EnsureVisible(int view_rows, int view_width) {
    view_rows = std::max(1, view_rows);
    if (row_ >= fixed_rows_) {
        if (row_ < top_) SetTopRow(row_);
        else if (row_ >= top_ + view_rows) SetTopRow(row_ - view_rows + 1);
    }
    if (col_ >= fixed_cols_) {
        if (col_ < left_) {
            SetLeftCol(col_);
        } else {
            int fixed = 0;
            for (int c = 0; c < fixed_cols_ && c < cols_; ++c) fixed += ColWidth(c);
            // Scroll right until the current column ends inside the view (or is the first shown).
            while (left_ < col_) {
                int right = fixed;
                for (int c = left_; c <= col_; ++c) right += ColWidth(c);
                if (right <= view_width) break;
                ++left_;
            }
        }
    }
}

int GridModel::ColX(int col) const {
    int x = 0;
    for (int c = 0; c < fixed_cols_ && c < cols_; ++c) {
        if (c == col) return x;
        x += ColWidth(c);
    }
    if (col < left_) return -1;
    for (int c = left_; c < cols_; ++c) {
        if (c == col) return x;
        x += ColWidth(c);
    }
    return -1;
}

bool GridModel::HitTest(int x, int y, int row_height, int& row, int& col) const {
    if (x < 0 || y < 0 || row_height <= 0) return false;
    const int band = y / row_height;
    row = band < fixed_rows_ ? band : top_ + band - fixed_rows_;
    if (row >= rows_) return false;
    for (int c = 0; c < cols_; ++c) {
        const int cx = ColX(c);
        if (cx < 0) continue;
        if (x >= cx && x < cx + ColWidth(c)) {
            col = c;
            return true;
        }
    }
    return false;
}

}  // namespace qp
