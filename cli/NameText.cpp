#include "cli/NameText.h"

#include <algorithm>
#include <cstdint>

namespace foldwise {
namespace {

// The length of the valid UTF-8 sequence that starts `bytes`, and its code point; length 0 when none does.
struct Sequence {
    std::size_t length = 0;
    char32_t codePoint = 0;
};

Sequence sequenceAt(std::string_view bytes) {
    const auto byte = [&](std::size_t index) {
        return static_cast<std::uint8_t>(bytes[index]);
    };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) {
        return {1, lead};
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t least = 0; // the smallest code point this length may encode: anything below is overlong
    if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07, least = 0x10000;
    } else {
        return {};
    }
    if (bytes.size() < length) {
        return {};
    }
    for (std::size_t index = 1; index < length; ++index) {
        if ((byte(index) & 0xC0) != 0x80) {
            return {};
        }
        codePoint = (codePoint << 6) | (byte(index) & 0x3F);
    }
    if (codePoint < least || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return {};
    }
    return {length, codePoint};
}

bool isControl(char32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

void appendEscapedBytes(std::string& text, std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        text += "\\x";
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
}

} // namespace

bool NameText::isValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t length = sequenceAt(bytes).length;
        if (length == 0) {
            return false;
        }
        bytes.remove_prefix(length);
    }
    return true;
}

std::string NameText::escaped(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const Sequence sequence = sequenceAt(bytes);
        const std::size_t length = sequence.length == 0 ? 1 : sequence.length;
        if (sequence.length == 0 || isControl(sequence.codePoint)) {
            appendEscapedBytes(text, bytes.substr(0, length));
        } else {
            text.append(bytes.substr(0, length));
        }
        bytes.remove_prefix(length);
    }
    return text;
}

std::size_t NameText::columns(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<std::uint8_t>(c) & 0xC0) != 0x80; }));
}

std::string NameText::quotedName(const fs::path& path) {
    const fs::path name = path.filename().empty() ? path.parent_path().filename() : path.filename();
    return "“" + escaped(name.empty() ? path.native() : name.native()) + "”";
}

std::string NameText::quotedPath(const fs::path& path) {
    return "“" + escaped(path.native()) + "”";
}

} // namespace foldwise
