#include <gtest/gtest.h>

#include <filesystem>

#include "link_fixture.h"
#include "monitor/link/device_log.h"

TEST(DeviceLogEscape, KeepsPrintableAndTheFinalCrAndHexesTheRest) {
    EXPECT_EQ(EscapeForDeviceLog("A\nB"), "A[$0A]B");
    EXPECT_EQ(EscapeForDeviceLog("x\r\ny\r"), "x[$0D0A]y\r");
    EXPECT_EQ(EscapeForDeviceLog("ok\x01"), "ok[$01]");
    EXPECT_EQ(EscapeForDeviceLog("\r"), "\r");
    EXPECT_EQ(EscapeForDeviceLog("\r\r"), "[$0D]\r");
    EXPECT_EQ(EscapeForDeviceLog(std::string("\0\xFF~", 3)), "[$00FF]~");
    EXPECT_EQ(EscapeForDeviceLog("Сеть"), "[$D1E5F2FC]"); // one byte per Cyrillic letter
}

TEST(DeviceLog, SessionsAppendEachAfterAnEmptyLine) {
    LinkBench b;
    b.fp.dir.Write("dev.log", "earlier\r");
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(b.mon.Open());
        b.mon.Close();
    }
    const std::string log = b.Log();
    const std::string header = "\r=== Device log session [08.12.2026 12:00:00] ===\r";
    ASSERT_EQ(log.rfind("earlier\r" + header + "!!Port opened (COM1)\r", 0), 0u) << log;
    const auto footer = log.find("!!Port closed (COM1)\r=== End log session [08.12.2026 12:00:");
    ASSERT_NE(footer, std::string::npos);
    EXPECT_NE(log.find("] ===\r\r=== Device log session [", footer), std::string::npos);
    EXPECT_EQ(log.find('\n'), std::string::npos);
    EXPECT_EQ(log.back(), '\r');

    // A log the session created is ours alone until the session ends.
    b.mon.SetDevLog("new.log");
    ASSERT_TRUE(b.mon.Open());
#ifdef _WIN32
    EXPECT_EQ(b.fp.dir.Read("new.log"), "");
#endif
    b.mon.Close();
    const std::string fresh = b.fp.dir.Read("new.log");
    EXPECT_TRUE(fresh.starts_with("\r=== Device log session [08.12.2026 12:00:08] ===\r!!Port"));
    EXPECT_TRUE(
        fresh.ends_with("!!Port closed (COM1)\r=== End log session [08.12.2026 12:00:12] ===\r"));
}

TEST(DeviceLog, EmptyOrUnusablePathWritesNothingAndStopsNothing) {
    LinkBench b;
    std::filesystem::remove(b.fp.dir.File("dev.log"));
    b.mon.SetDevLog("   ");
    EXPECT_EQ(b.mon.DevLogPath(), "");
    std::filesystem::create_directory(b.fp.dir.File("adir"));
    ASSERT_TRUE(b.mon.Open());
    b.mon.Close();
    b.mon.SetDevLog("adir");
    ASSERT_TRUE(b.mon.Open());
    b.mon.Close();
    b.mon.SetDevLog("missing/dev.log");
    ASSERT_TRUE(b.mon.Open());
    b.mon.Close();
    for (const auto& entry : std::filesystem::directory_iterator(b.fp.dir.Path()))
        EXPECT_TRUE(entry.path().extension() == ".ups" || entry.path().extension() == ".lgb" ||
                    entry.is_directory())
            << entry.path();
    EXPECT_EQ(b.fp.port.opens, 3);
}

TEST(DeviceLog, DevLogIsTrimmedTakenRelativeAndRefusedWhileOpen) {
    LinkBench b;
    b.mon.SetDevLog("  my.log \t");
    EXPECT_EQ(b.mon.DevLogPath(), b.fp.dir.File("my.log"));
    b.mon.SetDevLog(" D:\\logs\\dev.log ");
    EXPECT_EQ(b.mon.DevLogPath(), "D:\\logs\\dev.log");
    b.mon.SetDevLog("dev.log");
    ASSERT_TRUE(b.mon.Open());
    b.mon.SetDevLog("other.log");
    EXPECT_EQ(b.mon.DevLogPath(), b.fp.dir.File("dev.log"));
    ASSERT_EQ(b.fp.desktop.boxes.size(), 1u);
    EXPECT_EQ(b.fp.desktop.boxes[0].text, "Can't change this property while Opened = True");
    EXPECT_EQ(b.fp.desktop.boxes[0].caption, "Invalid operation");
    EXPECT_EQ(b.fp.desktop.boxes[0].owner, b.fp.queue.window);
    EXPECT_FALSE(b.fp.desktop.boxes[0].async);
}
