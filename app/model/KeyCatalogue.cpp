#include "KeyCatalogue.h"

#include "KeyCodeTables.h"

bool KeyCatalogue::buildKeyCatalogue() {
    names_.clear();
    for (const HostCodeName& entry : kHostCodeNames) names_[entry.hostCode] = entry.name;

    keyboardCodeOfHost_.fill(0);
    for (const KeyboardCodeEntry& entry : kKeyboardCodes)
        keyboardCodeOfHost_[static_cast<std::size_t>(entry.hostCode)] = entry.keyboardCode;

    // The inverse is built over every host code in ascending order, later writes winning.
    // Host codes without a keyboard code all write into entry 0, so it ends as 1023.
    hostCodeOfKeyboard_.fill(0);
    for (int host = 0; host < kTableSize; ++host)
        hostCodeOfKeyboard_[static_cast<std::size_t>(keyboardCodeOfHost_[static_cast<std::size_t>(host)])] = host;
    return true;
}

const std::string* KeyCatalogue::nameOf(int hostCode) const {
    auto it = names_.find(hostCode);
    return it == names_.end() ? nullptr : &it->second;
}

std::string KeyCatalogue::nameOfHostCode(int eventCode, bool withDirection) const {
    const std::string* name = nameOf(eventCode & kHostCodeMask);
    if (!name) return kNoName;
    if (!withDirection) return *name;
    return *name + ((eventCode >> 9) != 0 ? " UP" : " Down");
}

std::string KeyCatalogue::nameOfKeyboardCode(int code) const {
    const std::string* name = nameOf(hostCodeOf(code) & kHostCodeMask);
    return name ? *name : std::string(kNoName);
}

int KeyCatalogue::hostCodeOf(int code) const {
    if (code < 0) return -1;
    return hostCodeOfKeyboard(code);
}

int KeyCatalogue::keyboardCodeOfHost(int hostCode) const {
    return keyboardCodeOfHost_[static_cast<std::size_t>(hostCode & kHostCodeMask)];
}

int KeyCatalogue::hostCodeOfKeyboard(int code) const {
    if (code < 0 || code >= kTableSize) return 0;
    return hostCodeOfKeyboard_[static_cast<std::size_t>(code)];
}

const char* KeyCatalogue::kindName(int kind, std::string_view language) {
    const int index = static_cast<int>(kindFromInt(kind));
    return language == "zh-CN" ? kKindNamesChinese[index] : kKindNamesEnglish[index];
}
