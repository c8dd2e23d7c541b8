#pragma once
// The stage text's JSON layer, shared by its reader: refusals with their place, and the
// parse itself.
#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace vx::stage_text {

// Thrown inside the reader only; readStageText turns it into a refusal.
struct Refused {
    std::string path; // a JSON pointer, "" for the whole text
    std::string reason;
};

[[noreturn]] inline void refuse(std::string path, std::string reason)
{
    throw Refused{std::move(path), std::move(reason)};
}

// A key as a JSON pointer spells it ("~" and "/" escaped).
std::string escaped(std::string_view key);

// The document, or Refused: text that is not JSON (with its line and column), a NUL byte
// anywhere, a key that stands twice in one object, nesting deeper than the format has any
// use for.
nlohmann::json parseDocument(std::string_view text);

} // namespace vx::stage_text
