#include "base/code_page.h"

#include <cstdint>

namespace nivra {

namespace {

// The characters of 0x80 to 0x9F; the undefined bytes map to the control of the same number.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t characterOf(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return kHighControls[byte - 0x80];
    return byte;
}

// The code page byte of a character, or '?'.
char byteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (unsigned i = 0; i < 32; ++i)
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the valid, shortest-form UTF-8 sequence at text[at] (1 for ASCII), storing its
// character; 0 when the bytes there are no such sequence.
std::size_t sequenceAt(std::string_view text, std::size_t at, char32_t& c) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    return length;
}

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
    if (isAscii(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char b : bytes)
        appendUtf8(out, characterOf(static_cast<unsigned char>(b)));
    return out;
}

std::string utf8ToCp1252(std::string_view text) {
    if (isAscii(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t length = sequenceAt(text, at, c);
        if (length == 0) {
            out += text[at++];
            continue;
        }
        out += byteOf(c);
        at += length;
    }
    return out;
}

std::string repairUtf8(std::string_view text) {
    if (isAscii(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t length = sequenceAt(text, at, c);
        if (length == 0) {
            appendUtf8(out, characterOf(static_cast<unsigned char>(text[at++])));
            continue;
        }
        out.append(text.substr(at, length));
        at += length;
    }
    return out;
}

bool isMultiByteUtf8(std::string_view text) {
    bool multiByte = false;
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t length = sequenceAt(text, at, c);
        if (length == 0 || (c >= 0x80 && c < 0xA0))
            return false;
        multiByte = multiByte || length > 1;
        at += length;
    }
    return multiByte;
}

std::string decodeFileText(std::string_view bytes) {
    if (isMultiByteUtf8(bytes))
        return std::string(bytes);
    return cp1252ToUtf8(bytes);
}

std::string utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2 + bytes.size() / 8);
    const auto unitAt = [bytes](std::size_t at) -> char32_t {
        return static_cast<unsigned char>(bytes[at]) |
               static_cast<char32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    const std::size_t end = bytes.size() & ~std::size_t{1};
    for (std::size_t at = 0; at < end; at += 2) {
        char32_t c = unitAt(at);
        if (c >= 0xD800 && c <= 0xDBFF && at + 2 < end) {
            const char32_t low = unitAt(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        appendUtf8(out, c);
    }
    return out;
}

std::string utf8ToUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    const auto put = [&out](char32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    };
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        std::size_t length = sequenceAt(text, at, c);
        if (length == 0) {
            c = characterOf(static_cast<unsigned char>(text[at]));
            length = 1;
        }
        at += length;
        if (c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
    }
    return out;
}

std::size_t prefixBytes(std::string_view text, std::size_t characters, bool utf8) {
    if (!utf8)
        return characters < text.size() ? characters : text.size();
    std::size_t at = 0;
    for (; characters > 0 && at < text.size(); --characters) {
        char32_t c = 0;
        const std::size_t length = sequenceAt(text, at, c);
        at += length == 0 ? 1 : length;
    }
    return at;
}

std::size_t characterCount(std::string_view text, bool utf8) {
    if (!utf8)
        return text.size();
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        char32_t c = 0;
        const std::size_t length = sequenceAt(text, at, c);
        at += length == 0 ? 1 : length;
    }
    return count;
}

} // namespace nivra
