#include "app/Profile.h"

#include <optional>

#include "platform/Encoding.h"
#include "platform/Errors.h"
#include "platform/FileContents.h"
#include "platform/Files.h"

namespace app {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool EnclosedInQuotes(std::string_view text) {
  return text.size() >= 2 && IsQuote(text.front()) && text.front() == text.back();
}

// Names held as Windows-1252 bytes, compared without regard to letter case.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (platform::FoldCase(platform::Cp1252CodePoint(static_cast<unsigned char>(a[i]))) !=
        platform::FoldCase(platform::Cp1252CodePoint(static_cast<unsigned char>(b[i]))))
      return false;
  }
  return true;
}

// The name of a section header line, or false when the line is no header. A header missing its closing
// bracket still opens a section (named by the rest of the line), so that its entries never count as
// entries of the section before it.
bool HeaderName(std::string_view content, std::string_view& name) {
  content = Trimmed(content);
  if (content.empty() || content.front() != '[') return false;
  content.remove_prefix(1);
  name = Trimmed(content.substr(0, content.find(']')));
  return true;
}

bool EntryParts(std::string_view content, std::string_view& key, std::string_view& value) {
  const std::size_t equals = content.find('=');
  if (equals == std::string_view::npos) return false;
  key = Trimmed(content.substr(0, equals));
  value = content.substr(equals + 1);
  return true;
}

// What ends an unterminated last line; a carriage return already there only needs its line feed.
std::string LineBreakAfter(const std::string& bytes) {
  return bytes.back() == '\r' ? std::string("\n") : std::string(kLineBreak);
}

std::string StoredForm(std::string_view key, std::string_view value) {
  std::string bytes = platform::Utf8ToCp1252(value);
  if (bytes.find_first_of("\r\n") != std::string::npos) {
    throw platform::Exception("O valor de \"" + std::string(key) +
                              "\" contém uma quebra de linha e não pode ser gravado.");
  }
  const bool needsQuotes =
      !bytes.empty() && (IsBlank(bytes.front()) || IsBlank(bytes.back()) || EnclosedInQuotes(bytes));
  return needsQuotes ? '"' + bytes + '"' : bytes;
}

// A file saved by a text editor as "UTF-8 with BOM" would otherwise lose its first section to the mark
// and its accents to the wrong code page: it is read as UTF-8 and held, like every other, in Windows-1252.
std::string InWindows1252(std::string bytes) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (!bytes.starts_with(kUtf8Mark)) return bytes;
  return platform::Utf8ToCp1252(std::string_view(bytes).substr(kUtf8Mark.size()));
}

}  // namespace

ProfileText::ProfileText(std::string bytes) : bytes_(InWindows1252(std::move(bytes))) { Parse(); }

void ProfileText::Parse() {
  lines_.clear();
  std::size_t begin = 0;
  while (begin < bytes_.size()) {
    const std::size_t newline = bytes_.find('\n', begin);
    Line line;
    line.begin = begin;
    line.end = newline == std::string::npos ? bytes_.size() : newline + 1;
    line.contentEnd = newline == std::string::npos ? bytes_.size() : newline;
    if (line.contentEnd > begin && bytes_[line.contentEnd - 1] == '\r') --line.contentEnd;
    lines_.push_back(line);
    begin = line.end;
  }
}

std::string_view ProfileText::Content(const Line& line) const {
  return std::string_view(bytes_).substr(line.begin, line.contentEnd - line.begin);
}

std::size_t ProfileText::FindSection(std::string_view section) const {
  const std::string wanted = platform::Utf8ToCp1252(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    std::string_view name;
    if (HeaderName(Content(lines_[i]), name) && SameName(name, wanted)) return i;
  }
  return lines_.size();
}

std::size_t ProfileText::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  std::string_view name;
  while (i < lines_.size() && !HeaderName(Content(lines_[i]), name)) ++i;
  return i;
}

std::size_t ProfileText::FindKey(std::size_t header, std::string_view key) const {
  const std::string wanted = platform::Utf8ToCp1252(key);
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    std::string_view name, value;
    if (EntryParts(Content(lines_[i]), name, value) && SameName(name, wanted)) return i;
  }
  return lines_.size();
}

std::string ProfileText::Read(std::string_view section, std::string_view key) const {
  const std::size_t header = FindSection(section);
  if (header == lines_.size()) return {};
  const std::size_t entry = FindKey(header, key);
  if (entry == lines_.size()) return {};
  std::string_view name, value;
  EntryParts(Content(lines_[entry]), name, value);
  value = Trimmed(value);
  if (EnclosedInQuotes(value)) value = value.substr(1, value.size() - 2);
  return platform::Cp1252ToUtf8(value.substr(0, kMaxProfileValueLength));
}

void ProfileText::Write(std::string_view section, std::string_view key, std::string_view value) {
  const std::string stored = StoredForm(key, value);
  const std::size_t header = FindSection(section);
  if (header == lines_.size()) {
    if (!bytes_.empty() && bytes_.back() != '\n') bytes_ += LineBreakAfter(bytes_);
    bytes_ += '[' + platform::Utf8ToCp1252(section) + ']';
    bytes_ += kLineBreak;
    bytes_ += platform::Utf8ToCp1252(key) + '=' + stored;
    bytes_ += kLineBreak;
  } else if (const std::size_t entry = FindKey(header, key); entry != lines_.size()) {
    const Line& line = lines_[entry];
    std::string_view name, oldValue;
    EntryParts(Content(line), name, oldValue);
    const std::size_t valueBegin = line.contentEnd - oldValue.size();
    bytes_.replace(valueBegin, line.contentEnd - valueBegin, stored);
  } else {
    // After the section's last line that is not blank, so blank lines before the next section stay there.
    std::size_t last = header;
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
      if (!Trimmed(Content(lines_[i])).empty()) last = i;
    }
    const Line& line = lines_[last];
    const bool terminated = bytes_[line.end - 1] == '\n';
    std::string inserted = terminated ? std::string() : LineBreakAfter(bytes_);
    inserted += platform::Utf8ToCp1252(key) + '=' + stored;
    if (terminated) inserted += kLineBreak;
    bytes_.insert(line.end, inserted);
  }
  Parse();
}

ProfileText LoadProfile(const std::string& path) {
  return ProfileText(platform::ReadFileBytes(path).value_or(std::string()));
}

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key) {
  return LoadProfile(path).Read(section, key);
}

void WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  std::optional<std::string> bytes = platform::ReadFileBytes(path);
  // A file that exists but cannot be read is never replaced: its entries would be lost.
  if (!bytes && platform::FileExists(path)) throw platform::EWriteError(path);
  ProfileText profile(std::move(bytes).value_or(std::string()));
  profile.Write(section, key, value);
  if (!platform::ReplaceFileContents(path, profile.Bytes())) throw platform::EWriteError(path);
}

}  // namespace app
