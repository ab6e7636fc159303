#include "account/qh_account.h"

#include <algorithm>
#include <cmath>

#include "account/numbers.h"

namespace vantor {

namespace {

const char kBadQuantity[] = "买卖数量不对！";
const char kNoFunds[] = "资金不足！";
const char kBadPrice[] = "成交价格不对！";
const char kBadParameters[] = "交易参数设置有误，请重设交易参数！";
const char kNL[] = "\r\n";

// Lots are doubles typed by the trainee; a position built from fractional lots may differ
// from the typed total in the last bits. A close within this margin of the whole position
// closes all of it, so no residue such as 5.6e-17 lots is left behind.
double LotTolerance(double lots) {
    return 1e-9 * std::max(1.0, lots);
}

bool ValidPrice(double p) {
    return std::isfinite(p) && p > 0;
}

} // namespace

TqhAcount::TqhAcount(double nkyzj, double nddcc, double nkdcc, double nddccj, double nkdccj) {
    Fkyzj = nkyzj;
    ddcc = nddcc;
    kdcc = nkdcc;
    ddccj = nddccj;
    kdccj = nkdccj;
    sxf.nhycs = 10;
    sxf.fBzjbl = 0.2;
    sxf.fmrf = 0.003;
    sxf.fMcf = 0.003;
    nmode = phd;
}

double TqhAcount::Fee(double rate, double q, double p) const {
    if (nmode == pze) return q * p * sxf.nhycs * rate;
    return rate * 10000 * q;
}

bool TqhAcount::CheckTrade(double cjj, double mmsl, double p) {
    sError.clear();
    if (!std::isfinite(mmsl) || mmsl <= 0) {
        sError = kBadQuantity;
        return false;
    }
    if (!IsUsable(sxf)) {
        sError = kBadParameters;
        return false;
    }
    if (!ValidPrice(cjj) || !ValidPrice(p)) {
        sError = kBadPrice;
        return false;
    }
    return true;
}

bool TqhAcount::Open(double cjj, double q, double p, double& lots, double& avg) {
    if (!CheckTrade(cjj, q, p)) return false;
    const double fee = Fee(sxf.fmrf, q, p);
    const double cost = q * p * sxf.nhycs * sxf.fBzjbl + fee;
    if (!(Fkyzj > cost)) {
        sError = kNoFunds;
        return false;
    }
    Fkyzj -= cost;
    avg = (avg * lots + q * p) / (lots + q);
    lots += q;
    Fzjfse = cost;
    Ffsxf = fee;
    return true;
}

// side: +1 closes a long position (result p - avg), -1 a short one (result avg - p).
bool TqhAcount::Close(double cjj, double q, double p, double& lots, double& avg, int side) {
    if (!CheckTrade(cjj, q, p)) return false;
    // Nothing held: no quantity, however small, can be closed.
    if (!(lots > 0) || q > lots + LotTolerance(lots)) {
        sError = kBadQuantity;
        return false;
    }
    const double n = sxf.nhycs;
    const double fee = Fee(sxf.fMcf, q, p);
    Ffdyk = side > 0 ? q * n * (p - avg) : q * n * (avg - p);
    const double back = q * p * n * sxf.fBzjbl - fee;
    Fkyzj += back;
    if (q < lots - LotTolerance(lots)) {
        lots -= q;
    } else {
        lots = 0;
        avg = 0;
    }
    Fzjfse = back;
    Ffsxf = fee;
    return true;
}

bool TqhAcount::buyopen(double cjj, double mmsl) {
    return Open(cjj, mmsl, cjj, ddcc, ddccj);
}

bool TqhAcount::sellopen(double cjj, double mmsl) {
    return Open(cjj, mmsl, cjj - huaPoint / 10000.0, kdcc, kdccj);
}

bool TqhAcount::buyClose(double cjj, double mmsl) {
    return Close(cjj, mmsl, cjj - huaPoint / 10000.0, ddcc, ddccj, +1);
}

bool TqhAcount::sellClose(double cjj, double mmsl) {
    return Close(cjj, mmsl, cjj + huaPoint / 10000.0, kdcc, kdccj, -1);
}

bool TqhAcount::setJsj(double x) {
    if (!ValidPrice(x)) return false;
    const double n = sxf.nhycs, r = sxf.fBzjbl, h = huaPoint / 10000.0;
    double marginChange = 0, move = 0;
    if (Fjsj > 0) {
        marginChange = (x - Fjsj) * (ddcc + kdcc) * n * r;
        move = ((x - Fjsj - h) * ddcc + (Fjsj - x - h) * kdcc) * n;
    }
    Fkyzj = Fkyzj - marginChange + move;
    Fjsj = x;
    Ffdyk = ((x - ddccj) * ddcc + (kdccj - x) * kdcc) * n;
    fbzjzy = (ddcc + kdcc) * x * n * r;
    Fdtqy = Fkyzj + fbzjzy;
    return true;
}

void TqhAcount::csh(double fv) {
    Fkyzj = fv;
    nmode = phd;
    ddcc = kdcc = 0;
    ddccj = kdccj = 0;
}

std::string TqhAcount::GetQhPosition() const {
    const double n = sxf.nhycs, r = sxf.fBzjbl;
    if (!IsUsable(sxf) || !ValidPrice(Fjsj)) return kBadParameters;

    std::string h;
    if (ddcc > 0) h += "多单持仓：" + Fixed2(ddcc) + kNL + "多单持仓价:" + Fixed2(ddccj) + kNL;
    if (kdcc > 0) h += "空单持仓:" + Fixed2(kdcc) + kNL + "空单持仓价:" + Fixed2(kdccj) + kNL;
    if (ddcc + kdcc <= 0) {
        h = "空仓运行中……";
    } else {
        h += "动态权益:" + Fixed2(Fdtqy) + kNL + "保证金占用:" + Fixed2(fbzjzy) + kNL +
             "浮动盈亏：" + Fixed2(Ffdyk);
    }

    std::string f1, f2, m;
    if (nmode == pze) {
        f1 = Fixed2(sxf.fmrf * 10000) + "%%";
        f2 = Fixed2(sxf.fMcf * 10000) + "%%";
        m = "按成交额";
    } else {
        f1 = Fixed2(sxf.fmrf);
        f2 = Fixed2(sxf.fMcf);
        m = "按手";
    }
    std::string t;
    t += std::string(" ———— 交易参数 ———— ") + kNL;
    t += "交易品种：" + sxf.sCode + kNL;
    t += "保证金比率" + Fixed2(r) + kNL;
    t += " 合约乘数: " + Fixed2(n) + kNL;
    t += "开仓手续费率:" + f1 + kNL;
    t += " 平仓手续费率:" + f2 + kNL;
    t += " 手续费计算方式:" + m + kNL;
    t += "滑点值：" + Fixed2(huaPoint) + kNL;
    t += std::string("—————账户状态—————") + kNL;
    t += "可用资金：" + Fixed2(Fkyzj) + kNL;
    t += "最大可开仓：" + Fixed2(Fkyzj / n / r / Fjsj) + kNL;
    t += "当前价：" + Fixed2(Fjsj) + kNL;
    t += h;
    return t;
}

} // namespace vantor
