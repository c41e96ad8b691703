#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dialog/help/help_ids.h"
#include "dialog/mainwindow/control_ids.h"
#include "harness.h"

using namespace dialogtest;

namespace {

constexpr char ActiveXFailure[] = "Не удалось загрузить элемент ActiveX. Возможно Internet "
                                  "Explorer 4.x (или более поздний) не установлен.";

class Help : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveDataFiles();
        RemoveManual();
        ASSERT_TRUE(session.Open());
    }
    void TearDown() override {
        session.Close();
        RemoveManual();
    }
    static void RemoveManual() {
        DeleteFileA(ProgramFile("DOC\\tarvo.htm").c_str());
        RemoveDirectoryA(ProgramFile("DOC").c_str());
    }
    static void PutManual() {
        CreateDirectoryA(ProgramFile("DOC").c_str(), nullptr);
        WriteFile("DOC\\tarvo.htm", "<html><body><h1 id=\"begin\">Tarvo</h1>"
                                    "<h2 id=\"2.2\">Настройка</h2></body></html>");
    }

    // What a help request came to: the viewer at an address, or the failure's boxes
    // (the browser control cannot show the manual here) answered. Returns the address
    // the viewer went to, or "" after the failure.
    std::string FollowRequest() {
        std::string address;
        HWND viewer = nullptr;
        TBox box;
        WaitUntil(
            [&] {
                for (HWND w : ThreadWindows(session.Main())) {
                    if (Text(w) == "Справка (минибраузер)") viewer = w;
                    if (ClassOf(w) == "#32770") box.Hwnd = w;
                }
                return viewer || box.Hwnd;
            },
            15000ms);
        if (viewer) {
            address = Text(FindById(viewer, ID_HELP_ADDRESS));
            PostMessageA(viewer, WM_CLOSE, 0, 0);
            WaitUntil([&] { return !IsWindow(viewer) || !IsWindowVisible(viewer); });
            return address.empty() ? "?" : address;
        }
        box = WaitForBox(session.Main());
        EXPECT_EQ(box.Caption, "Ошибка");
        EXPECT_EQ(box.Message, ActiveXFailure);
        failureSeen = true;
        PressBoxButton(box, IDOK);
        // Then the manual goes to the system's browser; where there is none, a last box
        // names the file.
        TBox last = WaitForBox(session.Main(), 3000ms);
        if (last.Hwnd) {
            EXPECT_NE(last.Message.find("DOC\\tarvo.htm"), std::string::npos) << last.Message;
            PressBoxButton(last, IDOK);
        }
        EXPECT_TRUE(WaitNoBox(session.Main()));
        return "";
    }

    TSession session;
    bool failureSeen = false;
};

} // namespace

TEST_F(Help, AMissingManualIsSaidInItsWords) {
    PressKey(session.Main(), VK_F1);
    TBox box = WaitForBox(session.Main());
    ASSERT_TRUE(box.Hwnd);
    EXPECT_EQ(box.Caption, "Ошибка");
    EXPECT_EQ(box.Message,
              "Отсутствует файл справки \"DOC\\tarvo.htm\"\r"
              "Этот файл доступен на страничке программы в виде отдельного архива.\r"
              "После загрузки этого архива распакуйте файл \"tarvo.htm\" вместе с каталогом "
              "\"IMAGES\" в подкаталог \"DOC\\\" этой программы.");
    EXPECT_TRUE(PressBoxButton(box, IDOK));
    EXPECT_TRUE(WaitNoBox(session.Main()));
}

TEST_F(Help, F1ReachesTheViewerAtThePagesTopic) {
    PutManual();
    SelectTab(session.Main(), 5); // "Настройка"
    session.Sync();
    PressKey(session.Main(), VK_F1);
    const std::string address = FollowRequest();
    if (!failureSeen) {
        EXPECT_NE(address.find("tarvo.htm#2.2"), std::string::npos) << address;
    }
    std::printf("F1 on the settings page: %s\n",
                failureSeen ? "the browser control shows nothing here: the failure's message"
                            : ("the viewer at " + address).c_str());
    // The window stays usable afterwards, and a request opens a viewer again.
    SelectTab(session.Main(), 6);
    session.Sync();
    Click(FindById(session.Main(), ID_ABOUT_HELP));
    const std::string again = FollowRequest();
    if (!failureSeen) {
        EXPECT_NE(again.find("tarvo.htm#begin"), std::string::npos) << again;
    }
    EXPECT_TRUE(IsWindowEnabled(session.Main()));
    EXPECT_EQ(Text(session.Main()), "Tarvo [version 0.35b]");
}
