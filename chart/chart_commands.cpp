// The chart's command menu: check marks, running a command by caption, the formula dialogs
// on the current window and the file and image exports.

#include <algorithm>
#include <filesystem>

#include "chart/tgp.h"
#include "market/data_files.h"

namespace vantor {

namespace {
std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string InFolder(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

// The formula name of a window as its title shows it: its own name, else the name it was
// loaded under.
std::string FormulaName(const ChartWindow& w) {
    std::string n = w.TechName();
    if (n.empty()) n = std::filesystem::path(w.FFileName).stem().string();
    return UpperAscii(n);
}
} // namespace

const std::vector<MenuItem>& TGP::FITEM() {
    ChartWindow* cur = CurrentWindow();
    for (MenuItem& m : items_) {
        switch (m.command) {
        case ChartCommand::HighQuality:
            m.checked = cur && cur->HighQuality;
            break;
        case ChartCommand::ToggleBar3d:
            m.checked = FShowBar3d_;
            break;
        case ChartCommand::KLineBar:
            m.checked = K_Main_->KStype == ksBar;
            break;
        case ChartCommand::KLineAmerican:
            m.checked = K_Main_->KStype == ksAmericia;
            break;
        default:
            break;
        }
    }
    return items_;
}

bool TGP::CallMenu(const std::string& Str) {
    int i = FindMenuItem(items_, Trim(Str));
    if (i >= 0) RunMenuItem(i);
    return true;
}

void TGP::RunMenuItem(int index) {
    if (index < 0 || static_cast<size_t>(index) >= items_.size()) return;
    const MenuItem m = items_[static_cast<size_t>(index)];
    if (m.needsWindow && !FCurWindow_) return;
    using C = ChartCommand;
    switch (m.command) {
    case C::None:
        return;
    case C::FillStyle:
        SetFillStyle(static_cast<BackStyle>(m.arg));
        return;
    case C::WindowCount:
        if (!FShowFs_) SetTechWindows(m.arg);
        return;
    case C::ToggleCursor:
        SetShowCursor(!ShowCursor());
        return;
    case C::ToggleTab:
        SetShowTab(!FShowTab_);
        return;
    case C::ToggleBoard:
        SetShowBoard(!FShowBoard_);
        return;
    case C::ToggleTickView:
        SetShowFs(!FShowFs_);
        return;
    case C::ToggleFsAll:
        SetFsAll(!FS_Main_->FsAll);
        return;
    case C::ToggleFsFull:
        FS_Main_->FsFull = !FS_Main_->FsFull;
        ReDraw();
        return;
    case C::ToggleTop:
        SetShowTop(!FShowTop_);
        return;
    case C::ToggleBottom:
        SetShowBottom(!FShowBottom_);
        return;
    case C::ToggleLeft:
        SetShowLeft(!FShowLeft_);
        return;
    case C::ToggleRight:
        SetShowRight(!FShowRight_);
        return;
    case C::ToggleBar3d:
        SetShowBar3d(!FShowBar3d_);
        return;
    case C::KLineBar:
    case C::KLineAmerican:
        K_Main_->KStype = m.command == C::KLineBar ? ksBar : ksAmericia;
        ReDraw();
        return;
    case C::ClearFill:
        SetFillStyle(wNone);
        return;
    case C::ChartColor:
    case C::FillColor: {
        if (!commandHost_) return;
        bool chart = m.command == C::ChartColor;
        TColor c = chart ? FColor_ : FFillColor_;
        if (!commandHost_->ChooseColor(c, c)) return;
        if (chart)
            SetColor(c);
        else
            SetFillColor(c);
        return;
    }
    case C::LoadIndicator:
        if (LoadWfc(FCurWindow_, m.caption)) ReDraw();
        return;
    case C::RestoreDefault:
        RestoreDefault();
        return;
    case C::AdjustParams:
        Tiao();
        return;
    case C::UsageNotes:
        ShowNote();
        return;
    case C::EditFormula:
        EditFunc();
        return;
    case C::HighQuality:
        FCurWindow_->HighQuality = !FCurWindow_->HighQuality;
        ReDraw();
        return;
    case C::SaveResults:
    case C::SaveExcel:
    case C::SaveExcelAll:
    case C::SaveRawData:
        ExportResults(m.command);
        return;
    case C::LoadRawData:
        LoadRawData();
        return;
    case C::LoadFormula:
        LoadFormulaFile();
        return;
    case C::ToClipboard:
        if (commandHost_) commandHost_->PutImageOnClipboard(Image());
        return;
    case C::SaveWindowImage:
        SaveImage(false);
        return;
    case C::SaveWholeImage:
        SaveImage(true);
        return;
    case C::DeleteWindow:
        DelCurWin();
        return;
    case C::Contact:
        if (commandHost_) commandHost_->Message(kContactText);
        return;
    }
}

void TGP::RestoreDefault() {
    const char* name = nullptr;
    switch (FWeiStyle_) {
    case TWeiStyle::wsFS:
        name = "FS";
        break;
    case TWeiStyle::wsVol:
        name = "FSVOL";
        break;
    case TWeiStyle::wsGS1:
        name = "MA";
        break;
    case TWeiStyle::wsGS2:
        name = "VOL";
        break;
    default:
        break;
    }
    bool ok = false;
    if (name) {
        ok = LoadWfc(FCurWindow_, name);
    } else {
        int k = static_cast<int>(FWeiStyle_) - static_cast<int>(TWeiStyle::wsGS1);
        if (k >= 2 && k < kMaxWindows) {
            // The formula the window was created with (as ReStoreWfc restores it).
            std::vector<std::string> names;
            FGsList_.GetList(1, names);
            if (static_cast<size_t>(k - 2) < names.size())
                ok = LoadWfc(FCurWindow_, names[static_cast<size_t>(k - 2)]);
        }
    }
    if (ok) ReDraw();
}

std::string TGP::ExportFile(const ChartWindow& w, bool formula, const std::string& ext) const {
    std::string name = FSTKLABEL_ + "_" + FWEEK_;
    if (formula) name += "_" + FormulaName(w);
    return InFolder(programDir_, SafeFileName(name) + ext);
}

void TGP::ExportResults(ChartCommand kind) {
    ChartWindow* w = FCurWindow_;
    using C = ChartCommand;
    if (kind == C::SaveRawData) {
        std::string file = ExportFile(*w, false, ".bin");
        if (w->prog->DataToFile(file) && commandHost_) commandHost_->Message(file + " 保存完成!");
        return;
    }
    std::string file = ExportFile(*w, true, kind == C::SaveResults ? ".txt" : ".csv");
    bool ok = kind == C::SaveResults ? w->prog->SaveToFile(file)
                                     : w->prog->SaveToExcel(file, kind == C::SaveExcelAll);
    // Only a file that was written is offered for opening.
    if (!ok || !commandHost_) return;
    if (commandHost_->Confirm("导出成功,是否打开此文件?", "提示")) commandHost_->OpenPath(file);
}

void TGP::LoadRawData() {
    if (!commandHost_) return;
    ChartWindow* w = FCurWindow_;
    std::string file;
    if (!commandHost_->OpenFileName({"加载原始数据", "Data File", "*.BIN", "bin", programDir_},
                                    file))
        return;
    // The loader checks the whole file first: a file it refuses leaves the window as it was.
    if (!w->prog->DataFromFile(file)) commandHost_->Message("加载:" + file + " 失败!");
    if (FShowFs_) {
        if (w != FS_Main_) RunWindow(FS_Main_);
    } else {
        for (int i = 0; i < FTechWindows_; ++i) RunWindow(GS_[static_cast<size_t>(i)]);
    }
    ReDraw();
}

void TGP::LoadFormulaFile() {
    if (!commandHost_) return;
    std::string file;
    if (!commandHost_->OpenFileName({"加载指标公式", "WFC File", "*.WFC", "wfc", programDir_},
                                    file))
        return;
    PushContext(*FCurWindow_);
    if (FCurWindow_->prog->LoadProgram(file)) ReDraw();
}

void TGP::SaveImage(bool whole) {
    std::string file = InFolder(programDir_, SafeFileName(FSTKNAME_ + "_" + FSTKLABEL_) +
                                                 (whole ? "_ALL.BMP" : ".BMP"));
    bool ok = whole ? SaveToBmpAll(file) : SaveToBmp(file);
    if (ok && commandHost_) commandHost_->Message("保存到:" + file);
}

// --- formula dialogs ---

bool TGP::EditFunc() {
    if (!FCurWindow_ || !commandHost_) return false;
    commandHost_->EditFormula(*this);
    ReDraw();
    return true;
}

bool TGP::ShowNote() {
    ChartWindow* w = CurrentWindow();
    if (!w || !commandHost_) return false;
    std::string text = w->prog->ProgText();
    std::string notes = NoteLines(text);
    if (!commandHost_->EditNotes(w->FFileName + "指标用法", notes)) return true;
    std::string name = std::filesystem::path(w->FFileName).filename().string();
    if (name.empty()) name = "temp.zb";
    std::string file = InFolder(programDir_, name);
    std::string error;
    if (!WriteFileReplacing(file, WithNotes(text, notes), error)) {
        commandHost_->Message(error);
        return true;
    }
    PushContext(*w);
    if (!w->prog->LoadProgram(file)) Error(w);
    w->FFileName = name;
    w->prog->SetFileName(name);
    ReDraw();
    return true;
}

bool TGP::Tiao() {
    if (!FCurWindow_ || !commandHost_) return false;
    commandHost_->AdjustParams(*this, *FCurWindow_);
    ReDraw();
    return true;
}

bool TGP::SetWindowProgram(ChartWindow* w, const std::string& text) {
    if (!w) return false;
    PushContext(*w);
    bool ok = w->prog->SetProgText(text);
    ReDraw();
    return ok;
}

// --- exports ---

bool TGP::SaveToFile(const std::string& name) {
    ChartWindow* w = CurrentWindow();
    return w && w->prog->SaveToFile(name);
}

bool TGP::SaveToExcel(const std::string& name) {
    if (!FCurWindow_) return false;
    bool ok = FCurWindow_->prog->SaveToExcel(name, false);
    if (ok && commandHost_) commandHost_->Message(name + " 保存完成!");
    return ok;
}

bool TGP::DataToFile(const std::string& name) {
    return K_Main_->prog->DataToFile(name);
}

bool TGP::DataFromFile(const std::string& name) {
    bool ok = K_Main_->prog->DataFromFile(name);
    RerunBarView(false);
    return ok;
}

} // namespace vantor
