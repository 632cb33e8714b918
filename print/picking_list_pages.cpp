// 拿货单: what to fetch for the orders not yet shipped. One row a goods name
// with its count and the sum of 进价, under it a row for each seller account
// that ordered it; the goods most ordered first, equal counts by name (GBK
// order, which is pinyin order for the common characters).

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <map>

#include "common/value_text.h"
#include "print/forms.h"
#include "print/page_parts.h"

namespace {

struct Tally {
    int count = 0;
    double cost = 0;
};

struct GoodsGroup {
    std::string name;  // GBK
    Tally all;
    std::vector<std::pair<std::string, Tally>> sellers;
};

bool Unshipped(const PrintedOrder& order) {
    return order[kExpressColumn].empty() && order[kWaybillColumn].empty();
}

// The map gives name order, the stable sorts then put the most first.
std::vector<GoodsGroup> Groups(const std::vector<PrintedOrder>& orders, Tally& total) {
    std::map<std::string, std::map<std::string, Tally>> tallies;
    for (const PrintedOrder& order : orders) {
        if (!Unshipped(order)) continue;
        Tally& tally = tallies[order[kGoodsColumn]][order[kSellerColumn]];
        const double cost = TextToNumber(order[kCostColumn]);
        ++tally.count;
        tally.cost += cost;
        ++total.count;
        total.cost += cost;
    }
    std::vector<GoodsGroup> groups;
    for (auto& [name, sellers] : tallies) {
        GoodsGroup group{name, {}, {}};
        for (auto& [seller, tally] : sellers) {
            group.all.count += tally.count;
            group.all.cost += tally.cost;
            group.sellers.emplace_back(seller, tally);
        }
        std::stable_sort(
            group.sellers.begin(), group.sellers.end(),
            [](const auto& a, const auto& b) { return a.second.count > b.second.count; });
        groups.push_back(std::move(group));
    }
    std::stable_sort(groups.begin(), groups.end(), [](const GoodsGroup& a, const GoodsGroup& b) {
        return a.all.count > b.all.count;
    });
    return groups;
}

QString Money(double sum) { return PrintedText(DoubleToText(sum)); }

// The columns: goods name, seller account, count, sum of 进价; the name
// takes what the other three leave.
struct Columns {
    double seller, count, cost;
    double Name(double width) const { return width - seller - count - cost; }
};

// A row of the table. A name wider than its column runs across the page
// instead, with the figures on the line under it (numbersBelow).
PagedRow GroupRow(const QStringList& name, const QString& seller, const Tally& tally, bool bold,
                  bool numbersBelow, const Columns& columns, const QPaintDevice& device) {
    const QFont font = PrintFont(10, bold);
    const int nameLines = std::max(1, int(name.size()));
    const double height =
        LinesHeight(font, device, nameLines + (numbersBelow ? 1 : 0)) + Mm(device, 1.5);
    return {
        height, [=](QPainter& painter, const QRectF& box) {
            const QPaintDevice& device = *painter.device();
            if (bold) {
                painter.setPen(QPen(Qt::gray, Mm(device, 0.1)));
                painter.drawLine(box.topLeft(), box.topRight());
                painter.setPen(Qt::black);
            }
            const double nameTop = box.top() + Mm(device, 0.7);
            DrawLines(painter, font, QPointF(box.left(), nameTop), name);
            const double top = nameTop + (numbersBelow ? LinesHeight(font, device, nameLines) : 0);
            const double sellerLeft = box.left() + columns.Name(box.width());
            DrawLines(painter, font, QPointF(sellerLeft + Mm(device, 1), top), {seller});
            painter.setFont(font);
            const QRectF count(sellerLeft + columns.seller, top, columns.count - Mm(device, 2),
                               box.height());
            painter.drawText(count, Qt::AlignRight | Qt::AlignTop, QString::number(tally.count));
            const QRectF cost(count.right(), top, columns.cost, box.height());
            painter.drawText(cost, Qt::AlignRight | Qt::AlignTop, Money(tally.cost));
        }};
}

}  // namespace

int PaintPickingList(const PrintJob& job, QPainter& painter, const std::function<bool()>& newPage) {
    const QPaintDevice& device = *painter.device();
    const QRectF page(0, 0, device.width(), device.height());
    const Columns columns{Mm(device, 45), Mm(device, 16), Mm(device, 28)};
    const double nameWidth = columns.Name(page.width()) - Mm(device, 2);
    // A goods name is one line unless it is wider than the page.
    constexpr int kNameLines = 4;
    const QFont nameFont = PrintFont(10, true);
    const QFontMetricsF nameMetrics(nameFont, const_cast<QPaintDevice*>(&device));

    Tally total;
    const std::vector<GoodsGroup> groups = Groups(job.orders, total);
    std::vector<PagedRow> rows;
    for (const GoodsGroup& group : groups) {
        const QString name = PrintedText(group.name);
        const bool acrossPage = nameMetrics.horizontalAdvance(name) > nameWidth;
        rows.push_back(GroupRow(
            WrapText(name, nameFont, device, acrossPage ? page.width() : nameWidth, kNameLines), {},
            group.all, true, acrossPage, columns, device));
        for (const auto& [seller, tally] : group.sellers) {
            const QStringList sellerName = WrapText(PrintedText(seller), PrintFont(10), device,
                                                    columns.seller - Mm(device, 2), 1);
            rows.push_back(GroupRow({}, sellerName.value(0), tally, false, false, columns, device));
        }
    }
    const QString totalLine = QString::fromUtf8("合计：%1 种商品  %2 单  进价 %3 元")
                                  .arg(groups.size())
                                  .arg(total.count)
                                  .arg(Money(total.cost));
    const QFont totalFont = PrintFont(11, true);
    rows.push_back({LinesHeight(totalFont, device, 1) + Mm(device, 3),
                    [=](QPainter& painter, const QRectF& box) {
                        painter.drawLine(box.topLeft(), box.topRight());
                        DrawLines(painter, totalFont,
                                  box.topLeft() + QPointF(0, Mm(*painter.device(), 1.5)),
                                  {totalLine});
                    }});

    const QFont titleFont = PrintFont(14, true);
    const QFont headFont = PrintFont(9, true);
    const QString title = QString::fromUtf8("拿货单    %1    未发货 %2 单")
                              .arg(job.printedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                              .arg(total.count);
    const double titleHeight = LinesHeight(titleFont, device, 1) + Mm(device, 3);
    const double headHeight = titleHeight + LinesHeight(headFont, device, 1) + Mm(device, 1);
    const auto head = [&](QPainter& painter, const QRectF& box) {
        DrawLines(painter, titleFont, box.topLeft(), {title});
        const double top = box.top() + titleHeight;
        const double sellerLeft = box.left() + columns.Name(box.width());
        painter.setFont(headFont);
        DrawLines(painter, headFont, QPointF(box.left(), top), {QString::fromUtf8("商品名称")});
        DrawLines(painter, headFont, QPointF(sellerLeft + Mm(device, 1), top),
                  {QString::fromUtf8("卖家账号")});
        const QRectF count(sellerLeft + columns.seller, top, columns.count - Mm(device, 2),
                           box.height());
        painter.drawText(count, Qt::AlignRight | Qt::AlignTop, QString::fromUtf8("单数"));
        painter.drawText(QRectF(count.right(), top, columns.cost, box.height()),
                         Qt::AlignRight | Qt::AlignTop, QString::fromUtf8("进价合计"));
    };
    return PaintRowPages(painter, page, headHeight, head, rows, newPage);
}
