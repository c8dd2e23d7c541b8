#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/base/Errors.h"

namespace vx {

// Refuses bytes no settings file holds (an iNES image, NUL bytes).
Result<void> checkSettingsBytes(std::span<const std::uint8_t> bytes);

// A file that exists but holds bytes no settings file holds (checkSettingsBytes).
class NotSettingsFile : public UserError {
public:
    using UserError::UserError;
};

// An in-memory INI file: read whole when created, written whole by updateFile.
// What the user wrote stays as written: comment and blank lines, lines it cannot read, a
// BOM, each line's own ending (LF, CR LF, CR or CR CR LF) and every line whose value was not
// changed, byte for byte. A new key goes after the last key of its section and a new section
// to the end of the file; new lines end as most of the file's lines do.
// Names match without regard to ASCII case; blanks around "=" are not part of a name or value.
class IniFile {
public:
    // Reads the file when it exists; a missing file gives an empty one. A file that exists
    // but cannot be read throws UserError; one that is no text (checkSettingsBytes) throws
    // NotSettingsFile.
    explicit IniFile(std::string fileName);
    virtual ~IniFile() = default;

    // An INI over the given text that belongs to no file until one is named.
    static IniFile fromText(std::string_view text, std::string fileName = {});

    const std::string& fileName() const { return fileName_; }

    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    // Takes the key's lines out of the section (each, so no second one is read in its place).
    void removeValue(std::string_view section, std::string_view key);

    // Decimal text; a value that does not read gives the default.
    std::int32_t readInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const;
    void writeInteger(std::string_view section, std::string_view key, std::int32_t value);

    // The line of the file a key was read from (1 for the first); 0 for a key not read from it.
    int lineOf(std::string_view section, std::string_view key) const;

    bool sectionExists(std::string_view section) const;
    bool valueExists(std::string_view section, std::string_view key) const;
    // The key names of a section, in file order.
    std::vector<std::string> readSection(std::string_view section) const;
    std::vector<std::string> readSections() const;

    // The whole file as it would be written.
    std::string getText() const;
    void setText(std::string_view text);

    // Writes the whole file safely; throws WriteError when it cannot.
    void updateFile() const;

    // The number of the first line that is neither blank, a comment, a section nor a
    // key=value line of a section (0: none), which a settings file written by hand rarely
    // has and any other text file does.
    int firstStrayLine() const { return firstStrayLine_; }

private:
    struct Entry {
        std::string key; // empty for a line that holds no key (blank, comment, stray)
        std::string value;
        std::string line;        // as written, without its line break; rebuilt when the value changes
        std::string ending;      // its line break as written; empty for a new line and an unended last one
        std::size_t valueAt = 0; // where the value begins in line
        int number = 0;          // line number in the file; 0 for a key added since
        bool isKey = false;
    };
    struct Section {
        std::string name;
        std::string header; // the section line as written; the preamble has none
        std::string headerEnding;
        std::vector<Entry> entries;
        // Lower-cased key -> index of its first entry; the settings file has hundreds.
        std::unordered_map<std::string, std::size_t> index;
        void add(Entry entry);
    };

    // One lookup for the const and the writing callers.
    template <class Self>
    static auto* findSection(Self& self, std::string_view name);
    template <class Self>
    static auto* findEntry(Self& self, std::string_view section, std::string_view key);

    std::string fileName_;
    Section preamble_; // lines before the first section, which belong to none
    std::vector<Section> sections_;
    int firstStrayLine_ = 0;
    std::string bom_;
    std::string lineBreak_ = "\n"; // for new lines: the file's most common ending
    bool endsWithLineBreak_ = true;
};

// The settings file: adds hexadecimal reads and writes to the in-memory INI file.
class SettingsFile : public IniFile {
public:
    using IniFile::IniFile;
    SettingsFile(IniFile&& base) : IniFile(std::move(base)) {}

    // The key's text as hexadecimal digits; the default when it is absent or does not read
    // (empty, a prefix such as "0x" or "$", any other character, more than 32 bits).
    std::int32_t readHex(std::string_view section, std::string_view key, std::int32_t defaultValue) const;
    // Upper case, no prefix, no leading zeros: 0x3C10 as "3C10", 0 as "0".
    void writeHex(std::string_view section, std::string_view key, std::int32_t value);
};

} // namespace vx
