#include "CVelaHWI.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "Discovery.h"
#include "HexImage.h"
#include "KeyboardDefine.h"
#include "KeyboardUtil.h"

CVelaHWI::CVelaHWI() = default;

CVelaHWI::~CVelaHWI() { __closeDev(); }

CVelaHWI& CVelaHWI::operator=(const CVelaHWI& other) {
    if (&other == this) return *this;
    if (model && other.model) model->copyContents(*other.model);
    std::copy(std::begin(other.versionText), std::end(other.versionText), std::begin(versionText));
    setReadTimeout(other.readTimeoutMs);
    return *this;
}

bool CVelaHWI::__createDev() {
    if (transport) return true;
    // The first keyboard that opens; one held by another process is passed over.
    for (const KeyboardDeviceInfo& device : listKeyboards()) {
        auto util = std::make_unique<CKelvaneX30Util>(device.path);
        if (!util->isOpen()) continue;
        attachTransport(std::move(util));
        return true;
    }
    return false;
}

bool CVelaHWI::__closeDev() {
    model.reset();
    transport.reset();
    return true;
}

bool CVelaHWI::DetectDevice() { return !listKeyboards().empty(); }

bool CVelaHWI::isOpen() const { return transport != nullptr; }

void CVelaHWI::attachTransport(std::unique_ptr<CKeyboardUtil> opened) {
    __closeDev();
    if (!opened) return;
    transport = std::move(opened);
    model = std::make_unique<CKelvaneX30>(transport.get());
    setReadTimeout(readTimeoutMs);
}

void CVelaHWI::setReadTimeout(int milliseconds) {
    readTimeoutMs = milliseconds;
    if (auto* util = dynamic_cast<CKelvaneX30Util*>(transport.get()))
        util->setWriteTimeout(milliseconds);
}

int CVelaHWI::readTimeout() const { return readTimeoutMs; }

bool CVelaHWI::prepare() {
    if (!model) return false;
    model->clear();
    return true;
}

bool CVelaHWI::setKeyConfiguration(int level, int key, int* values, int count) {
    if (!model) return false;
    const int index = CKelvaneX30::slotIndex(level + 1, key);
    if (index < 0) return false;
    auto def = CKeyDefine::fromConfiguration(level + 1, key, values, count);
    if (!def) return false;
    model->slots[index] = std::move(def);
    return true;
}

bool CVelaHWI::getKeyConfiguration(int level, int key, int* values, int capacity) {
    if (!model || values == nullptr) return false;
    const int index = CKelvaneX30::slotIndex(level + 1, key);
    if (index < 0) return false;
    const CKeyDefine* def = model->slots[index].get();
    if (def == nullptr) {
        if (capacity < 2) return false;
        values[0] = 0;
        values[1] = 0;
        return true;
    }
    if (capacity < def->configurationSize()) return false;
    def->toConfiguration(values);
    return true;
}

bool CVelaHWI::writeKeyConfigurationToDev(IProgressSink* progress) {
    return model && model->writeKeys(progress);
}

bool CVelaHWI::readKeyDefinationFromDev(IProgressSink* progress) {
    return model && model->readKeys(progress, readTimeoutMs);
}

bool CVelaHWI::setKeyLight(int /*level*/, int* values) {
    // Only the first 12 of the 87 values are the keyboard's light bytes.
    return setKeyboardLightArea(values);
}

bool CVelaHWI::getKeyLight(int /*level*/, int* values) {
    if (!model || values == nullptr) return false;
    std::fill(values, values + 87, 0);
    return getKeyboardLightArea(values);
}

bool CVelaHWI::setKeyboardLightArea(int* values) {
    if (!model || values == nullptr) return false;
    for (int i = 0; i < CKelvaneX30::kLightBytes; ++i)
        model->lightBytes[i] = static_cast<std::uint8_t>(values[i] & 0xFF);
    return model->writeLights();
}

bool CVelaHWI::getKeyboardLightArea(int* values) {
    if (!model || values == nullptr) return false;
    std::copy(model->lightBytes.begin(), model->lightBytes.end(), values);
    return true;
}

bool CVelaHWI::readKeyLightFromDev() { return model && model->readLights(readTimeoutMs); }

bool CVelaHWI::ReadKeyboardVersion(wchar_t* text) {
    if (!transport || text == nullptr) return false;
    if (auto* util = dynamic_cast<CKelvaneX30Util*>(transport.get()))
        return util->queryVersion(text, readTimeoutMs);
    return queryKeyboardVersion(*transport, text, readTimeoutMs);
}

wchar_t* CVelaHWI::getHardwareVersion() {
    ReadKeyboardVersion(versionText);
    return versionText;
}

bool CVelaHWI::WriteFirmwareToKeyboard(char* text, int length, IProgressSink* progress) {
    if (!transport || text == nullptr || length <= 0) return false;
    // length bounds the text; a zero byte before it ends the text as well.
    return downloadFirmware(*transport, std::string_view(text, static_cast<std::size_t>(length)),
                            progress);
}
