// Result files of a formula program: the binary data file (raw series, program text and
// Prevclose) written and read back, and the exports of the results as a fixed-width text
// report, a comma-separated table and a flat dump of 32-bit integers.

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>

#include "formula/front_end.h"
#include "formula/gs.h"
#include "market/data_files.h"

namespace vantor {

namespace {

// The first nine bytes of "QUILLMARK" in UTF-16LE.
constexpr unsigned char kMagic[9] = {'Q', 0, 'U', 0, 'I', 0, 'L', 0, 'L'};
const char* const kBadFile = "数据文件格式错误!";
const char* const kOverflow = "数据长度大于50000溢出!";
const char* const kNewLine = "\r\n";

// --- text encodings ---

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// UTF-8 text as UTF-16 code units; a byte that starts no valid sequence becomes U+FFFD.
std::u16string ToUtf16(const std::string& s) {
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::uint32_t cp = 0xFFFD;
        size_t len = 1;
        if (b < 0x80) {
            cp = b;
        } else {
            const size_t need = b >= 0xF0 && b < 0xF5 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
            if (need > 0 && i + need <= s.size()) {
                std::uint32_t v = b & (0x7F >> need);
                bool ok = true;
                for (size_t k = 1; k < need && ok; ++k) {
                    const auto c = static_cast<unsigned char>(s[i + k]);
                    ok = (c & 0xC0) == 0x80;
                    v = (v << 6) | (c & 0x3F);
                }
                const std::uint32_t least = need == 2 ? 0x80 : need == 3 ? 0x800 : 0x10000;
                if (ok && v >= least && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF)) {
                    cp = v;
                    len = need;
                }
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 | (cp >> 10));
            out += static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += len;
    }
    return out;
}

// `count` UTF-16LE code units as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string FromUtf16Le(const unsigned char* p, size_t count) {
    std::string out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        std::uint32_t u = p[2 * i] | (p[2 * i + 1] << 8);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count) {
            const std::uint32_t lo = p[2 * i + 2] | (p[2 * i + 3] << 8);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
    }
    return out;
}

// Characters (code points) of UTF-8 text.
size_t Chars(const std::string& s) {
    size_t n = 0;
    for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// Text padded with blanks to `width` characters: on the left, or with `left` on the right.
std::string Pad(const std::string& s, size_t width, bool left = false) {
    const size_t n = Chars(s);
    if (n >= width) return s;
    return left ? s + std::string(width - n, ' ') : std::string(width - n, ' ') + s;
}

std::string Format(const char* format, double v) {
    char buf[512];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// Hundredths of the single-precision value, truncated toward zero. Values beyond the
// 32-bit range are clamped; a value that is no number gives 0.
std::int32_t Hundredths(double value) {
    if (!(value == value)) return 0;
    if (std::fabs(value) < std::numeric_limits<float>::max())
        value = static_cast<double>(static_cast<float>(value));
    const double v = std::trunc(value * 100.0);
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

// --- writing ---

class Writer {
public:
    void Bytes(const void* p, size_t n) { data.append(static_cast<const char*>(p), n); }
    template <typename T> void Number(T v) {
        unsigned char b[sizeof(T)];
        std::memcpy(b, &v, sizeof(T));
        if constexpr (std::endian::native == std::endian::big) std::reverse(b, b + sizeof(T));
        Bytes(b, sizeof(T));
    }
    // A text as its UTF-16LE length and code units.
    void Text(const std::string& s) {
        const std::u16string u = ToUtf16(s);
        Number(static_cast<std::uint32_t>(u.size()));
        for (char16_t c : u) Number(static_cast<std::uint16_t>(c));
    }
    std::string data;
};

// A failed write leaves an existing file as it was, never cut short.
bool SaveBytes(const std::string& path, const std::string& data) {
    std::string ignored;
    return WriteFileReplacing(path, data, ignored);
}

// --- reading ---

class Reader {
public:
    explicit Reader(const std::string& d) : data(d) {}
    size_t left() const { return data.size() - pos; }
    template <typename T> bool Number(T& v) {
        if (left() < sizeof(T)) return false;
        unsigned char b[sizeof(T)];
        std::memcpy(b, data.data() + pos, sizeof(T));
        if constexpr (std::endian::native == std::endian::big) std::reverse(b, b + sizeof(T));
        std::memcpy(&v, b, sizeof(T));
        pos += sizeof(T);
        return true;
    }
    // A UTF-16LE text of `count` code units, when the file holds that many.
    bool Text(std::uint64_t count, std::string& s) {
        if (count > left() / 2) return false;
        s = FromUtf16Le(reinterpret_cast<const unsigned char*>(data.data() + pos), count);
        pos += static_cast<size_t>(count) * 2;
        return true;
    }
    const std::string& data;
    size_t pos = 0;
};

struct FileSeries {
    std::string name;
    std::vector<double> values;
};

struct DataFile {
    std::string text;
    std::vector<FileSeries> series;
    bool hasPrevclose = false;
    double prevclose = 0;
};

// Reads the whole layout, checking every length against what the file holds and every
// series against the capacity. `error` tells which check failed.
bool ParseDataFile(const std::string& bytes, DataFile& out, std::string& error) {
    error = kBadFile;
    if (bytes.size() < sizeof kMagic) return false;
    for (size_t i = 0; i < sizeof kMagic; ++i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        if (std::tolower(a) != std::tolower(kMagic[i])) return false;
    }
    Reader r(bytes);
    r.pos = sizeof kMagic;
    std::uint32_t textLen = 0;
    if (!r.Number(textLen) || !r.Text(textLen, out.text)) return false;
    std::int32_t count = 0;
    if (!r.Number(count) || count < 0) return false;
    // Every series takes at least its two length fields.
    if (static_cast<std::uint64_t>(count) > r.left() / 8) return false;
    std::map<std::string, std::int64_t> totals; // values per name, as AddAll would hold them
    out.series.reserve(static_cast<size_t>(count));
    for (std::int32_t k = 0; k < count; ++k) {
        FileSeries s;
        std::int32_t nameLen = 0, n = 0;
        if (!r.Number(nameLen) || nameLen < 0 ||
            !r.Text(static_cast<std::uint64_t>(nameLen), s.name))
            return false;
        if (!r.Number(n) || n < 0) return false;
        if (static_cast<std::uint64_t>(n) > r.left() / 8) return false;
        std::int64_t& total = totals[LowerAscii(s.name)];
        total += n;
        if (total >= kMaxBars) {
            error = kOverflow;
            return false;
        }
        s.values.resize(static_cast<size_t>(n));
        for (double& v : s.values) r.Number(v);
        out.series.push_back(std::move(s));
    }
    out.hasPrevclose = r.Number(out.prevclose);
    return true;
}

} // namespace

bool TGS::DataToFile(const std::string& filename1) const {
    if (mainbian->empty()) return false;
    Writer w;
    w.Bytes(kMagic, sizeof kMagic);
    w.Text(GetProgText());
    w.Number(static_cast<std::int32_t>(mainbian->size()));
    for (size_t k = 0; k < mainbian->size(); ++k) {
        const Tbian& b = (*mainbian)[k];
        w.Text(b.name);
        const int n = std::max(b.len, 0);
        w.Number(static_cast<std::int32_t>(n));
        for (int i = 0; i < n; ++i) w.Number(b.at(i));
    }
    w.Number(Prevclose);
    return SaveBytes(filename1, w.data);
}

bool TGS::DataFromFile(const std::string& filename1) {
    std::string bytes;
    {
        std::ifstream f(filename1, std::ios::binary);
        if (!f) {
            FErrorString = "文件:" + filename1 + " 无法打开!";
            return false;
        }
        bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
        if (f.bad()) {
            FErrorString = "文件:" + filename1 + " 无法打开!";
            return false;
        }
    }
    DataFile file;
    std::string error;
    if (!ParseDataFile(bytes, file, error)) {
        FErrorString = error;
        return false;
    }
    // The program must compile before the window gives up its data.
    std::vector<std::string> source, compiled;
    if (!file.text.empty() && !CompileText(file.text, source, compiled)) return false;

    ClearData();
    if (FComm) {
        // A window that borrows its bars replaces the owner's series rather than adding to
        // them; every window sharing them sees the loaded bars.
        mainbian->clear();
        mainbian->Changed(0);
    }
    for (const FileSeries& s : file.series)
        AddAll(s.name, s.values.data(), static_cast<int>(s.values.size()));
    if (file.hasPrevclose) Prevclose = file.prevclose;
    FErrorString.clear();
    // The data is loaded whatever the run of the program gives; its message stays.
    if (!file.text.empty()) SetProgText(file.text, "");
    return true;
}

bool TGS::SaveToFile(const std::string& FileName) const {
    std::string header = Pad("序号", 4, true) + "|";
    for (size_t k = 0; k < mainbian->size(); ++k) header += Pad((*mainbian)[k].name, 20) + "|";
    for (size_t k = 0; k < namebian.size(); ++k) header += Pad(namebian[k].name, 20) + "|";

    std::string out;
    for (const std::string& line : pg1) out += line + kNewLine;
    out += std::string(Chars(header), '-') + kNewLine;
    out += header + kNewLine;
    const int n = getdatalen();
    for (int i = 0; i < n; ++i) {
        char num[32];
        std::snprintf(num, sizeof num, "%-6d|", i + 1);
        out += num;
        for (size_t k = 0; k < mainbian->size(); ++k)
            out += Format("%20.6f|", (*mainbian)[k].at(i));
        for (size_t k = 0; k < namebian.size(); ++k) {
            const double v = namebian[k].at(i);
            out += IsValid(v) ? Format("%20.6f|", v) : std::string(20, ' ') + "|";
        }
        out += kNewLine;
    }
    return SaveBytes(FileName, out);
}

bool TGS::SaveToExcel(const std::string& FileName, bool ALL) const {
    std::vector<const Tbian*> vars;
    for (size_t k = 0; k < namebian.size(); ++k)
        if (ALL || namebian[k].name.empty() || namebian[k].name[0] != '@')
            vars.push_back(&namebian[k]);

    std::string out = Pad("序号", 6, true) + ",";
    for (size_t k = 0; k < mainbian->size(); ++k) out += (*mainbian)[k].name + ",";
    for (const Tbian* b : vars) out += b->name + ",";
    out += kNewLine;
    const int n = getdatalen();
    for (int i = 0; i < n; ++i) {
        out += std::to_string(i + 1) + ",";
        for (size_t k = 0; k < mainbian->size(); ++k) out += Format("%.3f,", (*mainbian)[k].at(i));
        for (const Tbian* b : vars) {
            const double v = b->at(i);
            out += IsValid(v) ? Format("%20.3f,", v) : std::string(20, ' ') + ",";
        }
        out += kNewLine;
    }
    return SaveBytes(FileName, out);
}

bool TGS::SavetoTDX(const std::string& FileName) const {
    Writer w;
    const int n = getdatalen();
    w.data.reserve(static_cast<size_t>(n) * mainbian->size() * 4);
    for (int i = 0; i < n; ++i) {
        for (size_t k = 0; k < mainbian->size(); ++k) {
            w.Number(Hundredths((*mainbian)[k].at(i)));
        }
    }
    return SaveBytes(FileName, w.data);
}

} // namespace vantor
