#include "formula/func_str.h"

namespace vantor {

namespace {

struct BuiltinFormula {
    const char* name;
    unsigned char type;
    const char* text;
};

// The built-in formulas, one statement per line. The texts are kept exactly as the system
// has always shipped them, oddities included (statements without ';', a title statement at
// the end, a duplicate MA60 of 40 bars in BTX).
const BuiltinFormula kBuiltins[] = {
    {"MA", 1,
     "TECHNAME:=MA;\n"
     "TECHTITLE:=均线;\n"
     "DRAWK:=TRUE;\n"
     "M1:=INPUT(2,1000,5,5);\n"
     "M2:=INPUT(2,1000,10,10);\n"
     "M3:=INPUT(2,1000,20,20);\n"
     "M4:=INPUT(2,1000,30,30);\n"
     "M5:=INPUT(2,1000,60,60);\n"
     "MA1:MA(CLOSE,M1);\n"
     "MA2:MA(CLOSE,M2);\n"
     "MA3:MA(CLOSE,M3);\n"
     "MA4:MA(CLOSE,M4);\n"
     "MA5:MA(CLOSE,M5);\n"},
    {"VOL", 1,
     "TECHNAME:=VOL;\n"
     "TECHTITLE:=成交量;\n"
     "DRAWK:=FALSE;\n"
     "M1:=INPUT(2,500,5,5);\n"
     "M2:=INPUT(2,500,10,10);\n"
     "VOLUME:VOL,VOLSTICK;\n"
     "MAVOL1:MA(VOLUME,M1);\n"
     "MAVOL2:MA(VOLUME,M2);\n"},
    {"MACD", 1,
     "TECHNAME:=MACD;\n"
     "TECHTITLE:=平滑异同平均;\n"
     "DRAWK:=FALSE;\n"
     "SHORT:=INPUT(2,200,12,12,'Param日快线移动平均');\n"
     "LONG:=INPUT(2,200,26,26,'Param日慢线移动平均');\n"
     "MID:=INPUT(2,200,9,9,'Param日移动平均');\n"
     "DIF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);\n"
     "DEA:EMA(DIF,MID);\n"
     "MACD:(DIF-DEA)*2,COLORSTICK;\n"
     "0,LINEDOT,COLORWHITE;\n"},
    {"BOLL", 1,
     "TECHNAME:=BOLL;\n"
     "TECHTITLE:=布林带交易系统;\n"
     "DRAWK:=TRUE\n"
     "N:=INPUT(5,100,20,20);\n"
     "MID :MA(CLOSE,N);\n"
     "UPPER:MID+2*STD(CLOSE,N);\n"
     "LOWER:MID-2*STD(CLOSE,N);\n"},
    {"RSI", 1,
     "TECHNAME:=RSI;\n"
     "TECHTITLE:=相对强弱交易系统;\n"
     "DRAWK:=FALSE;\n"
     "N1:=INPUT(2,120,6,6);\n"
     "N2:=INPUT(2,250,12,12);\n"
     "N3:=INPUT(2,500,24,24);\n"
     "LC:=REF(CLOSE,1);\n"
     "RSI1:SMA(MAX(CLOSE-LC,0),N1,1)/SMA(ABS(CLOSE-LC),N1,1)*100;\n"
     "RSI2:SMA(MAX(CLOSE-LC,0),N2,1)/SMA(ABS(CLOSE-LC),N2,1)*100;\n"
     "RSI3:SMA(MAX(CLOSE-LC,0),N3,1)/SMA(ABS(CLOSE-LC),N3,1)*100;\n"},
    {"KDJ", 1,
     "TECHNAME:=KDJ;\n"
     "TECHTITLE:=经典版KDJ;\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,90,9,9,'天数:Param天');\n"
     "M1:=INPUT(2,30,3,3,'天数:Param天');\n"
     "M2:=INPUT(2,30,3,3,'天数:Param天');\n"
     "RSV:=(CLOSE-LLV(LOW,N))/(HHV(HIGH,N)-LLV(LOW,N))*100;\n"
     "K:SMA(RSV,M1,1);\n"
     "D:SMA(K,M2,1);\n"
     "J:3*K-2*D;\n"},
    {"CCI", 1,
     "TECHNAME:=CCI;\n"
     "TECHTITLE:=商品路径指标\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,100,14,14);\n"
     "TYP:=(HIGH+LOW+CLOSE)/3;\n"
     "CCI:(TYP-MA(TYP,N))/(0.015*AVEDEV(TYP,N));\n"
     "-100,linedot,COLORWHITE;\n"
     "0,linedot,COLORWHITE;\n"
     "100,linedot,COLORWHITE;\n"},
    {"DMA", 1,
     "TECHNAME:=DMA;\n"
     "TECHTITLE:=平均差\n"
     "DRAWK:=FALSE;\n"
     "N1:=INPUT(2,60,10,10);\n"
     "N2:=INPUT(2,250,50,50);\n"
     "M:=INPUT(2,100,10,10);\n"
     "DIF:MA(CLOSE,N1)-MA(CLOSE,N2);\n"
     "AMA:MA(DIF,M);\n"},
    {"ATR", 1,
     "TECHNAME:=ATR;\n"
     "TECHTITLE:=真实波动指标\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,250,14,14);\n"
     "TR:MAX(MAX((HIGH-LOW),ABS(REF(CLOSE,1)-HIGH)),ABS(REF(CLOSE,1)-LOW));\n"
     "ATR:MA(TR,N);\n"},
    {"DMI", 1,
     "TECHNAME:=DMI;\n"
     "TECHTITLE:=趋向指标\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,90,14,14);\n"
     "MM:=INPUT(2,60,6,6);\n"
     "MTR:=EMA(MAX(MAX(HIGH-LOW,ABS(HIGH-REF(CLOSE,1))),ABS(REF(CLOSE,1)-LOW)),N);\n"
     "HD :=HIGH-REF(HIGH,1);\n"
     "LD :=REF(LOW,1)-LOW;\n"
     "DMP:=EMA(IF(HD>0&HD>LD,HD,0),N);\n"
     "DMM:=EMA(IF(LD>0&LD>HD,LD,0),N);\n"
     "PDI: DMP*100/MTR;\n"
     "MDI: DMM*100/MTR;\n"
     "ADX: EMA(ABS(MDI-PDI)/(MDI+PDI)*100,MM);\n"
     "ADXR:EMA(ADX,MM);\n"},
    {"FSL", 1,
     "TECHNAME:=分水线\n"
     "TECHTITLE:=分水线\n"
     "N1:=input(1,100,3,3)\n"
     "N2:=input(1,100,10,10)\n"
     "M1:=input(1,100,5,5)\n"
     "M2:=input(1,100,20,20)\n"
     "LC:= REF(CLOSE,1); \n"
     "RSI1:=SMA(MAX(CLOSE-LC,0),N1,1)/SMA(ABS(CLOSE-LC),N1,1)*100; \n"
     "RSI2:=SMA(MAX(CLOSE-LC,0),N2,1)/SMA(ABS(CLOSE-LC),N2,1)*100; \n"
     "买:EMA(RSI1,M1),COLORRED,LINETHICK2; \n"
     "卖:EMA(RSI2,M2),LINETHICK2,COLORFFFF00;\n"
     "DRAWK:=FALSE\n"
     "VAR1:=REF(CLOSE,1); \n"
     "VAR2:SMA(MAX(CLOSE-VAR1,0),6,1)/SMA(ABS(CLOSE-VAR1),6,1)*100; \n"
     "好财神:=CROSS(80,VAR2);\n"
     "DRAWICON(好财神>0,买*1.15,2);\n"
     "DRAWTEXT(好财神>0,买,财神跑);\n"
     "VAR3:=(CLOSE-LLV(LOW,20))/(HHV(HIGH,20)-LLV(LOW,20))*100; \n"
     "VAR4:SMA(SMA(VAR3,3,1),3,1),COLOR00FF00;\n"
     "VAR5:=EMA(VAR4,5); \n"
     "VAR7:3*VAR4-2*VAR5,COLORGREEN;\n"
     "DRAWTEXT(CROSS(VAR7,VAR4) AND VAR7<21,VAR4,财神到),COLORYELLOW; \n"
     "DRAWICON(CROSS(VAR7,VAR4)>0 AND VAR7<21,VAR4,1);\n"},
    {"TRIX", 1,
     "TECHNAME:=TRIX;\n"
     "TECHTITLE:=三重指数平均线\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,100,12,12);\n"
     "M:=INPUT(2,100,9,9);\n"
     "MTR:=EMA(EMA(EMA(CLOSE,N),N),N);\n"
     "TRIX:(MTR-REF(MTR,1))/REF(MTR,1)*100;\n"
     "MATRIX:MA(TRIX,9) ;\n"},
    {"BRAR", 1,
     "TECHNAME:=BRAR;\n"
     "TECHTITLE:=情绪指标\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,120,26,26);\n"
     "BR:SUM(MAX(0,HIGH-REF(CLOSE,1)),N)/SUM(MAX(0,REF(CLOSE,1)-LOW),N)*100;\n"
     "AR:SUM(HIGH-OPEN,N)/SUM(OPEN-LOW,N)*100;\n"
     "20,linedot,COLORWHITE;\n"
     "400,linedot,COLORWHITE;\n"},
    {"CR", 1,
     "TECHNAME:=CR;\n"
     "TECHTITLE:=带状能量线\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,100,26,26);\n"
     "M1:=INPUT(0,100,10,10);\n"
     "M2:=INPUT(0,100,20,20);\n"
     "M3:=INPUT(0,100,40,40);\n"
     "M4:=INPUT(0,100,62,62);\n"
     "MID:=REF(HIGH+LOW,1)/2;\n"
     "CR:SUM(MAX(0,HIGH-MID),N)/SUM(MAX(0,MID-LOW),N)*100;\n"
     "MA1:REF(MA(CR,M1),M1/2.5+1);\n"
     "MA2:REF(MA(CR,M2),M2/2.5+1);\n"
     "MA3:REF(MA(CR,M3),M3/2.5+1);\n"
     "MA4:REF(MA(CR,M4),M4/2.5+1);\n"},
    {"VR", 1,
     "TECHNAME:=VR;\n"
     "TECHTITLE:=成交量变异率\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,100,26,26);\n"
     "M:=INPUT(2,100,6,6);\n"
     "TH:=SUM(IF(CLOSE>REF(CLOSE,1),VOL,0),N);\n"
     "TL:=SUM(IF(CLOSE<REF(CLOSE,1),VOL,0),N);\n"
     "TQ:=SUM(IF(CLOSE=REF(CLOSE,1),VOL,0),N);\n"
     "VR:100*(TH*2+TQ)/(TL*2+TQ);\n"
     "MAVR:MA(VR,M);\n"},
    {"OBV", 1,
     "TECHNAME:=OBV;\n"
     "TECHTITLE:=累积能量线;\n"
     "DRAWK:=FALSE;\n"
     "M:=INPUT(2,100,30,30);\n"
     "VA:=IF(CLOSE>REF(CLOSE,1),VOL,0-VOL);\n"
     "OBV:SUM(IF(CLOSE=REF(CLOSE,1),0,VA),0);\n"
     "MAOBV:MA(OBV,M);\n"},
    {"ASI", 1,
     "TECHNAME:=ASI;\n"
     "TECHTITLE:=实质线;\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(1,100,6,6);\n"
     "LC:=REF(CLOSE,1);\n"
     "AA:=ABS(HIGH-LC);\n"
     "BB:=ABS(LOW-LC);\n"
     "CC:=ABS(HIGH-REF(LOW,1));\n"
     "DD:=ABS(LC-REF(OPEN,1));\n"
     "R:=IF(AA>BB AND AA>CC,AA+BB/2+DD/4,IF(BB>CC AND BB>AA,BB+AA/2+DD/4,CC+DD/4));\n"
     "X:=(CLOSE-LC+(CLOSE-OPEN)/2+LC-REF(OPEN,1));\n"
     "SI:=8*X/R*MAX(AA,BB);\n"
     "ASI:SUM(SI,0);\n"
     "MASI:MA(ASI,N);\n"},
    {"EMV", 1,
     "TECHNAME:=EMV;\n"
     "TECHTITLE:=简易波动指标\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,90,14,14);\n"
     "M:=INPUT(2,60,9,9);\n"
     "VOLUME:=MA(VOL,N)/VOL;\n"
     "MID:=100*(HIGH+LOW-REF(HIGH+LOW,1))/(HIGH+LOW);\n"
     "EMV:MA(MID*VOLUME*(HIGH-LOW)/MA(HIGH-LOW,N),N);\n"
     "MAEMV:MA(EMV,M);\n"
     "0,linedot,COLORWHITE;\n"},
    {"WR", 1,
     "TECHNAME:=WR;\n"
     "TECHTITLE:=威廉指标\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,100,10,10);\n"
     "N1:=INPUT(2,100,6,6);\n"
     "WR1:100*(HHV(HIGH,N)-CLOSE)/(HHV(HIGH,N)-LLV(LOW,N));\n"
     "WR2:100*(HHV(HIGH,N1)-CLOSE)/(HHV(HIGH,N1)-LLV(LOW,N1));\n"},
    {"SAR", 1,
     "TECHNAME:=SAR;\n"
     "TECHTITLE:=抛物线指标\n"
     "DRAWK:=TRUE;\n"
     "N:=INPUT(1,100,4,4);\n"
     "S:=INPUT(1,100,2,2);\n"
     "M:=INPUT(1,100,20,20);\n"
     "SAR:SAR(N,S,M),NODRAW;\n"
     "A:IF(CLOSE>SAR,SAR,DRAWNULL),CIRCLEDOT,COLORRED;\n"
     "B:IF(CLOSE<SAR,SAR,DRAWNULL),CIRCLEDOT,COLORGREEN;\n"},
    {"ROC", 1,
     "TECHNAME:=ROC;\n"
     "TECHTITLE:=变动速率交易系统;\n"
     "DRAWK:=FALSE\n"
     "N:=INPUT(1,100,12,12);\n"
     "M:=INPUT(1,20,6,6);\n"
     "ROC:100*(CLOSE-REF(CLOSE,N))/REF(CLOSE,N);\n"
     "MAROC:MA(ROC,M);\n"
     "-6.5,linedot,COLORWHITE;\n"
     "0,linedot,COLORWHITE;\n"
     "6.5,linedot,COLORWHITE;\n"},
    {"MTM", 1,
     "TECHNAME:=MTM;\n"
     "TECHTITLE:=动力指标交易系统;\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,120,12,12);\n"
     "M:=INPUT(2,60,6,6);\n"
     "MTM:CLOSE-REF(CLOSE,N);\n"
     "MTMMA:MA(MTM,M);\n"},
    {"PSY", 1,
     "TECHNAME:=PSY;\n"
     "TECHTITLE:=心理线\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,100,12,12);\n"
     "M:=INPUT(2,100,6,6);\n"
     "PSY:COUNT(CLOSE>REF(CLOSE,1),N)/N*100;\n"
     "PSYMA:MA(PSY,M);\n"
     "25,linedot,COLORWHITE;\n"
     "75,linedot,COLORWHITE;\n"},
    {"MCST", 1,
     "TECHNAME:=MCST;\n"
     "DRAWK:=TRUE;\n"
     "MCST:DMA(AMOUNT/(100*VOL),VOL/CAPITAL);\n"
     "TECHTITLE:=市场成本;\n"},
    {"BIAS", 1,
     "TECHNAME:=BIAS;\n"
     "TECHTITLE:=乖离率\n"
     "DRAWK:=FALSE;\n"
     "N1:=INPUT(2,250,6,6);\n"
     "N2:=INPUT(2,250,12,12);\n"
     "N3:=INPUT(2,250,24,24);\n"
     "BIAS1:(CLOSE-MA(CLOSE,N1))/MA(CLOSE,N1)*100;\n"
     "BIAS2:(CLOSE-MA(CLOSE,N2))/MA(CLOSE,N2)*100;\n"
     "BIAS3:(CLOSE-MA(CLOSE,N3))/MA(CLOSE,N3)*100;\n"},
    {"MIKE", 1,
     "TECHNAME:=MIKE;\n"
     "TECHTITLE:=麦克支撑压力;\n"
     "N:=INPUT(2,120,10,10);\n"
     "DRAWK:=TRUE;\n"
     "HLC:=REF(MA((HIGH+LOW+CLOSE)/3,N),1);\n"
     "HV:=EMA(HHV(HIGH,N),3);\n"
     "LV:=EMA(LLV(LOW,N),3);\n"
     "STOR:EMA(2*HV-LV,3);\n"
     "MIDR:EMA(HLC+HV-LV,3);\n"
     "WEKR:EMA(HLC*2-LV,3);\n"
     "WEKS:EMA(HLC*2-HV,3);\n"
     "MIDS:EMA(HLC-HV+LV,3);\n"
     "STOS:EMA(2*LV-HV,3);\n"},
    {"WVAD", 1,
     "TECHNAME:=WVAD;\n"
     "TECHTITLE:=威廉变异离散量\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(2,120,24,24);\n"
     "M:=INPUT(2,60,6,6);\n"
     "WVAD:SUM((CLOSE-OPEN)/(HIGH-LOW)*VOL,N)/10000;\n"
     "MAWVAD:MA(WVAD,M);\n"},
    {"BDT", 2,
     "TECHNAME:=波段图;\n"
     "TECHTITLE:=波段图;\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(1,100,18,18);\n"
     "M:=INPUT(1,100,9,9);\n"
     "N2:=INPUT(1,100,31,31);\n"
     "VAR3:=(CLOSE-LLV(CLOSE,N))/(HHV(CLOSE,N)-LLV(CLOSE,N));\n"
     "VAR4:=SMA(VAR3,M,1);\n"
     "VAR5:=SMA(VAR4,1,1);\n"
     "J:3*VAR4-2*VAR5;\n"
     "A2:EMA(VAR4,N2);\n"
     "STICKBAR(J,A2,COLORRED,COLORGREEN);\n"},
    {"DB6", 2,
     "TECHNAME:=波段图;\n"
     "TECHTITLE:=波段图;\n"
     "DRAWK:=FALSE;\n"
     "N:=INPUT(1,100,9,9);\n"
     "M:=INPUT(1,100,6,6);\n"
     "K:=INPUT(1,100,3,3);\n"
     "A:=(CLOSE-LLV(CLOSE,N))/(HHV(CLOSE,N)-LLV(CLOSE,N));\n"
     "B:=SMA(A,M,1);\n"
     "FCLOSE:=SMA(B,K,1);\n"
     "PARTLINE(FCLOSE,COLORRED,COLORGREEN);\n"
     "BTX(FCLOSE,COLORRED,COLORGREEN);\n"},
    {"BTX", 2,
     "TECHNAME:=BTX\n"
     "TECHTITLE:=宝塔线一;\n"
     "DRAWK:=FALSE\n"
     "MA5:MA(CLOSE,5)\n"
     "MA10:MA(CLOSE,10)\n"
     "MA20:MA(CLOSE,20)\n"
     "MA30:MA(CLOSE,30)\n"
     "MA60:MA(CLOSE,40)\n"
     "BTX(CLOSE,COLORRED,COLORGREEN)\n"},
    {"TWR", 2,
     "TECHNAME:=TWR;\n"
     "TECHTITLE:=宝塔线二;\n"
     "DRAWK:=FALSE\n"
     "MA5:=MA(CLOSE,5);\n"
     "MA10:=MA(CLOSE,10);\n"
     "MA20:=MA(CLOSE,20);\n"
     "TWR(CLOSE,COLORRED,COLORGREEN)\n"},
    {"EXPMA", 2,
     "TECHNAME:=EXPMA;\n"
     "TECHTITLE:=指数平均线;\n"
     "M1:=INPUT(2,250,12,12);\n"
     "M2:=INPUT(2,250,50,50);\n"
     "EXP1:EXPMA(CLOSE,M1);\n"
     "EXP2:EXPMA(CLOSE,M2);\n"},
    {"FS", 2,
     "TECHNAME:=FS;\n"
     "TECHTITLE:=分时均线;\n"
     "VOL1:=SUM(VOL,0);\n"
     "VK:=VOL*CLOSE;\n"
     "V2:=SUM(VK,0);\n"
     "JJ:=V2/VOL1;\n"
     "均价线:IF(JJ>0,V2/VOL1,CLOSE),COLORYELLOW;\n"
     "收盘价:CLOSE,COLORWHITE;\n"
     "DRAWK:=FALSE;\n"},
    {"PBX", 2,
     "TECHNAME:=PBX;\n"
     "TECHTITLE:=瀑布线;\n"
     "DRAWK:=TRUE;\n"
     "M1:=INPUT(3,10,4,4);\n"
     "M2:=INPUT(3,20,6,6);\n"
     "M3:=INPUT(3,30,9,9);\n"
     "M4:=INPUT(3,40,13,13);\n"
     "M5:=INPUT(3,50,18,18);\n"
     "M6:=INPUT(3,60,24,24);\n"
     "PBX1:(EXPMA(CLOSE,M1)+MA(CLOSE,M1*2)+MA(CLOSE,M1*4))/3;\n"
     "PBX2:(EXPMA(CLOSE,M2)+MA(CLOSE,M2*2)+MA(CLOSE,M2*4))/3;\n"
     "PBX3:(EXPMA(CLOSE,M3)+MA(CLOSE,M3*2)+MA(CLOSE,M3*4))/3;\n"
     "PBX4:(EXPMA(CLOSE,M4)+MA(CLOSE,M4*2)+MA(CLOSE,M4*4))/3;\n"
     "PBX5:(EXPMA(CLOSE,M5)+MA(CLOSE,M5*2)+MA(CLOSE,M5*4))/3;\n"
     "PBX6:(EXPMA(CLOSE,M6)+MA(CLOSE,M6*2)+MA(CLOSE,M6*4))/3;\n"},
    {"LB", 2,
     "TECHNAME:=量比;\n"
     "TECHTITLE:=量比;\n"
     "K:=BARSCOUNT(CLOSE);\n"
     "PV1:=SUM(V,0)/K;\n"
     "量比:PV1/100000;\n"},
    {"FSVOL", 2,
     "TECHNAME:=FSVOL;\n"
     "TECHTITLE:=分时成交量;\n"
     "DRAWK:=FALSE;\n"
     "VOLUME:VOL,fsSTICK;\n"},
    {"TEST", 2,
     "TECHNAME:=TEST;\n"
     "A:=MAX(MA(C,5),MA(C,10));\n"
     "B:=MIN(MA(C,5),MA(C,10));\n"
     "绿灯行:C>A,COLORGREEN;\n"
     "红灯停:C<B,COLORRED;\n"
     "黄灯观望:C>=B AND C<=A,COLORYELLOW;\n"
     "STICKLINE(C>A,3.3,4,2,0),COLORGREEN,LINETHICK2;\n"
     "STICKLINE(C<B,3.3,4,2,0),COLORRED,LINETHICK2;\n"
     "STICKLINE(C>=B AND C<=A,3.3,4,2,0),COLORYELLOW,LINETHICK2;\n"
     "DRAWK:=FALSE;\n"},
    {"TEST1", 2,
     "TECHNAME:=TEST1;\n"
     "A1:=EMA(C,14),COLORWHITE,LINETHICK1;\n"
     "A1X:=(A1-REF(A1,1))/REF(A1,1)*100;\n"
     "突破:=REF(EMA(C,14),1);\n"
     "距离:=(C-突破)/突破*100;\n"
     "出击:IF(A1X>=0,REF(EMA(C,14),BARSLAST(CROSS(A1X,0))+1),DRAWNULL),COLORRED,LINETHICK1;\n"},
};

// The title is the value of the name "TECHTITLE:" read as a name=value line of the upper-cased
// text ("TECHTITLE:=均线;" gives "均线"), without one trailing ';'.
std::string TitleOf(std::string_view upperText) {
    std::size_t pos = 0;
    while (pos < upperText.size()) {
        std::size_t end = upperText.find('\n', pos);
        if (end == std::string_view::npos) end = upperText.size();
        std::string_view line = upperText.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || line.substr(0, eq) != "TECHTITLE:") continue;
        std::string_view value = line.substr(eq + 1);
        if (!value.empty() && value.back() == ';') value.remove_suffix(1);
        return std::string(value);
    }
    return {};
}

} // namespace

std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

TFuncStr::TFuncStr() {
    for (const auto& f : kBuiltins) Add(f.name, f.text, f.type);
}

const TFuncStr& TFuncStr::Builtins() {
    static const TFuncStr table;
    return table;
}

int TFuncStr::IndexOf(std::string_view GsName) const {
    const std::string name = UpperAscii(GsName);
    for (std::size_t i = 0; i < FNameList.size(); ++i)
        if (FNameList[i] == name) return static_cast<int>(i);
    return -1;
}

void TFuncStr::Add(std::string_view GsName, std::string_view Str, unsigned char FType) {
    if (IndexOf(GsName) >= 0) return;
    FNameList.push_back(UpperAscii(GsName));
    FFuncStr.emplace_back(Str);
    FTitleList.push_back(TitleOf(UpperAscii(Str)));
    FFuncType.push_back(FType);
}

void TFuncStr::GetList(int FType, std::vector<std::string>& SL) const {
    for (std::size_t i = 0; i < FNameList.size(); ++i)
        if (FType == -1 || FFuncType[i] == FType) SL.push_back(FNameList[i]);
}

std::string TFuncStr::GetStr(std::string_view GsName) const {
    int i = IndexOf(GsName);
    return i < 0 ? std::string() : FFuncStr[i];
}

std::string TFuncStr::GetTitle(std::string_view GsName) const {
    int i = IndexOf(GsName);
    return i < 0 ? std::string() : FTitleList[i];
}

} // namespace vantor
