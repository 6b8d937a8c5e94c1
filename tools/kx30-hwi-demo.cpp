// Opens the first keyboard (or emulator), writes a small configuration and the lights,
// reads both back and prints what was sent and what came back, and the version.
// Exit code: 0 when the read-back matches, 1 when it differs, 2 when no keyboard answered.
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "CVelaHWI.h"
#include "Discovery.h"

namespace {

struct Assignment {
    int level;  // 0 or 1
    int key;
    std::vector<int> values;
};

const std::vector<Assignment> kDemo = {
    {0, 1, {0, 1, 0x29}},                               // a single key
    {0, 2, {0, 3, 0xE0, 0xE2, 0x4C}},                   // a combination
    {0, 3, {1, 300, 4, 0x0B, 0x08, 0x0F, 0x12}},        // played one after the other
    {0, 4, {2, 1, 0, 3, 0x04, 100, 0x05, 250, 0x06}},   // a timed macro
    {1, 5, {2, 2, 1, 4, 0x17, 0x0B, 0x08, 0x16}},       // an untimed macro, level 2
};
const int kLights[12] = {0, 137, 225, 0, 144, 73, 161, 72, 117, 255, 128, 0};

std::string show(const std::vector<int>& v) {
    std::string s = "[";
    for (std::size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + std::to_string(v[i]);
    return s + "]";
}

}  // namespace

int main() {
    std::setlocale(LC_ALL, "");
    for (const KeyboardDeviceInfo& d : listKeyboards())
        std::printf("found %s (interface %d%s)\n", d.path.c_str(), d.interfaceNumber,
                    d.emulator ? ", emulator" : "");
    CVelaHWI hwi;
    if (!hwi.__createDev()) {
        std::fprintf(stderr, "Keyboard is not connected!\n");
        return 2;
    }
    wchar_t version[64] = {};
    if (hwi.ReadKeyboardVersion(version)) std::printf("version: %ls\n", version);
    else std::printf("version: no answer\n");

    hwi.prepare();
    for (const Assignment& a : kDemo) {
        std::vector<int> v = a.values;
        hwi.setKeyConfiguration(a.level, a.key, v.data(), static_cast<int>(v.size()));
        std::printf("sent     level %d key %2d: %s\n", a.level + 1, a.key, show(a.values).c_str());
    }
    if (!hwi.writeKeyConfigurationToDev(nullptr)) {
        std::fprintf(stderr, "writing the keys failed\n");
        return 2;
    }
    int lights[12];
    std::copy(std::begin(kLights), std::end(kLights), lights);
    if (!hwi.setKeyboardLightArea(lights)) {
        std::fprintf(stderr, "writing the lights failed\n");
        return 2;
    }

    hwi.prepare();
    if (!hwi.readKeyDefinationFromDev(nullptr) || !hwi.readKeyLightFromDev()) {
        std::fprintf(stderr, "reading back failed\n");
        return 2;
    }
    bool same = true;
    for (const Assignment& a : kDemo) {
        std::vector<int> out(600, 0);
        hwi.getKeyConfiguration(a.level, a.key, out.data(), static_cast<int>(out.size()));
        out.resize(a.values.size());
        std::printf("read     level %d key %2d: %s\n", a.level + 1, a.key, show(out).c_str());
        same = same && out == a.values;
    }
    int back[12];
    hwi.getKeyboardLightArea(back);
    std::printf("lights   sent %s\n", show({std::begin(kLights), std::end(kLights)}).c_str());
    std::printf("lights   read %s\n", show({std::begin(back), std::end(back)}).c_str());
    same = same && std::equal(std::begin(back), std::end(back), std::begin(kLights));
    std::printf(same ? "read-back matches\n" : "read-back DIFFERS\n");
    return same ? 0 : 1;
}
