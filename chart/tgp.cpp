#include "chart/tgp.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <fstream>

#include "chart/canvas.h"
#include "chart/navigation.h"
#include "chart/tgs_program.h"
#include "chart/window_frame.h"

namespace vantor {

namespace {
// Device pixels of a length of v pixels of the control.
int DevicePixels(int v, double ratio) {
    return ratio == 1 ? v : static_cast<int>(std::lround(v * ratio));
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}
} // namespace

std::unique_ptr<WindowProgram> TGP::NewProgram(WindowProgram* parent) {
    if (factory_) return factory_(parent);
    return std::make_unique<TgsProgram>(static_cast<TgsProgram*>(parent));
}

std::unique_ptr<ChartWindow> TGP::MakeWindow(WindowProgram* parent) {
    auto w = std::make_unique<ChartWindow>();
    w->prog = NewProgram(parent);
    w->font = FFont_;
    return w;
}

TGP::TGP(ProgramFactory factory) : factory_(std::move(factory)) {
    // Tab list: the indicator names behind the three category captions.
    RebuildTabList();
    FCache_ = MakeImage(1, 1, FColor_);

    auto fsMain = MakeWindow(nullptr);
    FS_Main_ = fsMain.get();
    auto fsVol = MakeWindow(FS_Main_->prog.get());
    FS_VOL_ = fsVol.get();
    owned_.push_back(std::move(fsMain));
    owned_.push_back(std::move(fsVol));
    FS_Main_->ShowFs = FS_VOL_->ShowFs = true;
    FS_Main_->Main = true;
    FS_Main_->ShowTop = true;
    FS_Main_->ShowBottom = false;
    FS_Main_->ShowLeft = FS_Main_->ShowRight = true;
    FS_VOL_->ShowTop = false;
    FS_VOL_->ShowBottom = FS_VOL_->ShowLeft = FS_VOL_->ShowRight = true;
    FS_Main_->CurGS = true;
    LoadWfc(FS_Main_, "Fs");
    LoadWfc(FS_VOL_, "fsvol");

    auto kMain = MakeWindow(nullptr);
    K_Main_ = kMain.get();
    owned_.push_back(std::move(kMain));
    GS_[0] = K_Main_;
    for (int i = 1; i < kMaxWindows; ++i) {
        auto w = MakeWindow(K_Main_->prog.get());
        GS_[static_cast<size_t>(i)] = w.get();
        owned_.push_back(std::move(w));
    }
    for (int i = 0; i < kMaxWindows; ++i) {
        ChartWindow* w = GS_[static_cast<size_t>(i)];
        w->ShowFs = false;
        w->ZhouQi = wsDay;
        // K_Main: title and right scale; the others: title and left scale.
        w->ShowTop = true;
        w->ShowBottom = false;
        w->ShowLeft = i != 0;
        w->ShowRight = i == 0;
        w->Prevclose = kInvalidValue;
    }
    FS_Main_->Prevclose = FS_VOL_->Prevclose = kInvalidValue;
    K_Main_->Main = true;
    K_Main_->KBar3d = true;
    K_Main_->CurGS = true;
    CURGS_ = 0;
    LoadWfc(K_Main_, "MA");
    LoadWfc(GS_[1], "vol");
    for (int i = 2; i < kMaxWindows; ++i)
        if (static_cast<size_t>(i + 1) < FTabList_.size())
            LoadWfc(GS_[static_cast<size_t>(i)], FTabList_[static_cast<size_t>(i + 1)]);
    GS_[static_cast<size_t>(FTechWindows_ - 1)]->ShowBottom = true;
    FCurWindow_ = K_Main_;
    for (auto& w : owned_) w->LineColor = FLineColor_;
    // The command menu lists the indicators of the tab list as it stands now.
    items_ = BuildCommandMenu(
        {FTabList_.begin() + std::min<size_t>(3, FTabList_.size()), FTabList_.end()});
}

TGP::~TGP() = default;

void TGP::UseMainWindowSettings() {
    ++updateLock_; // one settling of the layout after all the settings
    SetScale(5);
    SetTechWindows(3);
    SetPrevClose(kInvalidValue);
    SetHigh(false);
    FMT_ = "%7.2f";
    SetStkName("训练");
    SetStkLabel("000001");
    SetWeek("日线");
    SetShowFs(false);
    SetShowTab(true);
    SetShowBottom(true);
    SetShowTop(true);
    SetShowLeft(true);
    SetShowRight(false);
    SetShowBoard(false);
    SetShowHighLow(false);
    SetShowBar3d(false);
    SetShowCurWindow(true);
    FZiXuan_ = true;
    SetLineColor(kMaroon);
    SetFillColor(kBlack);
    SetFillStyle(wNone);
    SetKStyle(ksBar);
    SetBoardWidth(200);
    SetFsRow(10);
    SetFsCol(10);
    SetZhouQi(wsDay);
    SetFsCount(100);
    SetColor(kBlack);
    SetFont({"Arial", 15, kYellow, false});
    --updateLock_;
    ReDraw();
}

void TGP::RebuildTabList() {
    FTabList_.clear();
    FGsList_.GetList(FTabType_ == 1 ? -1 : FTabType_ == 2 ? 2 : 1, FTabList_);
    FTabList_.insert(FTabList_.begin(), {"指标", "全部", "高级"});
}

void TGP::ForAll(const std::function<void(ChartWindow&)>& f) {
    for (auto& w : owned_) f(*w);
}

ChartWindow* TGP::WindowOf(int win) const {
    if (win >= 0 && win < kMaxWindows) return GS_[static_cast<size_t>(win)];
    if (win == -1) return FS_Main_;
    if (win == -2) return FS_VOL_;
    return nullptr;
}

ChartWindow* TGP::CurrentWindow() const {
    if (FShowFs_) return FS_Main_->CurGS ? FS_Main_ : FS_VOL_;
    return GS_[static_cast<size_t>(std::clamp(CURGS_, 0, FTechWindows_ - 1))];
}

int TGP::BarCount() const {
    return K_Main_->prog->DataLen();
}

void TGP::Error(ChartWindow* w) {
    if (host_) host_->Message(w->prog->ErrorString());
}

void TGP::PushContext(ChartWindow& w) {
    ProgramContext ctx;
    ctx.period = w.ZhouQi;
    ctx.fsCount = w.FfsCount;
    ctx.stkName = w.StkName;
    ctx.stkLabel = w.StkLabel;
    ctx.week = w.Week;
    ctx.quan = w.FQuan;
    ctx.tickView = w.ShowFs;
    ctx.programDir = programDir_;
    w.prog->SetContext(ctx);
}

void TGP::RunWindow(ChartWindow* w) {
    // A window without bars has nothing to compute; that is not a failure to report.
    if (w->prog->DataLen() == 0) return;
    PushContext(*w);
    if (!w->prog->Run()) Error(w);
    // The K-line record is part of what the window draws, in front of its outputs.
    if (WantsKLines(*w)) AddKLineRecord(*w);
}

int TGP::AvailHeight() const {
    return height_ - (FShowTab_ ? FTABH_ : 0);
}

void TGP::ApplyDefaultDivision() {
    DefaultDivision(GSH_, FTechWindows_, AvailHeight());
    OLDHD_ = std::max(AvailHeight(), 0);
}

void TGP::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    int avail = std::max(AvailHeight(), 0);
    if (FSH_ == 0) {
        ApplyDefaultDivision();
        FSH_ = FTechWindows_ < 2 ? height_ : height_ * 2 / 3;
        VOLH_ = height_ - FSH_;
    } else {
        double f = OLDHD_ > 0 ? static_cast<double>(avail) / OLDHD_ : 1.0;
        ProportionalRedivision(GSH_, FTechWindows_, OLDHD_, avail);
        FSH_ = std::clamp(static_cast<int>(FSH_ * f), 0, height_);
        VOLH_ = height_ - FSH_;
    }
    ReDraw();
    OLDHD_ = avail;
}

void TGP::ClampCurrent() {
    CURGS_ = std::clamp(CURGS_, 0, FTechWindows_ - 1);
    for (auto* w : GS_) w->CurGS = false;
    GS_[static_cast<size_t>(CURGS_)]->CurGS = true;
}

void TGP::SetTechWindows(int value) {
    if (value < 1 || value > kMaxWindows || value == FTechWindows_) return;
    GS_[static_cast<size_t>(CURGS_)]->CurGS = false;
    GS_[static_cast<size_t>(FTechWindows_ - 1)]->ShowBottom = false;
    for (int i = FTechWindows_; i < value; ++i) RunWindow(GS_[static_cast<size_t>(i)]);
    FTechWindows_ = value;
    GS_[static_cast<size_t>(value - 1)]->ShowBottom = FShowBottom_;
    ClampCurrent();
    ApplyDefaultDivision();
    ReDraw();
}

bool TGP::SetCurWin(int win) {
    if (win < 1 || win > FTechWindows_) return false;
    CURGS_ = win - 1;
    ClampCurrent();
    ReDraw();
    return true;
}

void TGP::DelCurWin() {
    if (FShowFs_ || FTechWindows_ < 2 || CURGS_ < 1 || CURGS_ >= FTechWindows_) return;
    // The deleted window goes to the first hidden slot with its formula still loaded.
    std::rotate(GS_.begin() + CURGS_, GS_.begin() + CURGS_ + 1, GS_.begin() + FTechWindows_);
    --FTechWindows_;
    // The date axis belongs to the new bottom window; the current window stays a visible one.
    for (auto* w : GS_) w->ShowBottom = false;
    GS_[static_cast<size_t>(FTechWindows_ - 1)]->ShowBottom = FShowBottom_;
    ClampCurrent();
    GSH_[0] = 0;
    ReDraw();
}

void TGP::SetProgramDir(const std::string& dir) {
    programDir_ = dir;
    ForAll([&dir](ChartWindow& w) { w.ProgramDir = dir; });
    ReDraw();
}

void TGP::SetHost(const Host* host) {
    host_ = host;
    ForAll([host](ChartWindow& w) { w.prog->SetHost(host); });
}

void TGP::SetDevicePixelRatio(double r) {
    if (!(r > 0) || r == ratio_) return;
    ratio_ = r;
    ReDraw();
}

// --- drawing objects ---

void TGP::AddObject(int win, const XXLine& line) {
    ChartWindow* w = WindowOf(win);
    if (!w) return;
    w->FLine.push_back(line);
    ReDraw();
}

void TGP::RemoveObjects(int win, int kind) {
    ChartWindow* w = WindowOf(win);
    if (!w) return;
    auto n = std::erase_if(w->FLine, [kind](const XXLine& o) { return o.FType == kind; });
    if (n > 0) ReDraw();
}

const std::vector<XXLine>& TGP::Objects(int win) const {
    static const std::vector<XXLine> kNone;
    ChartWindow* w = WindowOf(win);
    return w ? w->FLine : kNone;
}

void TGP::ClearLine(int win) {
    ChartWindow* w = WindowOf(win);
    if (!w || w->FLine.empty()) return;
    w->FLine.clear();
    ReDraw();
}

void TGP::SetShowLine(int win, bool on) {
    ChartWindow* w = WindowOf(win);
    if (!w || w->FShowLine == on) return;
    w->FShowLine = on;
    ReDraw();
}

// --- formulas ---

bool TGP::LoadWfc(ChartWindow* gs, const std::string& wfc) {
    if (!gs) return false;
    std::string text = FGsList_.GetStr(UpperAscii(wfc));
    if (text.empty()) return false;
    PushContext(*gs);
    if (!gs->prog->SetProgText(text)) {
        Error(gs);
        return false;
    }
    gs->FFileName = wfc + ".Wfc";
    gs->prog->SetFileName(gs->FFileName);
    return true;
}

bool TGP::SetWFCZY(int win, const std::string& wfc) {
    ChartWindow* w = WindowOf(win);
    if (!w) return false;
    bool ok = LoadWfc(w, wfc);
    if (ok) ReDraw();
    return ok;
}

bool TGP::SetWFCString(int win, const std::string& text) {
    ChartWindow* w = WindowOf(win);
    if (!w) return false;
    bool ok = w->prog->SetProgText(text);
    ReDraw();
    return ok;
}

bool TGP::SetWFCFile(int win, const std::string& fileName) {
    ChartWindow* w = WindowOf(win);
    if (!w) return false;
    bool ok = w->prog->LoadProgram(fileName);
    ReDraw();
    return ok;
}

bool TGP::SetWFCCurZY(const std::string& wfc) {
    ChartWindow* w = CurrentWindow();
    if (!w) return false;
    if (LoadWfc(w, wfc)) ReDraw();
    return true;
}

bool TGP::SetWFCCurString(const std::string& text) {
    if (Trim(text).empty()) return false;
    ChartWindow* w = CurrentWindow();
    if (w->prog->SetProgText(text))
        ReDraw();
    else
        Error(w);
    return true;
}

bool TGP::SetWFCCurFile(const std::string& fileName) {
    ChartWindow* w = CurrentWindow();
    if (w->prog->LoadProgram(fileName))
        ReDraw();
    else
        Error(w);
    return true;
}

bool TGP::SaveWfcFile(int win, const std::string& fileName) {
    ChartWindow* w = WindowOf(win);
    if (!w) return false;
    std::ofstream out(fileName, std::ios::binary);
    if (!out) return false;
    out << w->prog->ProgText();
    return static_cast<bool>(out);
}

std::string TGP::FormulaText(int win) const {
    ChartWindow* w = WindowOf(win);
    return w ? w->prog->ProgText() : std::string();
}

void TGP::ClearTicks() {
    FS_Main_->prog->ClearData();
    ReDraw();
}

void TGP::ReStoreWfc() {
    LoadWfc(FS_Main_, "FS");
    LoadWfc(FS_VOL_, "FSVOL");
    LoadWfc(K_Main_, "MA");
    LoadWfc(GS_[1], "VOL");
    // Windows 2..9 get the formulas they were created with: the indicator list's entries
    // after MA and VOL, whatever category the tab strip shows.
    std::vector<std::string> names;
    FGsList_.GetList(1, names);
    for (int i = 2; i < kMaxWindows; ++i)
        if (static_cast<size_t>(i - 2) < names.size())
            LoadWfc(GS_[static_cast<size_t>(i)], names[static_cast<size_t>(i - 2)]);
    ReDraw();
}

// --- painting ---

void TGP::EndUpdate() {
    if (updateLock_ == 0) return;
    if (--updateLock_ == 0) ReDraw();
}

void TGP::ReDraw() {
    dirty_ = true;
    if (updateLock_ == 0) SettleFrame();
}

void TGP::SettleFrame() {
    int W = width_ - (FShowBoard_ ? FBoardWidth_ : 0);
    if (curx_ > W && cury_ != -2) curx_ = cury_ = -1;
    if (W < 10 || height_ < 10) return;
    if (GSH_[0] == 0) ApplyDefaultDivision();
    if (FShowFs_) {
        if (FSH_ == 0) {
            FSH_ = height_ * 2 / 3;
            VOLH_ = height_ - FSH_;
        }
        int lm = ScaleWidth(FS_Main_->ShowLeft), rm = ScaleWidth(FS_Main_->ShowRight);
        if (cury_ != -2 && (curx_ < lm || curx_ > W - rm)) curx_ = cury_ = -1;
        OLDWD_ = range_.oldWidth = W;
    } else {
        int lm = ScaleWidth(K_Main_->ShowLeft), rm = ScaleWidth(K_Main_->ShowRight);
        if (cury_ != -2 && (curx_ < lm || curx_ > W - rm)) curx_ = cury_ = -1;
        SettleVisibleRange(range_, W, BarViewMargins(K_Main_->ShowLeft, K_Main_->ShowRight),
                           BarCount());
        range_.oldLeftBar = range_.leftBar;
    }
}

const QImage& TGP::Image() {
    Render();
    return FCache_;
}

void TGP::Render() {
    if (updateLock_ > 0) return;
    if (!dirty_ && cursorDirty_ && RenderCursorLayer()) return;
    if (!dirty_ && !cursorDirty_) return;
    dirty_ = cursorDirty_ = false;
    int W = width_ - (FShowBoard_ ? FBoardWidth_ : 0);
    if (W < 10 || height_ < 10) return;
    const int dw = DevicePixels(width_, ratio_), dh = DevicePixels(height_, ratio_);
    if (FCache_.width() != dw || FCache_.height() != dh || FCache_.devicePixelRatio() != ratio_) {
        FCache_ = MakeImage(dw, dh, FColor_);
        FCache_.setDevicePixelRatio(ratio_);
    } else {
        // The windows and the tab strip paint their own ground; only what lies outside
        // them is filled here.
        int covered = 0;
        if (FShowFs_)
            covered = std::max(FSH_, 0) + std::max(VOLH_, 0);
        else
            for (int i = 0; i < FTechWindows_; ++i)
                covered += std::max(GSH_[static_cast<size_t>(i)], 0);
        if (!FShowFs_ && FShowTab_ && covered >= height_ - FTABH_) covered = height_;
        Canvas c(FCache_);
        c.FillRect(0, std::min(covered, height_), width_, height_, FColor_);
        c.FillRect(W, 0, width_, height_, FColor_);
    }
    K_Main_->StkName = FSTKNAME_;
    K_Main_->StkLabel = FSTKLABEL_;
    K_Main_->Week = FWEEK_;
    FS_Main_->StkName = FSTKNAME_;
    FS_Main_->StkLabel = FSTKLABEL_;
    if (FShowFs_)
        PaintTickView(W);
    else
        PaintBarView(W);
    if (FShowBoard_) PaintBoard(W);
    // The line preview is painted by its own painter once it exists.
    if (!FShowFs_ && CursorLayered()) KeepBaseAndDrawCursor(W);
    ++repaintCount_;
    if (FHint_.BZ && OnHintText) OnHintText(FSTKNAME_, CursorHintText());
}

namespace {
void FillBackground(QImage& img, BackStyle style, TColor fill, TColor color) {
    if (style == wNone)
        img.fill(ToQColor(color));
    else
        FillGradient(img, fill, color, style);
}

// Paints window `w` into `img` as its frame settles for the view; (ox, oy) is the window's
// corner in the control.
void PaintWindow(ChartWindow& w, QImage& img, int leftBar, double scale, int curX, int curY, int ox,
                 int oy, TColor bg, bool cursorLines = true) {
    if (!w.prog || img.isNull()) return;
    const QSize size = LogicalSize(img);
    WindowFrame f = ComputeFrame(
        w, *w.prog, RequestFor(w, size.width(), size.height(), leftBar, scale, curX, curY, ox, oy));
    if (!cursorLines) f.cursorLines = false; // the cursor layer draws them
    DrawLine(w, f, img, bg);
}

void CopyInto(QImage& dst, const QImage& src, int y) {
    if (src.width() <= 0 || src.height() <= 0) return;
    QPainter p(&dst);
    p.drawImage(0, y, src);
}

// Paints a w x h window at row y of the cache (in the control's pixels). A window inside
// the cache paints straight into its rows (an image sharing the cache's pixels), so no
// scratch image is allocated; one reaching past the bottom is painted whole and copied in
// clipped.
template <class Paint> void PaintBand(QImage& cache, int y, int w, int h, Paint&& paint) {
    if (w <= 0 || h <= 0) return;
    const double r = cache.devicePixelRatio();
    const int dy = DevicePixels(y, r), dh = DevicePixels(y + h, r) - dy, dw = DevicePixels(w, r);
    if (y >= 0 && dy + dh <= cache.height() && dw <= cache.width()) {
        QImage band(cache.scanLine(dy), dw, dh, cache.bytesPerLine(), cache.format());
        band.setDevicePixelRatio(r);
        paint(band);
        return;
    }
    QImage img = MakeImage(dw, DevicePixels(h, r), kBlack);
    img.setDevicePixelRatio(r);
    paint(img);
    CopyInto(cache, img, y);
}
} // namespace

void TGP::PaintSmall(ChartWindow& w, QImage& img, int leftBar, double scale) {
    FillBackground(img, FFillStyle_, FFillColor_, FColor_);
    PaintWindow(w, img, leftBar, scale, -1, -1, 0, 0, FColor_);
}

int TGP::DevicePixelsOf(int v) const {
    return DevicePixels(v, ratio_);
}

void TGP::PaintBarView(int W) {
    K_Main_->Focus = HasFocus && HasFocus();
    int y = 0;
    for (int i = 0; i < FTechWindows_; ++i) {
        ChartWindow* w = GS_[static_cast<size_t>(i)];
        int h = GSH_[static_cast<size_t>(i)];
        PaintBand(FCache_, y, W, h, [&](QImage& img) {
            FillBackground(img, FFillStyle_, FFillColor_, FColor_);
            int cy = cury_ == -2 ? -2 : (cury_ > y ? cury_ - y : -1);
            PaintWindow(*w, img, range_.leftBar, range_.scale, curx_, cy, 0, y, FColor_,
                        !CursorLayered());
        });
        y += std::max(h, 0);
    }
    if (FShowTab_) PaintTabStrip(W);
}

void TGP::PaintTickView(int W) {
    PaintBand(FCache_, 0, W, FSH_, [&](QImage& img) {
        FillBackground(img, FFillStyle_, FFillColor_, FColor_);
        PaintWindow(*FS_Main_, img, 0, range_.scale, curx_, cury_, 0, 0, FColor_);
    });
    PaintBand(FCache_, FSH_, W, VOLH_, [&](QImage& img) {
        FillBackground(img, FFillStyle_, FFillColor_, FColor_);
        int cy = cury_ == -2 ? -2 : (cury_ < FSH_ ? -1 : cury_ - FSH_);
        PaintWindow(*FS_VOL_, img, 0, range_.scale, curx_, cy, 0, FSH_, FColor_);
    });
}

void TGP::PaintTabStrip(int W) {
    int y0 = height_ - FTABH_;
    if (y0 < 0) return;
    Canvas c(FCache_);
    c.SetFont(FFont_);
    TColor ground = RGBColor((RedOf(FColor_) + 28) % 256, (GreenOf(FColor_) + 28) % 256,
                             (BlueOf(FColor_) + 28) % 256);
    c.FillRect(0, y0, W, height_, ground);
    std::vector<int> widths;
    widths.reserve(FTabList_.size());
    for (const auto& t : FTabList_) widths.push_back(c.TextWidth(t));
    tabs_ = LayoutTabs(widths, W);
    if (tabs_.fillFrom >= 0) c.FillRect(tabs_.fillFrom, y0, W, height_, RGBColor(0, 128, 0));
    std::string cur = UpperAscii(GS_[static_cast<size_t>(CURGS_)]->TechName());
    if (cur.empty()) {
        // A program without a formula name: the name it was loaded under.
        std::string f = GS_[static_cast<size_t>(CURGS_)]->FFileName;
        cur = UpperAscii(f.size() > 4 ? f.substr(0, f.size() - 4) : f);
    }
    int th = c.TextHeight("88");
    for (size_t i = 0; i < tabs_.x.size(); ++i) {
        int x = tabs_.x[i], tw = tabs_.width[i];
        if (static_cast<int>(i) == FTabType_)
            c.FillRect(x, y0, x + tw + 1, height_, RGBColor(80, 80, 80));
        c.SetFontColor(FTabList_[i] == cur ? RGBColor(0, 255, 255) : kWhite);
        c.TextOut(x + 4, y0 + (18 - th) / 2, FTabList_[i]);
        c.SetPen(FLineColor_);
        c.Line(x + tw, y0, x + tw, height_);
    }
}

// --- images ---

QImage TGP::CurrentWindowImage() {
    ChartWindow* w = CurrentWindow();
    int h = FShowFs_ ? (w == FS_Main_ ? FSH_ : VOLH_)
                     : GSH_[static_cast<size_t>(std::clamp(CURGS_, 0, FTechWindows_ - 1))];
    QImage img = MakeImage(width_, h, FColor_); // never a side below 1
    PaintWindow(*w, img, FShowFs_ ? 0 : range_.leftBar, range_.scale, -1, -1, 0, 0, FColor_);
    return img;
}

namespace {
// Writes the image beside its file and replaces the file only when the whole image was
// written.
bool SaveWhole(const QImage& img, const std::string& name, const char* format, int quality = -1) {
    QSaveFile f(QString::fromStdString(name));
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (!img.save(&f, format, quality)) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}
} // namespace

bool TGP::SaveToBmp(const std::string& name) {
    return SaveWhole(CurrentWindowImage().convertToFormat(QImage::Format_RGB888), name, "BMP");
}

bool TGP::SaveToBmpAll(const std::string& name) {
    bool tab = FShowTab_;
    FShowTab_ = false;
    curx_ = cury_ = -1;
    ReDraw();
    Render();
    QImage img = MakeImage(width_, height_, FColor_);
    CopyInto(img, FCache_, 0);
    FShowTab_ = tab;
    dirty_ = true; // the control shows its tab strip again
    return SaveWhole(img, name, "JPG", 100);
}

bool TGP::BmpSaveToclipboard() {
    if (!QGuiApplication::instance() || !QGuiApplication::clipboard()) return false;
    QGuiApplication::clipboard()->setImage(FCache_.convertToFormat(QImage::Format_RGB888));
    return true;
}

bool TGP::BmpSaveToFile(const std::string& name) {
    return FCache_.convertToFormat(QImage::Format_RGB888).save(QString::fromStdString(name), "BMP");
}

// --- queries ---

double TGP::GetLast(const std::string& name) const {
    return K_Main_->prog->GetLast(name);
}
double TGP::FS_GetLast(const std::string& name) const {
    return FS_Main_->prog->GetLast(name);
}
std::string TGP::GetLastDate() const {
    return K_Main_->prog->LastDate();
}

// --- regions and mouse ---

HitResult TGP::HitTest(int x, int y) {
    HitLayout lay;
    lay.width = width_;
    lay.height = height_;
    lay.showBoard = FShowBoard_;
    lay.boardWidth = FBoardWidth_;
    lay.jHeight = FJHeight_;
    lay.tickView = FShowFs_;
    lay.fsh = FSH_;
    lay.fsRightScale = FS_Main_->ShowRight;
    lay.windows = FTechWindows_;
    lay.gsh = GSH_;
    for (int i = 0; i < kMaxWindows; ++i)
        lay.rightScale[static_cast<size_t>(i)] = GS_[static_cast<size_t>(i)]->ShowRight;
    HitResult r = vantor::HitTest(lay, x, y);
    FWeiStyle_ = r.region;
    FCurWindow_ = nullptr;
    if (r.clearCursor) curx_ = cury_ = -1;
    if (r.region == TWeiStyle::wsFS) FCurWindow_ = FS_Main_;
    if (r.region == TWeiStyle::wsVol) FCurWindow_ = FS_VOL_;
    if (r.window >= 0) FCurWindow_ = GS_[static_cast<size_t>(r.window)];
    bool board = r.region == TWeiStyle::wsInfo || r.region == TWeiStyle::wsFenJia ||
                 r.region == TWeiStyle::wsBTab || r.region == TWeiStyle::wsBSize;
    if (!FShowFs_ && FTechWindows_ <= 1 && !board) FCurWindow_ = K_Main_;
    return r;
}

void TGP::MouseDown(int x, int y, bool right) {
    if (!right) MPress_ = {x, y};
    HitResult r = HitTest(x, y);
    FlastWindow_ = FCurWindow_;
    if (!right && ToolPress(x, y)) return;
    if (r.region == TWeiStyle::wsTab) {
        if (!right) ClickTab(x);
        return;
    }
    if (r.region == TWeiStyle::wsBTab) {
        if (!right) ClickBoardTab(x);
        return;
    }
    if (r.region == TWeiStyle::wsFS || r.region == TWeiStyle::wsVol) {
        bool fs = r.region == TWeiStyle::wsFS;
        if (FS_Main_->CurGS == fs && FS_VOL_->CurGS == !fs) return;
        FS_Main_->CurGS = fs;
        FS_VOL_->CurGS = !fs;
        ReDraw();
    } else if (r.window >= 0) {
        if (CURGS_ == r.window && GS_[static_cast<size_t>(CURGS_)]->CurGS) return;
        CURGS_ = r.window;
        ClampCurrent();
        ReDraw();
    }
}

void TGP::MouseMove(int x, int y, bool buttonDown) {
    if (ToolMove(x, y, buttonDown)) return;
    // Moves while another window has the focus are ignored (headless: no focus test).
    if (HasFocus && !HasFocus() && !(HintIsForeground && HintIsForeground())) return;
    const bool moved = curx_ != x || cury_ != y;
    curx_ = x;
    cury_ = y; // the mouse takes the cursor over
    if (!buttonDown || (MPress_.x() == -1 && MPress_.y() == -1)) {
        HitTest(x, y);
        if (ShowCursor() && moved) CursorMoved();
        return;
    }
    switch (FWeiStyle_) {
    case TWeiStyle::wsBSize: {
        int d = width_ - x;
        if (!(d > 150 && d < width_ * 4 / 5) || d == FBoardWidth_) return;
        FBoardWidth_ = d;
        break;
    }
    case TWeiStyle::wsFSize: {
        int h = y + FSH_ - MPress_.y();
        if (!(h > 100 && h < height_ * 4 / 5)) return;
        FSH_ = h;
        VOLH_ = height_ - h;
        MPress_.setY(y);
        break;
    }
    case TWeiStyle::wsKSize: {
        if (FTechWindows_ < 2) return;
        HitLayout lay;
        lay.width = width_ - (FShowBoard_ ? FBoardWidth_ + 2 : 0);
        lay.height = height_;
        lay.windows = FTechWindows_;
        lay.gsh = GSH_;
        for (int i = 0; i < kMaxWindows; ++i)
            lay.rightScale[static_cast<size_t>(i)] = GS_[static_cast<size_t>(i)]->ShowRight;
        HitResult b = vantor::HitTest(lay, MPress_.x(), MPress_.y());
        if (b.region != TWeiStyle::wsKSize) return;
        int k = b.boundary, dy = y - MPress_.y();
        auto& a = GSH_[static_cast<size_t>(k)];
        auto& n = GSH_[static_cast<size_t>(k + 1)];
        if (a + dy <= 20 || n - dy <= 20) return;
        a += dy;
        n -= dy;
        MPress_.setY(y);
        break;
    }
    default: {
        int left = PannedLeftBar(range_.leftBar, MPress_.x(), x);
        MPress_.setX(x);
        if (left == range_.leftBar) return;
        range_.leftBar = left;
        break;
    }
    }
    ReDraw();
}

void TGP::ContextMenu(int x, int y) {
    // The command menu comes with the chart's commands; the press selected the window.
    HitTest(x, y);
}

void TGP::ClickTab(int x) {
    Render(); // the tabs where the control shows them
    int i = TabAt(tabs_, x);
    if (i < 0 || static_cast<size_t>(i) >= FTabList_.size()) return;
    if (i <= 2) {
        if (i == FTabType_) return;
        FTabType_ = i;
        RebuildTabList();
        ReDraw();
        return;
    }
    if (LoadWfc(GS_[static_cast<size_t>(CURGS_)], FTabList_[static_cast<size_t>(i)])) ReDraw();
}

// --- properties ---

void TGP::SetQuanStyle(TQuanStyle v) {
    quanStyle_ = v;
    ForAll([v](ChartWindow& w) { w.QuanStyle = v; });
    if (!K_Main_->prog->SetQuanStyle(v)) Error(K_Main_);
    for (auto* w : GS_) RunWindow(w);
    if (FShowFs_) FShowFs_ = false;
    ReDraw();
}

void TGP::SetLeftBar(int v) {
    if (v > 0 && v < BarCount()) {
        range_.leftBar = v;
        ReDraw();
    }
}

void TGP::SetScale(int v) {
    if (v > 1) {
        range_.scale = v;
        ReDraw();
    }
}

void TGP::SetPrevClose(double v) {
    ForAll([v](ChartWindow& w) { w.Prevclose = v; });
    ReDraw();
}

void TGP::SetHigh(bool v) {
    ForAll([v](ChartWindow& w) { w.High = v; });
    ReDraw();
}

void TGP::SetShowFs(bool v) {
    FShowFs_ = v;
    ReDraw();
}

void TGP::SetShowTab(bool v) {
    FShowTab_ = v;
    int avail = height_ - (v ? FTABH_ : 0);
    if (OLDHD_ == 0) OLDHD_ = height_;
    ProportionalRedivision(GSH_, FTechWindows_, OLDHD_, avail);
    OLDHD_ = std::max(avail, 0);
    ReDraw();
}

void TGP::SetShowBottom(bool v) {
    FShowBottom_ = v;
    GS_[static_cast<size_t>(FTechWindows_ - 1)]->ShowBottom = v;
    FS_VOL_->ShowBottom = v;
    ReDraw();
}

void TGP::SetShowTop(bool v) {
    FShowTop_ = v;
    K_Main_->ShowTop = FS_Main_->ShowTop = v;
    ReDraw();
}

void TGP::SetShowLeft(bool v) {
    FShowLeft_ = v;
    for (int i = 0; i < FTechWindows_; ++i) GS_[static_cast<size_t>(i)]->ShowLeft = v;
    ReDraw();
}

void TGP::SetShowRight(bool v) {
    FShowRight_ = v;
    for (int i = 0; i < FTechWindows_; ++i) GS_[static_cast<size_t>(i)]->ShowRight = v;
    ReDraw();
}

void TGP::SetShowBoard(bool v) {
    FShowBoard_ = v;
    ReDraw();
}

void TGP::SetShowHighLow(bool v) {
    FShowHighLow_ = v;
    ForAll([v](ChartWindow& w) { w.FHighLow = v; });
    ReDraw();
}

void TGP::SetShowBar3d(bool v) {
    FShowBar3d_ = v;
    ForAll([v](ChartWindow& w) { w.KBar3d = v; });
    ReDraw();
}

void TGP::SetShowCurWindow(bool v) {
    FShowCurWindow_ = v;
    ForAll([v](ChartWindow& w) { w.ShowCurWindow = v; });
    ReDraw();
}

void TGP::SetLineColor(TColor v) {
    FLineColor_ = v;
    ForAll([v](ChartWindow& w) { w.LineColor = v; });
    ReDraw();
}

void TGP::SetFillColor(TColor v) {
    FFillColor_ = v;
    ReDraw();
}

void TGP::SetFillStyle(BackStyle v) {
    FFillStyle_ = v;
    ReDraw();
}

void TGP::SetKStyle(TKStyple v) {
    FKstyle_ = v;
    ForAll([v](ChartWindow& w) { w.KStype = v; });
    ReDraw();
}

void TGP::SetBoardWidth(int v) {
    FBoardWidth_ = v;
    ReDraw();
}

void TGP::SetFsAll(bool v) {
    FS_Main_->FsAll = v;
    ReDraw();
}

void TGP::SetPR10(bool v) {
    FS_Main_->FPercent10 = v;
    ReDraw();
}

void TGP::SetFsRow(int v) {
    FS_Main_->FsRow = FS_VOL_->FsRow = v;
    ReDraw();
}

void TGP::SetFsCol(int v) {
    FS_Main_->FsCol = FS_VOL_->FsCol = v;
    ReDraw();
}

void TGP::SetColor(TColor v) {
    FColor_ = v;
    ReDraw();
}

void TGP::SetFont(const FontSpec& f) {
    FFont_ = f;
    ForAll([&f](ChartWindow& w) { w.font = f; });
    ReDraw();
}

} // namespace vantor
