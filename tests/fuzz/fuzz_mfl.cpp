// libFuzzer target: the MFL frame-list reader.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/exception.h"
#include "model/mfl_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const TMFLFrameList list = ParseMFL(std::string_view(reinterpret_cast<const char*>(data), size));
        (void)list.Span();
    } catch (const Exception&) {
    }
    return 0;
}
