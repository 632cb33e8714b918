#pragma once
// The totals line 标签10: one line in its design font, drawn smaller when the
// line is wider than the label, so the whole line always shows.

#include <QLabel>

class TotalsLabel : public QLabel {
    Q_OBJECT
  public:
    explicit TotalsLabel(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // The label's font, or the largest smaller pixel size in which the caption
    // fits the width.
    QFont FittedFont(int width) const;
};
