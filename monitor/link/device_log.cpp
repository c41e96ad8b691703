#include "monitor/link/device_log.h"

#include "common/files.h"

std::string EscapeForDeviceLog(std::string_view bytes) { return std::string(bytes); }
DeviceLog::DeviceLog(IFileSystem& files, IClock& clock) : files_(files), clock_(clock) {}
DeviceLog::~DeviceLog() = default;
void DeviceLog::Begin(const std::string&) {}
void DeviceLog::End() {}
void DeviceLog::Write(std::string_view) {}
void DeviceLog::WriteRaw(const std::string&) {}
