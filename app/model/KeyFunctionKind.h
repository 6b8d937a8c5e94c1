#pragma once
// The kind of function a key has on one level. Stored as a plain int in the configuration
// and in profile files, so a stored value may be anything; kindFromInt is the one place that
// decides what an int means.

enum class KeyFunctionKind : int {
    NotSet = 0,      // the key keeps its own function
    Single = 1,      // emits one other key: code
    Combo = 2,       // emits several keys at once: events, names without direction
    Macro = 3,       // plays a timed sequence: events, Cycles, IsAutoInterval
    Emulation = 4,   // types several keys one after another: events, Delay
    Multimedia = 5,  // code 108..125
    Mouse = 6,       // code 126..134 or 199
    Function = 7,    // code 135..159
    Power = 8,       // code 75..77
};

inline constexpr int kKindCount = 9;

// Any value outside 0..8 reads as NotSet, wherever a name or a behaviour is chosen by kind.
constexpr KeyFunctionKind kindFromInt(int value) {
    return value >= 0 && value < kKindCount ? static_cast<KeyFunctionKind>(value)
                                            : KeyFunctionKind::NotSet;
}

// Kinds whose setting is the single keyboard code in `code`.
constexpr bool usesCode(KeyFunctionKind kind) {
    switch (kind) {
    case KeyFunctionKind::Single:
    case KeyFunctionKind::Multimedia:
    case KeyFunctionKind::Mouse:
    case KeyFunctionKind::Function:
    case KeyFunctionKind::Power: return true;
    default: return false;
    }
}

// Display names, indexed by kind value (UTF-8).
inline constexpr const char* kKindNamesEnglish[kKindCount] = {
    "Not set", "Single", "Combo", "Macro", "Emulation", "Multimedia", "Mouse", "Function", "Power",
};
inline constexpr const char* kKindNamesChinese[kKindCount] = {
    "未设置", "单键", "组合键", "宏键", "模拟击键", "多媒体键", "鼠标键", "操控键", "电源键",
};
