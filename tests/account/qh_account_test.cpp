#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "account/qh_account.h"

namespace vantor {
namespace {

// The parameters of the worked examples: multiplier 10, margin 10 %, fees 3 per lot.
TqhAcount ExampleAccount(double funds = 10000) {
    TqhAcount acc(funds);
    acc.sxf.sCode = "IF";
    acc.sxf.nhycs = 10;
    acc.sxf.fBzjbl = 0.1;
    acc.sxf.fmrf = 0.0003;
    acc.sxf.fMcf = 0.0003;
    return acc;
}

TEST(TqhAcount, PerLotOpenRevalueClose) {
    TqhAcount acc = ExampleAccount();
    ASSERT_TRUE(acc.buyopen(100, 2)) << acc.sError;
    EXPECT_NEAR(acc.zjfse(), 206, 1e-9);
    EXPECT_NEAR(acc.fSxf(), 6, 1e-9);
    EXPECT_NEAR(acc.kyzj(), 9794, 1e-9);
    EXPECT_EQ(acc.ddcc, 2);
    EXPECT_EQ(acc.ddccj, 100);

    ASSERT_TRUE(acc.setJsj(100)); // the first price moves no money
    EXPECT_NEAR(acc.kyzj(), 9794, 1e-9);
    ASSERT_TRUE(acc.setJsj(105));
    EXPECT_NEAR(acc.kyzj(), 9884, 1e-9);
    EXPECT_NEAR(acc.Bzjzy(), 210, 1e-9);
    EXPECT_NEAR(acc.dtqy(), 10094, 1e-9);
    EXPECT_NEAR(acc.Fdyk(), 100, 1e-9);

    ASSERT_TRUE(acc.buyClose(acc.jsj(), 2)) << acc.sError;
    EXPECT_NEAR(acc.zjfse(), 204, 1e-9);
    EXPECT_NEAR(acc.kyzj(), 10088, 1e-9);
    EXPECT_NEAR(acc.Fdyk(), 100, 1e-9);
    EXPECT_EQ(acc.ddcc, 0);
    EXPECT_EQ(acc.ddccj, 0);
}

TEST(TqhAcount, PerTurnoverFee) {
    TqhAcount acc = ExampleAccount();
    acc.nmode = pze;
    ASSERT_TRUE(acc.buyopen(100, 1));
    EXPECT_NEAR(acc.zjfse(), 100.3, 1e-9);
    EXPECT_NEAR(acc.fSxf(), 0.3, 1e-9);
    ASSERT_TRUE(acc.buyClose(110, 1));
    EXPECT_NEAR(acc.fSxf(), 0.33, 1e-9);
    EXPECT_NEAR(acc.zjfse(), 110 - 0.33, 1e-9);
    EXPECT_NEAR(acc.Fdyk(), 100, 1e-9);
}

// Opening and closing rates differ, so a trade charged at the other side's rate shows.
TEST(TqhAcount, OpeningAndClosingFeesAtTheirOwnRates) {
    struct Case {
        const char* what;
        FeeModel model;
        bool isLong;
        double openFee, closeFee; // 2 lots at 100: 3 / 1 per lot, or 0.03 % / 0.01 % of 2000
    };
    const Case cases[] = {
        {"long per lot", phd, true, 6, 2},
        {"short per lot", phd, false, 6, 2},
        {"long per turnover", pze, true, 0.6, 0.2},
        {"short per turnover", pze, false, 0.6, 0.2},
    };
    for (const Case& c : cases) {
        TqhAcount acc = ExampleAccount();
        acc.sxf.fMcf = 0.0001;
        acc.nmode = c.model;
        ASSERT_TRUE(c.isLong ? acc.buyopen(100, 2) : acc.sellopen(100, 2)) << c.what;
        EXPECT_NEAR(acc.fSxf(), c.openFee, 1e-9) << c.what;
        EXPECT_NEAR(acc.kyzj(), 10000 - 200 - c.openFee, 1e-9) << c.what;
        ASSERT_TRUE(c.isLong ? acc.buyClose(100, 2) : acc.sellClose(100, 2)) << c.what;
        EXPECT_NEAR(acc.fSxf(), c.closeFee, 1e-9) << c.what;
        EXPECT_NEAR(acc.zjfse(), 200 - c.closeFee, 1e-9) << c.what;
        EXPECT_NEAR(acc.kyzj(), 10000 - c.openFee - c.closeFee, 1e-9) << c.what;
    }
}

TEST(TqhAcount, FundsEqualToCostFail) {
    TqhAcount acc = ExampleAccount(206);
    EXPECT_FALSE(acc.buyopen(100, 2));
    EXPECT_EQ(acc.sError, "资金不足！");
    EXPECT_EQ(acc.kyzj(), 206);
    EXPECT_EQ(acc.ddcc, 0);
    EXPECT_FALSE(acc.sellopen(100, 2));
    EXPECT_EQ(acc.kdcc, 0);
    acc.setKyzj(206.01);
    EXPECT_TRUE(acc.buyopen(100, 2));
    EXPECT_TRUE(acc.sError.empty());
}

TEST(TqhAcount, AveragingAndOverClose) {
    TqhAcount acc = ExampleAccount();
    ASSERT_TRUE(acc.buyopen(100, 1));
    ASSERT_TRUE(acc.buyopen(110, 1));
    EXPECT_DOUBLE_EQ(acc.ddccj, 105);
    EXPECT_EQ(acc.ddcc, 2);

    const double funds = acc.kyzj();
    EXPECT_FALSE(acc.buyClose(110, 3));
    EXPECT_EQ(acc.sError, "买卖数量不对！");
    EXPECT_EQ(acc.kyzj(), funds);
    EXPECT_EQ(acc.ddcc, 2);
    EXPECT_FALSE(acc.sellClose(110, 1)); // no short position
    EXPECT_EQ(acc.sError, "买卖数量不对！");

    ASSERT_TRUE(acc.buyClose(110, 1)); // a part keeps the average price
    EXPECT_EQ(acc.ddcc, 1);
    EXPECT_DOUBLE_EQ(acc.ddccj, 105);
    EXPECT_NEAR(acc.Fdyk(), 50, 1e-9);
}

TEST(TqhAcount, SlippageOnShort) {
    TqhAcount acc = ExampleAccount();
    acc.huaPoint = 2;
    ASSERT_TRUE(acc.sellopen(100, 1));
    EXPECT_DOUBLE_EQ(acc.kdccj, 99.9998);
    ASSERT_TRUE(acc.setJsj(100));
    double before = acc.kyzj();
    ASSERT_TRUE(acc.setJsj(100)); // same price: only the slippage is charged
    EXPECT_NEAR(acc.kyzj(), before - 0.002, 1e-9);
    before = acc.kyzj();
    ASSERT_TRUE(acc.setJsj(99)); // a short gains when the price falls, less the slippage
    EXPECT_NEAR(acc.kyzj(), before + 10 - 0.002 + 1.0, 1e-9);

    ASSERT_TRUE(acc.sellClose(99, 1)); // closes at 99.0002
    EXPECT_NEAR(acc.Fdyk(), (99.9998 - 99.0002) * 10, 1e-9);
    EXPECT_EQ(acc.kdcc, 0);
    EXPECT_EQ(acc.kdccj, 0);
}

TEST(TqhAcount, FractionalLotsCloseToZero) {
    TqhAcount acc = ExampleAccount();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(acc.buyopen(100, 0.1));
    ASSERT_NE(acc.ddcc, 0.3); // 0.1 + 0.1 + 0.1 is not 0.3 in binary
    ASSERT_TRUE(acc.buyClose(100, 0.3)) << acc.sError;
    EXPECT_EQ(acc.ddcc, 0.0);
    EXPECT_EQ(acc.ddccj, 0.0);

    ASSERT_TRUE(acc.buyopen(100, 0.7));
    for (int i = 0; i < 7; ++i) ASSERT_TRUE(acc.buyClose(100, 0.1)) << i; // last: 0.0999...87
    EXPECT_EQ(acc.ddcc, 0.0);

    for (int i = 0; i < 3; ++i) ASSERT_TRUE(acc.sellopen(100, 0.1));
    ASSERT_TRUE(acc.sellClose(100, 0.1));
    ASSERT_TRUE(acc.sellClose(100, 0.1));
    ASSERT_TRUE(acc.sellClose(100, 0.1));
    EXPECT_EQ(acc.kdcc, 0.0);
    EXPECT_EQ(acc.zcc(), 0.0);

    ASSERT_TRUE(acc.buyopen(100, 1));
    EXPECT_FALSE(acc.buyClose(100, 1.000001)); // a real excess is still refused
    EXPECT_EQ(acc.sError, "买卖数量不对！");
}

// Every trade with bad input fails with its message and leaves the account as it was.
TEST(TqhAcount, BadInputChangesNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        double price, lots;
        void (*setup)(TqhAcount&);
        const char* error;
    };
    auto none = [](TqhAcount&) {};
    const Case cases[] = {
        {"price 0", 0, 1, none, "成交价格不对！"},
        {"negative price", -5, 1, none, "成交价格不对！"},
        {"invalid value", -10000000.0, 1, none, "成交价格不对！"},
        {"nan price", nan, 1, none, "成交价格不对！"},
        {"infinite price", inf, 1, none, "成交价格不对！"},
        {"zero lots", 100, 0, none, "买卖数量不对！"},
        {"negative lots", 100, -1, none, "买卖数量不对！"},
        {"nan lots", 100, nan, none, "买卖数量不对！"},
        {"infinite lots", 100, inf, none, "买卖数量不对！"},
        {"multiplier 0", 100, 1, [](TqhAcount& a) { a.sxf.nhycs = 0; },
         "交易参数设置有误，请重设交易参数！"},
        {"negative margin", 100, 1, [](TqhAcount& a) { a.sxf.fBzjbl = -0.1; },
         "交易参数设置有误，请重设交易参数！"},
        {"margin 0", 100, 1, [](TqhAcount& a) { a.sxf.fBzjbl = 0; },
         "交易参数设置有误，请重设交易参数！"},
        {"negative fee", 100, 1, [](TqhAcount& a) { a.sxf.fMcf = -0.0001; },
         "交易参数设置有误，请重设交易参数！"},
    };
    using Op = bool (TqhAcount::*)(double, double);
    const Op ops[] = {&TqhAcount::buyopen, &TqhAcount::sellopen, &TqhAcount::buyClose,
                      &TqhAcount::sellClose};
    for (const auto& c : cases) {
        for (Op op : ops) {
            TqhAcount acc = ExampleAccount();
            ASSERT_TRUE(acc.buyopen(100, 1));
            ASSERT_TRUE(acc.sellopen(100, 1));
            ASSERT_TRUE(acc.setJsj(100));
            c.setup(acc);
            const TqhAcount before = acc;
            EXPECT_FALSE((acc.*op)(c.price, c.lots)) << c.what;
            EXPECT_EQ(acc.sError, c.error) << c.what;
            EXPECT_EQ(acc.kyzj(), before.kyzj()) << c.what;
            EXPECT_EQ(acc.ddcc, before.ddcc) << c.what;
            EXPECT_EQ(acc.kdcc, before.kdcc) << c.what;
            EXPECT_EQ(acc.ddccj, before.ddccj) << c.what;
            EXPECT_EQ(acc.kdccj, before.kdccj) << c.what;
            EXPECT_EQ(acc.zjfse(), before.zjfse()) << c.what;
        }
    }
}

TEST(TqhAcount, NothingHeldCannotBeClosedHoweverFewLots) {
    for (double lots : {1.0, 1e-10, 1e-300}) {
        TqhAcount acc = ExampleAccount();
        const double funds = acc.kyzj();
        EXPECT_FALSE(acc.buyClose(100, lots)) << lots;
        EXPECT_EQ(acc.sError, "买卖数量不对！");
        EXPECT_FALSE(acc.sellClose(100, lots)) << lots;
        EXPECT_EQ(acc.sError, "买卖数量不对！");
        EXPECT_EQ(acc.kyzj(), funds);
    }
}

TEST(TqhAcount, SlippageCannotPushPriceToZero) {
    TqhAcount acc = ExampleAccount();
    ASSERT_TRUE(acc.buyopen(1, 1));
    acc.huaPoint = 2;
    const double funds = acc.kyzj();
    EXPECT_FALSE(acc.sellopen(0.0002, 1)); // would trade at 0
    EXPECT_EQ(acc.sError, "成交价格不对！");
    EXPECT_FALSE(acc.buyClose(0.0001, 1)); // would trade below 0
    EXPECT_EQ(acc.sError, "成交价格不对！");
    EXPECT_EQ(acc.kyzj(), funds);
    EXPECT_EQ(acc.ddcc, 1);
    EXPECT_EQ(acc.kdcc, 0);
}

TEST(TqhAcount, RevaluationRefusesBadPrices) {
    TqhAcount acc = ExampleAccount();
    ASSERT_TRUE(acc.buyopen(100, 1));
    ASSERT_TRUE(acc.setJsj(100));
    const double funds = acc.kyzj();
    for (double bad : {0.0, -1.0, -10000000.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(acc.setJsj(bad));
        EXPECT_EQ(acc.kyzj(), funds);
        EXPECT_EQ(acc.jsj(), 100);
    }
}

TEST(TqhAcount, ResetKeepsParameters) {
    TqhAcount acc = ExampleAccount();
    acc.nmode = pze;
    ASSERT_TRUE(acc.buyopen(100, 1));
    ASSERT_TRUE(acc.sellopen(100, 1));
    acc.csh(5000);
    EXPECT_EQ(acc.kyzj(), 5000);
    EXPECT_EQ(acc.nmode, phd);
    EXPECT_EQ(acc.zcc(), 0);
    EXPECT_EQ(acc.ddccj, 0);
    EXPECT_EQ(acc.kdccj, 0);
    EXPECT_EQ(acc.sxf.nhycs, 10);
}

TEST(TqhAcount, PositionText) {
    TqhAcount acc = ExampleAccount();
    EXPECT_EQ(acc.GetQhPosition(), "交易参数设置有误，请重设交易参数！");

    ASSERT_TRUE(acc.setJsj(100));
    const std::string head = " ———— 交易参数 ———— \r\n交易品种：IF\r\n保证金比率0.10\r\n"
                             " 合约乘数: 10.00\r\n";
    EXPECT_EQ(acc.GetQhPosition(), head + "开仓手续费率:0.00\r\n 平仓手续费率:0.00\r\n"
                                          " 手续费计算方式:按手\r\n滑点值：0.00\r\n"
                                          "—————账户状态—————\r\n可用资金：10000.00\r\n"
                                          "最大可开仓：100.00\r\n当前价：100.00\r\n空仓运行中……");

    acc.nmode = pze;
    acc.huaPoint = 2;
    ASSERT_TRUE(acc.buyopen(100, 2));  // 200 margin + 0.6 fee
    ASSERT_TRUE(acc.sellopen(100, 1)); // at 99.9998: 99.9998 margin + 0.299999 fee
    ASSERT_TRUE(acc.setJsj(101));      // funds 9699.100201 - 3 + 9.994
    EXPECT_EQ(acc.GetQhPosition(),
              head + "开仓手续费率:3.00%%\r\n 平仓手续费率:3.00%%\r\n 手续费计算方式:按成交额\r\n"
                     "滑点值：2.00\r\n—————账户状态—————\r\n可用资金：9706.09\r\n"
                     "最大可开仓：96.10\r\n当前价：101.00\r\n多单持仓：2.00\r\n"
                     "多单持仓价:100.00\r\n空单持仓:1.00\r\n空单持仓价:100.00\r\n"
                     "动态权益:10009.09\r\n保证金占用:303.00\r\n浮动盈亏：10.00");
}

} // namespace
} // namespace vantor
