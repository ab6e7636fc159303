// Variables of a formula program: the raw series handed in by the chart, the computed
// series and constants, and the resolution of a name to one of them.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "formula/front_end.h"
#include "formula/function_args.h"
#include "formula/gs.h"
#include "market/data_files.h"

namespace vantor {

namespace {

const char* const kOverflow = "数据长度大于50000溢出!";

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool IsDerivedWord(const std::string& w) {
    return w == "datetoday" || w == "year" || w == "month" || w == "day" || w == "week" ||
           w == "hour" || w == "minute" || w == "fromopen";
}

std::string FormatPlain(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

} // namespace

Tbian* TGS::AddAll(const std::string& Name, const double* f1, int len) {
    const std::string name = LowerAscii(Name);
    Tbian* b = mainbian->find(name);
    if (len >= 0) {
        if (!b && len < kMaxBars) {
            b = mainbian->add(name, len, false); // every bar is set at once
            if (len > 0) std::memcpy(b->value.data(), f1, sizeof(double) * len);
            mainbian->Changed(0, name);
            return b;
        }
        // The whole series stays below the capacity, whatever was held before.
        if (b && b->len + len < kMaxBars) {
            const int old = b->len;
            b->Reserve(old + len);
            if (len > 0) std::memcpy(b->value.data() + old, f1, sizeof(double) * len);
            b->len = old + len;
            mainbian->Changed(old, name);
            return b;
        }
    }
    FErrorString = kOverflow;
    return b;
}

Tbian* TGS::AddOne(const std::string& Name, double f1, bool append) {
    const std::string name = LowerAscii(Name);
    Tbian* b = mainbian->find(name);
    if (!b) b = mainbian->add(name, 0);
    if (b->len >= kMaxBars - 1) {
        FErrorString = kOverflow;
        return b;
    }
    if (append || b->len == 0) {
        b->Reserve(b->len + 1);
        b->value[static_cast<size_t>(b->len)] = f1;
        ++b->len;
    } else {
        b->value[static_cast<size_t>(b->len - 1)] = f1;
    }
    mainbian->Changed(b->len - 1, name);
    return b;
}

void TGS::ClearData() {
    if (!FComm) {
        mainbian->clear();
        mainbian->Changed(0);
    }
    quanCopies_.clear();
    ForgetResults();
    FStockInfo.reset();
    FDYNAINFO.reset();
    FFINANCE.reset();
    FIndex.reset();
}

void TGS::Clear() {
    ForgetResults();
    subPrograms_.clear();
    ls.clear();
    FFileName.clear();
    pg.clear();
    pg1.clear();
    prog_.clear();
}

// What both ClearData and Clear forget: computed series, records and captions.
void TGS::ForgetResults() {
    lastRun_ = {};
    ownRaw_.clear();
    LineName.clear();
    namebian.clear();
    refResults_.clear();
    derivedVersion_.clear();
    indexStamp_ = {};
    showk = -1;
    Ftechname.clear();
    Ftechtitle.clear();
    StkName.clear();
    StkLabel.clear();
    Week.clear();
}

int TGS::getdatalen() const {
    const Tbian* c = mainbian->find("close");
    return c ? c->len : 0;
}

Tbian* TGS::AddBian(const std::string& Name, int len1, bool zero) {
    const std::string name = LowerAscii(Name);
    // A result named like a raw series becomes the window's own series of that name: the
    // bars the windows share are never written.
    if (mainbian->find(name)) ownRaw_.insert(name);
    len1 = std::clamp(len1, 0, kMaxBars - 1);
    Tbian* b = namebian.find(name);
    if (!b) b = namebian.add(name, len1, zero);
    b->Reserve(len1);
    b->len = len1;
    b->writes = ++writeCounter_;
    derivedVersion_.erase(name);
    return b;
}

Tbian* TGS::GetBian(const std::string& Name) {
    const std::string name = LowerAscii(Name);
    if (Tbian* b = mainbian->find(name)) {
        if (ownRaw_.count(name))
            if (Tbian* own = namebian.find(name)) return own;
        return b;
    }
    const int n = fn::DataLen(*this);
    if (Tbian* b = namebian.find(name); b && !LeftByAnEarlierRun(*b)) {
        if (name == "drawnull" && b->len != n) b->SetValue(kInvalidValue, n);
        return b;
    }
    if (Tbian* b = quanCopies_.find(name)) return b;
    if (name == "drawnull") {
        Tbian* b = namebian.add(name, n);
        b->SetValue(kInvalidValue, n);
        return b;
    }
    return TurningPointWord(name);
}

// dopen, dhigh, dlow, dclose, dvol: the named series joined through its turning points,
// which is ZIG of that source with a threshold of 0.001 percent.
Tbian* TGS::TurningPointWord(const std::string& name) {
    static const char* const kSources[] = {"open", "high", "low", "close", "vol"};
    for (int k = 0; k < 5; ++k) {
        if (name.size() < 2 || name[0] != 'd' || name.compare(1, std::string::npos, kSources[k]))
            continue;
        SubFunc zig = FUNC.getfunc("zig");
        if (!zig || !check(kSources[k])) return nullptr;
        auto built = derivedVersion_.find(name);
        Tbian* existing = namebian.find(name);
        if (existing && built != derivedVersion_.end() && built->second == mainbian->version)
            return existing;
        TXX xx;
        xx.count = 2;
        xx.item[0] = std::to_string(k);
        xx.item[1] = "0.001";
        xx.item[2] = "::";
        const std::string error = FErrorString;
        const bool ok = zig(*this, name, "zig", xx);
        FErrorString = error;
        if (!ok) return nullptr;
        derivedVersion_[name] = mainbian->version;
        return namebian.find(name);
    }
    return nullptr;
}

Tbian* TGS::DerivedSeries(const std::string& word) {
    const bool fromDate =
        word == "datetoday" || word == "year" || word == "month" || word == "day" || word == "week";
    const Tbian* src = mainbian->find(fromDate ? "date" : "time");
    if (!src) return nullptr;
    const int n = fn::DataLen(*this);
    auto built = derivedVersion_.find(word);
    Tbian* existing = namebian.find(word);
    if (existing && built != derivedVersion_.end() && built->second == mainbian->version &&
        existing->len == n)
        return existing;
    Tbian* b = AddBian(word, n);
    if (!b) return nullptr;
    double* out = b->value.data();
    const std::int64_t epoch = DaysFromCivil(1990, 12, 19);
    for (int i = 0; i < n; ++i) {
        std::int64_t v = fn::Bars(src->at(i));
        if (fromDate) {
            const std::int64_t y = v / 10000, m = (v % 10000) / 100, d = v % 100;
            if (word == "year")
                out[i] = static_cast<double>(y);
            else if (word == "month")
                out[i] = static_cast<double>(m);
            else if (word == "day")
                out[i] = static_cast<double>(d);
            else {
                const std::int64_t days = DaysFromCivil(y, m, d);
                if (word == "datetoday")
                    out[i] = static_cast<double>(days - epoch);
                else
                    out[i] = static_cast<double>(((days % 7 + 7 + 4) % 7) + 1); // 1 = Sunday
            }
        } else {
            const std::int64_t h = v / 100, mi = v % 100;
            out[i] = static_cast<double>(word == "hour"     ? h
                                         : word == "minute" ? mi
                                                            : mi + h * 60 - 570);
        }
    }
    derivedVersion_[word] = mainbian->version;
    return b;
}

void TGS::LoadIndexSeries() {
    const int n = fn::DataLen(*this);
    if (n == 0) return;
    long long label = 0;
    for (char c : StkLabel) {
        if (c < '0' || c > '9' || label > 100000000) break;
        label = label * 10 + (c - '0');
    }
    const std::string path =
        FindPathNoCase(programDir_, label < 600000 ? "399001.bin" : "999999.bin");
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return;
    const auto time = std::filesystem::last_write_time(path, ec);
    if (ec) return;
    const long long mtime = time.time_since_epoch().count();
    if (indexStamp_.path == path && indexStamp_.size == size && indexStamp_.mtime == mtime &&
        indexStamp_.n == n && indexStamp_.version == mainbian->version)
        return;
    const std::uintmax_t records = size / 32;
    if (records < static_cast<std::uintmax_t>(n)) return;
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>((records - n) * 32));
    std::vector<unsigned char> buf(static_cast<size_t>(n) * 32);
    if (!in.read(reinterpret_cast<char*>(buf.data()), static_cast<std::streamsize>(buf.size())))
        return;
    auto i32 = [](const unsigned char* p) {
        return static_cast<std::int32_t>(
            static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
            static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
    };
    auto i16 = [](const unsigned char* p) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | p[1] << 8));
    };
    const char* names[] = {"indexo", "indexc", "indexh",   "indexl",
                           "indexa", "indexv", "indexadv", "indexdec"};
    double* out[8];
    for (int k = 0; k < 8; ++k) {
        Tbian* b = AddBian(names[k], n);
        if (!b) return;
        out[k] = b->value.data();
    }
    for (int i = 0; i < n; ++i) {
        const unsigned char* r = buf.data() + static_cast<size_t>(i) * 32;
        out[0][i] = i32(r + 4) / 100.0;
        out[2][i] = i32(r + 8) / 100.0;
        out[3][i] = i32(r + 12) / 100.0;
        out[1][i] = i32(r + 16) / 100.0;
        float amount;
        std::memcpy(&amount, r + 20, 4); // little-endian single
        out[4][i] = Finite(amount);
        out[5][i] = i32(r + 24) / 100.0;
        out[6][i] = i16(r + 28);
        out[7][i] = i16(r + 30);
    }
    indexStamp_ = {path, size, mtime, n, mainbian->version};
}

Tbian* TGS::check(const std::string& Name1) {
    std::string name = LowerAscii(Name1);
    if (name.starts_with("index")) LoadIndexSeries();
    if (derivedVersion_.count(name)) {
        if (IsDerivedWord(name)) return DerivedSeries(name);
        if (Tbian* b = TurningPointWord(name)) return b;
    }
    if (Tbian* b = GetBian(name)) return b;
    if (name == "lfs" || name == "barstatus" || name == "currbarscount" ||
        name == "totalbarscount" || name == "islastbar" || name == "totalfznum") {
        SubFunc h = FUNC.getfunc(name);
        TXX none;
        none.item[0] = "::";
        const std::string result = name + "_1";
        if (h && h(*this, result, name, none)) return GetBian(result);
        return nullptr;
    }
    static const std::pair<const char*, const char*> kAliases[] = {
        {"h", "high"}, {"l", "low"}, {"o", "open"}, {"c", "close"}, {"v", "vol"}};
    for (auto [alias, full] : kAliases)
        if (name == alias) name = full;
    if (Tbian* b = GetBian(name)) return b;
    if (name == "high" || name == "low" || name == "open") return GetBian("close");
    if (IsDerivedWord(name)) return DerivedSeries(name);
    return ResolveReference(name);
}

bool TGS::teststr(const std::string& s1, double& f1) {
    if (s1.empty()) return false;
    const std::string s = LowerAscii(s1);
    if (s == "setcode") {
        if (!FStockInfo) return false;
        f1 = FStockInfo->FMARK;
        return true;
    }
    if (FFINANCE && s == "capital") {
        f1 = (*FFINANCE)[7] / 100.0;
        return true;
    }
    if (FFINANCE && s == "totalcapital") {
        f1 = (*FFINANCE)[1] / 100.0;
        return true;
    }
    if (FIndex && (s == "advance" || s == "decline")) {
        if (GetBian(s)) return false;
        f1 = s == "advance" ? FIndex->INDEXADV : FIndex->INDEXDEC;
        return true;
    }
    if (s == "fromopen") {
        f1 = 240;
        return true;
    }
    if (s == "period") {
        f1 = static_cast<int>(ZhouQi);
        return true;
    }
    if (const ConstList::Entry* e = ls.find(s)) {
        if (!e->numeric) return false;
        f1 = e->value;
        return true;
    }
    return ReadsAsNumber(s, &f1);
}

double TGS::GetLast(const std::string& Name) {
    Tbian* b = check(Name);
    return b && b->len > 0 ? b->at(b->len - 1) : kInvalidValue;
}

float TGS::GetBianLast() const {
    const Tbian* b = namebian.back();
    return static_cast<float>(b && b->len > 0 ? b->at(b->len - 1) : kInvalidValue);
}

bool TGS::GetBianList(std::vector<std::string>& SL) const {
    SL.clear();
    for (size_t i = 0; i < namebian.size(); ++i) SL.push_back(namebian[i].name);
    return true;
}

std::string TGS::getlastdate() {
    const Tbian* b = mainbian->find("date");
    if (!b) b = mainbian->find("time");
    if (!b || b->len == 0) return {};
    return FormatPlain(b->at(b->len - 1));
}

void TGS::SetType(bool STop, bool SBottom, bool SLeft, bool SRight) {
    ShowTop = STop;
    ShowBottom = SBottom;
    ShowLeft = SLeft;
    ShowRight = SRight;
}

} // namespace vantor
