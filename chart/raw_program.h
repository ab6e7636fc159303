#pragma once
// RawProgram: a window program that holds raw series and output records but computes
// nothing of its own. It stands behind the chart windows where no formula engine is
// linked, and lets tests hand a window exactly the records they want drawn.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "chart/window_program.h"

namespace vantor {

class RawProgram : public WindowProgram {
public:
    using SeriesMap = std::map<std::string, std::vector<double>>;

    // A program with its own series, or one that reads the series of `parent`.
    explicit RawProgram(RawProgram* parent = nullptr);

    void AddAll(const std::string& name, const double* values, int len) override;
    void AddOne(const std::string& name, double value, bool append) override;
    void ReplaceFrom(const std::string& name, int from, const double* values, int len) override;
    void ClearData() override;
    int DataLen() override;
    double GetLast(const std::string& name) override;
    std::string LastDate() override;
    bool Series(const std::string& name, SeriesView& out) override;
    bool Constant(const std::string& text, double& value) override;
    std::string ConstText(const std::string& name) override;
    std::vector<std::string>& Records() override { return records_; }
    bool SetProgText(const std::string& text) override;
    bool LoadProgram(const std::string& fileName) override;
    std::string ProgText() override { return text_; }
    bool Run() override;
    std::string& ErrorString() override { return error_; }
    std::string TechName() override { return techName_; }
    std::vector<int> ParamValues() override { return params_; }
    int ShowK() override { return showk_; }
    void SetFileName(const std::string& name) override { fileName_ = name; }
    void SetContext(const ProgramContext&) override {}
    bool SetQuanStyle(TQuanStyle) override { return true; }

    // --- for hosts and tests: computed series, constants and records set directly ---
    void SetComputed(const std::string& name, std::vector<double> values) {
        computed_[Lower(name)] = std::move(values);
    }
    void SetConst(const std::string& name, const std::string& text) { consts_[Lower(name)] = text; }
    void SetTechName(const std::string& n) { techName_ = n; }
    void SetParams(std::vector<int> p) { params_ = std::move(p); }
    void SetShowK(int k) { showk_ = k; }
    int runs = 0; // number of runs, for checking which windows a feed reran

private:
    static std::string Lower(std::string s);
    std::shared_ptr<SeriesMap> raw_;
    SeriesMap computed_;
    std::map<std::string, std::string> consts_;
    std::vector<std::string> records_;
    std::string text_, error_, techName_, fileName_;
    std::vector<int> params_;
    int showk_ = -1;
};

} // namespace vantor
