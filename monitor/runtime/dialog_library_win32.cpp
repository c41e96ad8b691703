#include <windows.h>

#include <string>

#include "monitor/runtime/win32_platform.h"

namespace {

// The exports' calling convention (stdcall) is part of the contract with the library;
// see win32_platform.h.
using CreateDialogFormProc = void(WINAPI*)(HWND);
using DestroyDialogFormProc = void(WINAPI*)();

template <typename Proc> Proc Export(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class Win32DialogLibrary final : public IDialogLibrary {
public:
    ~Win32DialogLibrary() override { Free(); }

    bool Load(const std::string& fileName) override {
        Free();
        const HMODULE module = LoadLibraryA(fileName.c_str());
        if (!module) return false;
        const auto create = Export<CreateDialogFormProc>(module, "CreateDialogForm");
        if (!create) {
            FreeLibrary(module);
            return false;
        }
        module_ = module;
        create_ = create;
        return true;
    }

    void CreateDialogForm(WindowHandle monitorWindow) override {
        if (create_) create_(reinterpret_cast<HWND>(monitorWindow));
    }

    void DestroyDialogForm() override {
        if (!module_) return;
        if (const auto destroy = Export<DestroyDialogFormProc>(module_, "DestroyDialogForm"))
            destroy();
    }

    void Free() override {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
        create_ = nullptr;
    }

private:
    HMODULE module_ = nullptr;
    CreateDialogFormProc create_ = nullptr;
};

} // namespace

std::unique_ptr<IDialogLibrary> MakeWin32DialogLibrary() {
    return std::make_unique<Win32DialogLibrary>();
}
