#pragma once
// config.ini of the program folder: [系统设置] 账户名称 and a section per account holding the
// settings page, the code and the window count. Read and written as UTF-8 INI text; a file
// that cannot be read, or a key that does not hold what it should, gives the default of that
// key and a note for the user. Writing goes to a temporary file renamed into place, so a
// crash never leaves half a file.

#include <string>
#include <vector>

namespace vantor {

inline constexpr const char* kConfigFileName = "config.ini";
inline constexpr const char* kSystemSection = "系统设置";

// The settings of one account as the settings page and the boxes hold them; every value has
// the default the program uses when its key is absent.
struct AccountSettings {
    std::string startRow = "1"; // 当前行 (read only; never written)
    std::string code;           // 股票代码 (default: the randomly chosen code)
    int basePeriod = 0;         // 周期: 0 一分钟, 1 日线
    bool drawTools = true;      // 划线工具
    std::string initialFunds = "10000";
    int feeModel = 1; // 计费方式: 0 per lot, 1 per turnover
    int highLow = 1;  // 高低点: 0 显示, 1 隐藏
    int dateAxis = 0; // 日期: 0 显示, 1 隐藏
    std::string playInterval = "10";
    int tips = 1; // 0 显示, 1 隐藏
    int step = 1; // 步长: 0 基础周期, 1 当前周期
    int mode = 1; // etj: 0 二踢脚, 1 收盘价
    std::string stopPrice = "0";
    bool autoStop = true;
    int ntec = 3;
};

class ConfigFile {
public:
    explicit ConfigFile(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }

    // [系统设置] 账户名称, "" when absent or unreadable.
    std::string AccountName();
    // Reads the account's section; keys absent or unusable keep `s`'s values. The code's
    // default is `defaultCode`. Returns false when something could not be read; `problems`
    // then says what (the caller shows it once).
    bool ReadAccount(const std::string& account, const std::string& defaultCode, AccountSettings& s,
                     std::string& problems);
    // Writes 账户名称 and the account's keys in the order the settings page saves them,
    // keeping every other section and key of the file.
    bool WriteAccount(const std::string& account, const AccountSettings& s, std::string& error);
    // Sets one key of the account's section, the rest of the file kept.
    bool WriteKey(const std::string& section, const std::string& key, const std::string& value,
                  std::string& error);
    // Reads one key ("" when absent).
    std::string ReadKey(const std::string& section, const std::string& key);

private:
    std::string path_;
};

} // namespace vantor
