#pragma once
// Files of the program folder, found without regard to letter case.

#include <string>

namespace vantor {

// `dir` + "/" + the entry of `dir` whose name equals `name` ignoring ASCII letter case; when
// there is none, `dir` + "/" + `name` as given. An empty `dir` means the current folder.
std::string FileInFolder(const std::string& dir, const std::string& name);

// True when `path` names no file, or an empty one: a database whose creation was cut short
// holds no tables yet and is created again.
bool MissingOrEmpty(const std::string& path);

} // namespace vantor
