#pragma once
// The data behind the contract-parameter dialog (手续费设置): the list of codes, the stored
// rows shown beside them, the look-up of one code and the two ways of saving the four edit
// boxes. The dialog itself only shows what this class holds and forwards clicks.

#include <array>
#include <map>
#include <string>
#include <vector>

#include "account/host.h"

namespace vantor {

// The four edit boxes as typed: multiplier, margin ratio in percent, opening and closing fee
// in ten-thousandths.
using SxfBoxes = std::array<std::string, 4>;

class TSxfEditor {
public:
    explicit TSxfEditor(std::string programDir);

    Host host;                      // messages and the two confirmations
    std::vector<std::string> codes; // one table row per code, in list order
    std::string sError;             // text of the last failure

    // 载入商品: the codes of the day folder followed by those of the minute folder (the
    // caller lists the "*.txt" files; duplicates are kept), then the stored rows are read.
    bool LoadCodes(const std::vector<std::string>& dayCodes,
                   const std::vector<std::string>& minCodes);

    // Reads the stored rows again (the first row of each code counts).
    bool ReadTable();

    // What row `i` of the list shows: the code and, when the code has a stored row, its four
    // stored values with two decimals; "0" in all four otherwise.
    std::array<std::string, 5> RowTexts(std::size_t i) const;

    // 查询: looks `code` up. Found: `boxes` get the multiplier in its shortest form, the margin
    // ratio × 100 and the fees × 10000 with two decimals, true. Not found: the not-found
    // message goes to the host, `boxes` stay, false.
    bool Query(const std::string& code, SxfBoxes& boxes);

    // 全部修改: after the confirmation, the table is rebuilt with one row per listed code, all
    // with the same four values and fresh identifiers, in one transaction. Refused for an
    // empty list or unusable values; on any failure the table stays as it was.
    bool ReplaceAll(const SxfBoxes& boxes);

    // 修改选中: after the confirmation, the rows of the selected codes get the four values, in
    // one transaction. Codes without a row are not added.
    bool UpdateSelected(const std::vector<std::string>& selected, const SxfBoxes& boxes);

    // The margin-ratio box after an edit: "5" when its value is at most 0.001 (text that is
    // not a number counts as 0), else the text unchanged.
    static std::string MarginBoxText(const std::string& text);
    // The multiplier box after an edit: false, with "有效值不能小于0！" to the host, when its
    // value is at most 0.001. The text stays as typed either way.
    bool CheckMultiplierBox(const std::string& text);

private:
    std::string programDir_;
    std::map<std::string, std::array<std::string, 4>> stored_;

    bool ValidBoxes(const SxfBoxes& boxes);
    // Runs `sql` once per row in one transaction, after rebuilding the table when `rebuild`;
    // on success reads the table again and reports it, on failure leaves the file as it was.
    bool Save(bool rebuild, const std::string& sql,
              const std::vector<std::vector<std::string>>& rows);
    bool Fail(const std::string& text);
};

} // namespace vantor
