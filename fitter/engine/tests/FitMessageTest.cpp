// The fitter's message box, answered by a test as a user would answer it.
#include <gtest/gtest.h>

#include "../../ui/FitterWindow.h"
#include "FitSession.h"
#include "qxtest/DialogDriver.h"

TEST(FitMessage, ShowsTheEngineMessageAndReturnsTheButtonNumber)
{
    HMODULE fitter = LoadLibraryA("qxfitter.dll");
    ASSERT_NE(nullptr, fitter);
    HINSTANCE saved = FitterInstance;
    FitterInstance = fitter;
    const struct {
        int buttons;
        int press;
        int expected;
    } cases[] = {{1, 2102, 1}, {2, 2103, 2}, {3, 2102, 1}, {3, 2103, 2}, {3, 2104, 3}};
    for (const auto& c : cases) {
        std::string text, second;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND box) {
            text = qxtest::GetText(box, 2101);
            second = qxtest::WindowText(GetDlgItem(box, 2103));
            qxtest::Click(box, c.press);
        });
        const INT_PTR answer = driver.Run([&] {
            return static_cast<INT_PTR>(
                FitMessageDialog(nullptr, nullptr, c.buttons, FIT_ERR_NO_FUNCTION, "Peak", nullptr, nullptr, "Yes",
                                 "No", "Cancel"));
        });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(c.expected, answer) << c.buttons << " buttons";
        EXPECT_EQ("Error! The function 'Peak' does not exist.", text);
        if (c.buttons > 1) {
            EXPECT_EQ("No", second);
        }
    }
    FitterInstance = saved;
    FreeLibrary(fitter);
}
