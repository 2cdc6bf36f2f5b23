// System services shaped after the Win32 calls: user and computer names, event log, named
// shared memory and mutexes, memory-mapped files and message boxes.
//
// Named objects: a name ("ROLVANE_CACHE_FILE"; a "Global\" or "Local\" prefix is ignored) is
// one object per computer, shared by every process. Shared memory is POSIX shared memory; a
// named mutex lives in shared memory of its own as a process-shared, robust pthread mutex, so a
// process that dies holding it hands the next waiter WAIT_ABANDONED (and the mutex) instead of
// locking everyone out. As on Windows an object goes away when its last handle (and view) in
// the last process is closed; a process that died releases its handles.
//
// Contract: calls that answer BOOL, a handle or a pointer report failure as FALSE, NULL or
// WAIT_FAILED with the reason in GetLastError(). A handle is the caller's until CloseHandle
// (an event source's until DeregisterEventSource), a view until UnmapViewOfFile. Handles may
// be used from any thread; the hooks are swapped atomically. MappedFile: a failed Open leaves
// it closed, a failed Map leaves it open with no view; data() is valid until the next Map,
// Unmap, Close or destruction; one object is used by one thread at a time.
#ifndef TESK_PLATFORM_INCLUDE_TESK_PLATFORM_SYSTEM_H_
#define TESK_PLATFORM_INCLUDE_TESK_PLATFORM_SYSTEM_H_

#include <cstdint>
#include <filesystem>
#include <string>

#include <tesk/platform/types.h>

#include <tesk/platform_export.h>

TESK_PLATFORM_BEGIN_API

#ifndef TESK_HANDLE_DEFINED
#define TESK_HANDLE_DEFINED
typedef void* HANDLE;
#endif
#ifndef INVALID_HANDLE_VALUE
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#endif

#ifndef TESK_SECURITY_ATTRIBUTES_DEFINED
#define TESK_SECURITY_ATTRIBUTES_DEFINED
struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  void* lpSecurityDescriptor;
  BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
#endif
// Security of named objects (CreateFileMapping, CreateMutex). Other descriptors are not modelled:
// an object is open to every user of the computer, as an empty access list allows, unless
// lpSecurityDescriptor is TESK_OWNER_ONLY_SECURITY. Then it is private to the effective user:
// created with mode 0600, and an existing object of the name is opened only when this user owns
// it and no other user may open it, else the call fails with ERROR_ACCESS_DENIED, so an object
// that another user made under the name is never used.
#define TESK_OWNER_ONLY_SECURITY ((void*)(intptr_t)1)

#ifndef ERROR_BUFFER_OVERFLOW
#define ERROR_BUFFER_OVERFLOW 111L
#endif
#ifndef ERROR_NOT_OWNER
#define ERROR_NOT_OWNER 288L
#endif

// ---- users and computers ----------------------------------------------------

// The process's logon name. *pcbBuffer: in, the buffer size in characters; out, the characters
// written including the terminator, or (FALSE, ERROR_INSUFFICIENT_BUFFER) the size needed.
BOOL GetUserName(LPSTR lpBuffer, LPDWORD pcbBuffer);
// This computer's name (the host name). *nSize: in, the buffer size in characters; out, the
// length without the terminator, or (FALSE, ERROR_BUFFER_OVERFLOW) the size needed including it.
BOOL GetComputerName(LPSTR lpBuffer, LPDWORD nSize);

enum EXTENDED_NAME_FORMAT { NameUnknown = 0, NameSamCompatible = 2 };
// NameSamCompatible: "DOMAIN\user". *nSize as for GetUserName.
BOOL GetUserNameEx(EXTENDED_NAME_FORMAT NameFormat, LPSTR lpNameBuffer, ULONG* nSize);

// The machine registry value that names this computer's domain; without it the domain is the
// computer name.
#define TESK_DOMAIN_KEY "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters"
#define TESK_DOMAIN_VALUE "Domain"

// ---- event log ----------------------------------------------------------------

#define EVENTLOG_SUCCESS 0x0000
#define EVENTLOG_ERROR_TYPE 0x0001
#define EVENTLOG_WARNING_TYPE 0x0002
#define EVENTLOG_INFORMATION_TYPE 0x0004
#define EVENTLOG_AUDIT_SUCCESS 0x0008
#define EVENTLOG_AUDIT_FAILURE 0x0010

// Events go to syslog with the source as ident. lpUNCServerName must be NULL or this computer.
HANDLE RegisterEventSource(LPCSTR lpUNCServerName, LPCSTR lpSourceName);
BOOL ReportEvent(HANDLE hEventLog, WORD wType, WORD wCategory, DWORD dwEventID, void* lpUserSid,
                 WORD wNumStrings, DWORD dwDataSize, LPCSTR* lpStrings, LPVOID lpRawData);
BOOL DeregisterEventSource(HANDLE hEventLog);

// Sees every reported event (the strings joined by spaces) before syslog does; a hook that
// returns nonzero keeps the event from syslog. Returns the previous hook.
typedef int (*TeskEventLogHook)(const char* source, WORD type, DWORD eventId, const char* text);
TeskEventLogHook TeskSetEventLogHook(TeskEventLogHook hook);

// ---- handles, shared memory and mutexes --------------------------------------------

#define PAGE_READONLY 0x02
#define PAGE_READWRITE 0x04
#define FILE_MAP_COPY 0x0001
#define FILE_MAP_WRITE 0x0002
#define FILE_MAP_READ 0x0004
#define FILE_MAP_ALL_ACCESS 0xF001F
#define SYNCHRONIZE 0x00100000L
#define MUTEX_ALL_ACCESS 0x1F0001

#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu

// hFile must be INVALID_HANDLE_VALUE (memory backed by the system, not a file). Returns the
// handle with GetLastError() == ERROR_ALREADY_EXISTS when the name already existed (then the
// existing size stands), or NULL.
HANDLE CreateFileMapping(HANDLE hFile, LPSECURITY_ATTRIBUTES lpAttributes, DWORD flProtect,
                         DWORD dwMaximumSizeHigh, DWORD dwMaximumSizeLow, LPCSTR lpName);
HANDLE OpenFileMapping(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName);
// A view stays valid after its mapping handle is closed, until UnmapViewOfFile.
// dwNumberOfBytesToMap 0 maps to the end; the offset must be a multiple of the allocation
// granularity.
LPVOID MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh,
                     DWORD dwFileOffsetLow, SIZE_T dwNumberOfBytesToMap);
BOOL UnmapViewOfFile(LPCVOID lpBaseAddress);

// Windows mutex semantics: owned by a thread, recursive for its owner. lpName NULL: an unnamed
// mutex of this process.
HANDLE CreateMutex(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName);
HANDLE OpenMutex(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName);
BOOL ReleaseMutex(HANDLE hMutex);
// WAIT_OBJECT_0, WAIT_ABANDONED (the owner died; the caller now owns the mutex and should treat
// the guarded data as suspect), WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
BOOL CloseHandle(HANDLE hObject);

// ---- memory mapping of files ----------------------------------------------------

struct SYSTEM_INFO {
  DWORD dwPageSize;
  LPVOID lpMinimumApplicationAddress;
  LPVOID lpMaximumApplicationAddress;
  ULONG_PTR dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;
  WORD wProcessorLevel;
  WORD wProcessorRevision;
};
void GetSystemInfo(SYSTEM_INFO* lpSystemInfo);

namespace tesk::platform {

// Offsets of mapped views are multiples of this (the page size).
uint64_t AllocationGranularity();

// A read-only or read-write view of part of a file, at any 64-bit offset: the view is mapped
// from the granularity boundary below the offset, and data() points at the requested byte.
class MappedFile {
 public:
  enum class Mode { kRead, kReadWrite };
  MappedFile() = default;
  ~MappedFile();
  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Opens the file; false (with errno set) when it cannot be opened.
  bool Open(const std::filesystem::path& path, Mode mode);
  // Size of the open file in bytes.
  uint64_t size() const { return size_; }
  // Maps [offset, offset + length) (length 0: to the end of the file), replacing any earlier
  // view. False when the range lies outside the file or mmap fails.
  bool Map(uint64_t offset, uint64_t length);
  void Unmap();
  void Close();

  bool is_open() const { return fd_ >= 0; }
  const uint8_t* data() const { return data_; }
  uint8_t* mutable_data() { return mode_ == Mode::kReadWrite ? data_ : nullptr; }
  uint64_t length() const { return length_; }
  uint64_t offset() const { return offset_; }

 private:
  int fd_ = -1;
  Mode mode_ = Mode::kRead;
  uint64_t size_ = 0;
  void* base_ = nullptr;  // start of the mapping (granularity-aligned)
  size_t base_length_ = 0;
  uint8_t* data_ = nullptr;
  uint64_t length_ = 0;
  uint64_t offset_ = 0;
};

}  // namespace tesk::platform

// ---- message boxes ----------------------------------------------------------------

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_ICONHAND 0x00000010L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

// Shows a message through the installed hook. Without a hook it writes "caption: text" to
// standard error and answers the default button (MB_DEFBUTTONn of the button set).
int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
typedef int (*TeskMessageBoxHook)(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
// Installs a hook (NULL restores the default) and returns the previous one.
TeskMessageBoxHook TeskSetMessageBoxHook(TeskMessageBoxHook hook);

TESK_PLATFORM_END_API

#endif  // TESK_PLATFORM_INCLUDE_TESK_PLATFORM_SYSTEM_H_
