// A real keyboard through hidapi's hidraw backend.
#include "ReportChannels.h"

#include <hidapi.h>

namespace {

class HidapiChannel final : public IReportChannel {
public:
    explicit HidapiChannel(const std::string& path) : device(hid_open_path(path.c_str())) {}
    ~HidapiChannel() override {
        if (device) hid_close(device);
    }
    HidapiChannel(const HidapiChannel&) = delete;
    HidapiChannel& operator=(const HidapiChannel&) = delete;

    bool isOpen() const override { return device != nullptr; }

    // hid_write blocks until the report is handed to the device; hidraw bounds that wait.
    bool send(const std::uint8_t* report, int length, int /*timeoutMs*/) override {
        return device && hid_write(device, report, static_cast<std::size_t>(length)) >= 0;
    }

    // The keyboard does not number its reports, so hidapi hands back the payload alone;
    // put the report id back in front.
    int receive(std::uint8_t* report, int capacity, int timeoutMs) override {
        if (!device || capacity < 2) return -1;
        const int n = hid_read_timeout(device, report + 1, static_cast<std::size_t>(capacity - 1),
                                       timeoutMs);
        if (n < 0) return -1;
        if (n == 0) return 0;
        report[0] = 0;
        return n + 1;
    }

private:
    hid_device* device;
};

}  // namespace

std::unique_ptr<IReportChannel> openHidapiChannel(const std::string& hidrawPath) {
    return std::make_unique<HidapiChannel>(hidrawPath);
}

std::unique_ptr<IReportChannel> openReportChannel(const std::string& path) {
    const std::string prefix = kEmulatorPathPrefix;
    if (path.compare(0, prefix.size(), prefix) == 0) return openSocketChannel(path.substr(prefix.size()));
    return openHidapiChannel(path);
}
