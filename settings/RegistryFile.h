#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace horavia {

// Value types, numbered as the registry numbers them so a stored type keeps its meaning.
inline constexpr std::uint32_t RegBinary = 3;
inline constexpr std::uint32_t RegDword = 4;

// Bounds on what the store file may hold; anything larger is refused rather than read into memory.
inline constexpr std::size_t MaxStoreFileBytes = 1024 * 1024;
inline constexpr std::size_t MaxValueDataBytes = 64 * 1024;
inline constexpr std::size_t MaxNameBytes = 16383;

struct RegistryValue {
    std::uint32_t type = RegBinary;
    std::vector<std::uint8_t> data;

    friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

// One key with its values in file order. Names are byte strings (UTF-8 for the names we write).
struct RegistryKey {
    std::string name;
    std::vector<std::pair<std::string, RegistryValue>> values;

    const RegistryValue* Find(std::string_view valueName) const;
    // Replaces the value of that name in place, or appends it.
    void Set(const std::string& valueName, RegistryValue value);

    friend bool operator==(const RegistryKey&, const RegistryKey&) = default;
};

// The whole settings file: keys in file order. Text form, one item a line:
//
//   Horavia Settings Version 1
//   [Software\Horavia]
//   "TimeFormat"=dword:00000001
//   "SoundFileW"=hex:2f,00,74,00
//   "Other"=hex(7):41,00
//
// Blank lines and lines starting with ';' or '#' are ignored. In names, '%' followed by two hex digits
// stands for that byte; the writer uses it for '%', control characters and the delimiters of the name,
// so every byte string round-trips. Duplicate keys or values make the file ambiguous and are refused.
class RegistryFile final {
public:
    static constexpr std::string_view Header = "Horavia Settings Version 1";

    // The file's contents, or nothing with *error saying why (when error is given).
    static std::optional<RegistryFile> Parse(std::string_view text, std::string* error = nullptr);
    std::string Serialize() const;

    const RegistryKey* FindKey(std::string_view name) const;
    RegistryKey* FindKey(std::string_view name);
    // The key of that name, appended empty when missing.
    RegistryKey& AddKey(const std::string& name);

    const std::vector<RegistryKey>& Keys() const { return keys_; }

    friend bool operator==(const RegistryFile&, const RegistryFile&) = default;

private:
    std::vector<RegistryKey> keys_;
};

} // namespace horavia
