#include "ui/ship/ship_preview.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>

#include "common/text_encoding.h"

namespace {

// The courier guesses of a row, offered first in its drop-down, and the
// courier the line has (the cell may show the guesses instead).
constexpr int kCandidatesRole = Qt::UserRole;
constexpr int kCourierRole = Qt::UserRole + 1;

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

class CourierDelegate : public QStyledItemDelegate {
  public:
    CourierDelegate(QObject* parent, std::vector<std::string> pickList,
                    std::function<void(int, const std::string&)> chosen)
        : QStyledItemDelegate(parent), pickList_(std::move(pickList)), chosen_(std::move(chosen)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* box = new QComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        QStringList items = index.data(kCandidatesRole).toStringList();
        for (const std::string& item : pickList_) {
            if (!items.contains(Text(item))) items << Text(item);
        }
        box->addItems(items);
        // An item picked from the list, or a text typed and Enter, counts at once.
        auto* self = const_cast<CourierDelegate*>(this);
        const auto commit = [self, box] {
            if (box->property("chosen").toBool()) return;
            box->setProperty("chosen", true);
            emit self->commitData(box);
            emit self->closeEditor(box);
        };
        connect(box, &QComboBox::activated, self, commit);
        connect(box->lineEdit(), &QLineEdit::returnPressed, self, commit);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* box = static_cast<QComboBox*>(editor);
        box->setCurrentText(index.data(kCourierRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        // The window judges the line anew and fills the preview again.
        chosen_(index.row(),
                static_cast<QComboBox*>(editor)->currentText().trimmed().toStdString());
    }

  private:
    std::vector<std::string> pickList_;
    std::function<void(int, const std::string&)> chosen_;
};

QTableWidgetItem* Cell(const std::string& utf8, bool editable = false) {
    auto* item = new QTableWidgetItem(Text(utf8));
    if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

std::string Joined(const std::vector<std::string>& items, const char* separator) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : separator) + item;
    return text;
}

}  // namespace

void SetUpPreview(QTableWidget* table, std::vector<std::string> pickList,
                  std::function<void(int, const std::string&)> chosen) {
    table->setColumnCount(7);
    table->setHorizontalHeaderLabels({QStringLiteral("行"), QStringLiteral("单号"),
                                      QStringLiteral("订单ID"), QStringLiteral("订单号"),
                                      QStringLiteral("状态"), QStringLiteral("快递公司"),
                                      QStringLiteral("运单号")});
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    // Order numbers run to 19 digits and are what the user checks a line by:
    // their columns take a whole one, the narrow ones only what they show.
    const QFontMetrics metrics(table->font());
    const int margin = 3 * metrics.averageCharWidth();
    const int number = metrics.horizontalAdvance(QStringLiteral("0000000000000000000")) + margin;
    const int widths[] = {metrics.horizontalAdvance(QStringLiteral("00000")) + margin,
                          number,
                          metrics.horizontalAdvance(QStringLiteral("订单ID0")) + margin,
                          number,
                          metrics.horizontalAdvance(QStringLiteral("对应多张订单")) + margin,
                          metrics.horizontalAdvance(QStringLiteral("中通快递中")) + margin};
    for (int column = 0; column < 6; ++column) table->setColumnWidth(column, widths[column]);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                           QAbstractItemView::EditKeyPressed);
    table->setItemDelegateForColumn(
        kPreviewCourierColumn, new CourierDelegate(table, std::move(pickList), std::move(chosen)));
}

void FillPreview(QTableWidget* table, const std::vector<PreviewRow>& rows) {
    table->setUpdatesEnabled(false);
    table->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const PreviewRow& row = rows[static_cast<std::size_t>(r)];
        const ShipMatch& match = *row.match;
        const bool shipped = match.state == ShipState::AlreadyShipped;
        std::string state = ShipStateName(match.state);
        if (match.state == ShipState::Unreadable) state += "：" + row.given->problem;
        const FoundOrder& order = match.order;
        table->setItem(r, 0, Cell(std::to_string(row.line->number)));
        table->setItem(r, 1, Cell(row.given->key));
        table->setItem(r, 2, Cell(order.id == 0 ? "" : std::to_string(order.id)));
        table->setItem(r, 3, Cell(GbkToUtf8(order.orderNumber)));
        table->setItem(r, 4, Cell(state));
        const std::string courierText = GbkToUtf8(shipped ? order.courier : row.line->courier);
        QTableWidgetItem* courier = Cell(courierText, !shipped);
        courier->setData(kCourierRole, Text(courierText));
        QStringList candidates;
        for (const std::string& name : *row.candidates) candidates << Text(name);
        courier->setData(kCandidatesRole, candidates);
        if (row.line->courier.empty() && !row.candidates->empty() && !shipped) {
            courier->setToolTip(Text("可能是 " + Joined(*row.candidates, "、") + "，请选择"));
            courier->setText(Text("？" + Joined(*row.candidates, " / ")));
        }
        table->setItem(r, kPreviewCourierColumn, courier);
        table->setItem(r, 6, Cell(GbkToUtf8(shipped ? order.waybill : row.line->waybill)));
        const QColor shade = match.state == ShipState::Ready ? QColor(0xE8, 0xF5, 0xE9)
                             : shipped                       ? QColor(0xF0, 0xF0, 0xF0)
                                                             : QColor(0xFD, 0xEC, 0xEA);
        for (int c = 0; c < table->columnCount(); ++c) table->item(r, c)->setBackground(shade);
    }
    table->setUpdatesEnabled(true);
}
