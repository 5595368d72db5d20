#ifndef NORBIX_JSON_TEXT_H
#define NORBIX_JSON_TEXT_H

#include <string>

#include <nlohmann/json.hpp>

// JSON for the pages' script; objects keep their members in the order written.
using JsonValue = nlohmann::ordered_json;

// An untrusted 8-bit value as the UTF-8 text of a JSON string: read as the
// reports read 8-bit text (see eight_bit_text.h), so whatever the bytes the
// JSON library gets valid UTF-8, and control characters as their visible
// control pictures (nothing hidden, a row stays one line).
std::string JsonText(const std::string& value);

// The value as JSON text safe in a script: plain ASCII, every other character
// as a \u escape (U+2028 and U+2029 among them), and "<", ">", "&" and "'" too,
// so no "</script" or "<!--" appears and the text fits in a '...' literal.
std::string ScriptJson(const JsonValue& value);

#endif
