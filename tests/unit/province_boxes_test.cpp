// The province grid's boxes and their marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "contest/contest_rules.h"
#include "display/province_boxes.h"

using namespace display;

namespace {

const ProvinceBox& BoxCaptioned(const std::string& caption) {
    auto it = std::find_if(kProvinceBoxes.begin(), kProvinceBoxes.end(),
                           [&](const ProvinceBox& b) { return caption == b.caption; });
    EXPECT_NE(it, kProvinceBoxes.end()) << caption;
    return *it;
}

int IndexOf(const std::string& caption) {
    return static_cast<int>(&BoxCaptioned(caption) - kProvinceBoxes.data());
}

TEST(ProvinceBoxes, IdsRunFrom1015To1068WithoutTheGapAt1019) {
    std::set<int> ids;
    for (const ProvinceBox& b : kProvinceBoxes)
        ids.insert(b.id);
    EXPECT_EQ(ids.size(), 53u);
    EXPECT_EQ(*ids.begin(), 1015);
    EXPECT_EQ(*ids.rbegin(), 1068);
    EXPECT_EQ(ids.count(1019), 0u);
}

TEST(ProvinceBoxes, EveryProvinceButHqHasExactlyOneBox) {
    std::set<std::string> codes;
    for (const ProvinceBox& b : kProvinceBoxes) {
        EXPECT_TRUE(codes.insert(b.code).second) << b.code;
    }
    std::set<std::string> provinces;
    for (const char* const* p = contest::kProvinces; *p; ++p) {
        if (std::string(*p) != "HQ") provinces.insert(*p);
    }
    EXPECT_EQ(codes, provinces);
    for (const ProvinceBox& b : kProvinceBoxes) {
        if (std::string(b.caption) == "EA0") {
            EXPECT_STREQ(b.code, "SMR");
        } else {
            EXPECT_STREQ(b.code, b.caption);
        }
    }
}

TEST(ProvinceBoxes, PositionsFollowTheGridWithItsDeviations) {
    const ProvinceBox& a = BoxCaptioned("A");
    EXPECT_EQ(a.id, 1015);
    EXPECT_EQ((std::array{a.x, a.y, a.cx, a.cy}), (std::array{12, 6, 24, 10}));
    EXPECT_EQ(BoxCaptioned("BI").x, 199);
    EXPECT_EQ(BoxCaptioned("IB").y, 41);
    EXPECT_EQ(BoxCaptioned("V").cy, 9);
    EXPECT_EQ(BoxCaptioned("NA").cx, 25);
    EXPECT_EQ(BoxCaptioned("SO").cx, 25);
    EXPECT_EQ(BoxCaptioned("TO").cx, 25);
    const ProvinceBox& ea0 = BoxCaptioned("EA0");
    EXPECT_EQ((std::array{ea0.id, ea0.x, ea0.y, ea0.cx}), (std::array{1068, 103, 84, 23}));
    for (const ProvinceBox& b : kProvinceBoxes) {
        if (b.x == 134 && std::string(b.caption) != "NA") {
            EXPECT_EQ(b.cx, 26) << b.caption;
        }
        // Everything fits inside the 231 x 99 window.
        EXPECT_LE(b.x + b.cx, 231) << b.caption;
        EXPECT_LE(b.y + b.cy, 99) << b.caption;
    }
    EXPECT_EQ(BoxCaptioned("TF").id, 1062);
    EXPECT_EQ(BoxCaptioned("ZA").y, 84);
}

TEST(ProvinceMarks, MarkingLightsTheBoxesOfTheCodesAndSmrLightsEa0) {
    ProvinceMarks marks;
    EXPECT_EQ(marks.Mark("M"), std::vector<int>{IndexOf("M")});
    EXPECT_EQ(marks.Mark("GR"), std::vector<int>{IndexOf("GR")});
    EXPECT_EQ(marks.Mark("SMR"), std::vector<int>{IndexOf("EA0")});
    int worked = 0;
    for (int i = 0; i < kProvinceBoxCount; ++i)
        worked += marks.Worked(i);
    EXPECT_EQ(worked, 3);
    EXPECT_TRUE(marks.Worked(IndexOf("EA0")));
}

TEST(ProvinceMarks, CodesWithoutABoxAndRepeatsChangeNothing) {
    ProvinceMarks marks;
    EXPECT_TRUE(marks.Mark("HQ").empty());
    EXPECT_TRUE(marks.Mark("").empty());
    EXPECT_TRUE(marks.Mark("EA0").empty());  // the caption is not the code
    EXPECT_TRUE(marks.Mark("gr").empty());   // exact, case-sensitive
    EXPECT_FALSE(marks.Mark("GR").empty());
    EXPECT_TRUE(marks.Mark("GR").empty());  // already marked: nothing to repaint
    EXPECT_TRUE(marks.Worked(IndexOf("GR")));
}

TEST(ProvinceMarks, ClearUnmarksAndRepaintsEveryBoxSoARefreshStartsOver) {
    ProvinceMarks marks;
    marks.Mark("GR");
    marks.Mark("M");
    EXPECT_EQ(marks.Clear().size(), 53u);
    for (int i = 0; i < kProvinceBoxCount; ++i)
        EXPECT_FALSE(marks.Worked(i)) << i;
    // The next refresh without "GR" leaves it green; with it, magenta again.
    marks.Mark("M");
    EXPECT_FALSE(marks.Worked(IndexOf("GR")));
    EXPECT_EQ(marks.Mark("GR").size(), 1u);
}

}  // namespace
