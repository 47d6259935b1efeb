// libFuzzer target for the settings file parser. Any input must either be refused or parse into a
// model whose text form parses back to the same model and prints identically.
#include "settings/RegistryFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto parsed = horavia::RegistryFile::Parse(text, &error);
    if (!parsed) {
        if (error.empty()) {
            std::abort(); // a refusal must say why: it ends up in the log
        }
        return 0;
    }
    const std::string printed = parsed->Serialize();
    const auto reparsed = horavia::RegistryFile::Parse(printed);
    if (!reparsed || !(*reparsed == *parsed) || reparsed->Serialize() != printed) {
        std::abort();
    }
    return 0;
}
