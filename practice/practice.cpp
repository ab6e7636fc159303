// Start-up, settings and loading of the practice controller.

#include <filesystem>

#include "account/numbers.h"
#include "market/data_files.h"
#include "practice/practice.h"

namespace vantor {

namespace {

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// "yyyy", "yy", "mm", "m", "dd", "d" of the date format box; other characters as they stand.
std::string FormatDate(const std::string& format, int y, int m, int d) {
    std::string out;
    auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    for (std::size_t i = 0; i < format.size();) {
        auto at = [&](const char* w) {
            std::size_t n = std::char_traits<char>::length(w);
            if (format.size() - i < n) return false;
            for (std::size_t k = 0; k < n; ++k)
                if (std::tolower(static_cast<unsigned char>(format[i + k])) != w[k]) return false;
            return true;
        };
        if (at("yyyy")) {
            out += std::to_string(y);
            i += 4;
        } else if (at("yy")) {
            out += two(y % 100);
            i += 2;
        } else if (at("mm")) {
            out += two(m);
            i += 2;
        } else if (at("m")) {
            out += std::to_string(m);
            i += 1;
        } else if (at("dd")) {
            out += two(d);
            i += 2;
        } else if (at("d")) {
            out += std::to_string(d);
            i += 1;
        } else {
            out += format[i++];
        }
    }
    return out;
}

} // namespace

TForm1::TForm1(std::string programDir, std::string accountName, PracticeHost& host)
    : programDir_(std::move(programDir)), accountName_(std::move(accountName)), host_(host),
      sxf_(programDir_), journal_(programDir_) {
    messages_.message = [this](const std::string& t) { host_.Message(t); };
    messages_.confirm = [this](const std::string& t, const std::string& title) {
        return host_.Confirm(t, title);
    };
    sxf_.host = messages_;
    journal_.host = messages_;
    store_.host = &messages_;
    chart_.SetHost(&messages_);
    chart_.SetProgramDir(programDir_); // index files and pictures of the formulas
    playTimer_ = host_.CreateTimer([this] {
        if (chart_.ShowFs())
            StopPlay();
        else
            NextBar();
    });
    tickTimer_ = host_.CreateTimer([this] { TickTimerTick(); });
    c_.windowTitle = kMainTitle;
}

TForm1::~TForm1() = default;

std::string TForm1::ConfigPath() const {
    return FindPathNoCase(programDir_, kConfigFileName);
}

int TForm1::PlayIntervalMs() const {
    // Tenths of a second; 0, negative numbers and text never make a timer spin.
    double tenths = NumberOr(c_.playIntervalBox, 1);
    if (!(tenths >= 1)) tenths = 1;
    if (tenths > 36000) tenths = 36000;
    return static_cast<int>(tenths) * 100;
}

void TForm1::Startup() {
    std::string error;
    if (!journal_.EnsureDatabase()) Fail(journal_.sError);
    if (journalAnchor_.Open(journal_.path(), SqlDatabase::Mode::Existing))
        journalAnchor_.UseWriteAheadLog();
    if (!EnsureSxfDatabase(programDir_, error)) Fail(error);
    if (!accountName_.empty()) {
        // A new account starts with the initial funds its settings name (chosen at the
        // first start); without them with 10000.
        std::string funds = ConfigFile(ConfigPath()).ReadKey(accountName_, "初始资金");
        double v = 0;
        if (!ParseNumber(funds, v) || !(v > 0)) funds = "10000";
        newAccountFunds_.clear();
        bool created = false;
        if (!journal_.EnsureAccount(accountName_, funds, &created)) Fail(journal_.sError);
        if (created) newAccountFunds_ = funds;
    }

    // The source's defaults become the account's parameters until a contract is applied.
    sxf_.defsxf = Rsxf{"", 10, 0.2, 0.003, 0.003};
    account_ = TqhAcount(10000);
    account_.sxf = sxf_.defsxf;
    chart_.UseMainWindowSettings();
    ReadSettings();
    ApplyContract(c_.codeBox);
    {
        TGP::UpdateGuard guard(chart_);
        chart_.SetShowHighLow(c_.highLow == 0);
        store_.fileName = DataFilePath();
        if (FileExists(store_.fileName)) {
            store_.period = 1;
            store_.loaddata();
            loadedCode_ = TrimBlanks(c_.codeBox);
            ShowBars();
            RestoreDrawnObjects();
        }
        RefreshAccountView();
        chart_.SetShowBottom(c_.dateAxis == 0);
    }
    Notify();
}

void TForm1::ReadSettings() {
    for (int a = 0; a <= 9; ++a) {
        std::string file = FindPathNoCase(programDir_, std::to_string(a) + ".zb");
        if (FileExists(file)) chart_.SetWFCFile(a, file);
    }
    for (const char* folder : {"log", "pic", "daydata", "mindata", "min5data", "export"}) {
        std::error_code ec;
        std::filesystem::create_directories(FindPathNoCase(programDir_, folder), ec);
    }
    if (accountName_.empty()) return;

    ConfigFile config(ConfigPath());
    AccountSettings s;
    std::string problems;
    // The base period decides the folder the random code comes from, so it is read first:
    // a code drawn from the other folder would name a file that does not exist.
    AccountSettings peek;
    config.ReadAccount(accountName_, "", peek, problems);
    c_.basePeriod = peek.basePeriod;
    const std::string randomCode = ListInstruments();
    bool ok = config.ReadAccount(accountName_, randomCode, s, problems);
    c_.startRowBox = s.startRow;
    c_.codeBox = s.code;
    c_.basePeriod = s.basePeriod;
    c_.drawTools = s.drawTools;
    c_.initialFundsBox = s.initialFunds;
    c_.feeModel = s.feeModel;
    c_.highLow = s.highLow;
    c_.dateAxis = s.dateAxis;
    c_.playIntervalBox = s.playInterval;
    c_.tips = s.tips;
    c_.step = s.step;
    c_.mode = s.mode;
    c_.stopPriceBox = s.stopPrice;
    c_.autoStop = s.autoStop;
    chart_.SetTechWindows(s.ntec);
    const std::string theme = config.ReadKey(accountName_, kThemeKey);
    if (theme == "0" || theme == "1") chart_.SetColor(theme == "0" ? 0x808080 : 0x000000);
    if (!ok)
        Fail("设置文件 " + config.path() + " 中有无法读取的设置（" + problems +
             "），已使用默认值。");

    int startrow = store_.startrow, lastrow = store_.lastrow();
    if (!journal_.RestoreAccount(accountName_, account_, startrow, lastrow)) {
        Fail(journal_.sError);
    } else {
        store_.startrow = startrow;
        store_.setLastrow(lastrow);
    }
    // The saved row of a new account holds the starting figures of every account; it starts
    // with the funds it was created with.
    if (!newAccountFunds_.empty()) account_.csh(InitialFunds(newAccountFunds_));
}

AccountSettings TForm1::CurrentSettings() const {
    AccountSettings s;
    s.startRow = c_.startRowBox;
    s.code = loadedCode_.empty() ? TrimBlanks(c_.codeBox) : loadedCode_;
    s.basePeriod = c_.basePeriod;
    s.drawTools = c_.drawTools;
    s.initialFunds = c_.initialFundsBox;
    s.feeModel = c_.feeModel;
    s.highLow = c_.highLow;
    s.dateAxis = c_.dateAxis;
    s.playInterval = c_.playIntervalBox;
    s.tips = c_.tips;
    s.step = c_.step;
    s.mode = c_.mode;
    s.stopPrice = c_.stopPriceBox;
    s.autoStop = c_.autoStop;
    s.ntec = chart_.TechWindows();
    return s;
}

bool TForm1::WriteSettings() {
    bool ok = true;
    if (!accountName_.empty()) {
        std::string error;
        ConfigFile config(ConfigPath());
        if (!config.WriteAccount(accountName_, CurrentSettings(), error)) {
            Fail(error);
            ok = false;
        }
    }
    SaveAccount();
    return ok;
}

void TForm1::SaveAccount() {
    if (journal_.SaveAccount(accountName_, account_, store_.lastrow(), store_.startrow,
                             store_.fileName)) {
        lastSaveError_.clear();
        return;
    }
    // Shown once, not at every step while the file stays unusable.
    if (journal_.sError != lastSaveError_) Fail(journal_.sError);
    lastSaveError_ = journal_.sError;
}

std::string TForm1::ListInstruments() {
    const std::string folder =
        FindPathNoCase(programDir_, c_.basePeriod == 0 ? "MinData" : "DayData");
    std::vector<std::string> codes = vantor::ListInstruments(folder);
    if (codes.empty()) {
        Fail("路径'" + folder + "'没有数据文件，请先导入数据文件！");
        return {};
    }
    c_.codeList = codes;
    std::uniform_int_distribution<std::size_t> pick(0, codes.size() - 1);
    return codes[pick(random_)];
}

std::string TForm1::DataFilePath() {
    std::string path = InstrumentFile(programDir_, c_.codeBox, c_.basePeriod);
    const TWeekStyle base = c_.basePeriod == 0 ? wsmin1 : wsDay;
    store_.speriod = base;
    chart_.SetZhouQi(base);
    c_.minutePeriods = c_.basePeriod == 0;
    return path;
}

void TForm1::ApplyContract(const std::string& code) {
    sxf_.UsePracticeDefaults();
    sxf_.getSxf(code);
    account_.nmode = static_cast<FeeModel>(c_.feeModel);
    account_.sxf = sxf_.cursxf;
    account_.sxf.sCode = code;
    account_.huaPoint = static_cast<int>(NumberOr(c_.slippageBox, 0));
}

void TForm1::ReapplyContract() {
    ApplyContract(loadedCode_.empty() ? TrimBlanks(c_.codeBox) : loadedCode_);
    RefreshAccountView();
    Notify();
}

void TForm1::ShowBars() {
    ShowPeriodBars(chart_, store_, !fullBarShown_);
    account_.setJsj(chart_.GetLast("close"));
    PlaceTradeMarkers();
}

void TForm1::LoadRandom() {
    TGP::UpdateGuard guard(chart_);
    SaveDrawnObjects(); // the instrument shown so far keeps its objects
    chart_.ClearData();
    store_.fileName = DataFilePath();
    store_.period = 1;
    store_.sjload();
    loadedCode_ = TrimBlanks(c_.codeBox);
    RestoreDrawnObjects();
    chart_.SetShowFs(false);
    chart_.SetShowBoard(false);
    fullBarShown_ = false;
    ShowBars();
    ApplyContract(c_.codeBox);
    RefreshAccountView();
}

void TForm1::ShowChart() {
    if (store_.fcount == 0) {
        Fail("尚未载入！");
        return;
    }
    TGP::UpdateGuard guard(chart_);
    chart_.ClearData();
    StopTickTimer();
    ShowBars();
    RefreshAccountView();
    RedrawSideView();
    Notify();
}

void TForm1::SwitchPeriod(int value) {
    chart_.SetShowFs(false);
    if (store_.fcount == 0) {
        Fail("尚未载入！");
        return;
    }
    store_.period = value;
    TGP::UpdateGuard guard(chart_);
    chart_.ClearData();
    StopTickTimer();
    ShowBars();
    RefreshAccountView();
    Notify();
}

void TForm1::PeriodCommand(TWeekStyle zhouQi, int value) {
    const bool minute = static_cast<int>(zhouQi) < static_cast<int>(wsDay);
    if (minute && !c_.minutePeriods) return; // disabled with base 日线
    TGP::UpdateGuard guard(chart_);
    chart_.SetZhouQi(zhouQi);
    SwitchPeriod(value);
}

// --- settings page ---

void TForm1::SetFeeModel(int item) {
    c_.feeModel = item;
    account_.nmode = static_cast<FeeModel>(item);
    RefreshAccountView();
}

void TForm1::SetHighLow(int item) {
    c_.highLow = item;
    chart_.SetShowHighLow(item == 0);
    Notify();
}

void TForm1::SetDateAxis(int item) {
    c_.dateAxis = item;
    chart_.SetShowBottom(item == 0);
    Notify();
}

void TForm1::SetTips(int item) {
    c_.tips = item;
}

void TForm1::SetMode(int item) {
    c_.mode = item;
}

void TForm1::SetBasePeriod(int item) {
    c_.basePeriod = item;
    DataFilePath();
    Notify();
}

void TForm1::SetStep(int item) {
    c_.step = item;
    DataFilePath();
    Notify();
}

void TForm1::SetInitialFunds(const std::string& text) {
    c_.initialFundsBox = text;
    if (accountName_.empty()) return;
    std::string error;
    if (!ConfigFile(ConfigPath()).WriteKey(accountName_, "初始资金", text, error)) Fail(error);
}

void TForm1::SetPlayInterval(const std::string& text) {
    c_.playIntervalBox = text;
    for (auto* t : {playTimer_.get(), tickTimer_.get()})
        if (t && t->Active()) t->Start(PlayIntervalMs());
}

void TForm1::SetSlippage(const std::string& text) {
    c_.slippageBox = text;
    account_.huaPoint = static_cast<int>(NumberOr(text, 0));
    SetPlayInterval(c_.playIntervalBox);
}

void TForm1::SaveSettingsButton() {
    if (WriteSettings()) Tip("设置保存成功！");
}

// --- loading ---

void TForm1::SetCodeText(const std::string& text) {
    std::string upper = text;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (upper != c_.codeBox) c_.codeHint = true;
    c_.codeBox = upper;
}

void TForm1::CodeEnter() {
    if (account_.zcc() != 0) {
        Fail("当前未清仓，请清仓后更换！");
        return;
    }
    const std::string path = InstrumentFile(programDir_, c_.codeBox, c_.basePeriod);
    if (!FileExists(path)) {
        Fail("文件：" + path + "不存在");
        return;
    }
    c_.codeHint = false;
    account_.nmode = static_cast<FeeModel>(c_.feeModel);
    LoadRandom();
    RedrawSideView();
    Notify();
    Tip("数据载入成功！");
}

void TForm1::RandomTraining() {
    if (account_.zcc() != 0) {
        Fail("当前未清仓，请清仓后更换！");
        return;
    }
    const std::string code = ListInstruments();
    if (code.empty()) return;
    c_.codeBox = code;
    c_.codeHint = false;
    if (FileExists(InstrumentFile(programDir_, code, c_.basePeriod))) {
        StopTickTimer();
        LoadRandom();
        RedrawSideView();
    }
    Notify();
}

void TForm1::StartRowEnter() {
    double v = 1;
    if (!ParseNumber(c_.startRowBox, v)) v = 1;
    const int a = static_cast<int>(v);
    if (a > store_.fcount - 1 || a <= 0) {
        Fail("当前行大于最大行" + std::to_string(store_.fcount));
        return;
    }
    TGP::UpdateGuard guard(chart_);
    store_.nIndex = a - 1;
    store_.startrow = 0;
    store_.setLastrow(a - 1);
    store_.ReCal(store_.speriod);
    chart_.ClearData();
    ShowBars();
    RefreshAccountView();
    Notify();
}

void TForm1::StartRowDoubleClick() {
    if (account_.zcc() != 0) {
        host_.Message("当前股票未清仓，请清仓后再更换开始行！");
        return;
    }
    c_.startRowBox = "1";
    store_.nIndex = 0;
    store_.startrow = 0;
    store_.setLastrow(0);
    store_.ReCal(store_.speriod);
    ShowChart();
}

void TForm1::ChooseStartDate(int year, int month, int day) {
    const std::string text = FormatDate(c_.dateFormatBox, year, month, day);
    double n = 0;
    if (store_.fcount == 0) {
        Fail("尚未载入！");
        return;
    }
    if (!ParseNumber(text, n) || !store_.GetInfBydate(static_cast<int>(n))) {
        Fail("没找到当前日期" + text);
        return;
    }
    StopTickTimer();
    // The bar found is the next to be revealed; on the very first bar of the file that bar
    // itself is shown, since nothing can come before it.
    store_.nIndex = std::max(0, store_.sdateLine - 1);
    store_.startrow = 0;
    store_.setLastrow(store_.nIndex);
    store_.ReCal(store_.speriod);
    ShowChart();
    Tip("已找到当前日期" + text);
}

void TForm1::InitAccountMenu() {
    if (!host_.Confirm("账户初始化将删除所有资金记录！", "提示")) return;
    account_.csh(InitialFunds(c_.initialFundsBox));
    c_.lotsBox.clear();
    const std::string code = ListInstruments();
    if (!code.empty()) {
        c_.codeBox = code;
        c_.codeHint = false;
    }
    c_.startRowBox = "1";
    if (!code.empty() && FileExists(InstrumentFile(programDir_, code, c_.basePeriod))) LoadRandom();
    if (!journal_.InitAccount(accountName_, c_.initialFundsBox)) {
        Fail(journal_.sError);
        return;
    }
    marksLoaded_ = false; // the account's trades are gone
    PlaceTradeMarkers();
    RedrawSideView();
    StopTickTimer();
    RefreshAccountView();
    Notify();
    Tip("账户初始化成功！");
}

// --- window menus ---

void TForm1::SetTheme(bool white) {
    // The chart colour is the background of every window (the fill colour only starts a
    // gradient, which the main window's chart does not use).
    chart_.SetColor(white ? 0x808080 : 0x000000);
    if (!accountName_.empty()) {
        std::string error;
        if (!ConfigFile(ConfigPath()).WriteKey(accountName_, kThemeKey, white ? "0" : "1", error))
            Fail(error);
    }
    Notify();
}

void TForm1::SetWindowCount(int n) {
    chart_.SetTechWindows(n);
    Notify();
}

void TForm1::DeleteCurrentWindow() {
    chart_.DelCurWin();
    Notify();
}

void TForm1::OpenHelp() {
    if (helpFile_.empty() || !FileExists(helpFile_)) {
        Fail("找不到帮助文件：" + helpFile_);
        return;
    }
    host_.OpenPath(helpFile_);
}

// --- multi-period side view ---

void TForm1::ShowSideView(bool on) {
    if (!on) {
        sideView_.reset();
        Notify();
        return;
    }
    SaveWindowFormulas();
    sideView_ = std::make_unique<TfrmDzq>(TGP::ProgramFactory{}, chart_.TechWindows(), programDir_);
    sideView_->AssignPeriods(c_.basePeriod == 0);
    RedrawSideView();
    Notify();
}

void TForm1::RedrawSideView() {
    if (sideView_) sideView_->drawdzq(store_, !fullBarShown_);
}

void TForm1::SideViewCommand(int k, const std::string& caption, int w, int h) {
    if (sideView_) sideView_->MenuCommand(k, caption, store_, !fullBarShown_, w, h);
}

// --- closing ---

bool TForm1::ConfirmClose() {
    const char* text = account_.zcc() != 0 ? "您还未清仓,确定要退出吗？ " : "确定要退出吗？ ";
    if (!host_.Ask(text)) return false;
    StopPlay();
    StopTickTimer();
    WriteSettings();
    SaveWindowFormulas();
    SaveDrawnObjects();
    return true;
}

void TForm1::SaveWindowFormulas() {
    for (int a = 0; a <= 9; ++a)
        chart_.SaveWfcFile(a, FindPathNoCase(programDir_, std::to_string(a) + ".zb"));
}

} // namespace vantor
