// The trades of one instrument with the bar each was made at, for the chart's trade marks.

#include "journal/journal.h"

namespace vantor {

bool TJournal::ReadTradeBars(const std::string& name, const std::string& code,
                             std::vector<TradeBarRow>& rows) {
    sError.clear();
    rows.clear();
    SqlDatabase db;
    if (!OpenDb(db) ||
        !db.Query("select sTradeDirect, sPrice, sOther from Tradelog where sUsername=? and "
                  "sStockCode=?;",
                  {name, code}, [&](const SqlStatement& r) {
                      rows.push_back({r.Text(0), r.Text(1), r.Text(2)});
                  })) {
        rows.clear();
        return Fail(db.error());
    }
    return true;
}

} // namespace vantor
