#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// The words of a command line as a POSIX shell splits them, without running one: blanks
// separate words; '...' keeps everything as it stands; "..." keeps everything but a
// backslash before " \ $ or `; outside quotes a backslash keeps the next character.
// Nothing when a quote is left open or the line ends in a lone backslash.
std::optional<std::vector<std::string>> splitCommandWords(std::string_view line);

// The same, with the home folder put in as a shell would: for a word's leading unquoted ~
// (alone or before /), and for $HOME and ${HOME} outside single quotes.
std::optional<std::vector<std::string>> splitCommandWordsAtHome(std::string_view line, std::string_view home);

// Why a line splits into no words at all.
enum class CommandLineFault {
    None,
    OpenQuote,
    TrailingBackslash,
};
CommandLineFault commandLineFault(std::string_view line);

// The word written so splitCommandWords reads it back: as it is when it needs no quoting,
// else in single quotes (a quote inside as '\'').
std::string quoteCommandWord(std::string_view word);

} // namespace vx
