#include "operations/user_check.h"

#include <gtest/gtest.h>

namespace {

constexpr char kNotAdministratorText[] =
    "\xd0\xe8\xd2\xaa\xbd\xab\xd3\xc3\xbb\xa7\xcc\xe1\xc9\xfd\xce\xaa\xb9\xdc\xc0\xed\xd4\xb1\xc8"
    "\xa8\xcf\xde";

TEST(UserCheckTest, ElevatedProcessPasses) {
    // Wine runs every process elevated, so this is the real query's answer.
    ASSERT_TRUE(IsAdministratorsMember());
    COpUserCheck check("L", "", "");
    check.Run();
    EXPECT_EQ(check.result.code, 0);
    EXPECT_EQ(check.result.message, "");
    EXPECT_FALSE(check.result.showMessage);
}

TEST(UserCheckTest, NonMemberFailsWithTheRequestForAdministratorRights) {
    COpUserCheck check("L", "", "");
    check.isAdministrator = [] { return false; };
    check.Run();
    EXPECT_EQ(check.result.code, 201);
    EXPECT_EQ(check.result.message, kNotAdministratorText);
    EXPECT_TRUE(check.result.showMessage);
    EXPECT_FALSE(check.result.skipFollowing);
}

TEST(UserCheckTest, RunAfterAFailureForgetsIt) {
    COpUserCheck check("L", "", "");
    check.isAdministrator = [] { return false; };
    check.Run();
    check.isAdministrator = [] { return true; };
    check.Run();
    EXPECT_EQ(check.result.code, 0);
    EXPECT_EQ(check.result.message, "");
    EXPECT_FALSE(check.result.showMessage);
}

}  // namespace
