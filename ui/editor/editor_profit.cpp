// The profit field follows the three price fields: every content change of
// 售价, 进价 or 佣金 writes (sale - purchase) + commission into 利润.
#include "common/value_text.h"
#include "ui/editor/content_edit.h"
#include "ui/editor/editor_parts.h"
#include "ui_editor.h"

float ComputeProfit(std::string_view sale, std::string_view purchase, std::string_view commission) {
    const double difference = TextToNumber(sale) - TextToNumber(purchase);
    const double profit = difference + TextToNumber(commission);
    return static_cast<float>(profit);
}

void EditorWindow::UpdateProfit() {
    const float profit =
        ComputeProfit(FieldText(ui_->编辑框6), FieldText(ui_->编辑框9), FieldText(ui_->编辑框10));
    // Six significant digits at most, so the binary noise of the sums never shows.
    SetFieldText(ui_->编辑框11, SingleToText(profit));
}
