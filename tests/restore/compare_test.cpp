// Comparing two configurations: which points differ, the largest and mean
// difference, and the parameters.
#include <gtest/gtest.h>

#include <cmath>

#include "ConfigurationCompare.h"

namespace tovrel {
namespace {

Configuration Base() {
    Configuration c;
    for (std::size_t m = 0; m < 4; ++m)
        for (std::size_t i = 0; i < MapPointCount; ++i) c.y[m][i] = static_cast<double>(m * 100 + i) / 4;
    c.timeout = "30";
    return c;
}

TEST(Compare, PointsThatDifferWithLargestAndMeanPerMap) {
    const Configuration a = Base();
    Configuration b = a;
    b.y[1][0] += 1.5;   // Petrol, the first point
    b.y[1][79] -= 0.5;  // and the last
    b.y[3][40] += 1e-9;  // below what a file or the variator tells apart
    const auto diff = CompareConfigurations(a, b);
    EXPECT_TRUE(diff.Map(MapKind::LPG).Equal());
    EXPECT_TRUE(diff.Map(MapKind::PetrolLoadDependence).Equal());
    const auto& petrol = diff.Map(MapKind::Petrol);
    ASSERT_EQ(petrol.points.size(), 2u);
    EXPECT_EQ(petrol.points[0].point, 0);
    EXPECT_EQ(petrol.points[1].point, 79);
    EXPECT_DOUBLE_EQ(petrol.points[1].Delta(), -0.5);
    EXPECT_DOUBLE_EQ(petrol.largest, 1.5);
    EXPECT_DOUBLE_EQ(petrol.mean, 1.0);
    EXPECT_EQ(diff.DifferingPoints(), 2);
    EXPECT_FALSE(diff.Equal());
    EXPECT_TRUE(CompareConfigurations(a, a).Equal());
}

TEST(Compare, NotANumberOnOneSideIsADifference) {
    const Configuration a = Base();
    Configuration b = a;
    b.y[0][5] = std::nan("");
    const auto diff = CompareConfigurations(a, b);
    ASSERT_EQ(diff.Map(MapKind::LPG).points.size(), 1u);
    EXPECT_TRUE(std::isnan(diff.Map(MapKind::LPG).largest));
}

TEST(Compare, Parameters) {
    struct Case {
        const char* name;
        std::optional<std::string> timeout_a, timeout_b;
        std::optional<int> min_a, min_b, max_a, max_b;
        std::vector<ConfigParameter> differing;
    };
    using P = ConfigParameter;
    const Case cases[] = {
        {"same timeout", "30", "30", {}, {}, {}, {}, {}},
        {"same number, other text", "30", "030", {}, {}, {}, {}, {}},
        {"other timeout", "30", "45", {}, {}, {}, {}, {P::StartTimeout}},
        {"timeout on one side only", "30", std::nullopt, {}, {}, {}, {}, {P::StartTimeout}},
        {"texts that are no numbers", "abc", "abd", {}, {}, {}, {}, {P::StartTimeout}},
        {"throttle points on one side only: not compared", "1", "1", 100, {}, {}, 900, {}},
        {"throttle points differ", "1", "1", 100, 101, 900, 899, {P::TpsMinimum, P::TpsMaximum}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Configuration a = Base(), b = Base();
        a.timeout = c.timeout_a;
        b.timeout = c.timeout_b;
        a.tps_min = c.min_a, b.tps_min = c.min_b, a.tps_max = c.max_a, b.tps_max = c.max_b;
        const auto diff = CompareConfigurations(a, b);
        std::vector<ConfigParameter> got;
        for (const auto& p : diff.parameters) got.push_back(p.which);
        EXPECT_EQ(got, c.differing);
        EXPECT_EQ(diff.Equal(), c.differing.empty());
    }
}

TEST(Compare, DifferenceViewsAndTakeTheirs) {
    EXPECT_EQ(NextDifferenceView(DifferenceView::Value), DifferenceView::Difference);
    EXPECT_EQ(NextDifferenceView(DifferenceView::Difference), DifferenceView::Percent);
    EXPECT_EQ(NextDifferenceView(DifferenceView::Percent), DifferenceView::Value);
    EXPECT_EQ(ShownDifference(DifferenceView::Value, 10, 12), 10.0);
    EXPECT_EQ(ShownDifference(DifferenceView::Difference, 10, 12), 2.0);
    EXPECT_EQ(ShownDifference(DifferenceView::Percent, -10, -12), -20.0);
    EXPECT_EQ(ShownDifference(DifferenceView::Percent, 0, 0), 0.0);
    EXPECT_EQ(ShownDifference(DifferenceView::Percent, 0, 3), std::nullopt);  // no percent of nothing

    Configuration ours = Base(), theirs = Base();
    theirs.y[2][7] = 99;
    theirs.y[0][7] = 98;
    theirs.timeout = "12";
    TakeTheirs(ours, theirs, MapKind::LPGLoadDependence);
    EXPECT_EQ(ours.y[2][7], 99);
    EXPECT_NE(ours.y[0][7], 98);  // the other maps stay
    EXPECT_EQ(ours.timeout, "30");
    TakeTheirs(ours, theirs, ConfigParameter::StartTimeout);
    EXPECT_EQ(ours.timeout, "12");
    TakeTheirs(ours, theirs, ConfigParameter::TpsMinimum);  // they hold none: ours stays
    EXPECT_EQ(ours.tps_min, std::nullopt);
}

}  // namespace
}  // namespace tovrel

#include "CatalogueCheck.h"
#include "RestoreTexts.h"

namespace tovrel {
namespace {

TEST(RestoreTexts, CatalogueIsSound) { EXPECT_EQ(CatalogueFaults<RestoreText>(), std::vector<std::string>{}); }

}  // namespace
}  // namespace tovrel
