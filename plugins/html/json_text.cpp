#include "json_text.h"

#include "eight_bit_text.h"

namespace {

void appendUtf8(unsigned long code, std::string* out) {
    if (code < 0x80) {
        *out += static_cast<char>(code);
        return;
    }
    const size_t length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    const unsigned char lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    char bytes[4];
    for (size_t i = length - 1; i > 0; --i, code >>= 6) bytes[i] = static_cast<char>(0x80 | (code & 0x3F));
    bytes[0] = static_cast<char>(lead[length] | code);
    out->append(bytes, length);
}

}  // namespace

std::string JsonText(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (size_t at = 0; at < value.size();) {
        const unsigned char c = static_cast<unsigned char>(value[at]);
        if (c >= 0x20 && c < 0x7F) {   // most of any report: kept as it is
            out += static_cast<char>(c);
            ++at;
            continue;
        }
        unsigned long code;
        at += NextCodePoint(value, at, &code);
        if (code < 0x20) code += 0x2400;
        else if (code == 0x7F) code = 0x2421;
        appendUtf8(code, &out);
    }
    return out;
}

std::string ScriptJson(const JsonValue& value) {
    // ensure_ascii: every character beyond ASCII as \u escapes. The strict
    // handler never throws here, as every text went through JsonText.
    const std::string json = value.dump(-1, ' ', true, nlohmann::ordered_json::error_handler_t::strict);
    // These four occur in JSON text only inside strings, where an escape means the same.
    std::string out;
    out.reserve(json.size() + json.size() / 16);
    size_t from = 0;
    for (size_t at = 0; at < json.size(); ++at) {
        const char* escape;
        switch (json[at]) {
        case '<': escape = "\\u003c"; break;
        case '>': escape = "\\u003e"; break;
        case '&': escape = "\\u0026"; break;
        case '\'': escape = "\\u0027"; break;
        default: continue;
        }
        out.append(json, from, at - from);
        out += escape;
        from = at + 1;
    }
    return out.append(json, from, std::string::npos);
}
