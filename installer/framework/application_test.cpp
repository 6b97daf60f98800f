#include "framework/application.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CRecordingApplication : public CApplication {
public:
    int initCalls = 0;
    std::string prompt;
    UINT type = 0;
    UINT helpId = 0;
    int answer = IDCANCEL;

    int DoMessageBox(const std::string& text, UINT boxType, UINT help) override {
        prompt = text;
        type = boxType;
        helpId = help;
        return answer;
    }

protected:
    bool InitInstance() override {
        ++initCalls;
        return false;
    }
};

TEST(Application, EveryMessageBoxGoesThroughTheApplicationObject) {
    CRecordingApplication application;
    ASSERT_EQ(CurrentApplication(), &application);
    application.answer = IDOK;

    EXPECT_EQ(AppMessageBox("启动Ruvex失败：", MB_YESNO | MB_ICONQUESTION, 7), IDOK);
    EXPECT_EQ(application.prompt,
              "\xc6\xf4\xb6\xaf"
              "Ruvex"
              "\xca\xa7\xb0\xdc\xa3\xba");  // GBK
    EXPECT_EQ(application.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(application.helpId, 7u);

    application.answer = IDCANCEL;
    EXPECT_EQ(AppMessageBox("x"), IDCANCEL);
    EXPECT_EQ(application.type, static_cast<UINT>(MB_OK));
}

TEST(Application, RunHandsTheThreadToInitInstanceOnce) {
    CRecordingApplication application;
    EXPECT_EQ(application.Run(), 0);
    EXPECT_EQ(application.initCalls, 1);
}

}  // namespace
