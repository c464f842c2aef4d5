#include "platform/MsgBox.h"
#include "platform/AppInfo.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

TEST(MsgBox, EmptyCaptionShowsTheApplicationName)
{
    MessageRecorder recorder;
    MsgBox::show(L"hello");
    MsgBox::show(L"again", L"Tips", MsgBox::OkCancel);
    ASSERT_EQ(recorder.messages().size(), 2u);
    EXPECT_EQ(recorder.messages()[0].caption, AppInfo::applicationName());
    EXPECT_EQ(recorder.messages()[0].buttons, unsigned(MsgBox::Ok));
    EXPECT_EQ(recorder.messages()[1].caption, L"Tips");
    EXPECT_EQ(recorder.messages()[1].buttons, unsigned(MsgBox::OkCancel));
}

TEST(MsgBox, ApplicationNameIsTheExecutableWithoutExtension)
{
    EXPECT_EQ(AppInfo::applicationName(), L"platform_tests");
}

TEST(MsgBox, AnswersComeFromTheScript)
{
    MessageRecorder recorder;
    recorder.setNextAnswer(MsgBox::IdCancel);
    EXPECT_EQ(MsgBox::show(L"a", L"", MsgBox::OkCancel), MsgBox::IdCancel);
    EXPECT_EQ(MsgBox::show(L"b", L"", MsgBox::OkCancel), MsgBox::IdOk);
}

TEST(MsgBox, WithoutAHandlerNothingWaitsAndNothingIsAgreedTo)
{
    const MsgBox::Handler previous = MsgBox::setHandler(nullptr);
    EXPECT_EQ(MsgBox::show(L"silent", L"", MsgBox::Ok), MsgBox::IdOk);
    EXPECT_EQ(MsgBox::show(L"silent", L"", MsgBox::OkCancel), MsgBox::IdCancel);
    EXPECT_EQ(MsgBox::show(L"silent", L"", MsgBox::YesNo), MsgBox::IdNo);
    MsgBox::setHandler(previous);
}
