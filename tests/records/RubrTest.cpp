#include "records/Rubr.h"

#include <gtest/gtest.h>

namespace qzr {
namespace {

class RubrTest : public ::testing::Test {
protected:
    TRubr rubr;
    void SetUp() override { rubr.FormCreate(); }

    // What the pick dialog shows: the names of its rows, and the row it opens on.
    struct Shown {
        std::vector<std::string> names;
        int openRow = -1;
    };
    // Runs a pick in which the user moves to `row` (if any) and answers `result`.
    int Pick(int32_t type, int32_t attr, Shown& shown, int result = mrOk, int row = -1) {
        rubr.ShowPickDialog = [&] {
            shown = {};
            for (int r = 0; r < rubr.cdsRubr.RecordCount(); ++r)
                shown.names.push_back(rubr.Name.DisplayTextAt(r));
            shown.openRow = rubr.cdsRubr.RecNo();
            if (row >= 0) rubr.cdsRubr.MoveTo(row);
            return result;
        };
        return rubr.SelectRubr(type, attr);
    }
};

TEST_F(RubrTest, NamesKnownCodesAndPlaceholdsTheRest) {
    const std::tuple<int32_t, int32_t, const char*> cases[] = {
        {10, 0, "Заводская"}, {10, 1, "Авто"}, {10, 2, "Ручная"}, {20, 2, "Simulation Controls"},
        {30, 56, "Wheel"},    {30, 186, "Rudder"}, {50, 5, "5"},
        {20, 0, "??? 20:0"},  {10, 3, "??? 10:3"}, {30, 0, "??? 30:0"}, {99, -1, "??? 99:-1"},
    };
    for (auto [type, kod, name] : cases) EXPECT_EQ(rubr.GetRubrName(type, kod), name) << type << ":" << kod;
}

TEST_F(RubrTest, EachPickListsItsRowsInKeyOrderAndOpensOnTheFirst) {
    const std::tuple<int32_t, int32_t, std::vector<std::string>> cases[] = {
        {10, 0, {"Заводская", "Авто", "Ручная"}},
        {20, 0, {"Generic Desktop", "Simulation Controls"}},
        {30, 1, {"X", "Y", "Z", "Rx", "Ry", "Rz", "Slider", "Dial"}},
        {30, 2, {"Wheel", "Rudder", "Throttle"}},
        {50, 0, {"2", "3", "4", "5"}},
    };
    for (const auto& [type, attr, names] : cases) {
        SCOPED_TRACE(testing::Message() << type << "/" << attr);
        Shown shown;
        EXPECT_EQ(Pick(type, attr, shown), mrOk);
        EXPECT_EQ(shown.names, names);
        EXPECT_EQ(shown.openRow, 0);
        EXPECT_EQ(rubr.Name.AsString(), names.front());
    }
}

TEST_F(RubrTest, ConfirmingTheCalibrationPickAtOnceChoosesCodeZero) {
    rubr.GetRubrName(10, 2);   // the current row sits elsewhere before the pick
    Shown shown;
    ASSERT_EQ(Pick(10, 0, shown), mrOk);
    EXPECT_EQ(rubr.ChosenKod(), 0);
}

TEST_F(RubrTest, EveryPickStartsOnTheFirstRowWhereverThePreviousEnded) {
    Shown first, second;
    ASSERT_EQ(Pick(30, 2, first, mrOk, 2), mrOk);
    EXPECT_EQ(rubr.ChosenKod(), 187);
    ASSERT_EQ(Pick(30, 2, second), mrOk);
    EXPECT_EQ(second.openRow, 0);
    EXPECT_EQ(rubr.ChosenKod(), 56);
}

TEST_F(RubrTest, AfterAnyPickEveryListIsFoundAgain) {
    for (int result : {mrOk, mrCancel}) {
        Shown shown;
        Pick(50, 0, shown, result);
        EXPECT_FALSE(rubr.cdsRubr.HasKeyRange());
        EXPECT_EQ(rubr.cdsRubr.RecordCount(), 20);
        EXPECT_EQ(rubr.GetRubrName(10, 1), "Авто");
        EXPECT_EQ(rubr.GetRubrName(30, 48), "X");
    }
}

TEST_F(RubrTest, CancelIsPassedOn) {
    Shown shown;
    EXPECT_EQ(Pick(20, 0, shown, mrCancel), mrCancel);
}

TEST_F(RubrTest, ConfirmingAnEmptyListChoosesNothing) {
    rubr.GetRubrName(20, 2);   // a row of another list is current before the pick
    Shown shown;
    EXPECT_EQ(Pick(30, 0, shown, mrOk), mrCancel);
    EXPECT_TRUE(shown.names.empty());
}

TEST_F(RubrTest, ALookupDuringAPickSearchesOnlyTheOpenList) {
    std::string otherList, openList;
    rubr.ShowPickDialog = [&] {
        otherList = rubr.GetRubrName(10, 1);
        openList = rubr.GetRubrName(30, 55);
        return mrOk;
    };
    ASSERT_EQ(rubr.SelectRubr(30, 1), mrOk);
    EXPECT_EQ(otherList, "??? 10:1");
    EXPECT_EQ(openList, "Dial");
    EXPECT_EQ(rubr.ChosenKod(), 55);
}

} // namespace
} // namespace qzr
