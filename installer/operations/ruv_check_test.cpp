#include "operations/ruv_check.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/com_apartment.h"
#include "product_control_fixture.h"

namespace {

class RuvCheckTest : public ::testing::Test {
protected:
    // Runs the check against expected and tells whether it asked to skip;
    // the check must succeed whatever it finds.
    bool Skips(const std::string& expected) {
        COpRUVCheck check("L", "", "");
        check.expectedVersion = expected;
        check.result.skipFollowing = true;  // left over from an earlier run
        check.Run();
        EXPECT_EQ(check.result.code, 0);
        EXPECT_EQ(check.result.message, "");
        EXPECT_FALSE(check.result.showMessage);
        return check.result.skipFollowing;
    }
};

TEST_F(RuvCheckTest, ProductNotRegisteredIsInstalledAgain) { EXPECT_FALSE(Skips("2.0.0.1")); }

TEST_F(RuvCheckTest, IntactProductIsSkippedOnlyAtExactlyTheExpectedVersion) {
    ProductControlFixture product;
    product.SetRegisteredVersion("2.0.0.1");
    EXPECT_TRUE(Skips("2.0.0.1"));
    EXPECT_FALSE(Skips("2.0.0.10"));
    EXPECT_FALSE(Skips("2.0.0.1 "));
    EXPECT_FALSE(Skips("2.0.0"));
    EXPECT_FALSE(Skips("2.0.0.2"));

    product.SetRegisteredVersion("2.0.0.1 ");
    EXPECT_FALSE(Skips("2.0.0.1"));
    EXPECT_TRUE(Skips("2.0.0.1 "));

    product.SetRegisteredVersion("V2.0");
    EXPECT_FALSE(Skips("v2.0"));

    product.RemoveRegisteredVersion();
    EXPECT_FALSE(Skips(""));
}

TEST_F(RuvCheckTest, DamagedOrUnusableControlIsInstalledAgainWhateverTheVersion) {
    ProductControlFixture product;
    product.SetRegisteredVersion("2.0.0.1");
    ASSERT_TRUE(Skips("2.0.0.1"));

    product.SetIntegrityCode(1);
    EXPECT_FALSE(Skips("2.0.0.1"));
    product.SetIntegrityCode(-1);
    EXPECT_FALSE(Skips("2.0.0.1"));
    product.SetIntegrityCode(0);
    ASSERT_TRUE(Skips("2.0.0.1"));

    product.FailCheckIntegrity();
    EXPECT_FALSE(Skips("2.0.0.1"));
}

TEST_F(RuvCheckTest, ControlThatCannotBeCreatedOrLacksTheMethodIsInstalledAgain) {
    {
        ProductControlFixture product;
        product.SetRegisteredVersion("2.0.0.1");
        product.HideMethods();
        EXPECT_FALSE(Skips("2.0.0.1"));
    }
    ProductControlFixture product;
    product.SetRegisteredVersion("2.0.0.1");
    product.FailCreation();
    EXPECT_FALSE(Skips("2.0.0.1"));
}

TEST_F(RuvCheckTest, EmptyIntegrityAnswerCountsAsIntact) {
    ProductControlFixture product;
    product.SetRegisteredVersion("2.0.0.1");
    product.AnswerIntegrityWithEmptyVariant();
    EXPECT_TRUE(Skips("2.0.0.1"));
}

// The driver's worker thread may use COM in its own way afterwards.
TEST_F(RuvCheckTest, LeavesTheThreadWithoutOle) {
    ProductControlFixture product;
    product.SetRegisteredVersion("2.0.0.1");
    ASSERT_TRUE(Skips("2.0.0.1"));
    const ComApartment multithreaded(COINIT_MULTITHREADED);
    EXPECT_EQ(multithreaded.Result(), S_OK);
}

}  // namespace
