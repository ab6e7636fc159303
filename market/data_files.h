#pragma once
// Where the text data files live and how an instrument's file is found.

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Resolves `relative` (components separated by '/') below `base`, matching every component
// without regard to letter case. Returns the existing path when one matches; otherwise the
// path built from the components as given.
std::string FindPathNoCase(const std::string& base, std::string_view relative);

// The data file of an instrument: the code with blanks around it removed, plus ".TXT", in
// MinData/ for base period choice 0 (one minute) or DayData/ for 1 (day), under `programDir`.
std::string InstrumentFile(const std::string& programDir, std::string_view code,
                           int basePeriodChoice);

// The instrument codes of a base folder: every "*.txt" file in it and in all its sub-folders,
// reduced to its name without the extension, sorted by name.
std::vector<std::string> ListInstruments(const std::string& folder);

// Reads a whole text file into lines (without line ends). Returns false when it can't be read.
bool ReadLines(const std::string& path, std::vector<std::string>& lines);

// The lines of a text file (without line ends, as ReadLines splits them), kept as the file's
// text and where each line lies in it, so that a file of many lines is one allocation.
class TextLines {
public:
    // Replaces the lines by those of the file; false (and no lines) when it can't be read.
    bool Read(const std::string& path);
    std::size_t size() const { return spans_.size(); }
    bool empty() const { return spans_.empty(); }
    std::string_view operator[](std::size_t i) const {
        return std::string_view(text_).substr(spans_[i].pos, spans_[i].len);
    }
    void clear() {
        text_.clear();
        spans_.clear();
    }

private:
    struct Span {
        std::size_t pos, len;
    };
    std::string text_;
    std::vector<Span> spans_;
};

// Reads a whole file as it is. Returns false when it can't be read.
bool ReadFileText(const std::string& path, std::string& text);

// Replaces the file `path` by `text`: the text goes to a temporary file beside it that is
// renamed into place, so a failure leaves the previous file as it was and never a partial
// one. On failure returns false with the message in `sError`.
bool WriteFileReplacing(const std::string& path, std::string_view text, std::string& sError);

std::string TrimBlanks(std::string_view s);

// `name` with path separators, reserved and control characters replaced by '_', so that it
// can be part of a file name.
std::string SafeFileName(const std::string& name);

} // namespace vantor
