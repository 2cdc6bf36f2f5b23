// The settings logic of Vantor, apart from the registry so that it can be
// driven by any store of string values.
#ifndef TESK_MODE_SRC_VANTOR_SETTINGS_H_
#define TESK_MODE_SRC_VANTOR_SETTINGS_H_

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tesk::vantor {

enum class Root { kUser, kMachine };

// Reads a string value (value name "" = the key's default value); false when
// the key or value is missing or cannot be read as a string.
using ReadValue = std::function<bool(Root root, std::string_view key, std::string_view valueName, std::string* out)>;
// This computer's network name; nullopt when the system cannot tell.
using ComputerName = std::function<std::optional<std::string>()>;

struct Settings {
  int installed = 0;
  std::optional<std::string> serverName;  // nullopt: none stored
  std::string dataDirectory;
  std::string libraryDirectory;
};

inline constexpr std::string_view kDataSourceKey = "Software\\Quillomere\\Varolith\\Database\\DataSource";
inline constexpr std::string_view kServerNameKey = "SOFTWARE\\Quillomere\\Varolith\\Database\\ServerName";
inline constexpr std::string_view kPreferencesKey = "Software\\Quillomere\\Varolith\\Preferences";
inline constexpr std::string_view kLocalDataPathKey = "SOFTWARE\\Quillomere\\Varolith\\Database\\LocalDataPathName";
inline constexpr std::string_view kRemoteDataPathKey = "SOFTWARE\\Quillomere\\Varolith\\Database\\DataPathName";
inline constexpr std::string_view kLocalLibraryPathKey =
    "SOFTWARE\\Quillomere\\Varolith\\Database\\LocalLibraryPathName";
inline constexpr std::string_view kRemoteLibraryPathKey = "SOFTWARE\\Quillomere\\Varolith\\Database\\LibraryPathName";
inline constexpr std::string_view kLocalDataSource = "[BRAXLOW DATABASE]";
inline constexpr std::string_view kRemoteDataSource = "[FENO DATABASE]";
// Values longer than this (in bytes, terminator included) are not read.
inline constexpr size_t kMaxValueBytes = 256;

Settings ReadSettings(const ReadValue& read, const ComputerName& computerName);

// The same over the registry (per-user and machine hives) and the system's
// computer name.
bool ReadRegistryValue(Root root, std::string_view key, std::string_view valueName, std::string* out);
std::optional<std::string> SystemComputerName();
Settings ReadSettingsFromRegistry();

}  // namespace tesk::vantor

#endif  // TESK_MODE_SRC_VANTOR_SETTINGS_H_
