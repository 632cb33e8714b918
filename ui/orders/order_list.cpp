#include "ui/orders/order_list.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>

#include "common/text_cut.h"
#include "common/text_encoding.h"
#include "common/text_limit.h"
#include "common/value_text.h"
#include "store/ledger_schema.h"
#include "store/order_statements.h"
#include "store/snapshot.h"

namespace {

// The most of a cell the list shows: more than the widest column can hold.
constexpr std::size_t kShownBytes = 4096;

// Cells draw no focus of their own: the list draws it around the whole row.
class CellWithoutFocus : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem cell(option);
        cell.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, cell, index);
    }
};

}  // namespace

OrderListModel::OrderListModel(QObject* parent) : QAbstractTableModel(parent) {}

void OrderListModel::DeleteAllItems() {
    if (!filling_) beginResetModel();
    rows_.reset();
    own_.clear();
    items_.clear();
    if (!filling_) endResetModel();
}

void OrderListModel::ShowRows(std::shared_ptr<const Snapshot> rows,
                              const std::array<int, kColumns>& sources) {
    if (!filling_) beginResetModel();
    own_.clear();
    items_.resize(rows ? rows->RowCount() : 0);
    for (std::size_t r = 0; r < items_.size(); ++r) {
        items_[r] = {static_cast<std::uint32_t>(r), false};
    }
    rows_ = std::move(rows);
    sources_ = sources;
    if (!filling_) endResetModel();
}

void OrderListModel::InsertItem(int row) {
    row = std::clamp(row, 0, ItemCount());
    if (!filling_) beginInsertRows(QModelIndex(), row, row);
    items_.insert(items_.begin() + row, Item{static_cast<std::uint32_t>(own_.size()), true});
    own_.emplace_back();
    if (!filling_) endInsertRows();
}

void OrderListModel::SetItemText(int row, int column, std::string_view text) {
    if (row < 0 || row >= ItemCount() || column < 0 || column >= kColumns) return;
    Item& item = items_[row];
    if (!item.own) {
        // A row of the result gets texts of its own, as it shows them.
        std::array<std::string, kColumns> texts;
        std::string converted;
        for (int c = 0; c < kColumns; ++c) texts[c] = std::string(Cell(item, c, converted));
        own_.push_back(std::move(texts));
        item = {static_cast<std::uint32_t>(own_.size() - 1), true};
    }
    own_[item.index][column] = std::string(text);
    if (!filling_) emit dataChanged(index(row, column), index(row, column));
}

std::string_view OrderListModel::Cell(const Item& item, int column, std::string& converted) const {
    if (item.own) return own_[item.index][column];
    const int source = sources_[column];
    if (source < 0) return {};
    if (rows_->columns[source].kind == ValueKind::Text) {
        return WholeCharactersWithin(rows_->Bytes(item.index, source), kFieldTextLimit);
    }
    converted = ValueToText(rows_->At(item.index, source));
    return converted;
}

std::string OrderListModel::ItemText(int row, int column) const {
    if (row < 0 || row >= ItemCount() || column < 0 || column >= kColumns) return {};
    std::string converted;
    return std::string(Cell(items_[row], column, converted));
}

void OrderListModel::BeginFill() {
    beginResetModel();
    filling_ = true;
}

void OrderListModel::EndFill() {
    filling_ = false;
    endResetModel();
}

int OrderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ItemCount();
}

int OrderListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant OrderListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= ItemCount()) return {};
    // No column is wide enough to show more than the beginning of a long
    // text, and laying out all of it on every paint would stall the list.
    std::string converted;
    return GbkToQString(
        WholeCharactersWithin(Cell(items_[index.row()], index.column(), converted), kShownBytes));
}

QVariant OrderListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumns) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return GbkToQString(OrderListColumns()[section].name);
}

OrderListView::OrderListView(QWidget* parent)
    : QTableView(parent), model_(new OrderListModel(this)) {
    setModel(model_);
    setItemDelegate(new CellWithoutFocus(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setSortingEnabled(false);
    setWordWrap(false);
    setFrameShadow(QFrame::Sunken);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The id column is one pixel wide: present for the order actions, not seen.
    horizontalHeader()->setMinimumSectionSize(1);
    for (int c = 0; c < OrderListModel::kColumns; ++c) {
        setColumnWidth(c, OrderListColumns()[c].width);
    }
    // The selection is not shown while the list does not have the focus. A
    // rule of the list's own, so no look applied to the whole application
    // brings the highlight back; the property follows the focus.
    setStyleSheet(QStringLiteral(
        "OrderListView[listFocused=\"false\"] { selection-background-color: palette(base); "
        "selection-color: palette(text); }"));
    ShowSelectionWhileFocused();
}

void OrderListView::ShowSelectionWhileFocused() {
    setProperty("listFocused", hasFocus());
    style()->unpolish(this);
    style()->polish(this);
    viewport()->update();
}

int OrderListView::SelectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) return -1;
    int first = rows.first().row();
    for (const QModelIndex& index : rows) first = std::min(first, index.row());
    return first;
}

std::string OrderListView::SelectedText(int column) const {
    return model_->ItemText(SelectedRow(), column);
}

void OrderListView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::RightButton) {
        // A right click off the rows clears the selection, as a left one does.
        if (!indexAt(event->position().toPoint()).isValid()) clearSelection();
        emit rightClicked();
    }
}

void OrderListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) return;
    int modifiers = 0;
    if (event->modifiers() & Qt::ControlModifier) modifiers |= 1;
    if (event->modifiers() & Qt::ShiftModifier) modifiers |= 2;
    if (event->modifiers() & Qt::AltModifier) modifiers |= 4;
    const QPoint at = event->position().toPoint();
    emit itemAreaDoubleClicked(at.x(), at.y(), modifiers);
}

void OrderListView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    ShowSelectionWhileFocused();
}

void OrderListView::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    ShowSelectionWhileFocused();
}

void OrderListView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    DrawRowFocus();
}

void OrderListView::DrawRowFocus() {
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid()) return;
    // A dotted frame over every column of the current row, as a list view in
    // report mode with full-row selection draws it.
    const QRect row(-horizontalOffset(), rowViewportPosition(current.row()),
                    horizontalHeader()->length(), rowHeight(current.row()));
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
    painter.drawRect(row.adjusted(0, 0, -1, -1));
}
