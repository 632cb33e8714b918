#pragma once
// The three forms' page drawing (printed_orders.h says what each shows).

#include "print/printed_orders.h"

class QPainter;

// Where a printed order's texts stand: the order list's column numbers.
enum PrintedColumn : int {
    kSellerColumn = 1,
    kOrderNumberColumn = 2,
    kExpressColumn = 3,
    kWaybillColumn = 4,
    kGoodsColumn = 5,
    kCostColumn = 7,
    kDeliveryColumn = 13,
    kRemarkColumn = 14,
};

// Each draws its pages from the painter's start (the first page begun) and
// answers how many there are; newPage begins the next.
int PaintOrderList(const PrintJob& job, QPainter& painter, const std::function<bool()>& newPage);
int PaintPickingList(const PrintJob& job, QPainter& painter, const std::function<bool()>& newPage);
int PaintPackingSlips(const PrintJob& job, QPainter& painter, const std::function<bool()>& newPage);
