// Panel setting files: any bytes are either refused or read; what is read writes back to the
// same panel.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "app/PanelSetting.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tonewell;
    PanelSetting panel = BuiltInPanelSetting();
    if (!DecodePanelSetting(std::span<const std::uint8_t>(data, size), panel)) return 0;
    std::string once = EncodePanelSetting(panel);
    PanelSetting again = BuiltInPanelSetting();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(once.data());
    if (!DecodePanelSetting(std::span<const std::uint8_t>(bytes, once.size()), again)) std::abort();
    if (EncodePanelSetting(again) != once) std::abort();
    return 0;
}
