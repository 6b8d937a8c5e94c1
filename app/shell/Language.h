#pragma once
// The two interface languages. The current one lives in the configuration; every window
// picks its texts by it.

#include <string_view>

inline constexpr std::string_view kLanguageEnglish = "en-US";
inline constexpr std::string_view kLanguageChinese = "zh-CN";

// The language the language button switches to: English from Chinese, Chinese from anything
// else.
constexpr std::string_view nextLanguage(std::string_view current) {
    return current == kLanguageChinese ? kLanguageEnglish : kLanguageChinese;
}
