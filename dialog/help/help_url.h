#pragma once
#include <optional>
#include <string>
#include <string_view>

// The manual and the viewer's addresses. Texts are 8-bit (Windows-1251), as the library's.

// Below the program directory (which ends with its separator).
inline constexpr std::string_view HelpDocument = "DOC\\tarvo.htm";
std::string HelpDocumentPath(std::string_view programDir);

// "file:///" + path + "#" + anchor, with every "\" made "/" and every space "%20";
// nothing else is escaped.
std::string HelpUrl(std::string_view path, std::string_view anchor);

// The browser takes at most this many characters of an address; the rest is cut.
inline constexpr std::size_t BrowserUrlLimit = 255;
std::string BrowserUrl(std::string_view url);

// The contents button: the address before its first "#", i.e. the same document from its
// top; none for an address without "#".
std::optional<std::string> ContentsUrl(std::string_view current);

// The manual is missing.
inline constexpr std::string_view MissingManualMessage =
    "Отсутствует файл справки \"DOC\\tarvo.htm\"\r"
    "Этот файл доступен на страничке программы в виде отдельного архива.\r"
    "После загрузки этого архива распакуйте файл \"tarvo.htm\" вместе с каталогом \"IMAGES\" "
    "в подкаталог \"DOC\\\" этой программы.";
// The browser control could not be created or used.
inline constexpr std::string_view BrowserFailureMessage =
    "Не удалось загрузить элемент ActiveX. Возможно Internet Explorer 4.x (или более "
    "поздний) не установлен.";
