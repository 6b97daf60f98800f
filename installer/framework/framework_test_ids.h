#pragma once

// The test dialog of the framework's tests.
#define IDD_FRAMEWORK_TEST 900
#define IDC_TEST_NAME 901
#define IDC_TEST_CHECK 902
#define IDC_TEST_DRAWN 903
