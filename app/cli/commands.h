#pragma once
// The commands of vantor-cli. Each takes the words after the command name.

namespace vantor::cli {

int CmdBars(int argc, char** argv);
int CmdImport(int argc, char** argv);
int CmdImportCsv(int argc, char** argv);
int CmdDownload(int argc, char** argv);
int CmdJournal(int argc, char** argv);
int CmdRender(int argc, char** argv);
int CmdEval(int argc, char** argv);
int CmdIcons(int argc, char** argv);

} // namespace vantor::cli
