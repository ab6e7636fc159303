// vantor-cli download --host HOST [--port 19995] REMOTE LOCAL [--catalog NAME]
// Downloads one file of the remote file service to LOCAL (its folder is created when
// missing). A LOCAL that already holds the remote file is left as it is.

#include <filesystem>
#include <iostream>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "remote/file_operator.h"

namespace vantor::cli {

int CmdDownload(int argc, char** argv) {
    Args args = ParseArgs(argc, argv, 0, {"host", "port", "catalog"}, {});
    if (!args.error.empty()) return UsageError(args.error);
    if (args.positional.size() != 2) return UsageError("download takes REMOTE and LOCAL");
    auto host = args.get("host");
    if (!host || host->empty()) return UsageError("download needs --host HOST");
    int port = kFileServicePort;
    if (auto p = args.get("port")) {
        auto v = ParseInt(*p);
        if (!v || *v <= 0 || *v > 65535) return UsageError("bad --port '" + *p + "'");
        port = *v;
    }
    const std::string& remote = args.positional[0];
    const std::string& local = args.positional[1];

    std::filesystem::path folder = std::filesystem::path(local).parent_path();
    std::error_code ec;
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    if (ec) return Failure("创建文件夹[" + folder.string() + "]失败: " + ec.message());

    TTcpCoderSocket socket(*host, port);
    TDiocpFileOperator client;
    client.FCoderSocket = &socket;
    if (!client.DownFile(remote, local, args.get("catalog").value_or("")))
        return Failure(client.ErrorString());
    std::cout << "下载文件成功!\n";
    return 0;
}

} // namespace vantor::cli
