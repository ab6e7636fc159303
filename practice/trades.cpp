// The trade actions of the practice controller: the four trades with their screenshot,
// journal row and equity point, the buttons and keys, and the account view with the
// position lines on the chart.

#include <chrono>
#include <ctime>
#include <filesystem>

#include "account/numbers.h"
#include "account/row_id.h"
#include "market/data_files.h"
#include "practice/practice.h"

namespace vantor {

namespace {

constexpr TColor kMarkRed = 0x0000FF, kMarkYellow = 0x00FFFF, kMarkGreen = 0x00FF00;

std::string Now(const char* format) {
    std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, format, &tm);
    return buf;
}

bool IsOpening(const std::string& direction) {
    return direction.find("开") != std::string::npos;
}

} // namespace

bool TForm1::Trade(const char* direction, double lots, const std::string& quantity) {
    const double p = account_.jsj();
    const std::string d = direction;
    bool ok = d == kOpenLong    ? account_.buyopen(p, lots)
              : d == kOpenShort ? account_.sellopen(p, lots)
              : d == kCloseLong ? account_.buyClose(p, lots)
                                : account_.sellClose(p, lots);
    if (!ok) return false;
    const std::string id = NewRowId();
    const std::string folder = FindPathNoCase(programDir_, "log");
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!chart_.SaveToBmpAll(folder + "/" + id + ".jpg"))
        Fail("无法保存图片：" + folder + "/" + id + ".jpg");
    WriteTradeRow(d, id + ".jpg", quantity);
    NoteTradeMark(d);
    if (!IsOpening(d) && account_.zcc() == 0) {
        // Flat again: revalue so that the equity is the funds after this close's commission.
        account_.setJsj(account_.jsj());
        if (!journal_.AddEquityPoint(accountName_, account_.dtqy())) Fail(journal_.sError);
    }
    return true;
}

bool TForm1::OpenLong(double lots) {
    return Trade(kOpenLong, lots, c_.lotsBox);
}
bool TForm1::OpenShort(double lots) {
    return Trade(kOpenShort, lots, c_.lotsBox);
}
bool TForm1::CloseLong(double lots) {
    return Trade(kCloseLong, lots, c_.lotsBox);
}
bool TForm1::CloseShort(double lots) {
    return Trade(kCloseShort, lots, c_.lotsBox);
}

bool TForm1::CloseAllLong() {
    const double lots = account_.ddcc;
    return Trade(kCloseLong, lots, ShortestDecimal(lots));
}

bool TForm1::CloseAllShort() {
    const double lots = account_.kdcc;
    return Trade(kCloseShort, lots, ShortestDecimal(lots));
}

void TForm1::WriteTradeRow(const std::string& direction, const std::string& picture,
                           const std::string& quantity) {
    TradeLogRow row;
    const std::string code = TrimBlanks(c_.codeBox);
    row.sStockName = code;
    row.sStockCode = code;
    row.sUserName = accountName_;
    row.sTradeDirect = direction;
    row.sDate = chart_.GetLastDate();
    row.sQuantity = quantity;
    row.sPrice = Fixed2(account_.jsj());
    row.sCommission = Fixed2(account_.Ffsxf);
    row.sTradeTurnover = Fixed2(account_.Fzjfse);
    row.sRemain = Fixed2(account_.Fkyzj);
    row.sProfit = IsOpening(direction) ? "0" : Fixed2(account_.Ffdyk);
    row.sTime = Now("%Y%m%d %H%M%S");
    row.sPicPath = "log\\" + picture;
    row.sGuid = NewRowId();
    Price bar;
    if (store_.CurValue(bar)) row.sOther = TradeBarText(bar);
    if (!journal_.AppendTrade(row)) Fail(journal_.sError);
}

void TForm1::MarkTrade(int kind, double lots) {
    XXLine mark;
    mark.FType = kPositionLine;
    mark.FColor = kind == 0 ? kMarkRed : kind == 1 ? kMarkYellow : kMarkGreen;
    mark.FString = (kind == 0 ? "多" : kind == 1 ? "平" : "空") + Fixed2(lots);
    mark.FPointCount = 1;
    mark.FLineType = psDot;
    mark.FLineWidth = 1;
    mark.FFontSize = 8;
    mark.FXX[0] = 3;
    mark.FYY[0] = static_cast<float>(kind == 0   ? account_.ddccj
                                     : kind == 1 ? chart_.GetLast("close")
                                                 : account_.kdccj);
    mark.Bedit = false;
    chart_.AddObject(0, mark);
}

void TForm1::RefreshAccountView() {
    const double result = account_.Ffdyk;
    c_.positionColour = result > 0 ? 0x0000FF : result < 0 ? 0xFF0000 : 0x000000;
    TGP::UpdateGuard guard(chart_);
    chart_.RemoveObjects(0, kPositionLine);
    if (account_.zcc() > 0) {
        if (account_.ddcc > 0) MarkTrade(0, account_.ddcc);
        if (account_.kdcc > 0) MarkTrade(2, account_.kdcc);
    }
    c_.positionText = account_.GetQhPosition();
}

namespace {
double Lots(const std::string& text) {
    return NumberOr(text, 0);
}
} // namespace

void TForm1::TradeButton(bool (TForm1::*trade)(double), int markKind, const char* success) {
    const double lots = Lots(c_.lotsBox);
    if ((this->*trade)(lots)) {
        MarkTrade(markKind, lots);
        Tip(success);
    } else {
        Fail(account_.sError);
    }
    RefreshAccountView();
    Notify();
}

void TForm1::BuyOpenButton() {
    TradeButton(&TForm1::OpenLong, 0, "开多仓成功！");
}

void TForm1::BuyCloseButton() {
    TradeButton(&TForm1::CloseLong, 1, "平多仓成功");
}

void TForm1::SellOpenButton() {
    TradeButton(&TForm1::OpenShort, 2, "开空仓成功");
}

void TForm1::SellCloseButton() {
    TradeButton(&TForm1::CloseShort, 1, "平空仓成功!");
}

void TForm1::ReverseButton() {
    const double longLots = account_.ddcc, shortLots = account_.kdcc;
    TGP::UpdateGuard guard(chart_);
    // A side that closes but cannot be opened the other way is reported: the trainee is
    // never left flat without knowing it.
    if (longLots > 0) {
        if (!CloseAllLong()) {
            Fail(account_.sError);
        } else {
            MarkTrade(2, longLots);
            if (!Trade(kOpenShort, longLots, ShortestDecimal(longLots))) Fail(account_.sError);
        }
    }
    if (shortLots > 0) {
        if (!CloseAllShort()) {
            Fail(account_.sError);
        } else {
            MarkTrade(0, shortLots);
            if (!Trade(kOpenLong, shortLots, ShortestDecimal(shortLots))) Fail(account_.sError);
        }
    }
    RefreshAccountView();
    Notify();
}

void TForm1::CloseAllButton() {
    TGP::UpdateGuard guard(chart_);
    if (account_.ddcc > 0) {
        MarkTrade(1, account_.ddcc);
        if (!CloseAllLong()) Fail(account_.sError);
    }
    if (account_.kdcc > 0) {
        MarkTrade(1, account_.kdcc);
        if (!CloseAllShort()) Fail(account_.sError);
    }
    RefreshAccountView();
    Notify();
}

bool TForm1::TradeKey(char key) {
    const char k = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    if (k != 'A' && k != 'D' && k != 'S') return false;
    TGP::UpdateGuard guard(chart_);
    bool ok = true;
    if (k == 'A') {
        ok = OpenLong(Lots(c_.lotsBox));
    } else if (k == 'S') {
        ok = OpenShort(Lots(c_.lotsBox));
    } else if (account_.ddcc > 0) {
        ok = CloseAllLong();
    } else if (account_.kdcc > 0) {
        ok = CloseAllShort();
    }
    if (!ok) Fail(account_.sError);
    RefreshAccountView();
    Notify();
    return true;
}

void TForm1::LotsDoubleClick() {
    c_.lotsBox = Fixed2(std::max(account_.ddcc, account_.kdcc));
    Notify();
}

bool TForm1::NumberKeyAllowed(char key) {
    if ((key >= '0' && key <= '9') || key == '.' || key == '\b') return true;
    Fail("只能输入数字!");
    return false;
}

} // namespace vantor
