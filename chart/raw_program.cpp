#include "chart/raw_program.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace vantor {

namespace {
constexpr int kSeriesCapacity = 50000;
}

RawProgram::RawProgram(RawProgram* parent)
    : raw_(parent ? parent->raw_ : std::make_shared<SeriesMap>()) {}

std::string RawProgram::Lower(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

void RawProgram::AddAll(const std::string& name, const double* values, int len) {
    auto& s = (*raw_)[Lower(name)];
    if (len < 0 || static_cast<int>(s.size()) + len >= kSeriesCapacity) {
        error_ = "数据长度大于50000溢出!";
        return;
    }
    s.insert(s.end(), values, values + len);
}

void RawProgram::ReplaceFrom(const std::string& name, int from, const double* values, int len) {
    auto& s = (*raw_)[Lower(name)];
    if (from < 0 || from > static_cast<int>(s.size()) || len < from || len >= kSeriesCapacity)
        return;
    s.resize(static_cast<size_t>(from));
    s.insert(s.end(), values, values + (len - from));
}

void RawProgram::AddOne(const std::string& name, double value, bool append) {
    auto& s = (*raw_)[Lower(name)];
    if (static_cast<int>(s.size()) >= kSeriesCapacity - 1) {
        error_ = "数据长度大于50000溢出!";
        return;
    }
    if (append || s.empty())
        s.push_back(value);
    else
        s.back() = value;
}

void RawProgram::ClearData() {
    raw_->clear();
    computed_.clear();
    records_.clear();
    showk_ = -1;
}

int RawProgram::DataLen() {
    auto it = raw_->find("close");
    return it == raw_->end() ? 0 : static_cast<int>(it->second.size());
}

double RawProgram::GetLast(const std::string& name) {
    SeriesView v;
    return Series(name, v) ? v.last() : kInvalidValue;
}

std::string RawProgram::LastDate() {
    SeriesView v;
    if (!Series("date", v) && !Series("time", v)) return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", v.last());
    return buf;
}

bool RawProgram::Series(const std::string& name, SeriesView& out) {
    std::string n = Lower(name);
    if (n == "h") n = "high";
    if (n == "l") n = "low";
    if (n == "o") n = "open";
    if (n == "c") n = "close";
    if (n == "v") n = "vol";
    const std::vector<double>* s = nullptr;
    if (auto it = raw_->find(n); it != raw_->end()) s = &it->second;
    if (!s)
        if (auto it = computed_.find(n); it != computed_.end()) s = &it->second;
    if (!s) return false;
    out.data = s->data();
    out.len = static_cast<int>(s->size());
    return true;
}

bool RawProgram::Constant(const std::string& text, double& value) {
    if (text.empty()) return false;
    std::string t = Lower(text);
    if (auto it = consts_.find(t); it != consts_.end()) t = it->second;
    const char* b = t.data();
    const char* e = b + t.size();
    auto [p, ec] = std::from_chars(b, e, value);
    return ec == std::errc() && p == e;
}

std::string RawProgram::ConstText(const std::string& name) {
    auto it = consts_.find(Lower(name));
    return it == consts_.end() ? std::string() : it->second;
}

bool RawProgram::SetProgText(const std::string& text) {
    text_ = text;
    return true;
}

bool RawProgram::LoadProgram(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        error_ = "文件不存在:" + fileName;
        return false;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    return SetProgText(ss.str());
}

bool RawProgram::Run() {
    ++runs;
    if (DataLen() == 0) {
        error_ = "公式长度为零或原始数据为零!";
        return false;
    }
    error_.clear();
    return true;
}

} // namespace vantor
