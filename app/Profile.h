#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// Longest value the reader returns, in characters of the file's code page.
inline constexpr std::size_t kMaxProfileValueLength = 2047;

// A profile (INI) text held as the file's Windows-1252 bytes. Section and key names match without regard
// to letter case; entries before the first section header belong to no section; the first matching
// section and, in it, the first matching key count. Names and values cross this interface as UTF-8.
// A text that starts with the UTF-8 byte order mark is taken as UTF-8 and converted to Windows-1252.
class ProfileText {
 public:
  explicit ProfileText(std::string bytes = {});

  // The value after the first "=", trimmed of blanks and tabs, without one enclosing pair of matching
  // quotes, cut to kMaxProfileValueLength; empty when the section or the key is missing.
  std::string Read(std::string_view section, std::string_view key) const;

  // Replaces the entry's value where it stands, or appends the entry at the end of its section, or the
  // section at the end of the text. Every other byte stays as it was. A value that the reader would
  // not give back unchanged (blanks at either end, enclosing quotes) is written inside double quotes;
  // a value holding a line break cannot be stored and raises platform::Exception.
  void Write(std::string_view section, std::string_view key, std::string_view value);

  const std::string& Bytes() const { return bytes_; }

 private:
  struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;  // before the line's CR LF or LF
    std::size_t end = 0;         // after it
  };

  std::string_view Content(const Line& line) const;
  std::size_t FindSection(std::string_view section) const;
  std::size_t SectionEnd(std::size_t header) const;
  std::size_t FindKey(std::size_t header, std::string_view key) const;
  void Parse();

  std::string bytes_;
  std::vector<Line> lines_;
};

// The profile held in the file at `path`; a missing or unreadable file reads as empty.
ProfileText LoadProfile(const std::string& path);

// One entry of the file at `path`; a missing or unreadable file reads as empty.
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key);

// Stores one entry in the file at `path`, creating the file when missing. The file is replaced as a
// whole, so a failed write leaves it as it was; the failure raises platform::EWriteError naming `path`.
void WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace app
