#include "platform/Utf8.h"

CodePoints decodeUtf8(const char* utf8)
{
    static const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};  // by sequence length
    CodePoints out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p != 0) {
        const unsigned char lead = *p;
        int length = lead < 0x80 ? 1 : lead < 0xC0 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 0;
        std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
        // A terminating zero is no continuation byte, so this never reads past the string.
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                length = 0;
                break;
            }
            code = (code << 6) | (p[i] & 0x3Fu);
        }
        if (length == 0 || code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
            out.push_back(0xFFFD);
            ++p;
        } else {
            out.push_back(code);
            p += length;
        }
    }
    return out;
}

std::string toLatin1(const CodePoints& text)
{
    std::string out;
    for (std::uint32_t code : text)
        out += code <= 0xFF ? static_cast<char>(code) : '?';
    return out;
}
