#include "chart/tgs_program.h"

#include <algorithm>

#include "formula/front_end.h"

namespace vantor {

namespace {
const char kNoData[] = "公式长度为零或原始数据为零!";
} // namespace

TgsProgram::TgsProgram(TgsProgram* parent)
    : gs_(std::make_unique<TGS>(parent ? parent->gs_.get() : nullptr)) {}

void TgsProgram::AddAll(const std::string& name, const double* values, int len) {
    gs_->AddAll(name, values, len);
}

void TgsProgram::ReplaceFrom(const std::string& name, int from, const double* values, int len) {
    BianList& raw = *gs_->mainbian;
    const std::string lower = LowerAscii(name);
    Tbian* b = raw.find(lower);
    if (!b && from == 0) b = raw.add(lower, 0);
    if (!b || from < 0 || from > b->len || len < from || len >= kMaxBars) return;
    const int old = b->len;
    b->Reserve(len);
    std::copy(values, values + (len - from), b->value.begin() + from);
    // Positions past the new end read 0 again, as in a series that never held them.
    if (old > len) std::fill(b->value.begin() + len, b->value.begin() + old, 0.0);
    b->len = len;
    raw.Changed(from, lower);
}

void TgsProgram::AddOne(const std::string& name, double value, bool append) {
    gs_->AddOne(name, value, append);
}

bool TgsProgram::Series(const std::string& name, SeriesView& out) {
    if (name.empty()) return false;
    Tbian* b = gs_->check(name);
    if (!b) return false;
    out.data = b->value.data();
    out.len = std::min(b->len, static_cast<int>(b->value.size()));
    return true;
}

bool TgsProgram::Constant(const std::string& text, double& value) {
    return gs_->teststr(text, value);
}

std::string TgsProgram::ConstText(const std::string& name) {
    const auto* e = gs_->ls.find(name);
    return e ? e->text : std::string();
}

bool TgsProgram::Installed(bool ok) {
    return ok || (gs_->getdatalen() == 0 && !gs_->Program().empty() &&
                  gs_->FErrorString.find(kNoData) != std::string::npos);
}

bool TgsProgram::SetProgText(const std::string& text) {
    return Installed(gs_->SetProgText(text, ""));
}

bool TgsProgram::LoadProgram(const std::string& fileName) {
    return Installed(gs_->loadprogram(fileName, ""));
}

std::vector<int> TgsProgram::ParamValues() {
    std::vector<int> v;
    for (const auto& p : gs_->ParamStr) {
        if (p.Name.empty()) break;
        v.push_back(p.val1);
    }
    return v;
}

std::vector<Param> TgsProgram::Params() {
    std::vector<Param> v;
    for (const auto& p : gs_->ParamStr) {
        if (p.Name.empty()) break;
        v.push_back(p);
    }
    return v;
}

void TgsProgram::SetContext(const ProgramContext& ctx) {
    gs_->ZhouQi = ctx.period;
    gs_->FfsCount = ctx.fsCount;
    gs_->StkName = ctx.stkName;
    gs_->StkLabel = ctx.stkLabel;
    gs_->Week = ctx.week;
    gs_->FQuan = ctx.quan;
    gs_->ShowFs = ctx.tickView;
    gs_->SetProgramDir(ctx.programDir);
}

} // namespace vantor
