#pragma once
// TgsProgram: a chart window's program backed by the formula engine (TGS). The chart's
// windows use it unless a host hands the chart another program factory.

#include <memory>

#include "chart/window_program.h"
#include "formula/gs.h"

namespace vantor {

class TgsProgram : public WindowProgram {
public:
    // A program of its own, or one that borrows the raw series of `parent`.
    explicit TgsProgram(TgsProgram* parent = nullptr);

    TGS& gs() { return *gs_; }

    void AddAll(const std::string& name, const double* values, int len) override;
    void AddOne(const std::string& name, double value, bool append) override;
    void ReplaceFrom(const std::string& name, int from, const double* values, int len) override;
    void ClearData() override { gs_->ClearData(); }
    int DataLen() override { return gs_->getdatalen(); }
    double GetLast(const std::string& name) override { return gs_->GetLast(name); }
    std::string LastDate() override { return gs_->getlastdate(); }
    bool Series(const std::string& name, SeriesView& out) override;
    bool Constant(const std::string& text, double& value) override;
    std::string ConstText(const std::string& name) override;
    std::vector<std::string>& Records() override { return gs_->LineName; }
    bool SetProgText(const std::string& text) override;
    bool LoadProgram(const std::string& fileName) override;
    std::string ProgText() override { return gs_->GetProgText(); }
    bool Run() override { return gs_->Run(""); }
    std::string& ErrorString() override { return gs_->FErrorString; }
    std::string TechName() override { return gs_->Ftechname; }
    std::vector<int> ParamValues() override;
    int ShowK() override { return gs_->showk; }
    void SetFileName(const std::string& name) override { gs_->FFileName = name; }
    void SetContext(const ProgramContext& ctx) override;
    bool SetQuanStyle(TQuanStyle style) override { return gs_->SetQuanStyle(style); }
    void SetHost(const Host* host) override { gs_->SetHost(host); }
    std::vector<Param> Params() override;
    bool SaveToFile(const std::string& name) override { return gs_->SaveToFile(name); }
    bool SaveToExcel(const std::string& name, bool all) override {
        return gs_->SaveToExcel(name, all);
    }
    bool DataToFile(const std::string& name) override { return gs_->DataToFile(name); }
    bool DataFromFile(const std::string& name) override { return gs_->DataFromFile(name); }

private:
    // A program text is installed when it compiled, even if there were no bars to run it on.
    bool Installed(bool ok);
    std::unique_ptr<TGS> gs_;
};

} // namespace vantor
