// Start-up, settings and loading: config.ini read and written, the account restored, start
// rows and dates, loading by code, the empty account name and a malformed settings file.

#include "practice_fixture.h"

namespace vantor::test {
namespace {

void Sample(PracticeEnv& e) {
    e.Write("mindata/TST.txt", MinuteLines(Session(20240102, 20, 100)));
    e.Write("mindata/ALT.txt", MinuteLines(Session(20240105, 10, 50)));
}

TEST(Startup, ReadsTheAccountsSectionAndLoadsItsInstrument) {
    PracticeEnv e;
    Sample(e);
    e.Config("etj=0\n步长=0\n高低点=0\n播放间隔=7\ntips=0\nntec=5\n初始资金=100000\n");
    e.Start();
    const FormControls& c = e.form->Controls();
    EXPECT_EQ(c.codeBox, "TST");
    EXPECT_EQ(c.basePeriod, 0);
    EXPECT_TRUE(e.form->TwoStepMode());
    EXPECT_TRUE(e.form->ConfirmTips());
    EXPECT_EQ(c.playIntervalBox, "7");
    EXPECT_EQ(c.initialFundsBox, "100000");
    EXPECT_EQ(e.form->Chart().TechWindows(), 5);
    EXPECT_EQ(c.codeList, (std::vector<std::string>{"ALT", "TST"}));
    EXPECT_EQ(e.form->Chart().BarCount(), 1);
    EXPECT_EQ(e.form->Controls().windowTitle, "Vantor操盘训练系统");
    for (const char* folder : {"log", "pic", "daydata", "mindata", "min5data", "export"})
        EXPECT_TRUE(std::filesystem::is_directory(e.dir.path() + "/" + folder)) << folder;
}

TEST(Startup, SettingsAndPositionSurviveARestart) {
    PracticeEnv e;
    Sample(e);
    e.Config("etj=1\n步长=0\n");
    e.Start();
    for (int i = 0; i < 5; ++i) e.form->NextBar();
    e.form->Controls().lotsBox = "1";
    e.form->BuyOpenButton();
    e.form->SetHighLow(0);
    e.form->SetPlayInterval("3");
    // Typed but never loaded with Enter: the saved code stays the loaded one.
    e.form->SetCodeText("alt");
    EXPECT_EQ(e.form->Controls().codeBox, "ALT");
    e.host.answers = {true};
    ASSERT_TRUE(e.form->ConfirmClose());
    EXPECT_EQ(e.host.questions.back(), "您还未清仓,确定要退出吗？ ");
    const std::string ini = e.Read("config.ini");
    EXPECT_NE(ini.find("[系统设置]\n账户名称=trainee"), std::string::npos) << ini;
    EXPECT_NE(ini.find("股票代码=TST"), std::string::npos) << ini;
    EXPECT_NE(ini.find("高低点=0"), std::string::npos);
    EXPECT_NE(ini.find("播放间隔=3"), std::string::npos);
    e.form.reset();

    e.Start();
    EXPECT_EQ(e.form->Store().lastrow(), 5);
    EXPECT_EQ(e.form->Chart().BarCount(), 6);
    EXPECT_EQ(e.form->Account().ddcc, 1);
    EXPECT_EQ(e.form->Controls().highLow, 0);
    EXPECT_EQ(e.form->Controls().playIntervalBox, "3");
}

TEST(Startup, EmptyAccountNameReadsNothing) {
    PracticeEnv e;
    Sample(e);
    e.Config("ntec=6\n");
    e.Start("");
    EXPECT_TRUE(std::filesystem::is_directory(e.dir.path() + "/log"));
    EXPECT_EQ(e.form->Chart().TechWindows(), 3);
    EXPECT_DOUBLE_EQ(e.form->Account().kyzj(), 10000);
    EXPECT_EQ(e.form->Store().fcount, 0);
}

TEST(Startup, MalformedSettingsStartWithDefaultsAndSaySo) {
    struct Case {
        const char* name;
        std::string text;
        bool noted;
    };
    const Case cases[] = {
        {"binary junk",
         std::string("\x7f"
                     "ELF\0\1\2\xff\xfe[[[",
                     12),
         true},
        {"no section", "[其他]\nx=1\n", false},
        {"non-numbers",
         "[系统设置]\n账户名称=trainee\n[trainee]\n股票代码=TST\n周期=abc\n"
         "高低点=x\n日期=?\n播放间隔=fast\ntips=yes\n步长=-\netj=9\nntec=many\n"
         "划线工具=maybe\n止损价=none\n",
         true},
    };
    for (const Case& c : cases) {
        PracticeEnv e;
        Sample(e);
        e.Write("config.ini", c.text);
        e.Start();
        const FormControls& f = e.form->Controls();
        EXPECT_EQ(f.basePeriod, 0) << c.name;
        EXPECT_EQ(f.highLow, 1) << c.name;
        EXPECT_EQ(f.playIntervalBox, "10") << c.name;
        EXPECT_EQ(f.mode, 1) << c.name;
        EXPECT_EQ(f.stopPriceBox, "0") << c.name;
        EXPECT_EQ(e.form->Chart().TechWindows(), 3) << c.name;
        bool noted = false;
        for (const std::string& m : e.host.messages)
            noted |= m.find("config.ini") != std::string::npos;
        EXPECT_EQ(noted, c.noted) << c.name;
        // Saving replaces the junk with a clean file.
        EXPECT_TRUE(e.form->WriteSettings());
        EXPECT_NE(e.Read("config.ini").find("账户名称=trainee"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(e.dir.path() + "/config.ini.tmp"));
    }
}

TEST(Startup, StartRowsAndDates) {
    PracticeEnv e;
    Sample(e);
    e.Config("etj=1\n");
    e.Start();
    e.AtRow(1);
    EXPECT_EQ(e.form->Chart().BarCount(), 1);
    e.AtRow(20); // as many as the file has bars
    EXPECT_TRUE(e.host.Saw("当前行大于最大行20"));
    e.AtRow(0);
    EXPECT_EQ(e.host.messages.back(), "当前行大于最大行20");
    e.AtRow(7);
    EXPECT_EQ(e.form->Chart().BarCount(), 7);

    // The first bar's date: the first bar itself is shown.
    e.form->ChooseStartDate(2024, 1, 2);
    EXPECT_EQ(e.form->Store().nIndex, e.form->Store().lastrow());
    EXPECT_GE(e.form->Chart().BarCount(), 1);
    e.form->ChooseStartDate(2024, 3, 1);
    EXPECT_TRUE(e.host.Saw("没找到当前日期20240301"));

    e.form->StartRowDoubleClick();
    EXPECT_EQ(e.form->Controls().startRowBox, "1");
    EXPECT_EQ(e.form->Chart().BarCount(), 1);
}

TEST(Startup, LoadingByCode) {
    PracticeEnv e;
    Sample(e);
    e.Config("etj=1\ntips=0\n");
    e.Start();
    e.form->SetCodeText("nope");
    e.form->CodeEnter();
    EXPECT_EQ(e.host.messages.back().rfind("文件：", 0), 0u);
    e.form->SetCodeText("alt");
    e.form->CodeEnter();
    EXPECT_TRUE(e.host.Saw("数据载入成功！"));
    EXPECT_EQ(e.form->Store().fcount, 10);
    e.form->Controls().lotsBox = "1";
    e.form->SellOpenButton();
    e.form->SetCodeText("TST");
    e.form->CodeEnter();
    EXPECT_EQ(e.host.messages.back(), "当前未清仓，请清仓后更换！");
    e.form->RandomTraining();
    EXPECT_EQ(e.host.messages.back(), "当前未清仓，请清仓后更换！");
    EXPECT_EQ(e.form->Store().fcount, 10);
}

TEST(Startup, AccountReinitialisationKeepsOtherAccounts) {
    PracticeEnv e;
    Sample(e);
    e.Config("etj=1\ntips=0\n初始资金=50000\n");
    e.Start();
    e.form->Controls().lotsBox = "1";
    e.form->BuyOpenButton();
    e.form->CloseAllButton();
    ASSERT_EQ(e.Journal().size(), 2u);
    e.host.answers = {false};
    e.form->InitAccountMenu();
    EXPECT_EQ(e.Journal().size(), 2u);
    e.form->InitAccountMenu();
    EXPECT_TRUE(e.host.Saw("账户初始化成功！"));
    EXPECT_TRUE(e.Journal().empty());
    EXPECT_DOUBLE_EQ(e.form->Account().kyzj(), 50000);
    EXPECT_EQ(e.form->Controls().startRowBox, "1");
}

// The chart background a theme paints: pixels of grey 808080 in the rendered control.
int GreyPixels(TForm1& form) {
    form.Chart().SetSize(400, 300);
    const QImage& img = form.Chart().Image();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xffffff) == 0x808080;
    return n;
}

TEST(Startup, ThemeIsRememberedInTheAccountsSection) {
    PracticeEnv e;
    Sample(e);
    e.Config("");
    e.Start();
    e.form->SetTheme(true);
    EXPECT_NE(e.Read("config.ini").find("主题=0"), std::string::npos) << e.Read("config.ini");
    e.form.reset();
    e.Start();
    const int grey = GreyPixels(*e.form);
    EXPECT_GT(grey, 400 * 300 / 4);

    e.form->SetTheme(false);
    e.host.answers = {true};
    ASSERT_TRUE(e.form->ConfirmClose()); // saving the settings keeps the key
    EXPECT_NE(e.Read("config.ini").find("主题=1"), std::string::npos);
    e.form.reset();
    e.Start();
    EXPECT_LT(GreyPixels(*e.form), grey / 10);
}

} // namespace
} // namespace vantor::test
