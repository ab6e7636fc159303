// The journal survives the program being killed in the middle of a save: every statement
// group is a transaction, so after the kill each row is either fully there or not at all.
// A writer process is killed from outside between its saves, and from inside at a chosen row
// change, which lands the kill in the middle of a transaction (for example between the
// deletes and the inserts of a re-initialisation).

#include <gtest/gtest.h>

#include <filesystem>

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "account/numbers.h"
#include "journal_fixture.h"

namespace vantor::test {
namespace {

const char kName[] = "kill \"test\"";

// In the writer process: the row change at which it kills itself (0: never).
long g_killAtChange = 0;
long g_changes = 0;

void CountChange(void*, int, const char*, const char*, sqlite3_int64) {
    if (++g_changes == g_killAtChange) kill(getpid(), SIGKILL);
}

// Runs for every connection the writer opens.
int InstallChangeCounter(sqlite3* db, const char**, const sqlite3_api_routines*) {
    sqlite3_update_hook(db, CountChange, nullptr);
    return SQLITE_OK;
}

// Writes to the journal for ever (bounded), one byte to `signalFd` after each round.
[[noreturn]] void SaveForever(const std::string& programDir, int signalFd, int first) {
    TJournal j(programDir);
    for (int i = first; i < first + 100000; ++i) {
        TradeLogRow t = Trade(kName, "多平", Fixed2(i));
        t.SNo = std::to_string(i);
        t.sRemain = Fixed2(i);
        const double v = i;
        bool ok =
            j.InsertTrade(t) && j.SaveAccount(kName, TqhAcount(v, v, v, v, v), i, i, Fixed2(i)) &&
            j.AddEquityPoint(kName, 20000 + i) && (i % 4 != 0 || j.InitAccount(kName, "10000"));
        if (!ok) {
            std::fprintf(stderr, "writer: %s\n", j.sError.c_str());
            _exit(3);
        }
        char c = 'x';
        if (write(signalFd, &c, 1) != 1) _exit(4);
    }
    _exit(0);
}

// Starts a writer; it is killed after `rounds` rounds or, when `killAtChange` is above 0,
// kills itself at that row change.
void KillWriter(const std::string& programDir, int rounds, long killAtChange, int first) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(fds[0]);
        g_killAtChange = killAtChange;
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(InstallChangeCounter));
        SaveForever(programDir, fds[1], first);
    }
    close(fds[1]);
    int seen = 0;
    char c;
    while (seen < rounds && read(fds[0], &c, 1) == 1) ++seen;
    kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    close(fds[0]);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
    if (killAtChange == 0) {
        ASSERT_EQ(seen, rounds);
    }
}

void ExpectConsistent(TJournal& journal) {
    const std::string file = journal.path();
    // The first operation after the crash is a read, as at start-up; it must see the file
    // as it was before the cut transaction.
    std::vector<JournalEntry> rows;
    ASSERT_TRUE(journal.ReadJournal(kName, rows)) << journal.sError;
    {
        SqlDatabase db;
        ASSERT_TRUE(db.Open(file, SqlDatabase::Mode::Existing));
        std::string result;
        ASSERT_TRUE(db.Query("PRAGMA integrity_check", {},
                             [&](const SqlStatement& r) { result = r.Text(0); }));
        EXPECT_EQ(result, "ok");
    }
    // Trade rows are whole.
    for (const auto& row : Select(file, "select * from Tradelog")) {
        ASSERT_EQ(row.size(), 20u);
        EXPECT_EQ(row[3], kName);
        EXPECT_EQ(NumberOr(row[0], -1), NumberOr(row[11], -2)); // SNo and sRemain go together
        EXPECT_EQ(row[18].size(), 27u);
        EXPECT_EQ(row[19], "备用");
    }
    // Saved state rows are either the starting values or one save's values throughout.
    for (const auto& row : Select(file,
                                  "select kyzj, ddcc, kdcc, ddccj, kdccj, dqh, ksh, gpdm "
                                  "from TUser where sUserName=?",
                                  {kName})) {
        if (row[0] == "10000" && row[1] == "0.0") {
            EXPECT_EQ(row, (std::vector<std::string>{"10000", "0.0", "0.0", "0.0", "0.0", "0", "0",
                                                     "1"}));
        } else {
            for (const auto& v : row) EXPECT_EQ(v, row[0]);
        }
    }
    // Re-initialisation is all or nothing: exactly one starting equity point remains.
    auto starts = Select(file,
                         "select count(*) from property where sUserName=? and "
                         "sProperty='10000.00'",
                         {kName});
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0][0], "1");
}

TEST_F(JournalTest, SurvivesKillDuringSave) {
    ASSERT_TRUE(journal.EnsureAccount(kName));
    int first = 1000;
    for (int rounds : {3, 10, 6}) {
        KillWriter(dir.path(), rounds, 0, first += 1000);
        if (HasFatalFailure()) return;
        ExpectConsistent(journal);
    }
    for (long change : {1, 2, 3, 4, 5, 6, 7, 9, 12, 16, 23, 31, 40}) {
        KillWriter(dir.path(), 1 << 30, change, first += 1000);
        if (HasFatalFailure()) return;
        ExpectConsistent(journal);
    }
    // The account still restores and saves after the kills.
    TqhAcount acc;
    int startrow = 0, lastrow = 0;
    EXPECT_TRUE(journal.RestoreAccount(kName, acc, startrow, lastrow)) << journal.sError;
    EXPECT_TRUE(journal.SaveAccount(kName, acc, lastrow, startrow, "x")) << journal.sError;
}

// A writer whose transaction outgrew its cache has already written into the file when it is
// killed. The next start reads first; that read ignores or undoes the half-written change.
TEST_F(JournalTest, ReadAfterCrashRollsBackSpilledTransaction) {
    ASSERT_TRUE(journal.EnsureAccount(kName));
    TradeLogRow before = Trade(kName, "多开", "0");
    before.SNo = before.sRemain;
    ASSERT_TRUE(journal.InsertTrade(before));
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(journal.path().c_str(), &db);
        sqlite3_exec(db,
                     "PRAGMA cache_size=1; BEGIN; INSERT INTO Tradelog (sUserName, sGuid, sOther) "
                     "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x<3000) "
                     "SELECT 'kill \"test\"', hex(randomblob(16)), hex(randomblob(300)) FROM c;",
                     nullptr, nullptr, nullptr);
        kill(getpid(), SIGKILL);
        _exit(5);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));
    // The half-written change sits in the rollback journal or in the write-ahead log.
    ASSERT_TRUE(std::filesystem::exists(file() + "-journal") ||
                std::filesystem::exists(file() + "-wal"));

    std::vector<JournalEntry> rows;
    ASSERT_TRUE(journal.ReadJournal(kName, rows)) << journal.sError;
    EXPECT_EQ(rows.size(), 1u);
    ExpectConsistent(journal);
}

} // namespace
} // namespace vantor::test
