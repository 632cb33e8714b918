#include "store/demo_orders.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

struct Goods {
    const char* name;
    int minCents;
    int maxCents;
};

const Goods kGoods[] = {
    {"加厚珊瑚绒毛毯 1.5×2米", 4990, 12900},
    {"不锈钢真空保温杯 500ml", 2990, 8900},
    {"儿童防蓝光眼镜", 1990, 5990},
    {"纯棉四件套 床单被套", 9900, 29900},
    {"无线蓝牙耳机 降噪款", 7900, 39900},
    {"家用电热水壶 1.8L", 3990, 12900},
    {"手机壳 防摔硅胶", 990, 2990},
    {"男士休闲运动鞋", 8900, 26900},
    {"女士羊毛围巾", 5900, 19900},
    {"办公室护腰靠垫", 3590, 9900},
    {"厨房置物架 三层", 4590, 15900},
    {"宠物猫砂 10斤装", 2590, 6990},
    {"婴儿湿巾 80抽×10包", 3990, 8990},
    {"迷你加湿器 USB款", 2990, 7900},
    {"陶瓷餐具套装 18件", 8900, 25900},
    {"车载手机支架", 1590, 4990},
    {"瑜伽垫 加宽加厚", 4990, 13900},
    {"充电宝 20000毫安", 6900, 19900},
    {"收纳箱 大号 三只装", 4590, 11900},
    {"五常大米 10斤", 5990, 12900},
    {"坚果礼盒 1.5公斤", 7900, 19900},
    {"洗衣凝珠 52颗", 2990, 6990},
    {"LED护眼台灯", 5900, 18900},
    {"电动牙刷 声波款", 9900, 29900},
    {"保暖内衣套装", 6900, 15900},
    {"雨伞 晴雨两用", 1990, 5990},
    {"蒸汽挂烫机", 12900, 39900},
    {"儿童积木拼装玩具", 3990, 15900},
    {"机械键盘 青轴", 12900, 45900},
    {"茶叶 明前龙井 250克", 9900, 49900},
};

const char* const kSellerAccounts[] = {
    "晴天杂货铺", "木子优品", "阿福百货", "星河数码专营", "小鹿家居旗舰店", "好运来生活馆",
};
const char* const kBuyAccounts[] = {
    "采购小号01", "采购小号02", "jd_进货专用", "pdd_囤货号", "1688_批发采购",
};

struct Express {
    const char* name;
    const char* prefix;
    int digits;
};

const Express kExpress[] = {
    {"顺丰速运", "SF", 13}, {"圆通速递", "YT", 13},   {"中通快递", "7", 13},
    {"韵达快递", "43", 13}, {"申通快递", "77", 13},   {"邮政EMS", "11", 11},
    {"极兔速递", "JT", 13}, {"京东物流", "JDVA", 11},
};

const char* const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周",
                                 "徐", "孙", "马", "朱", "胡", "郭", "何", "林", "罗", "高"};
const char* const kGivenNames[] = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊",   "军",
                                   "洋", "勇", "艳", "杰",   "娟", "涛", "明", "超", "秀兰", "霞"};

struct Place {
    const char* province;
    const char* city;
    const char* districts[3];
};

const Place kPlaces[] = {
    {"广东省", "深圳市", {"南山区", "福田区", "宝安区"}},
    {"广东省", "广州市", {"天河区", "越秀区", "番禺区"}},
    {"浙江省", "杭州市", {"西湖区", "余杭区", "滨江区"}},
    {"江苏省", "南京市", {"鼓楼区", "江宁区", "玄武区"}},
    {"四川省", "成都市", {"武侯区", "锦江区", "高新区"}},
    {"湖北省", "武汉市", {"洪山区", "江汉区", "武昌区"}},
    {"山东省", "青岛市", {"市南区", "崂山区", "黄岛区"}},
    {"北京市", "北京市", {"朝阳区", "海淀区", "丰台区"}},
    {"上海市", "上海市", {"浦东新区", "徐汇区", "闵行区"}},
    {"河南省", "郑州市", {"金水区", "中原区", "二七区"}},
};
const char* const kStreets[] = {"人民路",     "建设大道", "解放路", "科技园南路", "中山路",
                                "幸福里小区", "阳光花园", "滨江路", "长江路",     "和平街"};

const char* const kRemarks[] = {
    "客户要求周末送货",
    "已催发货",
    "赠品已备注",
    "老客户，优先发货",
    "开发票",
    "尺码问题，客户要求换货",
    "收货地址有问题，待联系",
    "包装破损问题，已补发",
    "质量问题，已退款",
    "物流问题，运单长时间未更新",
};
constexpr int kRemarksWithProblem = 5;  // the last five of kRemarks

// First day of 2021 and the span of the demo dates (four years).
constexpr std::int64_t kFirstDay = 18628;
constexpr std::int64_t kDaySpan = 4 * 365 + 1;

}  // namespace

DemoOrderGenerator::DemoOrderGenerator(std::uint64_t seed) : engine_(seed) {}

std::string DemoOrderGenerator::Digits(int count) {
    std::string digits;
    digits.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) digits += static_cast<char>('0' + Below(10));
    return digits;
}

DemoOrder DemoOrderGenerator::Next() {
    // One draw a statement: the order of the draws must not depend on the
    // compiler's order of evaluation.
    const Goods& goods = Pick(kGoods);
    const auto steps = static_cast<std::uint64_t>(goods.maxCents - goods.minCents) / 10 + 1;
    const std::int64_t sale = goods.minCents + static_cast<std::int64_t>(Below(steps)) * 10;
    // The supplier's price is 55 to 90 percent of the sale; the commission 0
    // to 8 percent, and nothing on one order in four.
    const std::int64_t purchase = sale * (55 + static_cast<std::int64_t>(Below(36))) / 100;
    const bool noCommission = Below(4) == 0;
    const std::int64_t commissionRate = static_cast<std::int64_t>(Below(9));
    const std::int64_t commission = noCommission ? 0 : sale * commissionRate / 100;
    const bool shipped = Below(3) != 0;
    const Express& express = Pick(kExpress);
    const std::string waybill = express.prefix + Digits(express.digits);
    const std::string orderNumber = "1" + Digits(17);
    const std::string purchaseNumber = "2" + Digits(17);
    const std::int64_t day = kFirstDay + static_cast<std::int64_t>(Below(kDaySpan));

    const std::string surname = Pick(kSurnames);
    const std::string givenName = Pick(kGivenNames);
    const char phoneSecond = "3456789"[Below(7)];
    const std::string phone = std::string("1") + phoneSecond + Digits(9);
    const Place& place = Pick(kPlaces);
    const std::string district = place.districts[Below(3)];
    const std::string street = Pick(kStreets);
    const std::string number = std::to_string(1 + Below(300));
    const std::string city = place.province == std::string(place.city) ? "" : place.city;

    DemoOrder order;
    order[0] = Pick(kSellerAccounts);
    order[1] = orderNumber;
    order[2] = shipped ? express.name : "";
    order[3] = shipped ? waybill : "";
    order[4] = DateText(day);
    order[5] = goods.name;
    order[6] = Pick(kBuyAccounts);
    order[7] = purchaseNumber;
    order[8] = surname + givenName + "，" + phone + "，" + place.province + city + district +
               street + number + "号";
    order[9] = PriceText(sale);
    order[10] = PriceText(purchase);
    order[11] = PriceText(commission);
    order[12] = ProfitText(sale - purchase + commission);
    const std::uint64_t remark = Below(100);
    const std::size_t plainRemarks = std::size(kRemarks) - kRemarksWithProblem;
    if (remark < 8) {
        order[13] = kRemarks[plainRemarks + remark % kRemarksWithProblem];
    } else if (remark < 25) {
        order[13] = kRemarks[remark % plainRemarks];
    }
    return order;
}

std::string PriceText(std::int64_t cents) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", cents < 0 ? "-" : "",
                  static_cast<long long>(std::llabs(cents) / 100),
                  static_cast<long long>(std::llabs(cents) % 100));
    return text;
}

std::string ProfitText(std::int64_t cents) {
    std::string text = PriceText(cents);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

std::string DateText(std::int64_t days) {
    using namespace std::chrono;
    const year_month_day date{sys_days{std::chrono::days{days}}};
    return std::to_string(static_cast<int>(date.year())) + "-" +
           std::to_string(static_cast<unsigned>(date.month())) + "-" +
           std::to_string(static_cast<unsigned>(date.day()));
}
