#pragma once
// The simulated futures account: available funds, one long and one short position of the
// current instrument, margin, floating result and the figures of the last trade. Price moves
// are marked to market at every new current price.

#include <string>

#include "account/sxf.h"

namespace vantor {

// How commission is charged: `phd` per lot (the fee rate × 10000 is money per lot), `pze`
// per turnover (the fee rate is a fraction of the traded contract value).
enum FeeModel : int { phd = 0, pze = 1 };

// A general account. Only the futures account below is used by the practice; the fields of
// a stock account are kept so the account state has its familiar shape.
class TAcount {
public:
    virtual ~TAcount() = default;

    double Fsxfl = 0;   // commission rate of a general account (not used)
    double Fmcsxfl = 0; // selling commission rate of a general account (not used)
    double Fzzc = 0;    // total assets of a general account (not used)
    double Fgpsz = 0;   // market value of holdings of a general account (not used)
    double Fkyzj = 0;   // available funds
    std::string sError; // text of the last failure, shown by the caller
    int huaPoint = 0;   // slippage in ten-thousandths of a price unit

    double sxfl() const { return Fsxfl; }
    double mcsxfl() const { return Fmcsxfl; }
    double zzc() const { return Fzzc; }
    double kyzj() const { return Fkyzj; }
    double gpsz() const { return Fgpsz; }
    void setSxfl(double v) { Fsxfl = v; }
    void setMcsxfl(double v) { Fmcsxfl = v; }
    void setZzc(double v) { Fzzc = v; }
    void setKyzj(double v) { Fkyzj = v; }
    void setGpsz(double v) { Fgpsz = v; }

    virtual bool buyopen(double cjj, double mmsl) = 0;
    virtual bool buyClose(double cjj, double mmsl) = 0;
    // Position text of a general account; a futures account has none.
    virtual std::string GetGpposition() const { return {}; }
    virtual std::string GetQhPosition() const = 0;
};

class TqhAcount : public TAcount {
public:
    // Funds, long lots, short lots, long and short average prices. The parameters start as
    // multiplier 10, margin 0.2, fees 0.003 and the fee model per lot.
    TqhAcount(double nkyzj = 0, double nddcc = 0, double nkdcc = 0, double nddccj = 0,
              double nkdccj = 0);

    double srjsj = 0;  // spare
    double Ffdyk = 0;  // floating result after a revaluation; realised result of the last close
    double fbzjzy = 0; // margin held
    double Fdtqy = 0;  // dynamic equity = available funds + margin held
    double Fzjfse = 0; // cash moved by the last trade
    double Ffsxf = 0;  // commission of the last trade
    double ddcc = 0;   // long lots
    double kdcc = 0;   // short lots
    double ddccj = 0;  // average price of the long position
    double kdccj = 0;  // average price of the short position
    double ddzsj = 0;  // spare
    double kdzsj = 0;  // spare
    Rsxf sxf;          // parameters of the instrument traded
    std::string scode; // data file of the instrument traded
    FeeModel nmode = phd;

    double zcc() const { return ddcc + kdcc; }
    double Fdyk() const { return Ffdyk; }
    double Bzjzy() const { return fbzjzy; }
    double dtqy() const { return Fdtqy; }
    double zjfse() const { return Fzjfse; }
    double fSxf() const { return Ffsxf; }
    void setFdyk(double v) { Ffdyk = v; }
    void setBzjzy(double v) { fbzjzy = v; }
    void setDtqy(double v) { Fdtqy = v; }
    void setZjfse(double v) { Fzjfse = v; }
    void setfSxf(double v) { Ffsxf = v; }

    // The current price: the price of the last revaluation (0 before the first).
    double jsj() const { return Fjsj; }
    // Revalues the account at price `x`: the price move and the slippage flow into the funds,
    // margin and equity are recomputed at `x`. A price that is not a finite number above 0
    // (the invalid value included) is refused: false, nothing changes.
    bool setJsj(double x);

    // The four trades at price `cjj` for `mmsl` lots. False with `sError` set, and the account
    // unchanged, when the trade cannot be made.
    bool buyopen(double cjj, double mmsl) override;
    bool sellopen(double cjj, double mmsl);
    bool buyClose(double cjj, double mmsl) override;
    bool sellClose(double cjj, double mmsl);

    // Resets to funds `fv`, no positions, fee model per lot.
    void csh(double fv);

    std::string GetQhPosition() const override;

    // Commission of `q` lots at price `p` with rate `rate` under the current fee model.
    double Fee(double rate, double q, double p) const;

private:
    double Fjsj = 0;

    bool CheckTrade(double cjj, double mmsl, double p);
    bool Open(double cjj, double mmsl, double p, double& lots, double& avg);
    bool Close(double cjj, double mmsl, double p, double& lots, double& avg, int side);
};

} // namespace vantor
