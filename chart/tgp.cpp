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
    w->font = FFont;
    return w;
}

TGP::TGP(ProgramFactory factory) : factory_(std::move(factory)) {
    // Tab list: the indicator names behind the three category captions.
    RebuildTabList();
    FCache = MakeImage(1, 1, FColor);

    auto fsMain = MakeWindow(nullptr);
    FS_Main = fsMain.get();
    auto fsVol = MakeWindow(FS_Main->prog.get());
    FS_VOL = fsVol.get();
    owned_.push_back(std::move(fsMain));
    owned_.push_back(std::move(fsVol));
    FS_Main->ShowFs = FS_VOL->ShowFs = true;
    FS_Main->Main = true;
    FS_Main->ShowTop = true;
    FS_Main->ShowBottom = false;
    FS_Main->ShowLeft = FS_Main->ShowRight = true;
    FS_VOL->ShowTop = false;
    FS_VOL->ShowBottom = FS_VOL->ShowLeft = FS_VOL->ShowRight = true;
    FS_Main->CurGS = true;
    LoadWfc(FS_Main, "Fs");
    LoadWfc(FS_VOL, "fsvol");

    auto kMain = MakeWindow(nullptr);
    K_Main = kMain.get();
    owned_.push_back(std::move(kMain));
    GS[0] = K_Main;
    for (int i = 1; i < kMaxWindows; ++i) {
        auto w = MakeWindow(K_Main->prog.get());
        GS[static_cast<size_t>(i)] = w.get();
        owned_.push_back(std::move(w));
    }
    for (int i = 0; i < kMaxWindows; ++i) {
        ChartWindow* w = GS[static_cast<size_t>(i)];
        w->ShowFs = false;
        w->ZhouQi = wsDay;
        // K_Main: title and right scale; the others: title and left scale.
        w->ShowTop = true;
        w->ShowBottom = false;
        w->ShowLeft = i != 0;
        w->ShowRight = i == 0;
        w->Prevclose = kInvalidValue;
    }
    FS_Main->Prevclose = FS_VOL->Prevclose = kInvalidValue;
    K_Main->Main = true;
    K_Main->KBar3d = true;
    K_Main->CurGS = true;
    CURGS = 0;
    LoadWfc(K_Main, "MA");
    LoadWfc(GS[1], "vol");
    for (int i = 2; i < kMaxWindows; ++i)
        if (static_cast<size_t>(i + 1) < FTabList.size())
            LoadWfc(GS[static_cast<size_t>(i)], FTabList[static_cast<size_t>(i + 1)]);
    GS[static_cast<size_t>(FTechWindows - 1)]->ShowBottom = true;
    FCurWindow = K_Main;
    for (auto& w : owned_) w->LineColor = FLineColor;
    // The command menu lists the indicators of the tab list as it stands now.
    items_ =
        BuildCommandMenu({FTabList.begin() + std::min<size_t>(3, FTabList.size()), FTabList.end()});
}

TGP::~TGP() = default;

void TGP::UseMainWindowSettings() {
    ++updateLock_; // one settling of the layout after all the settings
    SetScale(5);
    SetTechWindows(3);
    SetPrevClose(kInvalidValue);
    SetHigh(false);
    FMT = "%7.2f";
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
    FZiXuan = true;
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
    FTabList.clear();
    FGsList.GetList(FTabType == 1 ? -1 : FTabType == 2 ? 2 : 1, FTabList);
    FTabList.insert(FTabList.begin(), {"指标", "全部", "高级"});
}

void TGP::ForAll(const std::function<void(ChartWindow&)>& f) {
    for (auto& w : owned_) f(*w);
}

ChartWindow* TGP::WindowOf(int win) const {
    if (win >= 0 && win < kMaxWindows) return GS[static_cast<size_t>(win)];
    if (win == -1) return FS_Main;
    if (win == -2) return FS_VOL;
    return nullptr;
}

ChartWindow* TGP::CurrentWindow() const {
    if (FShowFs) return FS_Main->CurGS ? FS_Main : FS_VOL;
    return GS[static_cast<size_t>(std::clamp(CURGS, 0, FTechWindows - 1))];
}

int TGP::BarCount() const {
    return K_Main->prog->DataLen();
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
    return height_ - (FShowTab ? FTABH : 0);
}

void TGP::ApplyDefaultDivision() {
    DefaultDivision(GSH, FTechWindows, AvailHeight());
    OLDHD = std::max(AvailHeight(), 0);
}

void TGP::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    int avail = std::max(AvailHeight(), 0);
    if (FSH == 0) {
        ApplyDefaultDivision();
        FSH = FTechWindows < 2 ? height_ : height_ * 2 / 3;
        VOLH = height_ - FSH;
    } else {
        double f = OLDHD > 0 ? static_cast<double>(avail) / OLDHD : 1.0;
        ProportionalRedivision(GSH, FTechWindows, OLDHD, avail);
        FSH = std::clamp(static_cast<int>(FSH * f), 0, height_);
        VOLH = height_ - FSH;
    }
    ReDraw();
    OLDHD = avail;
}

void TGP::ClampCurrent() {
    CURGS = std::clamp(CURGS, 0, FTechWindows - 1);
    for (auto* w : GS) w->CurGS = false;
    GS[static_cast<size_t>(CURGS)]->CurGS = true;
}

void TGP::SetTechWindows(int value) {
    if (value < 1 || value > kMaxWindows || value == FTechWindows) return;
    GS[static_cast<size_t>(CURGS)]->CurGS = false;
    GS[static_cast<size_t>(FTechWindows - 1)]->ShowBottom = false;
    for (int i = FTechWindows; i < value; ++i) RunWindow(GS[static_cast<size_t>(i)]);
    FTechWindows = value;
    GS[static_cast<size_t>(value - 1)]->ShowBottom = FShowBottom;
    ClampCurrent();
    ApplyDefaultDivision();
    ReDraw();
}

bool TGP::SetCurWin(int win) {
    if (win < 1 || win > FTechWindows) return false;
    CURGS = win - 1;
    ClampCurrent();
    ReDraw();
    return true;
}

void TGP::DelCurWin() {
    if (FShowFs || FTechWindows < 2 || CURGS < 1 || CURGS >= FTechWindows) return;
    // The deleted window goes to the first hidden slot with its formula still loaded.
    std::rotate(GS.begin() + CURGS, GS.begin() + CURGS + 1, GS.begin() + FTechWindows);
    --FTechWindows;
    // The date axis belongs to the new bottom window; the current window stays a visible one.
    for (auto* w : GS) w->ShowBottom = false;
    GS[static_cast<size_t>(FTechWindows - 1)]->ShowBottom = FShowBottom;
    ClampCurrent();
    GSH[0] = 0;
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
    std::string text = FGsList.GetStr(UpperAscii(wfc));
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
    FS_Main->prog->ClearData();
    ReDraw();
}

void TGP::ReStoreWfc() {
    LoadWfc(FS_Main, "FS");
    LoadWfc(FS_VOL, "FSVOL");
    LoadWfc(K_Main, "MA");
    LoadWfc(GS[1], "VOL");
    // Windows 2..9 get the formulas they were created with: the indicator list's entries
    // after MA and VOL, whatever category the tab strip shows.
    std::vector<std::string> names;
    FGsList.GetList(1, names);
    for (int i = 2; i < kMaxWindows; ++i)
        if (static_cast<size_t>(i - 2) < names.size())
            LoadWfc(GS[static_cast<size_t>(i)], names[static_cast<size_t>(i - 2)]);
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
    int W = width_ - (FShowBoard ? FBoardWidth : 0);
    if (curx > W && cury != -2) curx = cury = -1;
    if (W < 10 || height_ < 10) return;
    if (GSH[0] == 0) ApplyDefaultDivision();
    if (FShowFs) {
        if (FSH == 0) {
            FSH = height_ * 2 / 3;
            VOLH = height_ - FSH;
        }
        int lm = ScaleWidth(FS_Main->ShowLeft), rm = ScaleWidth(FS_Main->ShowRight);
        if (cury != -2 && (curx < lm || curx > W - rm)) curx = cury = -1;
        OLDWD = range.oldWidth = W;
    } else {
        int lm = ScaleWidth(K_Main->ShowLeft), rm = ScaleWidth(K_Main->ShowRight);
        if (cury != -2 && (curx < lm || curx > W - rm)) curx = cury = -1;
        SettleVisibleRange(range, W, lm + rm + 2 * kBarInset, BarCount());
        range.oldLeftBar = range.leftBar;
    }
}

const QImage& TGP::Image() {
    Render();
    return FCache;
}

void TGP::Render() {
    if (updateLock_ > 0) return;
    if (!dirty_ && cursorDirty_ && RenderCursorLayer()) return;
    if (!dirty_ && !cursorDirty_) return;
    dirty_ = cursorDirty_ = false;
    int W = width_ - (FShowBoard ? FBoardWidth : 0);
    if (W < 10 || height_ < 10) return;
    const int dw = DevicePixels(width_, ratio_), dh = DevicePixels(height_, ratio_);
    if (FCache.width() != dw || FCache.height() != dh || FCache.devicePixelRatio() != ratio_) {
        FCache = MakeImage(dw, dh, FColor);
        FCache.setDevicePixelRatio(ratio_);
    } else {
        // The windows and the tab strip paint their own ground; only what lies outside
        // them is filled here.
        int covered = 0;
        if (FShowFs)
            covered = std::max(FSH, 0) + std::max(VOLH, 0);
        else
            for (int i = 0; i < FTechWindows; ++i)
                covered += std::max(GSH[static_cast<size_t>(i)], 0);
        if (!FShowFs && FShowTab && covered >= height_ - FTABH) covered = height_;
        Canvas c(FCache);
        c.FillRect(0, std::min(covered, height_), width_, height_, FColor);
        c.FillRect(W, 0, width_, height_, FColor);
    }
    K_Main->StkName = FSTKNAME;
    K_Main->StkLabel = FSTKLABEL;
    K_Main->Week = FWEEK;
    FS_Main->StkName = FSTKNAME;
    FS_Main->StkLabel = FSTKLABEL;
    if (FShowFs)
        PaintTickView(W);
    else
        PaintBarView(W);
    if (FShowBoard) PaintBoard(W);
    // The line preview is painted by its own painter once it exists.
    if (!FShowFs && CursorLayered()) KeepBaseAndDrawCursor(W);
    ++repaintCount_;
    if (FHint.BZ && OnHintText) OnHintText(FSTKNAME, CursorHintText());
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
    FillBackground(img, FFillStyle, FFillColor, FColor);
    PaintWindow(w, img, leftBar, scale, -1, -1, 0, 0, FColor);
}

int TGP::DevicePixelsOf(int v) const {
    return DevicePixels(v, ratio_);
}

void TGP::PaintBarView(int W) {
    K_Main->Focus = HasFocus && HasFocus();
    int y = 0;
    for (int i = 0; i < FTechWindows; ++i) {
        ChartWindow* w = GS[static_cast<size_t>(i)];
        int h = GSH[static_cast<size_t>(i)];
        PaintBand(FCache, y, W, h, [&](QImage& img) {
            FillBackground(img, FFillStyle, FFillColor, FColor);
            int cy = cury == -2 ? -2 : (cury > y ? cury - y : -1);
            PaintWindow(*w, img, range.leftBar, range.scale, curx, cy, 0, y, FColor,
                        !CursorLayered());
        });
        y += std::max(h, 0);
    }
    if (FShowTab) PaintTabStrip(W);
}

void TGP::PaintTickView(int W) {
    PaintBand(FCache, 0, W, FSH, [&](QImage& img) {
        FillBackground(img, FFillStyle, FFillColor, FColor);
        PaintWindow(*FS_Main, img, 0, range.scale, curx, cury, 0, 0, FColor);
    });
    PaintBand(FCache, FSH, W, VOLH, [&](QImage& img) {
        FillBackground(img, FFillStyle, FFillColor, FColor);
        int cy = cury == -2 ? -2 : (cury < FSH ? -1 : cury - FSH);
        PaintWindow(*FS_VOL, img, 0, range.scale, curx, cy, 0, FSH, FColor);
    });
}

void TGP::PaintTabStrip(int W) {
    int y0 = height_ - FTABH;
    if (y0 < 0) return;
    Canvas c(FCache);
    c.SetFont(FFont);
    TColor ground = RGBColor((RedOf(FColor) + 28) % 256, (GreenOf(FColor) + 28) % 256,
                             (BlueOf(FColor) + 28) % 256);
    c.FillRect(0, y0, W, height_, ground);
    std::vector<int> widths;
    widths.reserve(FTabList.size());
    for (const auto& t : FTabList) widths.push_back(c.TextWidth(t));
    tabs_ = LayoutTabs(widths, W);
    if (tabs_.fillFrom >= 0) c.FillRect(tabs_.fillFrom, y0, W, height_, RGBColor(0, 128, 0));
    std::string cur = UpperAscii(GS[static_cast<size_t>(CURGS)]->TechName());
    if (cur.empty()) {
        // A program without a formula name: the name it was loaded under.
        std::string f = GS[static_cast<size_t>(CURGS)]->FFileName;
        cur = UpperAscii(f.size() > 4 ? f.substr(0, f.size() - 4) : f);
    }
    int th = c.TextHeight("88");
    for (size_t i = 0; i < tabs_.x.size(); ++i) {
        int x = tabs_.x[i], tw = tabs_.width[i];
        if (static_cast<int>(i) == FTabType)
            c.FillRect(x, y0, x + tw + 1, height_, RGBColor(80, 80, 80));
        c.SetFontColor(FTabList[i] == cur ? RGBColor(0, 255, 255) : kWhite);
        c.TextOut(x + 4, y0 + (18 - th) / 2, FTabList[i]);
        c.SetPen(FLineColor);
        c.Line(x + tw, y0, x + tw, height_);
    }
}

// --- images ---

QImage TGP::CurrentWindowImage() {
    ChartWindow* w = CurrentWindow();
    int h = FShowFs ? (w == FS_Main ? FSH : VOLH)
                    : GSH[static_cast<size_t>(std::clamp(CURGS, 0, FTechWindows - 1))];
    QImage img = MakeImage(width_, h, FColor); // never a side below 1
    PaintWindow(*w, img, FShowFs ? 0 : range.leftBar, range.scale, -1, -1, 0, 0, FColor);
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
    bool tab = FShowTab;
    FShowTab = false;
    curx = cury = -1;
    ReDraw();
    Render();
    QImage img = MakeImage(width_, height_, FColor);
    CopyInto(img, FCache, 0);
    FShowTab = tab;
    dirty_ = true; // the control shows its tab strip again
    return SaveWhole(img, name, "JPG", 100);
}

bool TGP::BmpSaveToclipboard() {
    if (!QGuiApplication::instance() || !QGuiApplication::clipboard()) return false;
    QGuiApplication::clipboard()->setImage(FCache.convertToFormat(QImage::Format_RGB888));
    return true;
}

bool TGP::BmpSaveToFile(const std::string& name) {
    return FCache.convertToFormat(QImage::Format_RGB888).save(QString::fromStdString(name), "BMP");
}

// --- queries ---

double TGP::GetLast(const std::string& name) const {
    return K_Main->prog->GetLast(name);
}
double TGP::FS_GetLast(const std::string& name) const {
    return FS_Main->prog->GetLast(name);
}
std::string TGP::GetLastDate() const {
    return K_Main->prog->LastDate();
}

// --- regions and mouse ---

HitResult TGP::HitTest(int x, int y) {
    HitLayout lay;
    lay.width = width_;
    lay.height = height_;
    lay.showBoard = FShowBoard;
    lay.boardWidth = FBoardWidth;
    lay.jHeight = FJHeight;
    lay.tickView = FShowFs;
    lay.fsh = FSH;
    lay.fsRightScale = FS_Main->ShowRight;
    lay.windows = FTechWindows;
    lay.gsh = GSH;
    for (int i = 0; i < kMaxWindows; ++i)
        lay.rightScale[static_cast<size_t>(i)] = GS[static_cast<size_t>(i)]->ShowRight;
    HitResult r = vantor::HitTest(lay, x, y);
    FWeiStyle = r.region;
    FCurWindow = nullptr;
    if (r.clearCursor) curx = cury = -1;
    if (r.region == TWeiStyle::wsFS) FCurWindow = FS_Main;
    if (r.region == TWeiStyle::wsVol) FCurWindow = FS_VOL;
    if (r.window >= 0) FCurWindow = GS[static_cast<size_t>(r.window)];
    bool board = r.region == TWeiStyle::wsInfo || r.region == TWeiStyle::wsFenJia ||
                 r.region == TWeiStyle::wsBTab || r.region == TWeiStyle::wsBSize;
    if (!FShowFs && FTechWindows <= 1 && !board) FCurWindow = K_Main;
    return r;
}

void TGP::MouseDown(int x, int y, bool right) {
    if (!right) MPress = {x, y};
    HitResult r = HitTest(x, y);
    FlastWindow = FCurWindow;
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
        if (FS_Main->CurGS == fs && FS_VOL->CurGS == !fs) return;
        FS_Main->CurGS = fs;
        FS_VOL->CurGS = !fs;
        ReDraw();
    } else if (r.window >= 0) {
        if (CURGS == r.window && GS[static_cast<size_t>(CURGS)]->CurGS) return;
        CURGS = r.window;
        ClampCurrent();
        ReDraw();
    }
}

void TGP::MouseMove(int x, int y, bool buttonDown) {
    if (ToolMove(x, y, buttonDown)) return;
    // Moves while another window has the focus are ignored (headless: no focus test).
    if (HasFocus && !HasFocus() && !(HintIsForeground && HintIsForeground())) return;
    const bool moved = curx != x || cury != y;
    curx = x;
    cury = y; // the mouse takes the cursor over
    if (!buttonDown || (MPress.x() == -1 && MPress.y() == -1)) {
        HitTest(x, y);
        if (ShowCursor() && moved) CursorMoved();
        return;
    }
    switch (FWeiStyle) {
    case TWeiStyle::wsBSize: {
        int d = width_ - x;
        if (!(d > 150 && d < width_ * 4 / 5) || d == FBoardWidth) return;
        FBoardWidth = d;
        break;
    }
    case TWeiStyle::wsFSize: {
        int h = y + FSH - MPress.y();
        if (!(h > 100 && h < height_ * 4 / 5)) return;
        FSH = h;
        VOLH = height_ - h;
        MPress.setY(y);
        break;
    }
    case TWeiStyle::wsKSize: {
        if (FTechWindows < 2) return;
        HitLayout lay;
        lay.width = width_ - (FShowBoard ? FBoardWidth + 2 : 0);
        lay.height = height_;
        lay.windows = FTechWindows;
        lay.gsh = GSH;
        for (int i = 0; i < kMaxWindows; ++i)
            lay.rightScale[static_cast<size_t>(i)] = GS[static_cast<size_t>(i)]->ShowRight;
        HitResult b = vantor::HitTest(lay, MPress.x(), MPress.y());
        if (b.region != TWeiStyle::wsKSize) return;
        int k = b.boundary, dy = y - MPress.y();
        auto& a = GSH[static_cast<size_t>(k)];
        auto& n = GSH[static_cast<size_t>(k + 1)];
        if (a + dy <= 20 || n - dy <= 20) return;
        a += dy;
        n -= dy;
        MPress.setY(y);
        break;
    }
    default: {
        int left = PannedLeftBar(range.leftBar, MPress.x(), x);
        MPress.setX(x);
        if (left == range.leftBar) return;
        range.leftBar = left;
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
    if (i < 0 || static_cast<size_t>(i) >= FTabList.size()) return;
    if (i <= 2) {
        if (i == FTabType) return;
        FTabType = i;
        RebuildTabList();
        ReDraw();
        return;
    }
    if (LoadWfc(GS[static_cast<size_t>(CURGS)], FTabList[static_cast<size_t>(i)])) ReDraw();
}

// --- properties ---

void TGP::SetQuanStyle(TQuanStyle v) {
    quanStyle_ = v;
    ForAll([v](ChartWindow& w) { w.QuanStyle = v; });
    if (!K_Main->prog->SetQuanStyle(v)) Error(K_Main);
    for (auto* w : GS) RunWindow(w);
    if (FShowFs) FShowFs = false;
    ReDraw();
}

void TGP::SetLeftBar(int v) {
    if (v > 0 && v < BarCount()) {
        range.leftBar = v;
        ReDraw();
    }
}

void TGP::SetScale(int v) {
    if (v > 1) {
        range.scale = v;
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
    FShowFs = v;
    ReDraw();
}

void TGP::SetShowTab(bool v) {
    FShowTab = v;
    int avail = height_ - (v ? FTABH : 0);
    if (OLDHD == 0) OLDHD = height_;
    ProportionalRedivision(GSH, FTechWindows, OLDHD, avail);
    OLDHD = std::max(avail, 0);
    ReDraw();
}

void TGP::SetShowBottom(bool v) {
    FShowBottom = v;
    GS[static_cast<size_t>(FTechWindows - 1)]->ShowBottom = v;
    FS_VOL->ShowBottom = v;
    ReDraw();
}

void TGP::SetShowTop(bool v) {
    FShowTop = v;
    K_Main->ShowTop = FS_Main->ShowTop = v;
    ReDraw();
}

void TGP::SetShowLeft(bool v) {
    FShowLeft = v;
    for (int i = 0; i < FTechWindows; ++i) GS[static_cast<size_t>(i)]->ShowLeft = v;
    ReDraw();
}

void TGP::SetShowRight(bool v) {
    FShowRight = v;
    for (int i = 0; i < FTechWindows; ++i) GS[static_cast<size_t>(i)]->ShowRight = v;
    ReDraw();
}

void TGP::SetShowBoard(bool v) {
    FShowBoard = v;
    ReDraw();
}

void TGP::SetShowHighLow(bool v) {
    FShowHighLow = v;
    ForAll([v](ChartWindow& w) { w.FHighLow = v; });
    ReDraw();
}

void TGP::SetShowBar3d(bool v) {
    FShowBar3d = v;
    ForAll([v](ChartWindow& w) { w.KBar3d = v; });
    ReDraw();
}

void TGP::SetShowCurWindow(bool v) {
    FShowCurWindow = v;
    ForAll([v](ChartWindow& w) { w.ShowCurWindow = v; });
    ReDraw();
}

void TGP::SetLineColor(TColor v) {
    FLineColor = v;
    ForAll([v](ChartWindow& w) { w.LineColor = v; });
    ReDraw();
}

void TGP::SetFillColor(TColor v) {
    FFillColor = v;
    ReDraw();
}

void TGP::SetFillStyle(BackStyle v) {
    FFillStyle = v;
    ReDraw();
}

void TGP::SetKStyle(TKStyple v) {
    FKstyle = v;
    ForAll([v](ChartWindow& w) { w.KStype = v; });
    ReDraw();
}

void TGP::SetBoardWidth(int v) {
    FBoardWidth = v;
    ReDraw();
}

void TGP::SetFsAll(bool v) {
    FS_Main->FsAll = v;
    ReDraw();
}

void TGP::SetPR10(bool v) {
    FS_Main->FPercent10 = v;
    ReDraw();
}

void TGP::SetFsRow(int v) {
    FS_Main->FsRow = FS_VOL->FsRow = v;
    ReDraw();
}

void TGP::SetFsCol(int v) {
    FS_Main->FsCol = FS_VOL->FsCol = v;
    ReDraw();
}

void TGP::SetColor(TColor v) {
    FColor = v;
    ReDraw();
}

void TGP::SetFont(const FontSpec& f) {
    FFont = f;
    ForAll([&f](ChartWindow& w) { w.font = f; });
    ReDraw();
}

} // namespace vantor
