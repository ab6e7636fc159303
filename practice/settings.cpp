#include "practice/settings.h"

#include <SimpleIni.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "account/numbers.h"

namespace vantor {

namespace {

// Loads the file into `ini`; a missing file is an empty one. False when the file exists but
// is not INI text (binary junk).
bool Load(const std::string& path, CSimpleIniA& ini) {
    ini.SetUnicode(true);
    ini.SetMultiKey(false);
    ini.SetSpaces(false);
    std::ifstream in(path, std::ios::binary);
    if (!in) return true;
    std::stringstream buf;
    buf << in.rdbuf();
    std::string data = buf.str();
    if (data.find('\0') != std::string::npos) return false;
    return ini.LoadData(data) >= 0;
}

bool Save(const std::string& path, CSimpleIniA& ini, std::string& error) {
    std::string data;
    if (ini.Save(data) < 0) {
        error = "无法写入设置文件: " + path;
        return false;
    }
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << data;
        out.flush();
        if (!out) {
            std::remove(tmp.c_str());
            error = "无法写入设置文件: " + path;
            return false;
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        error = "无法写入设置文件: " + path;
        return false;
    }
    return true;
}

// Keys read as whole numbers within [lo, hi]; anything else keeps the default.
struct Reader {
    CSimpleIniA& ini;
    const char* section;
    std::string& problems;

    const char* Raw(const char* key) const { return ini.GetValue(section, key, nullptr); }
    void Note(const char* key) {
        if (!problems.empty()) problems += "、";
        problems += key;
    }
    void Text(const char* key, std::string& v) {
        if (const char* t = Raw(key)) v = t;
    }
    void Number(const char* key, std::string& v) {
        const char* t = Raw(key);
        if (!t) return;
        double d = 0;
        if (ParseNumber(t, d))
            v = TrimNumberText(t);
        else
            Note(key);
    }
    void Item(const char* key, int& v, int lo, int hi) {
        const char* t = Raw(key);
        if (!t) return;
        double d = 0;
        if (ParseNumber(t, d) && d == static_cast<int>(d) && d >= lo && d <= hi)
            v = static_cast<int>(d);
        else
            Note(key);
    }
    void Flag(const char* key, bool& v) {
        const char* t = Raw(key);
        if (!t) return;
        std::string s = t;
        if (s == "1" || s == "true" || s == "True" || s == "TRUE")
            v = true;
        else if (s == "0" || s == "false" || s == "False" || s == "FALSE")
            v = false;
        else
            Note(key);
    }
    static std::string TrimNumberText(const char* t) {
        std::string s = t;
        auto b = s.find_first_not_of(" \t");
        auto e = s.find_last_not_of(" \t");
        return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    }
};

} // namespace

std::string ConfigFile::AccountName() {
    CSimpleIniA ini;
    if (!Load(path_, ini)) return {};
    const char* v = ini.GetValue(kSystemSection, "账户名称", "");
    return v ? v : "";
}

std::string ConfigFile::ReadKey(const std::string& section, const std::string& key) {
    CSimpleIniA ini;
    if (!Load(path_, ini)) return {};
    const char* v = ini.GetValue(section.c_str(), key.c_str(), "");
    return v ? v : "";
}

bool ConfigFile::ReadAccount(const std::string& account, const std::string& defaultCode,
                             AccountSettings& s, std::string& problems) {
    problems.clear();
    s.code = defaultCode;
    CSimpleIniA ini;
    if (!Load(path_, ini)) {
        problems = "文件内容无法读取";
        return false;
    }
    Reader r{ini, account.c_str(), problems};
    r.Number("当前行", s.startRow);
    r.Text("股票代码", s.code);
    r.Item("周期", s.basePeriod, 0, 1);
    r.Flag("划线工具", s.drawTools);
    r.Number("初始资金", s.initialFunds);
    r.Item("计费方式", s.feeModel, 0, 1);
    r.Item("高低点", s.highLow, 0, 1);
    r.Item("日期", s.dateAxis, 0, 1);
    r.Number("播放间隔", s.playInterval);
    r.Item("tips", s.tips, 0, 1);
    r.Item("步长", s.step, 0, 1);
    r.Item("etj", s.mode, 0, 1);
    r.Number("止损价", s.stopPrice);
    r.Flag("自动盈损", s.autoStop);
    r.Item("ntec", s.ntec, 1, 10);
    if (s.code.empty()) s.code = defaultCode;
    return problems.empty();
}

bool ConfigFile::WriteAccount(const std::string& account, const AccountSettings& s,
                              std::string& error) {
    CSimpleIniA ini;
    if (!Load(path_, ini)) ini.Reset(); // junk is replaced by a clean file
    ini.SetValue(kSystemSection, "账户名称", account.c_str());
    const char* sec = account.c_str();
    auto put = [&](const char* key, const std::string& v) { ini.SetValue(sec, key, v.c_str()); };
    auto num = [&](const char* key, int v) { put(key, std::to_string(v)); };
    auto flag = [&](const char* key, bool v) { put(key, v ? "1" : "0"); };
    put("股票代码", s.code);
    num("周期", s.basePeriod);
    put("初始资金", s.initialFunds);
    flag("划线工具", s.drawTools);
    num("计费方式", s.feeModel);
    num("高低点", s.highLow);
    num("日期", s.dateAxis);
    put("播放间隔", s.playInterval);
    num("步长", s.step);
    num("tips", s.tips);
    num("etj", s.mode);
    num("ntec", s.ntec);
    put("止损价", s.stopPrice);
    flag("自动盈损", s.autoStop);
    return Save(path_, ini, error);
}

bool ConfigFile::WriteKey(const std::string& section, const std::string& key,
                          const std::string& value, std::string& error) {
    CSimpleIniA ini;
    if (!Load(path_, ini)) ini.Reset();
    ini.SetValue(section.c_str(), key.c_str(), value.c_str());
    return Save(path_, ini, error);
}

} // namespace vantor
