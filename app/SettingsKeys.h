#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/Exception.h"

namespace app {

// How a settings key's value is written, checked and shown.
enum class KeyKind {
  Text,          // any text on one line
  Flag,          // "S" or "N"
  Number,        // a decimal integer between the key's bounds
  Folder,        // a folder of this machine, ending with the separator (empty: not set)
  ServerFolder,  // a folder as the database server names it, ending with "/" or "\" (empty: not set)
  Scrambled,     // stored scrambled, shown in clear (the database user)
  Password,      // stored scrambled, never shown; with a maximum, printable and at most that many characters
  Mailbox,       // one mail address (empty: not set)
  Mailboxes,     // mail addresses separated by ";" or "," (empty: not set)
  Fingerprint,   // a certificate's SHA-256 fingerprint: 64 hexadecimal digits, colons allowed (empty: none)
};

// One key of the settings file as the settings window writes it. A new setting is one more row of
// KnownSettingsKeys().
struct SettingsKey {
  std::string_view section;
  std::string_view key;
  KeyKind kind = KeyKind::Text;
  long long minimum = 0;           // Number only
  long long maximum = 0;           // Number; Password: its longest length, 0 for no bound
  std::string_view question = {};  // asked by "config init" at a terminal; empty: not asked
  bool windowWrites = true;        // false: a key set in the file only, which the window keeps as it is
};

// Every key: those the settings window writes, in its order, then those set in the file only.
std::span<const SettingsKey> KnownSettingsKeys();

// "SECTION.KEY" of a key.
std::string QualifiedName(const SettingsKey& key);

// The key named "SECTION.KEY", letter case ignored as the profile reader ignores it; null when unknown.
const SettingsKey* FindSettingsKey(std::string_view qualifiedName);

// A value that cannot be stored under a key; the message names the key.
class SettingsValueError final : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// Why `value` (as the user typed it, UTF-8) would not work under `key`; empty when it would.
std::string ValueProblem(const SettingsKey& key, std::string_view value);

// The form `value` takes in the file: checked by ValueProblem (a problem raises SettingsValueError) and
// scrambled for the scrambled kinds.
std::string StoredValue(const SettingsKey& key, std::string_view value);

// The value as read from the file, for a person: scrambled values unscrambled, passwords masked.
std::string ShownValue(const SettingsKey& key, std::string_view stored);

// The value as read from the file, unscrambled when the kind is scrambled.
std::string PlainValue(const SettingsKey& key, std::string_view stored);

inline constexpr char kMaskedPassword[] = "********";

}  // namespace app
