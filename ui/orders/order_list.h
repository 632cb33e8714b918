#pragma once
// The order list 信息列表框: a report view over a model that holds its rows
// as GBK texts, packed one buffer a row, so 100,000 orders stay small. The
// model offers what a list view in report mode offers the program: delete all
// items, insert an item, set an item's column text, read a cell.

#include <QAbstractTableModel>
#include <QTableView>
#include <array>
#include <string>
#include <string_view>
#include <vector>

class OrderListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kColumns = 15;

    explicit OrderListModel(QObject* parent = nullptr);

    void DeleteAllItems();
    void InsertItem(int row);  // an item with empty texts at that position
    void SetItemText(int row, int column, std::string_view text);
    std::string ItemText(int row, int column) const;  // empty outside the list
    int ItemCount() const { return static_cast<int>(rows_.size()); }

    // Between these two the view is told nothing; at the end it is told once
    // that everything changed (as a list view with redrawing switched off).
    void BeginFill();
    void EndFill();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    struct Row {
        std::string bytes;                           // the cells one after another
        std::array<std::uint32_t, kColumns> ends{};  // where each cell ends
    };
    std::string_view Cell(const Row& row, int column) const;

    std::vector<Row> rows_;
    std::size_t rowBytesHint_ = 0;  // what a new row is likely to hold
    bool filling_ = false;
};

class OrderListView : public QTableView {
    Q_OBJECT
  public:
    explicit OrderListView(QWidget* parent = nullptr);

    OrderListModel* List() const { return model_; }
    // The first selected row, or -1.
    int SelectedRow() const;
    // A cell of the selected row by the model's column number (not the shown
    // order of the header); empty text when no row is selected.
    std::string SelectedText(int column) const;

  signals:
    // A right click anywhere in the item area, on a row or below the last.
    void rightClicked();
    // A left double click anywhere in the item area: position in client
    // pixels and the modifier keys (1 Ctrl, 2 Shift, 4 Alt, added).
    void itemAreaDoubleClicked(int x, int y, int modifiers);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void ShowSelectionWhileFocused();
    void DrawRowFocus();

    OrderListModel* model_;
};
