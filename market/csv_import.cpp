#include "market/csv_import.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "market/csv_reader.h"
#include "market/data_files.h"
#include "market/job_pool.h"

namespace fs = std::filesystem;

namespace vantor {

namespace {

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::size_t FileSize(const std::string& path) {
    std::error_code ec;
    auto size = fs::file_size(path, ec);
    return ec ? 0 : static_cast<std::size_t>(size);
}

// Reads a file into the reader a block at a time, each block's whole lines at once, so the
// file is never held whole. False with the reader's message when it refuses the file, with
// none when the file can't be read; `size` receives the bytes read.
bool AddFile(TCsvReader& reader, const std::string& path, std::size_t& size) {
    size = 0;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    reader.BeginFile(path, FileSize(path));
    std::string block(1 << 18, '\0');
    std::size_t kept = 0; // bytes of a line begun in the previous block
    bool ok = true;
    for (;;) {
        if (kept == block.size()) block.resize(block.size() * 2); // a line longer than a block
        const std::size_t got = std::fread(block.data() + kept, 1, block.size() - kept, in);
        size += got;
        std::string_view have(block.data(), kept + got);
        if (got == 0) {
            ok = !std::ferror(in) && reader.AddLines(have) && reader.EndFile();
            break;
        }
        const std::size_t cut = have.rfind('\n') + 1; // 0 when the block holds no line end
        if (cut > 0 && !reader.AddLines(have.substr(0, cut))) {
            ok = false;
            break;
        }
        kept = have.size() - cut;
        std::memmove(block.data(), block.data() + cut, kept);
    }
    std::fclose(in);
    return ok;
}

} // namespace

std::string CsvCodeOfFile(std::string_view path) {
    return Upper(fs::path(std::string(path)).stem().string());
}

bool IsValidCsvCode(std::string_view code) {
    return !code.empty() && code != "." && code != ".." &&
           code.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

bool ImportCsvFiles(const std::vector<std::string>& files, const std::string& code,
                    const std::string& programDir, bool skipBad,
                    const CsvImportProgressFn& onProgress, const std::atomic<bool>* cancel,
                    CsvImportResult& result) {
    result = CsvImportResult{};
    result.sCode = code;
    result.sources = files;
    if (!IsValidCsvCode(code)) {
        result.sMessage = "品种代码不合法：" + code;
        return false;
    }
    std::size_t total = 0, before = 0; // bytes of all the files, of the files already read
    for (const auto& f : files) total += FileSize(f);
    CsvReadOptions options;
    options.bSkipBad = skipBad;
    options.pCancel = cancel;
    if (onProgress)
        options.onProgress = [&](std::size_t done) {
            onProgress(CsvImportProgress{std::min(before + done, total), total});
        };
    TCsvReader reader(options);
    for (const auto& file : files) {
        std::size_t size = 0;
        if (!AddFile(reader, file, size)) {
            result.sMessage =
                reader.FErrorString.empty() ? "无法读取文件：" + file : reader.FErrorString;
            return false;
        }
        before += size;
    }
    std::string dataText;
    if (!reader.Finish(dataText)) {
        result.sMessage = reader.FErrorString;
        return false;
    }
    result.bIntraday = reader.Intraday();
    result.nBars = reader.BarCount();
    result.nSkipped = reader.SkippedCount();
    result.nDuplicates = reader.DuplicateCount();
    result.skippedLines = reader.SkippedLines();

    const std::string folderName = result.bIntraday ? "mindata" : "daydata";
    std::string folder = FindPathNoCase(programDir, folderName);
    std::error_code ec;
    if (!fs::is_directory(folder, ec) && !fs::create_directories(folder, ec)) {
        result.sMessage = "无法创建文件夹：" + folder;
        return false;
    }
    if (cancel && cancel->load()) {
        result.sMessage = "导入已取消。";
        return false;
    }
    // An existing file of the code in any letter case is the one replaced.
    std::string target = FindPathNoCase(folder, code + ".txt");
    if (!WriteFileReplacing(target, dataText, result.sMessage)) return false;
    result.sTarget = target;
    result.bOk = true;
    return true;
}

bool RunCsvImport(const CsvImportOptions& options, const CsvImportProgressFn& onProgress,
                  const std::atomic<bool>* cancel, std::vector<CsvImportResult>& results,
                  std::string& sError) {
    results.clear();
    if (options.files.empty()) {
        sError = "没有要导入的文件。";
        return false;
    }
    // Group the files by code, in the order the codes first appear.
    std::vector<std::string> codes;
    std::map<std::string, std::vector<std::string>> groups; // upper-cased code → files
    for (const auto& file : options.files) {
        std::string code = options.sCode.empty() ? CsvCodeOfFile(file) : options.sCode;
        auto& group = groups[Upper(code)];
        if (group.empty()) codes.push_back(code);
        group.push_back(file);
    }

    std::size_t total = 0;
    for (const auto& file : options.files) total += FileSize(file);
    std::mutex reportMutex;
    std::size_t done = 0;
    results.resize(codes.size());
    unsigned threads = options.nThreads ? options.nThreads : std::thread::hardware_concurrency();
    threads = std::clamp<unsigned>(threads, 1, static_cast<unsigned>(codes.size()));
    TJobPool pool(threads);
    TJobGroup group(pool);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        group.Queue([&, i] {
            // A job reports the bytes of its own files; the sum is the import's.
            std::size_t last = 0;
            CsvImportProgressFn report;
            if (onProgress)
                report = [&](const CsvImportProgress& p) {
                    std::lock_guard<std::mutex> lock(reportMutex);
                    done += p.nBytesDone - std::min(p.nBytesDone, last);
                    last = std::max(last, p.nBytesDone);
                    onProgress(CsvImportProgress{std::min(done, total), total});
                };
            try {
                ImportCsvFiles(groups[Upper(codes[i])], codes[i], options.sProgramDir,
                               options.bSkipBad, report, cancel, results[i]);
            } catch (const std::exception&) {
                results[i].bOk = false;
                results[i].sMessage = "无法导入：" + codes[i];
            }
        });
    }
    group.Wait();
    return true;
}

std::string CsvResultText(const CsvImportResult& r) {
    if (!r.bOk) return r.sMessage;
    std::string text = "已导入 " + r.sTarget + "：" + std::to_string(r.nBars) + " 根" +
                       (r.bIntraday ? "1分钟" : "日线") + "K线";
    if (r.nDuplicates) text += "，去掉重复 " + std::to_string(r.nDuplicates) + " 根";
    if (r.nSkipped) text += "，跳过错误数据 " + std::to_string(r.nSkipped) + " 行";
    return text + "。";
}

} // namespace vantor
