// Registry calls shaped after the Win32 ones (8-bit names), kept in SQLite hives.
//
// Hives: the machine hive (HKEY_LOCAL_MACHINE) and the user's hive (HKEY_CURRENT_USER), each a
// SQLite database. With TESK_REGISTRY_DIR set both live in that directory ("machine.db",
// "user.db"); otherwise the machine hive is /var/lib/tesk/registry/machine.db and the user hive
// $XDG_DATA_HOME/tesk/registry/user.db (XDG_DATA_HOME defaults to ~/.local/share).
// HKEY_CLASSES_ROOT shows HKLM\Software\Classes overlaid by HKCU\Software\Classes: reads look in
// the user's classes first; writes go to the user's classes when the key already lives there,
// else to the machine hive, and to the user's classes when the machine hive is not writable.
// Key and value names keep their case but compare without regard to (ASCII) case; a value name
// of "" or NULL is the key's default value. Every write is one SQLite transaction, so several
// processes may write one hive at once.
//
// Contract:
//  - Results are Win32 codes: ERROR_SUCCESS; ERROR_FILE_NOT_FOUND for a missing key or value,
//    ERROR_MORE_DATA (with the size needed) for a short buffer, ERROR_NO_MORE_ITEMS at the end
//    of an enumeration, ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER,
//    ERROR_DISK_FULL, ERROR_BUSY, ERROR_REGISTRY_IO_FAILED, ERROR_NOT_ENOUGH_MEMORY.
//  - After a failure *phkResult is null and the hive is as it was (each write is one
//    transaction).
//  - An opened key is the caller's until RegCloseKey; the predefined roots need no closing.
//  - Any thread may call, and an open key may be used by several threads at once.
#ifndef TESK_PLATFORM_INCLUDE_TESK_PLATFORM_REGISTRY_H_
#define TESK_PLATFORM_INCLUDE_TESK_PLATFORM_REGISTRY_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <tesk/platform/types.h>

#include <tesk/platform_export.h>

TESK_PLATFORM_BEGIN_API

struct HKEY__;
typedef HKEY__* HKEY;
typedef HKEY* PHKEY;
typedef DWORD REGSAM;

#ifndef TESK_FILETIME_DEFINED
#define TESK_FILETIME_DEFINED
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};
typedef FILETIME* PFILETIME;
#endif

#define HKEY_CLASSES_ROOT ((HKEY)(uintptr_t)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)
#define HKEY_USERS ((HKEY)(uintptr_t)0x80000003u)

// Win32 error codes the registry answers with, beyond those of types.h.
#ifndef ERROR_DISK_FULL
#define ERROR_DISK_FULL 112L
#endif
#ifndef ERROR_BUSY
#define ERROR_BUSY 170L
#endif

// Value types.
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_DWORD_LITTLE_ENDIAN 4
#define REG_DWORD_BIG_ENDIAN 5
#define REG_LINK 6
#define REG_MULTI_SZ 7
#define REG_QWORD 11

// Access rights.
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_WOW64_64KEY 0x0100
#define KEY_WOW64_32KEY 0x0200
#define KEY_READ 0x20019
#define KEY_EXECUTE 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F

// RegCreateKeyEx options and dispositions.
#define REG_OPTION_NON_VOLATILE 0x0000
#define REG_OPTION_VOLATILE 0x0001
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

LONG RegOpenKeyEx(HKEY hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired,
                  PHKEY phkResult);
LONG RegOpenKey(HKEY hKey, const char* lpSubKey, PHKEY phkResult);
LONG RegCreateKeyEx(HKEY hKey, const char* lpSubKey, DWORD Reserved, char* lpClass,
                    DWORD dwOptions, REGSAM samDesired, const void* lpSecurityAttributes,
                    PHKEY phkResult, DWORD* lpdwDisposition);
LONG RegCreateKey(HKEY hKey, const char* lpSubKey, PHKEY phkResult);
LONG RegQueryValueEx(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType,
                     BYTE* lpData, DWORD* lpcbData);
LONG RegSetValueEx(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType,
                   const BYTE* lpData, DWORD cbData);
// The old calls on a sub-key's default value (REG_SZ only).
LONG RegQueryValue(HKEY hKey, const char* lpSubKey, char* lpData, LONG* lpcbData);
LONG RegSetValue(HKEY hKey, const char* lpSubKey, DWORD dwType, const char* lpData,
                 DWORD cbData);
LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, char* lpName, DWORD* lpcchName, DWORD* lpReserved,
                  char* lpClass, DWORD* lpcchClass, PFILETIME lpftLastWriteTime);
LONG RegEnumKey(HKEY hKey, DWORD dwIndex, char* lpName, DWORD cchName);
LONG RegEnumValue(HKEY hKey, DWORD dwIndex, char* lpValueName, DWORD* lpcchValueName,
                  DWORD* lpReserved, DWORD* lpType, BYTE* lpData, DWORD* lpcbData);
LONG RegQueryInfoKey(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD* lpReserved,
                     DWORD* lpcSubKeys, DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen,
                     DWORD* lpcValues, DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen,
                     DWORD* lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime);
// Fails with ERROR_ACCESS_DENIED when the key still has sub-keys, as on Windows.
LONG RegDeleteKey(HKEY hKey, const char* lpSubKey);
// Deletes the key with all its sub-keys and values (lpSubKey NULL: everything below hKey).
LONG RegDeleteTree(HKEY hKey, const char* lpSubKey);
LONG RegDeleteValue(HKEY hKey, const char* lpValueName);
LONG RegCloseKey(HKEY hKey);
LONG RegFlushKey(HKEY hKey);

namespace tesk::platform {
// Where the hives of this process live (after TESK_REGISTRY_DIR).
std::filesystem::path MachineHivePath();
std::filesystem::path UserHivePath();

// "HKLM\Software\X" (or HKEY_LOCAL_MACHINE, HKCU, HKEY_CURRENT_USER, HKCR, HKEY_CLASSES_ROOT,
// HKU, HKEY_USERS; any case) split into its predefined root, the root's full name and the path
// below it. False for an unknown root.
bool SplitRootKey(std::string_view full, HKEY* root, std::string* rootName, std::string* subKey);

// Registry text: a readable form of keys and values that export writes and import reads.
//
//   Tesk Registry Text 1
//   ; a comment
//   [HKEY_CURRENT_USER\Software\Quillomere\Varolith\Preferences]
//   @="default value"
//   "Datadir"="C:\\Data"            REG_SZ; escapes \\ \" \n \r \t \0
//   "Count"=dword:0000002a           REG_DWORD, hexadecimal
//   "Big"=qword:000000000000002a     REG_QWORD
//   "Path"=expand:"%HOME%/x"         REG_EXPAND_SZ
//   "List"=multi:"a","b"             REG_MULTI_SZ
//   "Blob"=hex:01,02,ff              REG_BINARY; hex(N): bytes of value type N (hexadecimal)
//   "Gone"=-                         deletes the value
//   [-HKEY_CURRENT_USER\Software\Old]  deletes the key with everything below it
struct RegistryTextOp {
  enum Kind { kCreateKey, kDeleteKey, kSetValue, kDeleteValue } kind;
  std::string key;   // full key name, root included
  std::string name;  // value name ("" for the default value)
  DWORD type = REG_NONE;
  std::string data;  // value bytes as RegSetValueEx takes them
};
// False with *error ("line N: what") for text that is not registry text.
bool ParseRegistryText(std::string_view text, std::vector<RegistryTextOp>* ops, std::string* error);
// Carries out parsed operations; the first failure ends it (*error names the key).
LONG ApplyRegistryText(const std::vector<RegistryTextOp>& ops, std::string* error);
// The key (full name) with its values and every sub-key, as registry text.
LONG ExportRegistryText(std::string_view key, std::string* text);
}  // namespace tesk::platform

TESK_PLATFORM_END_API

#endif  // TESK_PLATFORM_INCLUDE_TESK_PLATFORM_REGISTRY_H_
