// A host without Qt and without a display: the dialogs decline, the host
// goes on.  No QApplication exists in this program.
#include "ui/RVNDialogs.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class NoDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("QT_QPA_PLATFORM");
    }
};

TEST_F(NoDisplay, DialogsReturnCancelWithoutCreatingAnApplication) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(RVN::ShowPipeSpecDlg(1, nullptr));
    EXPECT_FALSE(RVN::ShowDuctSpecDlg(nullptr));
    CTQArray<CTQDuctSpec> a;
    CTQArray<CTQDuctSpec> b;
    RVN::ShowDuctSpecDlg(a, b);
    CTQWaterProp water;
    water.Temperature = 20;
    EXPECT_FALSE(RVN::ShowWaterPropDlg(water, nullptr));
    EXPECT_EQ(water.Temperature, 20);
    CTQSteamProp steam;
    EXPECT_FALSE(RVN::ShowSteamPropDlg(steam, nullptr));
    CTQArray<CTQPipeValve> valves;
    valves.Add(CTQPipeValve());
    EXPECT_EQ(RVN::ShowPipeValveDlg(valves, 50, 0, 1, nullptr), -1.0) << "Cancel";
    EXPECT_EQ(valves.GetSize(), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("display"), std::string::npos) << err;
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
}

TEST_F(NoDisplay, PlatformsThatCannotStartAreNotTried) {
    setenv("DISPLAY", ":97", 1); // no server there
    EXPECT_FALSE(RVN::ShowPipeSpecDlg(1, nullptr));
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    EXPECT_FALSE(RVN::ShowPipeSpecDlg(1, nullptr));
    setenv("QT_QPA_PLATFORM", "nosuchplatform", 1);
    EXPECT_FALSE(RVN::ShowPipeSpecDlg(1, nullptr));
    setenv("QT_QPA_PLATFORM", "wayland;xcb", 1);
    EXPECT_FALSE(RVN::ShowPipeSpecDlg(1, nullptr));
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
}

} // namespace
