#include "core/files/IniFile.h"

#include "core/base/Errors.h"
#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/files/FileSystem.h"
#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"

#include <algorithm>

namespace vx {
namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

std::string asciiLower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return lower;
}

// The line break text begins with: CR CR LF (CR LF written again through a text-mode
// stream, one line end to the user), CR LF, LF or CR.
std::string_view lineBreakAt(std::string_view text)
{
    for (const std::string_view ending : {"\r\r\n", "\r\n"})
        if (text.substr(0, ending.size()) == ending)
            return text.substr(0, ending.size());
    return text.substr(0, 1);
}

} // namespace

Result<void> checkSettingsBytes(std::span<const std::uint8_t> bytes)
{
    static constexpr std::uint8_t Mark[4] = {'N', 'E', 'S', 0x1A};
    if (bytes.size() >= 4 && std::equal(Mark, Mark + 4, bytes.begin()))
        return Error{localized("設定ファイルではありません (iNES イメージです)。",
                               "It is not a settings file but an iNES image.")};
    if (std::find(bytes.begin(), bytes.end(), 0) != bytes.end())
        return Error{localized("設定ファイルではありません (NUL バイトを含みます)。",
                               "It is not a settings file: it holds NUL bytes.")};
    return Done;
}

void IniFile::Section::add(Entry entry)
{
    if (entry.isKey)
        index.emplace(asciiLower(entry.key), entries.size());
    entries.push_back(std::move(entry));
}

IniFile::IniFile(std::string fileName) : fileName_(std::move(fileName))
{
    if (fileName_.empty())
        return;
    const auto bytes = readInputFileIfPresent(fileName_, InputKind::Text);
    if (!bytes)
        return;
    if (const Result<void> checked = checkSettingsBytes(*bytes); !checked.ok())
        throw NotSettingsFile(fileErrorText(FileAction::Open, fileName_, checked.error().message));
    setText(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

IniFile IniFile::fromText(std::string_view text, std::string fileName)
{
    IniFile ini(std::string{});
    ini.setText(text);
    ini.fileName_ = std::move(fileName);
    return ini;
}

void IniFile::setText(std::string_view text)
{
    preamble_ = {};
    sections_.clear();
    firstStrayLine_ = 0;
    bom_.clear();
    lineBreak_ = "\n";
    endsWithLineBreak_ = text.empty() || text.back() == '\n' || text.back() == '\r';
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        bom_ = text.substr(0, 3);
        text.remove_prefix(3);
    }
    // Counted in order of first appearance, so a tie goes to the ending seen first.
    std::vector<std::pair<std::string_view, int>> endings;
    Section* current = &preamble_;
    for (int number = 1; !text.empty(); ++number) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view raw = text.substr(0, end);
        std::string_view ending;
        if (end == std::string_view::npos) {
            text = {};
        } else {
            ending = lineBreakAt(text.substr(end));
            text.remove_prefix(end + ending.size());
            auto seen = std::find_if(endings.begin(), endings.end(), [&](const auto& e) { return e.first == ending; });
            if (seen == endings.end())
                seen = endings.insert(endings.end(), {ending, 0});
            ++seen->second;
        }
        const std::string_view line = trimBlanks(raw);
        Entry entry{{}, {}, std::string(raw), std::string(ending), 0, number, false};
        if (line.empty() || line.front() == ';') {
            current->add(std::move(entry));
            continue;
        }
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            std::string name(trimBlanks(line.substr(1, line.size() - 2)));
            sections_.push_back({std::move(name), std::string(raw), std::string(ending), {}, {}});
            current = &sections_.back();
            continue;
        }
        const std::size_t equals = raw.find('=');
        if ((current == &preamble_ || equals == std::string_view::npos) && firstStrayLine_ == 0)
            firstStrayLine_ = number;
        if (current != &preamble_ && equals != std::string_view::npos) {
            // The value starts after the blanks that follow "="; what follows it stays its own.
            const std::string_view afterEquals = raw.substr(equals + 1);
            const std::string_view value = trimBlanks(afterEquals);
            entry.key = trimBlanks(raw.substr(0, equals));
            entry.value = value;
            entry.valueAt = value.empty() ? raw.size() : static_cast<std::size_t>(value.data() - raw.data());
            entry.isKey = true;
        }
        current->add(std::move(entry)); // lines before the first section belong to no section
    }
    int most = 0;
    for (const auto& [ending, count] : endings)
        if (count > most) {
            lineBreak_ = ending;
            most = count;
        }
}

template <class Self>
auto* IniFile::findSection(Self& self, std::string_view name)
{
    decltype(&self.sections_.front()) found = nullptr;
    for (auto& section : self.sections_)
        if (sameName(section.name, name))
            return &section;
    return found;
}

template <class Self>
auto* IniFile::findEntry(Self& self, std::string_view section, std::string_view key)
{
    decltype(&self.sections_.front().entries.front()) found = nullptr;
    if (auto* inSection = findSection(self, section)) {
        const auto at = inSection->index.find(asciiLower(key));
        if (at != inSection->index.end())
            found = &inSection->entries[at->second];
    }
    return found;
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    const auto* entry = findEntry(*this, section, key);
    return std::string(entry ? std::string_view(entry->value) : defaultValue);
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    if (auto* entry = findEntry(*this, section, key)) {
        if (entry->value == value)
            return; // the line stays as the user wrote it
        // Keeps the key as spelled in the file and the blanks up to the value.
        entry->line = entry->line.substr(0, entry->valueAt) + std::string(value);
        entry->value = value;
        return;
    }
    auto* found = findSection(*this, section);
    if (found == nullptr) {
        sections_.push_back({std::string(section), '[' + std::string(section) + ']', {}, {}, {}});
        found = &sections_.back();
    }
    // After the section's last key, so the blank lines and comments that lead into the next
    // section stay with it.
    std::size_t at = 0;
    for (std::size_t i = 0; i < found->entries.size(); ++i)
        if (found->entries[i].isKey)
            at = i + 1;
    Entry entry{
        std::string(key), std::string(value), std::string(key) + '=' + std::string(value), {}, key.size() + 1, 0, true};
    found->entries.insert(found->entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    // Only lines without a key follow the new one, so no key's index moves.
    found->index.emplace(asciiLower(key), at);
}

void IniFile::removeValue(std::string_view section, std::string_view key)
{
    auto* found = findSection(*this, section);
    if (!found || !found->index.contains(asciiLower(key)))
        return;
    std::erase_if(found->entries, [&](const Entry& entry) { return entry.isKey && sameName(entry.key, key); });
    found->index.clear();
    for (std::size_t i = 0; i < found->entries.size(); ++i)
        if (found->entries[i].isKey)
            found->index.emplace(asciiLower(found->entries[i].key), i);
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const
{
    const auto* entry = findEntry(*this, section, key);
    if (entry == nullptr)
        return defaultValue;
    return parseDecimal(entry->value).value_or(defaultValue);
}

void IniFile::writeInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    writeString(section, key, std::to_string(value));
}

int IniFile::lineOf(std::string_view section, std::string_view key) const
{
    const auto* entry = findEntry(*this, section, key);
    return entry ? entry->number : 0;
}

bool IniFile::sectionExists(std::string_view section) const { return findSection(*this, section) != nullptr; }

bool IniFile::valueExists(std::string_view section, std::string_view key) const
{
    return findEntry(*this, section, key) != nullptr;
}

std::vector<std::string> IniFile::readSection(std::string_view section) const
{
    std::vector<std::string> keys;
    if (const auto* found = findSection(*this, section))
        for (const Entry& entry : found->entries)
            if (entry.isKey)
                keys.push_back(entry.key);
    return keys;
}

std::vector<std::string> IniFile::readSections() const
{
    std::vector<std::string> names;
    for (const Section& section : sections_)
        names.push_back(section.name);
    return names;
}

std::string IniFile::getText() const
{
    std::string text = bom_;
    bool lastUnended = false; // the last line added has no ending of its own
    auto add = [&](const std::string& line, const std::string& ending) {
        text += line;
        text += ending.empty() ? lineBreak_ : ending;
        lastUnended = ending.empty();
    };
    for (const Entry& entry : preamble_.entries)
        add(entry.line, entry.ending);
    for (const Section& section : sections_) {
        add(section.header, section.headerEnding);
        for (const Entry& entry : section.entries)
            add(entry.line, entry.ending);
    }
    // Only the file's last line and new lines have none, and new lines follow the last line.
    if (!endsWithLineBreak_ && lastUnended)
        text.resize(text.size() - lineBreak_.size());
    return text;
}

void IniFile::updateFile() const
{
    const std::string text = getText();
    writeOutputFile(fileName_, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::int32_t SettingsFile::readHex(std::string_view section, std::string_view key, std::int32_t defaultValue) const
{
    const std::string text = readString(section, key, formatHex(static_cast<std::uint32_t>(defaultValue)));
    const auto value = parseHex(text);
    return value ? static_cast<std::int32_t>(*value) : defaultValue;
}

void SettingsFile::writeHex(std::string_view section, std::string_view key, std::int32_t value)
{
    writeString(section, key, formatHex(static_cast<std::uint32_t>(value)));
}

} // namespace vx
