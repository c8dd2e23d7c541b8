#include "core/text/StageTextParse.h"

#include "core/base/Language.h"

#include <utility>
#include <vector>

namespace vx::stage_text {
namespace {

using nlohmann::json;

// Deeper than any table of the format; stops a hostile nesting before it costs anything.
constexpr std::size_t MaxDepth = 8;

// Builds the document as the library's own parser would, but refuses a key that stands
// twice in one object (a merge can leave such a text), which the library settles silently.
class DocumentBuilder : public nlohmann::json_sax<json> {
public:
    json root;
    std::size_t errorAt = 0;

    bool null() override { return put(json(nullptr)) != nullptr; }
    bool boolean(bool value) override { return put(json(value)) != nullptr; }
    bool number_integer(number_integer_t value) override { return put(json(value)) != nullptr; }
    bool number_unsigned(number_unsigned_t value) override { return put(json(value)) != nullptr; }
    bool number_float(number_float_t value, const string_t&) override { return put(json(value)) != nullptr; }
    bool string(string_t& value) override { return put(json(std::move(value))) != nullptr; }
    bool binary(binary_t& value) override { return put(json::binary(std::move(value))) != nullptr; }
    bool start_object(std::size_t) override { return open(json::object()); }
    bool start_array(std::size_t) override { return open(json::array()); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }
    bool key(string_t& key) override
    {
        if (open_.back()->contains(key))
            refuse(pathText() + "/" + escaped(key),
                   localized("同じキーが二度ありま"
                             "す",
                             "the key stands twice"));
        key_ = std::move(key);
        return true;
    }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) override
    {
        errorAt = position;
        return false;
    }

private:
    json* put(json&& value)
    {
        if (open_.empty()) {
            root = std::move(value);
            return &root;
        }
        json& top = *open_.back();
        if (top.is_array()) {
            top.push_back(std::move(value));
            return &top.back();
        }
        return &(top[key_] = std::move(value));
    }

    bool open(json&& container)
    {
        if (open_.size() >= MaxDepth) {
            const json& top = *open_.back();
            refuse(pathText() + "/" + (top.is_array() ? std::to_string(top.size()) : escaped(key_)),
                   localized("入れ子が深すぎます", "nested too deep"));
        }
        open_.push_back(put(std::move(container)));
        return true;
    }

    bool close()
    {
        open_.pop_back();
        return true;
    }

    // Where the innermost open container stands; worked out only for a refusal.
    std::string pathText() const
    {
        std::string path;
        for (std::size_t i = 1; i < open_.size(); ++i) {
            const json& parent = *open_[i - 1];
            if (parent.is_array()) {
                path += "/" + std::to_string(parent.size() - 1);
                continue;
            }
            for (const auto& item : parent.items())
                if (&item.value() == open_[i])
                    path += "/" + escaped(item.key());
        }
        return path;
    }

    // Containers stay put while open: only the innermost one grows.
    std::vector<json*> open_;
    std::string key_;
};

// Line and column, both from 1, of the byte at `at`.
std::pair<std::size_t, std::size_t> lineAndColumn(std::string_view text, std::size_t at)
{
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < at && i < text.size(); ++i) {
        column = text[i] == '\n' ? 1 : column + 1;
        line += text[i] == '\n';
    }
    return {line, column};
}

} // namespace

std::string escaped(std::string_view key)
{
    std::string out;
    for (char c : key)
        out += c == '~' ? "~0" : c == '/' ? "~1" : std::string(1, c);
    return out;
}

json parseDocument(std::string_view text)
{
    // The parser takes a NUL for the end of the text and would drop all that follows.
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        const auto [line, column] = lineAndColumn(text, nul);
        refuse("",
               isJapanese() ? std::to_string(line) + " 行 " + std::to_string(column) +
                       " 桁目に NUL バイトがあります。ステージのテキストに NUL バイトは"
                       "書けません"
                            : "line " + std::to_string(line) + ", column " + std::to_string(column) +
                       " holds a NUL byte, which a stage text may not hold");
    }
    DocumentBuilder builder;
    if (json::sax_parse(text.begin(), text.end(), &builder))
        return std::move(builder.root);
    // The parser counts the characters it read; the last one is where it stopped.
    const auto [line, column] = lineAndColumn(text, builder.errorAt > 0 ? builder.errorAt - 1 : 0);
    refuse("",
           isJapanese() ? std::to_string(line) + " 行 " + std::to_string(column) +
                   " 桁目で JSON として読"
                   "めません"
                        : "not valid JSON at line " + std::to_string(line) + ", column " + std::to_string(column));
}

} // namespace vx::stage_text
