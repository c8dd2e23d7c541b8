#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vx {

// Why bytes cannot be a settings file (an iNES image, NUL bytes); nothing when they can.
std::optional<std::string> NotSettingsText(std::span<const std::uint8_t> bytes);

// An in-memory INI file: read whole when created, written whole by UpdateFile.
// Sections and keys keep their file order; a new key goes to the end of its section and a
// new section to the end of the file. Names match without regard to ASCII case. Comment
// lines (";") and blank lines are dropped, and blanks around "=" removed, when reading.
class TMemIniFile {
public:
    // Reads the file when it exists; a missing file gives an empty one. A file that exists
    // but cannot be read, or is no text (NotSettingsText), throws VxError.
    explicit TMemIniFile(std::string fileName);
    virtual ~TMemIniFile() = default;

    // An INI over the given text that belongs to no file until one is named.
    static TMemIniFile FromText(std::string_view text, std::string fileName = {});

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Decimal text; a value that does not read gives the default.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // The key names of a section, in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    std::vector<std::string> ReadSections() const;

    // The whole file as it would be written: section lines and their key=value lines.
    std::string GetText() const;
    void SetText(std::string_view text);

    // Writes the whole file safely; throws TWriteError when it cannot.
    void UpdateFile() const;

    // The number of the first line that is neither blank, a comment, a section nor a
    // key=value line of a section (0: none), which a settings file written by hand rarely
    // has and any other text file does.
    int FirstStrayLine() const { return firstStrayLine_; }

private:
    struct Entry {
        std::string key;   // whole line when it holds no "="
        std::string value;
        bool hasEquals = true;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        // Lower-cased key -> index of its first entry; the settings file has hundreds.
        std::unordered_map<std::string, std::size_t> index;
        void Add(Entry entry);
    };

    // One lookup for the const and the writing callers.
    template <class Self> static auto* FindSection(Self& self, std::string_view name);
    template <class Self>
    static auto* FindEntry(Self& self, std::string_view section, std::string_view key);

    std::string fileName_;
    std::vector<Section> sections_;
    int firstStrayLine_ = 0;
};

// The settings file: adds hexadecimal reads and writes to the in-memory INI file.
class TMyMemIniFile : public TMemIniFile {
public:
    using TMemIniFile::TMemIniFile;
    TMyMemIniFile(TMemIniFile&& base) : TMemIniFile(std::move(base)) {}

    // The key's text as hexadecimal digits; the default when it is absent or does not read
    // (empty, a prefix such as "0x" or "$", any other character, more than 32 bits).
    std::int32_t ReadHex(std::string_view section, std::string_view key,
                         std::int32_t defaultValue) const;
    // Upper case, no prefix, no leading zeros: 0x3C10 as "3C10", 0 as "0".
    void WriteHex(std::string_view section, std::string_view key, std::int32_t value);
};

} // namespace vx
