#pragma once
// Runs vantor-cli and captures what it prints.

#include <stdlib.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace vantor::test {

struct CliResult {
    int exitCode = -1;
    std::string out; // stdout
    std::string err; // stderr
};

// Runs `vantor-cli ARGS` through the shell (ARGS already quoted as needed).
inline CliResult RunCli(const std::string& args) {
    std::string errFile =
        (std::filesystem::temp_directory_path() / "vantor_cli_err_XXXXXX").string();
    const int fd = ::mkstemp(errFile.data());
    if (fd < 0) return {};
    ::close(fd);
    std::string cmd = std::string("'") + VANTOR_CLI + "' " + args + " 2>" + errFile;
    CliResult r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 65536> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* e = std::fopen(errFile.c_str(), "r")) {
        while ((n = std::fread(buf.data(), 1, buf.size(), e)) > 0) r.err.append(buf.data(), n);
        std::fclose(e);
    }
    std::remove(errFile.c_str());
    return r;
}

} // namespace vantor::test
