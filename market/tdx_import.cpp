#include "market/tdx_import.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <map>
#include <system_error>

#include "market/data_files.h"

namespace fs = std::filesystem;

namespace vantor {

namespace {

struct SourceFolder {
    const char* relative;
    TdxLayout layout;
};

constexpr SourceFolder kDayFolders[] = {{"Vipdoc/ds/lday", TdxLayout::Day},
                                        {"Vipdoc/sh/lday", TdxLayout::StockDay},
                                        {"Vipdoc/sz/lday", TdxLayout::StockDay}};
constexpr SourceFolder kMinuteFolders[] = {{"Vipdoc/ds/minline", TdxLayout::Minute}};

std::string Lower(std::string s) {
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 128) c = static_cast<char>(std::tolower(c));
    return s;
}

} // namespace

std::vector<TdxSourceFile> ListTdxFiles(const std::string& tdxRoot, TdxImportKind kind,
                                        int* foldersFound) {
    std::vector<TdxSourceFile> files;
    int found = 0;
    auto scan = [&](const SourceFolder& folder) {
        std::string dir = FindPathNoCase(tdxRoot, folder.relative);
        std::error_code ec;
        if (!fs::is_directory(dir, ec)) return;
        ++found;
        fs::recursive_directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
        for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            if (it->is_regular_file(ec))
                files.push_back({it->path().generic_string(), folder.layout});
    };
    if (kind == TdxImportKind::Day)
        for (const auto& f : kDayFolders) scan(f);
    else
        for (const auto& f : kMinuteFolders) scan(f);
    std::sort(files.begin(), files.end(),
              [](const TdxSourceFile& a, const TdxSourceFile& b) { return a.sPath < b.sPath; });
    if (foldersFound) *foldersFound = found;
    return files;
}

TdxImportSummary SummarizeTdxImport(const std::vector<TdxFileResult>& results) {
    TdxImportSummary s;
    s.nFiles = results.size();
    for (const auto& r : results) {
        switch (r.status) {
        case TdxFileStatus::Converted:
            ++s.nConverted;
            break;
        case TdxFileStatus::Filtered:
        case TdxFileStatus::Skipped:
            ++s.nSkipped;
            break;
        case TdxFileStatus::Failed:
            ++s.nFailed;
            break;
        case TdxFileStatus::Cancelled:
            ++s.nCancelled;
            break;
        }
        if (r.status == TdxFileStatus::Converted &&
            Lower(fs::path(r.sTarget).parent_path().filename().string()) == "min5data")
            ++s.nFiveMinute;
    }
    return s;
}

std::string TdxSummaryText(const TdxImportSummary& s) {
    std::string counts = "已转换 " + std::to_string(s.nConverted) + " 个文件，跳过 " +
                         std::to_string(s.nSkipped) + " 个，失败 " + std::to_string(s.nFailed) +
                         " 个。";
    if (s.nCancelled > 0)
        return "数据导出已取消！" + counts + "未导出 " + std::to_string(s.nCancelled) + " 个。";
    return (s.nFailed == 0 ? "数据导出完毕！" : "数据导出未全部完成，有文件转换失败！") + counts;
}

std::string TdxReportText(const std::vector<TdxFileResult>& results, std::size_t maxLines) {
    const TdxImportSummary s = SummarizeTdxImport(results);
    std::string text = TdxSummaryText(s);
    if (s.nFiveMinute > 0)
        text += "\n其中 " + std::to_string(s.nFiveMinute) +
                " 个5分钟文件（.lc5）导出到 min5data 文件夹，不替换同一品种的1分钟数据。";
    std::size_t listed = 0, left = 0;
    for (const auto& r : results) {
        if (r.status != TdxFileStatus::Failed && r.status != TdxFileStatus::Cancelled) continue;
        if (r.status == TdxFileStatus::Cancelled && s.nCancelled > maxLines) {
            ++left; // a long run of cancelled files is counted, not listed
            continue;
        }
        if (listed < maxLines) {
            text += "\n" + r.sMessage;
            ++listed;
        } else {
            ++left;
        }
    }
    if (left > 0) text += "\n……另有 " + std::to_string(left) + " 个文件未列出。";
    return text;
}

TdxImport::~TdxImport() {
    Finish();
}

void TdxImport::Finish() {
    group_.reset(); // waits for the jobs
    pool_.reset();
}

void TdxImport::Report(std::size_t index) {
    std::lock_guard<std::mutex> lock(reportMutex_);
    ++done_;
    if (onProgress_) onProgress_(TdxProgress{done_, results_.size(), &results_[index]});
}

bool TdxImport::Start(const TdxImportOptions& options, TdxProgressFn onProgress) {
    FErrorString.clear();
    if (group_ && !group_->Finished()) {
        FErrorString = "数据导出正在进行，请等待完成。";
        return false;
    }
    Finish();
    results_.clear();
    done_ = 0;
    onProgress_ = std::move(onProgress);

    int found = 0;
    std::vector<TdxSourceFile> files = ListTdxFiles(options.sTdxRoot, options.kind, &found);
    const std::string mainFolder =
        FindPathNoCase(options.sTdxRoot,
                       options.kind == TdxImportKind::Day ? "Vipdoc/ds/lday" : "Vipdoc/ds/minline");
    if (found == 0) {
        FErrorString = "找不到数据文件夹：" + mainFolder;
        return false;
    }
    if (files.empty()) {
        FErrorString = "数据文件夹中没有文件：" + mainFolder;
        return false;
    }
    const std::atomic<bool>* cancel = options.pCancel;

    // Settle every file: filtered out, skipped, or a conversion into its text file. Files
    // bound for the same text file form one group that converts them in list order.
    std::vector<std::string> filter = SplitCodeFilter(options.sFilter);
    results_.resize(files.size());
    std::map<std::string, std::vector<std::size_t>> groups; // lower-cased target → files
    std::vector<std::string> groupOrder;
    std::map<std::string, std::string> folders; // folder name → existing path, or "" on failure
    for (std::size_t i = 0; i < files.size(); ++i) {
        TdxFileResult& r = results_[i];
        r.sSource = files[i].sPath;
        std::string name = fs::path(r.sSource).filename().string();
        if (!MatchesCodeFilter(name, filter)) {
            r.status = TdxFileStatus::Filtered;
            continue;
        }
        if (!IsTdxDataFileName(files[i].layout, name)) {
            r.status = TdxFileStatus::Skipped;
            r.sMessage = "不是要导出的数据文件：" + r.sSource;
            continue;
        }
        std::string code = TdxCodeOfFileName(name);
        if (code.empty()) {
            r.status = TdxFileStatus::Skipped;
            r.sMessage = "文件名中没有品种代码：" + r.sSource;
            continue;
        }
        std::string folder = TdxTargetFolder(files[i].layout, name);
        auto [dir, added] = folders.emplace(folder, "");
        if (added) {
            std::string path = FindPathNoCase(options.sProgramDir, folder);
            std::error_code ec;
            if (fs::is_directory(path, ec) || fs::create_directories(path, ec)) dir->second = path;
        }
        if (dir->second.empty()) {
            r.status = TdxFileStatus::Failed;
            r.sMessage = "无法创建文件夹：" + FindPathNoCase(options.sProgramDir, folder);
            continue;
        }
        // An existing file of the code in any letter case is the one replaced.
        r.sTarget = FindPathNoCase(dir->second, code + ".txt");
        std::string key = Lower(folder + "/" + code);
        auto& group = groups[key];
        if (group.empty()) groupOrder.push_back(key);
        group.push_back(i);
    }
    // Files of the same group share the target found for the first of them.
    for (auto& [key, group] : groups)
        for (std::size_t i : group) results_[i].sTarget = results_[group.front()].sTarget;

    for (std::size_t i = 0; i < results_.size(); ++i)
        if (results_[i].sTarget.empty()) Report(i);
    if (groupOrder.empty()) return true;

    unsigned threads = options.nThreads ? options.nThreads : std::thread::hardware_concurrency();
    threads = std::clamp<unsigned>(threads, 1, static_cast<unsigned>(groupOrder.size()));
    pool_ = std::make_unique<TJobPool>(threads);
    group_ = std::make_unique<TJobGroup>(*pool_);
    for (const auto& key : groupOrder) {
        std::vector<std::pair<std::size_t, TdxLayout>> members;
        for (std::size_t i : groups[key]) members.emplace_back(i, files[i].layout);
        group_->Queue([this, cancel, members = std::move(members)] {
            for (auto [i, layout] : members) {
                TdxFileResult& r = results_[i];
                if (cancel && cancel->load()) {
                    r.status = TdxFileStatus::Cancelled;
                    r.sMessage = "已取消，未导出：" + r.sSource;
                    Report(i);
                    continue;
                }
                try {
                    if (ConvertTdxFile(r.sSource, layout, r.sTarget, r.nLines, r.sMessage))
                        r.status = TdxFileStatus::Converted;
                    else
                        r.status = TdxFileStatus::Failed;
                } catch (const std::exception&) {
                    r.status = TdxFileStatus::Failed;
                    r.sMessage = "无法转换文件：" + r.sSource;
                }
                Report(i);
            }
        });
    }
    return true;
}

bool TdxImport::WaitFor(std::chrono::milliseconds timeout) {
    if (!group_ || !group_->WaitFor(timeout)) return !group_;
    Finish();
    return true;
}

const std::vector<TdxFileResult>& TdxImport::Wait() {
    Finish();
    return results_;
}

bool RunTdxImport(const TdxImportOptions& options, const TdxProgressFn& onProgress,
                  std::vector<TdxFileResult>& results, std::string& sError) {
    TdxImport import;
    if (!import.Start(options, onProgress)) {
        sError = import.FErrorString;
        results.clear();
        return false;
    }
    results = import.Wait();
    return true;
}

} // namespace vantor
