// The grid control's rows, columns and cursor, without the window: cell texts, column widths,
// item data per row and per column, fixed rows and columns, the current cell, the selected
// range, keyboard navigation and the scroll position. The window paints from it and maps the
// mouse and keys onto it.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace qp {

enum class GridNav { kLeft, kRight, kUp, kDown, kHome, kEnd, kPageUp, kPageDown, kFirst, kLast };

class GridModel {
public:
    int Rows() const { return rows_; }
    int Cols() const { return cols_; }
    // Existing cells keep their texts; the cursor and selection stay inside.
    void SetSize(int rows, int cols);
    int FixedRows() const { return fixed_rows_; }
    int FixedCols() const { return fixed_cols_; }
    void SetFixed(int rows, int cols);

    const std::string& Text(int row, int col) const;
    void SetText(int row, int col, const std::string& text);
    int ColWidth(int col) const { return col >= 0 && col < cols_ ? widths_[std::size_t(col)] : 0; }
    void SetColWidth(int col, int width);
    std::intptr_t RowData(int row) const { return row >= 0 && row < rows_ ? row_data_[std::size_t(row)] : 0; }
    void SetRowData(int row, std::intptr_t data);
    std::intptr_t ColData(int col) const { return col >= 0 && col < cols_ ? col_data_[std::size_t(col)] : 0; }
    void SetColData(int col, std::intptr_t data);

    // --- the current cell and the selection (rows and columns of the range, inclusive) -------
    int Row() const { return row_; }
    int Col() const { return col_; }
    // Moves the cursor into the scrollable cells (clamped) and collapses the selection.
    void SetCursor(int row, int col);
    // Moves the cursor and extends the selection from its anchor (shift or a drag).
    void ExtendTo(int row, int col);
    void Navigate(GridNav nav, bool extend, int page_rows);
    int SelStartRow() const { return std::min(anchor_row_, row_); }
    int SelEndRow() const { return std::max(anchor_row_, row_); }
    int SelStartCol() const { return std::min(anchor_col_, col_); }
    int SelEndCol() const { return std::max(anchor_col_, col_); }
    bool IsSelected(int row, int col) const {
        return row >= SelStartRow() && row <= SelEndRow() && col >= SelStartCol() && col <= SelEndCol();
    }

    // --- scrolling: the first scrollable row and column shown ---------------------------------
    int TopRow() const { return top_; }
    int LeftCol() const { return left_; }
    void SetTopRow(int row);
    void SetLeftCol(int col);
    // Scrolls so that the current cell is in a view of `view_rows` rows of data below the fixed
    // rows and `view_width` pixels.
    void EnsureVisible(int view_rows, int view_width);
    // The x of column `col`'s left edge as shown (fixed columns first, then from LeftCol); -1
    // for a scrollable column scrolled out to the left.
    int ColX(int col) const;
    // The cell at pixel (x, y) for rows of `row_height`; false past the last row or column.
    bool HitTest(int x, int y, int row_height, int& row, int& col) const;

private:
    int ClampRow(int row) const;
    int ClampCol(int col) const;

    int rows_ = 0, cols_ = 0, fixed_rows_ = 0, fixed_cols_ = 0;
    std::vector<std::vector<std::string>> cells_;
    std::vector<int> widths_;
    std::vector<std::intptr_t> row_data_, col_data_;
    int row_ = 0, col_ = 0, anchor_row_ = 0, anchor_col_ = 0;
    int top_ = 0, left_ = 0;
};

}  // namespace qp
