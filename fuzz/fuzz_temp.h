#pragma once
// A folder of this fuzzing process's own for the files a target writes, created once under
// the system's temporary folder with a unique name and removed when the process ends.

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace vantor::fuzz {

inline const std::string& TempFolder() {
    struct Folder {
        std::string path;
        Folder() {
            std::string pattern =
                (std::filesystem::temp_directory_path() / "vantor_fuzz_XXXXXX").string();
            if (mkdtemp(pattern.data())) path = pattern;
        }
        ~Folder() {
            std::error_code ec;
            if (!path.empty()) std::filesystem::remove_all(path, ec);
        }
    };
    static const Folder folder;
    return folder.path;
}

} // namespace vantor::fuzz
