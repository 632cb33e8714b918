#pragma once
// The order list 信息列表框: a report view over a model of GBK texts. The
// model offers what a list view in report mode offers the program: delete all
// items, insert an item, set an item's column text, read a cell; and it shows
// the rows of a result set where they lie, without a copy, so a million
// orders are held once.

#include <QAbstractTableModel>
#include <QTableView>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class Snapshot;

class OrderListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kColumns = 15;

    explicit OrderListModel(QObject* parent = nullptr);

    void DeleteAllItems();
    void InsertItem(int row);  // an item with empty texts at that position
    void SetItemText(int row, int column, std::string_view text);
    std::string ItemText(int row, int column) const;  // empty outside the list
    int ItemCount() const { return static_cast<int>(items_.size()); }
    // In place of every item, one item for each row of a result, in its
    // order: column c shows the result's column sources[c] (-1: empty text)
    // as ReadColByIndex reads it, turned into text by ValueToText; a text
    // longer than an order field may be (written by another tool) shows cut
    // to that limit.
    void ShowRows(std::shared_ptr<const Snapshot> rows, const std::array<int, kColumns>& sources);

    // Between these two the view is told nothing; at the end it is told once
    // that everything changed (as a list view with redrawing switched off).
    void BeginFill();
    void EndFill();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    // Where an item's texts are: a row of the result shown, or texts of its
    // own (an item inserted, or one whose text was set).
    struct Item {
        std::uint32_t index;
        bool own;
    };
    // A cell's text: a view of the bytes where they lie, or of `converted`.
    std::string_view Cell(const Item& item, int column, std::string& converted) const;

    std::shared_ptr<const Snapshot> rows_;
    std::array<int, kColumns> sources_{};
    std::vector<std::array<std::string, kColumns>> own_;
    std::vector<Item> items_;
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
