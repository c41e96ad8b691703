// The device log's escaping of raw bytes: the file must hold only printable ASCII and
// CR, a CR only as the line end, and the bytes must be recoverable from it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "monitor/link/device_log.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1; // the log writes upper-case digits only
}

// Reads the log's text back into bytes: "[$" hex pairs "]" runs become their bytes.
std::string Unescape(std::string_view text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.substr(i, 2) != "[$") {
            out += text[i++];
            continue;
        }
        i += 2;
        std::size_t pairs = 0;
        while (i + 1 < text.size() && text[i] != ']') {
            const int hi = HexValue(text[i]), lo = HexValue(text[i + 1]);
            FUZZ_CHECK(hi >= 0 && lo >= 0);
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            ++pairs;
        }
        FUZZ_CHECK(pairs > 0 && i < text.size() && text[i] == ']');
        ++i;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string escaped = EscapeForDeviceLog(input);

    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const auto c = static_cast<unsigned char>(escaped[i]);
        if (c == '\r')
            FUZZ_CHECK(i + 1 == escaped.size());
        else
            FUZZ_CHECK(c >= 32 && c <= 126);
    }
    // At most five characters per byte: "[$", two digits and "]" around a lone byte.
    FUZZ_CHECK(escaped.size() <= 5 * input.size());
    // A literal "[$" in the bytes reads like the start of a run, so only texts without it
    // can be read back unambiguously; UPS answers never hold it.
    if (input.find("[$") == std::string_view::npos) FUZZ_CHECK(Unescape(escaped) == input);
    return 0;
}
