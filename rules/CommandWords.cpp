#include "rules/CommandWords.h"

#include <cctype>

namespace vx {
namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// One pass for every question: the words, or the fault that stops them; `home` is put in
// where a shell would when given.
std::optional<std::vector<std::string>> split(std::string_view line, const std::string_view* home,
                                              CommandLineFault& fault)
{
    fault = CommandLineFault::None;
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    // $HOME or ${HOME} at i (not followed by more of a name): its length, else 0.
    const auto homeVariable = [&](std::size_t i) -> std::size_t {
        if (!home)
            return 0;
        if (line.substr(i, 7) == "${HOME}")
            return 7;
        if (line.substr(i, 5) != "$HOME")
            return 0;
        const char next = i + 5 < line.size() ? line[i + 5] : ' ';
        return std::isalnum(static_cast<unsigned char>(next)) || next == '_' ? 0 : 5;
    };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (blank(c)) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
            continue;
        }
        const bool wordStart = !inWord;
        inWord = true;
        if (c == '\\') {
            if (++i == line.size()) {
                fault = CommandLineFault::TrailingBackslash;
                return std::nullopt;
            }
            word += line[i];
        } else if (c == '\'') {
            const std::size_t end = line.find('\'', i + 1);
            if (end == std::string_view::npos) {
                fault = CommandLineFault::OpenQuote;
                return std::nullopt;
            }
            word.append(line.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '"') {
            for (++i;; ++i) {
                if (i == line.size()) {
                    fault = CommandLineFault::OpenQuote;
                    return std::nullopt;
                }
                if (line[i] == '"')
                    break;
                if (const std::size_t length = homeVariable(i)) {
                    word += *home;
                    i += length - 1;
                    continue;
                }
                if (line[i] == '\\' && i + 1 < line.size() &&
                    std::string_view("\"\\$`").find(line[i + 1]) != std::string_view::npos)
                    ++i;
                word += line[i];
            }
        } else if (const std::size_t length = homeVariable(i)) {
            word += *home;
            i += length - 1;
        } else if (c == '~' && home && wordStart &&
                   (i + 1 == line.size() || line[i + 1] == '/' || blank(line[i + 1]))) {
            word += *home;
        } else {
            word += c;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

} // namespace

std::optional<std::vector<std::string>> splitCommandWords(std::string_view line)
{
    CommandLineFault fault{};
    return split(line, nullptr, fault);
}

std::optional<std::vector<std::string>> splitCommandWordsAtHome(std::string_view line, std::string_view home)
{
    CommandLineFault fault{};
    return split(line, &home, fault);
}

CommandLineFault commandLineFault(std::string_view line)
{
    CommandLineFault fault{};
    split(line, nullptr, fault);
    return fault;
}

std::string quoteCommandWord(std::string_view word)
{
    const bool plain = !word.empty() && word.find_first_of(" \t\r\n'\"\\$`") == std::string_view::npos;
    if (plain)
        return std::string(word);
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace vx
