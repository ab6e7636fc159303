// Drawn objects kept with the instrument: saved when the program or the instrument closes,
// back when it is loaded again, position lines never written, a malformed file ignored whole.

#include <gtest/gtest.h>

#include "chart/objects/line_geometry.h"
#include "chart/objects/object_file.h"
#include "practice_fixture.h"

namespace vantor::test {
namespace {

XXLine Drawn(int kind, int bar, float value, const std::string& text = "") {
    XXLine o;
    o.FType = kind;
    o.FPointCount = PointCountOf(kind);
    o.FColor = RGBColor(255, 255, 0);
    o.FXX = {bar, bar + 5, bar + 9};
    o.FYY = {value, value + 2.5f, value - 1};
    o.FString = text;
    o.FName = "名";
    return o;
}

void StartOn(PracticeEnv& e, const std::string& code) {
    e.Write("mindata/TST.txt", MinuteLines(Session(20240102, 30, 100)));
    e.Write("mindata/OTH.txt", MinuteLines(Session(20240102, 30, 500)));
    e.Config("");
    e.form = std::make_unique<TForm1>(e.dir.path(), "trainee", e.host);
    e.form->Controls().codeBox = code;
    e.form->Startup();
}

TEST(DrawnObjects, KeptPerInstrumentAcrossCloseAndLoad) {
    PracticeEnv e;
    StartOn(e, "TST");
    TGP& chart = e.form->Chart();
    chart.AddObject(0, Drawn(kSegment, 3, 101.25f));
    chart.AddObject(1, Drawn(kText, 4, 7, "两行\n文字\t带\\"));
    XXLine pos = Drawn(kPositionLine, 3, 100);
    chart.AddObject(0, pos);
    ASSERT_TRUE(e.form->ConfirmClose());
    const std::string saved = e.Read("lines/TST.txt");
    EXPECT_EQ(saved.find("\t50\t"), std::string::npos); // the position line is the practice's

    // A new run on the same folder and instrument: the objects come back.
    e.form.reset();
    e.form = std::make_unique<TForm1>(e.dir.path(), "trainee", e.host);
    e.form->Startup();
    TGP& again = e.form->Chart();
    ASSERT_EQ(again.Objects(0).size(), 1u);
    EXPECT_EQ(again.Objects(0)[0].FXX, (std::array<int, 3>{3, 8, 12}));
    EXPECT_EQ(again.Objects(0)[0].FYY[1], 103.75f);
    EXPECT_EQ(again.Objects(0)[0].FName, "名");
    ASSERT_EQ(again.Objects(1).size(), 1u);
    EXPECT_EQ(again.Objects(1)[0].FString, "两行\n文字\t带\\");

    // Another instrument starts without them; back on the first they return, and the second
    // keeps its own.
    again.AddObject(2, Drawn(kRectangle, 1, 7));
    e.form->SetCodeText("OTH");
    e.form->CodeEnter();
    EXPECT_TRUE(again.Objects(0).empty() && again.Objects(1).empty() && again.Objects(2).empty());
    again.AddObject(0, Drawn(kHorizontalLine, 2, 505));
    e.form->SetCodeText("TST");
    e.form->CodeEnter();
    ASSERT_EQ(again.Objects(0).size(), 1u);
    EXPECT_EQ(again.Objects(0)[0].FType, kSegment);
    EXPECT_EQ(again.Objects(2).size(), 1u);
    EXPECT_NE(e.Read("lines/OTH.txt").find("\t29\t"), std::string::npos);
}

TEST(DrawnObjects, MalformedFileIgnoredWholeWithAMessage) {
    WindowObjects one;
    one[0].push_back(Drawn(kSegment, 3, 101));
    one[0].push_back(Drawn(kArrow, 4, 102));
    const std::string good = WriteObjects(one);
    const std::string firstLine = good.substr(0, good.find('\n', good.find('\n') + 1) + 1);
    const std::string bad[] = {
        "",                                                              // no header
        "vantor-lines 2\n",                                              // another format
        firstLine + "0\t1\t65535\t2\t0\t1\t8\t3\t8\n",                   // short line
        firstLine + "10\t1\t65535\t2\t0\t1\t8\t3\t8\t12\t1\t2\t3\t\t\n", // no window 10
        firstLine + "0\t2\t65535\t2\t0\t1\t8\t3\t8\t12\t1\t2\t3\t\t\n",  // no kind 2
        firstLine + "0\t5\t65535\t2\t0\t1\t8\t3\t8\t12\t1\t2\t3\t\t\n",  // a channel of 2 points
        firstLine + "0\t1\t65535\t2\t0\t1\t8\t3x\t8\t12\t1\t2\t3\t\t\n", // a bar that is no number
        firstLine + "0\t1\t65535\t2\t0\t1\t8\t3\t8\t12\tnan\t2\t3\t\t\n",
        firstLine + "0\t1\t65535\t2\t0\t1\t8\t3\t8\t12\t1\t2\t3\t\\q\t\n", // unknown escape
    };
    for (const std::string& text : bad) {
        WindowObjects out = one;
        EXPECT_FALSE(ReadObjects(text, out)) << text;
        EXPECT_EQ(out[0].size(), 2u); // untouched
    }
    WindowObjects back;
    ASSERT_TRUE(ReadObjects(good, back));
    EXPECT_EQ(back[0].size(), 2u);

    // On load: a good first line and a broken second one apply nothing at all.
    PracticeEnv e;
    e.Write("lines/TST.txt", firstLine + "0\t1\t65535\t2\t0\t1\t8\t3\tbroken\n");
    StartOn(e, "TST");
    EXPECT_TRUE(e.form->Chart().Objects(0).empty() ||
                !IsUserObject(e.form->Chart().Objects(0).back()));
    EXPECT_TRUE(e.host.Saw("画线文件格式有误，已忽略：" + e.form->DrawnObjectsFile("TST")));
}

} // namespace
} // namespace vantor::test
