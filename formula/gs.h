#pragma once
// TGS: one formula program bound to one bar series and one chart window. It compiles
// formula text, runs the compiled program over the raw series, keeps every computed
// series and constant, and records the outputs the chart draws.

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "formula/bian.h"
#include "formula/bian_list.h"
#include "formula/func_list.h"
#include "formula/stock_info.h"
#include "market/price.h"

namespace vantor {

enum TKStyple { ksBar, ksAmericia, ksClose };

// One statement of the compiled program, read once when the program is installed so that
// a run never parses text. Names are bound at run time.
struct CompiledStatement {
    enum Kind { kSkip, kHeader, kCall, kReference, kPlain };
    Kind kind = kSkip;
    std::string text; // the line of pg1
    std::string name; // lower case, empty when unnamed
    bool output = false;
    std::string expr;  // lower case
    std::string attrs; // attribute list without its leading comma
    bool hasColor = false;
    std::string func; // call: function name; reference: the reference text
    SubFunc handler = nullptr;
    bool drawing = false; // a drawing call: records itself, never named @TT_
    TXX args;             // call arguments, with "::" + attributes after the last
    std::string argText;  // reference: the argument text
};

// The running state a handler keeps for the next run: the state before bar `at`.
using ResumeState = std::array<double, 6>;
struct ResumePoint {
    int at = -1;
    ResumeState value{};
};

// What an incremental run tells the handler of a call: the handler computes only the bars
// from fn::FirstBar on and keeps its earlier results before them.
struct CallWindow {
    bool allowed = false; // the statement may keep its results of the previous run
    int from = 0;         // first bar of the run that may differ (raw bars, constants)
    int inputs = std::numeric_limits<int>::max(); // first bar that may differ in the series read
    int used = -1; // first bar the handler computed; -1 when it did not say (everything)
    std::array<ResumePoint, 2> saved{};         // the points the previous run left
    std::array<ResumePoint, 2>* keep = nullptr; // where this run's points go
};

class TGS {
public:
    // Finds the source text of a built-in formula by name (case-insensitive).
    using FormulaSourceFn = std::function<bool(const std::string& name, std::string& text)>;

    // A program of its own, or one that borrows the raw series and information blocks
    // of `gs`.
    explicit TGS(TGS* gs = nullptr);
    ~TGS();
    TGS(const TGS&) = delete;
    TGS& operator=(const TGS&) = delete;

    // --- compiler ---
    bool SetProgText(const std::string& Text, const std::string& FParamStr);
    bool loadprogram(const std::string& FileName, const std::string& FParamStr);
    bool Compile(const std::vector<std::string>& src, std::vector<std::string>& dst);
    std::string GetProgText() const;
    // Compiles a formula text without installing it: its source lines (comments removed)
    // and its compiled program. On failure FErrorString holds the message.
    bool CompileText(const std::string& Text, std::vector<std::string>& source,
                     std::vector<std::string>& compiled);
    TFunclist& Getfunc() { return FUNC; }

    // --- data ---
    Tbian* AddAll(const std::string& Name, const double* f1, int len);
    Tbian* AddOne(const std::string& Name, double f1, bool append);
    void ClearData();
    void Clear();
    int getdatalen() const;
    // The result series `Name` of len1 bars; a new one reads 0 on every bar unless `zero` is
    // false, for a writer that sets every bar.
    Tbian* AddBian(const std::string& Name, int len1, bool zero = true);
    Tbian* GetBian(const std::string& Name);
    Tbian* check(const std::string& Name1);
    bool teststr(const std::string& s1, double& f1);

    // --- running and queries ---
    bool Run(const std::string& FParamStr);
    // Makes the next run compute every bar again, as after a change of period or
    // parameters, keeping the storage of the computed series.
    void ForgetLastRun() { lastRun_.ok = false; }
    double GetLast(const std::string& Name);
    float GetBianLast() const;
    bool GetBianList(std::vector<std::string>& SL) const;
    std::unique_ptr<Tbian> Get(const std::string& FUNC1, const std::string& BStr);
    std::string getlastdate();
    void SetType(bool STop, bool SBottom, bool SLeft, bool SRight);
    bool SetQuanStyle(TQuanStyle Value);

    // --- result files ---
    // Writes the raw series, the program text and Prevclose to a data file.
    bool DataToFile(const std::string& filename1) const;
    // Reads a data file written by DataToFile and runs its program over its series. The
    // file is checked whole before anything of the window changes.
    bool DataFromFile(const std::string& filename1);
    // A fixed-width text report of the compiled program, the raw series and the variables.
    bool SaveToFile(const std::string& FileName) const;
    // A comma-separated table of the raw series and the variables; without ALL the
    // variables whose name begins with '@' are left out.
    bool SaveToExcel(const std::string& FileName, bool ALL) const;
    // The raw series of every bar as 32-bit integers of hundredths, without a header.
    bool SavetoTDX(const std::string& FileName) const;

    // Appends a constant entry name=text to `ls`, formatted by "%f".
    void AddConst(const std::string& name, double value);
    // Appends a constant entry name=text to `ls` with the text as given.
    void AddConstText(const std::string& name, const std::string& text);
    // A reusable buffer of at least n doubles; slot 0..7. Handlers use it for aliased
    // inputs and intermediate series.
    double* Scratch(int slot, int n);
    const std::vector<CompiledStatement>& Program() const { return prog_; }
    // The first bar of series b that may differ from the previous run (0 when unknown).
    int SeriesFrom(const Tbian* b) const;
    // The incremental window of the call being run.
    CallWindow call;
    // The first raw bar (of any series) the last run found changed: 0 when it recomputed
    // everything, the data length when no bar had changed. A statement recomputes from the
    // first changed bar of the series it reads.
    int RecomputedFrom() const { return rawFrom_; }

    // --- fields ---
    TFunclist FUNC;
    std::shared_ptr<BianList> mainbian; // raw series, possibly shared with the main window
    BianList namebian;                  // computed series
    std::vector<std::string> LineName;  // output records
    ConstList ls;                       // constants
    std::vector<std::string> pg, pg1;
    std::array<Param, 51> ParamStr{};

    int FfsCount = 10;
    std::shared_ptr<TStockinfo> FStockInfo;
    std::shared_ptr<TDYNAINFO> FDYNAINFO;
    std::shared_ptr<TFINANCE> FFINANCE;
    std::shared_ptr<TIndex> FIndex;
    std::vector<TStockQuan> FQuan;
    std::string StkName, StkLabel, Week;
    std::string FFileName, Ftechname, Ftechtitle;
    TQuanStyle QuanStyle = qsNone;
    bool FComm = false;
    // The window belongs to the tick view: no price adjustment there.
    bool ShowFs = true, ShowTop = true, ShowLeft = true, ShowRight = false, ShowBottom = false;
    double Prevclose = kInvalidValue;
    TWeekStyle ZhouQi = wsNone;
    std::string FErrorString;
    int showk = -1;

    // Folder where the index data files are looked up (without regard to letter case).
    const std::string& ProgramDir() const { return programDir_; }
    void SetProgramDir(const std::string& dir) { programDir_ = dir; }
    // Where messages to the user go; giving it reaches the function table and the
    // sub-programs too.
    const Host* host() const { return host_; }
    void SetHost(const Host* h);
    FormulaSourceFn formulaSource;

private:
    std::string programDir_ = ".";
    const Host* host_ = nullptr;

    friend struct CompilerState;
    bool CompileStatement(const std::string& s, int n, std::vector<std::string>& dst,
                          struct CompilerState& st);
    void Install(std::vector<std::string> source, std::vector<std::string> compiled);
    void Prepare();
    void ForgetResults();
    bool RunStatement(const CompiledStatement& st, int index);
    bool RunReference(const CompiledStatement& st, int index);
    Tbian* ResolveReference(const std::string& lowerName);
    TGS* SubProgram(const std::string& formula, const std::string& params);
    Tbian* DerivedSeries(const std::string& word);
    Tbian* TurningPointWord(const std::string& name);
    void LoadIndexSeries();
    bool ApplyQuan(TQuanStyle Value);
    const std::string& NextDefaultColor();

    std::vector<CompiledStatement> prog_;
    int colorCycle_ = 0;
    std::uint64_t runSerial_ = 0;
    struct Cached {
        std::uint64_t serial = 0, version = 0;
        bool ok = false;
    };
    struct SubProgramEntry {
        std::unique_ptr<TGS> gs;
        Cached stamp;
    };
    struct RefResult {
        Cached stamp;
        std::unique_ptr<Tbian> bian;
    };
    bool Current(const Cached& c) const;
    void Stamp(Cached& c, bool ok) const;
    std::unordered_map<std::string, SubProgramEntry> subPrograms_;
    std::unordered_map<std::string, RefResult> refResults_;
    int refLevel_ = 0; // how deep this program sits in a chain of formula references
    bool abortRun_ = false;
    std::string lastParams_;
    struct IndexStamp {
        std::string path;
        std::uintmax_t size = 0;
        long long mtime = 0;
        int n = 0;
        std::uint64_t version = 0;
    } indexStamp_;
    std::unordered_map<std::string, std::uint64_t> derivedVersion_;
    BianList quanCopies_; // unadjusted prices while an adjustment is in force
    // Raw names this run has given results of the window's own: from the statement that
    // defines one on, the name reads that result (and so do the renderer and the queries
    // after the run); before it, the raw series.
    std::unordered_set<std::string> ownRaw_;
    std::array<std::vector<double>, 8> scratch_;

    // Incremental runs: a run recomputes only the bars that may differ from the previous
    // run. What the previous run saw:
    struct LastRun {
        bool ok = false;
        std::uint64_t version = 0;
        int len = 0;
        std::string params;
        TWeekStyle period = wsNone;
        std::vector<double> context;     // stock, finance and index words
        std::vector<std::string> consts; // name=text of ls, in order
    } lastRun_;
    struct StatementState {
        std::uint64_t serial = 0; // the run that last completed the statement
        std::uint64_t writes = 0; // the write of its result series then
        std::array<ResumePoint, 2> points{};
    };
    std::vector<StatementState> stmtState_;
    bool incremental_ = false; // this run may keep results of the previous run
    int rawFrom_ = 0;          // first raw bar that may differ in this run
    std::vector<std::pair<const Tbian*, int>> rawFroms_; // the same for each raw series
    size_t constsChecked_ = 0; // constants of this run compared with the previous run's
    bool constsDiffer_ = false;
    std::uint64_t writeCounter_ = 0;
    // The series the statements write. While a run goes on, one of them that this run has
    // not written yet is what the previous run left: it is not there for the statements
    // before its own, as in a run from scratch.
    std::unordered_set<std::string> resultNames_;
    bool running_ = false;
    std::uint64_t runWrites_ = 0; // writeCounter_ when the run began
    bool LeftByAnEarlierRun(const Tbian& b) const;
    std::vector<double> RunContext() const;
    void CompareConsts();
    void StampResult(const std::string& name, int from);
};

} // namespace vantor
