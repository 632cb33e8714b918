#pragma once
// The preview of 批量发货: one row a line with the order it found and its
// state, and the courier as an editable drop-down offering the guesses first
// and then the user's express-company pick list.

#include <QStyledItemDelegate>
#include <functional>
#include <string>
#include <vector>

#include "exchange/ship_lines.h"
#include "store/ship_batch.h"

class QTableWidget;

// The columns of the preview, the courier's among them.
inline constexpr int kPreviewCourierColumn = 5;

// What a row shows: the line as given, as matched, and the courier guesses.
struct PreviewRow {
    const WaybillLine* given;
    const ShipLine* line;
    const ShipMatch* match;
    const std::vector<std::string>* candidates;  // UTF-8
};

// Sets the headers and the courier column's drop-down; chosen is called with
// the row and the text the user picked or typed there.
void SetUpPreview(QTableWidget* table, std::vector<std::string> pickList,
                  std::function<void(int row, const std::string& courier)> chosen);

// Shows the rows, replacing what was shown.
void FillPreview(QTableWidget* table, const std::vector<PreviewRow>& rows);
