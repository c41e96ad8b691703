// The serial port, the dialog library and the program start, on the real system calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "monitor/runtime/win32_platform.h"

namespace {

using namespace std::chrono_literals;

std::string SelfPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::filesystem::path TempFile(const char* name) {
    return std::filesystem::temp_directory_path() /
           (std::string("kovrin-w32-") + std::to_string(GetCurrentProcessId()) + "-" + name);
}

TEST(Win32SerialPort, FailuresKeepTheirErrorNumber) {
    auto port = MakeWin32SerialPort();
    // No prefix maps a port this high (the end-to-end tests map a few low ones).
    EXPECT_FALSE(port->Open("COM199"));
    const std::uint32_t error = port->LastError();
    EXPECT_NE(error, 0u);
    SetLastError(0); // what any later call (the device log's file writes) may do
    EXPECT_EQ(port->LastError(), error);

    // The device is opened without sharing: a second opening is refused.
    const std::filesystem::path file = TempFile("port");
    std::ofstream(file) << "x";
    ASSERT_TRUE(port->Open(file.string()));
    auto other = MakeWin32SerialPort();
    EXPECT_FALSE(other->Open(file.string()));
    EXPECT_EQ(other->LastError(), static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));

    // A file is no serial device: the line calls fail and say why.
    LineConfig config;
    EXPECT_FALSE(port->GetLineConfig(config));
    EXPECT_NE(port->LastError(), 0u);
    EXPECT_FALSE(port->SetLineConfig(config));
    EXPECT_FALSE(port->SetReadIntervalTimeout(2000));

    port->Close();
    ASSERT_TRUE(other->Open(file.string())); // closing let it go
    other->Close();
    std::filesystem::remove(file);
}

// The test program stands in for the dialog library: it exports both entry points by
// their plain names with the library's calling convention. The assembler names carry the
// platform's symbol prefix ("_" on 32-bit x86, none on x64), so that the export directive
// finds them undecorated in both builds.
#define KOVRIN_STRINGIFY2(x) #x
#define KOVRIN_STRINGIFY(x) KOVRIN_STRINGIFY2(x)
#define KOVRIN_SYMBOL(name) KOVRIN_STRINGIFY(__USER_LABEL_PREFIX__) name
HWND CreatedWith = nullptr;
int Destroyed = 0;
extern "C" void WINAPI
FakeCreateDialogForm(HWND monitorWindow) asm(KOVRIN_SYMBOL("CreateDialogForm"));
extern "C" void WINAPI FakeCreateDialogForm(HWND monitorWindow) {
    CreatedWith = monitorWindow;
}
extern "C" void WINAPI FakeDestroyDialogForm() asm(KOVRIN_SYMBOL("DestroyDialogForm"));
extern "C" void WINAPI FakeDestroyDialogForm() {
    ++Destroyed;
}
asm(".section .drectve\n\t.ascii \" -export:CreateDialogForm -export:DestroyDialogForm\"\n\t.text");

TEST(Win32DialogLibrary, LoadsOnlyALibraryWithTheEntryAndCallsThrough) {
    CreatedWith = nullptr;
    Destroyed = 0;
    auto library = MakeWin32DialogLibrary();
    EXPECT_FALSE(library->Load("NO_SUCH_DIALOG.DLL"));
    EXPECT_FALSE(library->Load("kernel32.dll")); // loads, but has no CreateDialogForm
    library->CreateDialogForm(0x1234);           // nothing loaded: nothing called
    library->DestroyDialogForm();
    EXPECT_EQ(CreatedWith, nullptr);
    EXPECT_EQ(Destroyed, 0);

    ASSERT_TRUE(library->Load(SelfPath()));
    library->CreateDialogForm(0x1234);
    EXPECT_EQ(CreatedWith, reinterpret_cast<HWND>(0x1234));
    library->DestroyDialogForm();
    EXPECT_EQ(Destroyed, 1);
    library->Free();
    library->DestroyDialogForm(); // freed: not called again
    EXPECT_EQ(Destroyed, 1);
}

TEST(Win32Power, ShellOpenStartsTheProgramWithItsArguments) {
    // The test program itself, asked to run no test and to write its report.
    const std::filesystem::path report = TempFile("report.xml");
    std::filesystem::remove(report);
    MakeWin32Power()->ShellOpen(SelfPath(),
                                "--gtest_filter=NoSuchTest --gtest_output=xml:" + report.string());
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!std::filesystem::exists(report) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(std::filesystem::exists(report));
    std::this_thread::sleep_for(100ms); // let the child finish writing before removing
    std::error_code ec;
    std::filesystem::remove(report, ec);
}

} // namespace
