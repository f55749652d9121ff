// The data export of one motor: the drawn columns with the values as stored.
#include "plots/plot_csv.h"

#include <gtest/gtest.h>

#include <memory>

namespace vrx {
namespace {

TEST(PlotCsvTest, TheFilledColumnsOfOneMotor) {
    auto model = std::make_unique<PlotModel>([] { return 0u; });
    EXPECT_EQ(PlotCsv(*model, 1), "column,position,velocity,target_velocity,acceleration\r\n");
    for (int x = 0; x < 3; ++x) {
        model->AddPosition(-1000 * x, 1);
        model->AddVelocity(-10 * x, 1); // stored as magnitude
        model->AddTargetVelocity(20 + x, 1);
        model->AddAcceleration(7, 1);
        model->AddVelocity(99, 2); // another motor
        model->AdvanceColumn(false);
    }
    model->AddPosition(555, 1); // the column being filled is not part of the plot yet
    EXPECT_EQ(PlotCsv(*model, 1), "column,position,velocity,target_velocity,acceleration\r\n"
                                  "0,0,0,20,7\r\n"
                                  "1,-1000,10,21,7\r\n"
                                  "2,-2000,20,22,7\r\n");
}

} // namespace
} // namespace vrx
