#include "operations/ruv_check.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/com_apartment.h"
#include "product_control_fixture.h"
#include "scoped_registry_value.h"

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

// Whatever a program of the user writes below HKEY_CURRENT_USER (which
// HKEY_CLASSES_ROOT merges in on Windows) is never read: not a ProgID of the
// user's, nor a version or an in-process server for the machine's class.
TEST_F(RuvCheckTest, RegistrationsOfTheCurrentUserChangeNothing) {
    const std::string classKey = "Software\\Classes\\CLSID\\{06151F55-4330-43B3-9D0C-003682FA5095}";
    ScopedRegistryValue progId(HKEY_CURRENT_USER, "Software\\Classes\\RUVCTRL.RUVCtrlCtrl.1\\CLSID",
                               "");
    ScopedRegistryValue server(HKEY_CURRENT_USER, classKey + "\\InprocServer32", "");
    ScopedRegistryValue version(HKEY_CURRENT_USER, classKey + "\\Version", "");
    progId.SetText("{06151F55-4330-43B3-9D0C-003682FA5095}");
    server.SetText(ProductControlFixture::DllPath());
    version.SetText("2.0.0.1");
    EXPECT_FALSE(Skips("2.0.0.1")) << "registered for the user alone";

    ProductControlFixture product;  // for the machine, at version "1.0"
    server.SetText("C:\\nowhere\\product_control.dll");
    EXPECT_FALSE(Skips("2.0.0.1"));
    EXPECT_TRUE(Skips("1.0"));
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
