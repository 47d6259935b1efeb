#include "settings/RegistryFile.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace horavia {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr char HexDigits[] = "0123456789abcdef";

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// Escapes '%', control bytes and the given delimiters as %HH; every other byte is written as it is.
std::string EscapeName(std::string_view name, std::string_view delimiters) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || c == '%' || delimiters.find(c) != std::string_view::npos) {
            out += '%';
            out += HexDigits[b >> 4];
            out += HexDigits[b & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

bool UnescapeName(std::string_view text, std::string& out, std::string& error) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            error = "'%' without two hex digits in a name";
            return false;
        }
        const int hi = HexValue(text[i + 1]);
        const int lo = HexValue(text[i + 2]);
        if (hi < 0 || lo < 0) {
            error = "'%' without two hex digits in a name";
            return false;
        }
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    if (out.size() > MaxNameBytes) {
        error = "name longer than " + std::to_string(MaxNameBytes) + " bytes";
        return false;
    }
    return true;
}

// Parses up to eight hex digits as a 32-bit number.
bool ParseHex32(std::string_view text, std::uint32_t& out) {
    if (text.empty() || text.size() > 8) {
        return false;
    }
    std::uint32_t v = 0;
    for (char c : text) {
        const int d = HexValue(c);
        if (d < 0) {
            return false;
        }
        v = v * 16 + static_cast<std::uint32_t>(d);
    }
    out = v;
    return true;
}

// "aa,bb, cc": bytes of two hex digits separated by commas; an empty list is zero bytes.
bool ParseByteList(std::string_view text, std::vector<std::uint8_t>& out, std::string& error) {
    out.clear();
    text = Trim(text);
    if (text.empty()) {
        return true;
    }
    std::size_t pos = 0;
    while (true) {
        const std::size_t comma = text.find(',', pos);
        const std::string_view item = Trim(text.substr(pos, comma == std::string_view::npos ? text.npos : comma - pos));
        if (item.size() != 2 || HexValue(item[0]) < 0 || HexValue(item[1]) < 0) {
            error = "malformed byte list";
            return false;
        }
        if (out.size() >= MaxValueDataBytes) {
            error = "value longer than " + std::to_string(MaxValueDataBytes) + " bytes";
            return false;
        }
        out.push_back(static_cast<std::uint8_t>(HexValue(item[0]) * 16 + HexValue(item[1])));
        if (comma == std::string_view::npos) {
            return true;
        }
        pos = comma + 1;
    }
}

bool ParseValueSpec(std::string_view spec, RegistryValue& value, std::string& error) {
    if (spec.starts_with("dword:")) {
        std::uint32_t v = 0;
        if (!ParseHex32(Trim(spec.substr(6)), v)) {
            error = "malformed dword";
            return false;
        }
        value.type = RegDword;
        value.data = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                      static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
        return true;
    }
    if (spec.starts_with("hex:")) {
        value.type = RegBinary;
        return ParseByteList(spec.substr(4), value.data, error);
    }
    if (spec.starts_with("hex(")) {
        const std::size_t close = spec.find("):");
        if (close == std::string_view::npos || !ParseHex32(spec.substr(4, close - 4), value.type)) {
            error = "malformed value type";
            return false;
        }
        return ParseByteList(spec.substr(close + 2), value.data, error);
    }
    error = "unknown value type";
    return false;
}

void AppendByteList(std::string& out, const std::vector<std::uint8_t>& data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += HexDigits[data[i] >> 4];
        out += HexDigits[data[i] & 0x0F];
    }
}

} // namespace

const RegistryValue* RegistryKey::Find(std::string_view valueName) const {
    const auto it = std::find_if(values.begin(), values.end(), [&](const auto& v) { return v.first == valueName; });
    return it == values.end() ? nullptr : &it->second;
}

void RegistryKey::Set(const std::string& valueName, RegistryValue value) {
    const auto it = std::find_if(values.begin(), values.end(), [&](const auto& v) { return v.first == valueName; });
    if (it == values.end()) {
        values.emplace_back(valueName, std::move(value));
    } else {
        it->second = std::move(value);
    }
}

const RegistryKey* RegistryFile::FindKey(std::string_view name) const {
    const auto it = std::find_if(keys_.begin(), keys_.end(), [&](const RegistryKey& k) { return k.name == name; });
    return it == keys_.end() ? nullptr : &*it;
}

RegistryKey* RegistryFile::FindKey(std::string_view name) {
    const auto it = std::find_if(keys_.begin(), keys_.end(), [&](const RegistryKey& k) { return k.name == name; });
    return it == keys_.end() ? nullptr : &*it;
}

RegistryKey& RegistryFile::AddKey(const std::string& name) {
    if (RegistryKey* existing = FindKey(name)) {
        return *existing;
    }
    keys_.push_back(RegistryKey{name, {}});
    return keys_.back();
}

std::optional<RegistryFile> RegistryFile::Parse(std::string_view text, std::string* error) {
    std::string reason;
    std::size_t lineNo = 0;
    auto fail = [&]() -> std::optional<RegistryFile> {
        if (error != nullptr) {
            *error = lineNo > 0 ? "line " + std::to_string(lineNo) + ": " + reason : reason;
        }
        return std::nullopt;
    };

    if (text.size() > MaxStoreFileBytes) {
        reason = "file larger than " + std::to_string(MaxStoreFileBytes) + " bytes";
        return fail();
    }
    if (text.starts_with(Utf8Bom)) {
        text.remove_prefix(Utf8Bom.size());
    }

    RegistryFile file;
    bool seenHeader = false;
    // Names seen so far; the vectors keep file order, these sets only catch duplicates quickly.
    std::set<std::string> keyNames;
    std::set<std::string> valueNames;
    RegistryKey* current = nullptr;
    std::string name;

    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        line = Trim(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (!seenHeader) {
            if (line != Header) {
                reason = "missing header line";
                return fail();
            }
            seenHeader = true;
            continue;
        }
        if (line.front() == '[') {
            if (line.size() < 2 || line.back() != ']') {
                reason = "malformed key line";
                return fail();
            }
            if (!UnescapeName(line.substr(1, line.size() - 2), name, reason)) {
                return fail();
            }
            if (!keyNames.insert(name).second) {
                reason = "key listed twice";
                return fail();
            }
            file.keys_.push_back(RegistryKey{name, {}});
            current = &file.keys_.back();
            valueNames.clear();
            continue;
        }
        if (line.front() == '"') {
            if (current == nullptr) {
                reason = "value outside a key";
                return fail();
            }
            const std::size_t close = line.find('"', 1);
            if (close == std::string_view::npos || close + 1 >= line.size() || line[close + 1] != '=') {
                reason = "malformed value line";
                return fail();
            }
            if (!UnescapeName(line.substr(1, close - 1), name, reason)) {
                return fail();
            }
            RegistryValue value;
            if (!ParseValueSpec(line.substr(close + 2), value, reason)) {
                return fail();
            }
            if (!valueNames.insert(name).second) {
                reason = "value listed twice";
                return fail();
            }
            current->values.emplace_back(name, std::move(value));
            continue;
        }
        reason = "unrecognised line";
        return fail();
    }
    if (!seenHeader) {
        lineNo = 0;
        reason = "missing header line";
        return fail();
    }
    return file;
}

std::string RegistryFile::Serialize() const {
    std::string out(Header);
    out += '\n';
    for (const RegistryKey& key : keys_) {
        out += "\n[";
        out += EscapeName(key.name, "[]");
        out += "]\n";
        for (const auto& [valueName, value] : key.values) {
            out += '"';
            out += EscapeName(valueName, "\"");
            out += "\"=";
            if (value.type == RegDword && value.data.size() == 4) {
                const std::uint32_t v = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                                        (static_cast<std::uint32_t>(value.data[3]) << 24);
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x", v);
                out += buf;
            } else if (value.type == RegBinary) {
                out += "hex:";
                AppendByteList(out, value.data);
            } else {
                char buf[24];
                std::snprintf(buf, sizeof buf, "hex(%x):", value.type);
                out += buf;
                AppendByteList(out, value.data);
            }
            out += '\n';
        }
    }
    return out;
}

} // namespace horavia
