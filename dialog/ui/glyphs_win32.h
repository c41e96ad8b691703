#pragma once
#include <windows.h>

#include <utility>

// An icon this library drew itself, destroyed with its owner.
class TIconHandle {
public:
    TIconHandle() = default;
    explicit TIconHandle(HICON icon) : icon_(icon) {}
    TIconHandle(const TIconHandle&) = delete;
    TIconHandle& operator=(const TIconHandle&) = delete;
    TIconHandle(TIconHandle&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
    TIconHandle& operator=(TIconHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            icon_ = std::exchange(other.icon_, nullptr);
        }
        return *this;
    }
    ~TIconHandle() { Reset(); }
    void Reset() {
        if (icon_) DestroyIcon(icon_);
        icon_ = nullptr;
    }
    HICON Get() const { return icon_; }

private:
    HICON icon_ = nullptr;
};

enum class TArrow { Up, Down };

// A filled triangle pointing up or down, size x size pixels, in the button text's colour
// on a transparent ground: the glyph of a small arrow button.
TIconHandle MakeArrowIcon(TArrow direction, int size = 16);

// Gives a push button a glyph instead of its caption; the caption stays its text for
// screen readers and tests.
void SetButtonIcon(HWND button, HICON icon);
