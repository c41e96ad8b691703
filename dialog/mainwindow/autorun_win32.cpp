#include <windows.h>

#include <string>

#include "dialog/mainwindow/autorun.h"

namespace {

// The current user's Run key, opened with creation allowed, as long as a call needs it.
class TRunKey {
public:
    TRunKey() {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, std::string(AutorunKey).c_str(), 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~TRunKey() {
        if (key_) RegCloseKey(key_);
    }
    TRunKey(const TRunKey&) = delete;
    TRunKey& operator=(const TRunKey&) = delete;
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

class TRegistryAutorun final : public IAutorunList {
public:
    bool Has(std::string_view name) override {
        TRunKey key;
        return key.Get() && RegQueryValueExA(key.Get(), std::string(name).c_str(), nullptr, nullptr,
                                             nullptr, nullptr) == ERROR_SUCCESS;
    }
    bool Put(std::string_view name, std::string_view command) override {
        TRunKey key;
        const std::string value(command);
        return key.Get() && RegSetValueExA(key.Get(), std::string(name).c_str(), 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(value.c_str()),
                                           static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    }
    bool Remove(std::string_view name) override {
        TRunKey key;
        if (!key.Get()) return false;
        const LONG rc = RegDeleteValueA(key.Get(), std::string(name).c_str());
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
};

} // namespace

IAutorunList& SystemAutorun() {
    static TRegistryAutorun list;
    return list;
}
