#pragma once
// Realistic demo orders for a new ledger: Chinese goods, shop accounts,
// express companies and delivery addresses, dates over several years, prices
// in yuan with cents. The same seed always gives the same orders.

#include <array>
#include <cstdint>
#include <random>
#include <string>

inline constexpr int kDemoOrderFields = 14;

// UTF-8 texts in the column order 卖家账号, 订单号, 快递公司, 运单号, 订单日期,
// 商品名称, 购买账号, 购买订单号, 收货信息, 售价, 进价, 佣金, 利润, 备注.
using DemoOrder = std::array<std::string, kDemoOrderFields>;

class DemoOrderGenerator {
  public:
    explicit DemoOrderGenerator(std::uint64_t seed = 20240615);
    DemoOrder Next();

  private:
    // 0 <= result < bound; the engine's output is fixed by the standard, so
    // the orders are the same with every compiler.
    std::uint64_t Below(std::uint64_t bound) { return engine_() % bound; }
    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }
    std::string Digits(int count);

    std::mt19937_64 engine_;
};

// Cents as yuan text: 1990 -> "19.90".
std::string PriceText(std::int64_t cents);
// Cents as the editor shows a profit: no trailing zeros, 2550 -> "25.5",
// -3000 -> "-30".
std::string ProfitText(std::int64_t cents);
// Days since 1970-01-01 as year-month-day without leading zeros: "2023-1-9".
std::string DateText(std::int64_t days);
