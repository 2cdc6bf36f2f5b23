// Format libraries bound on first use: each is opened with dlopen from the directory that holds
// libtarvex.so (no registration needed), once per process, and never closed.
#ifndef TESK_API_SRC_BINDING_H_
#define TESK_API_SRC_BINDING_H_

#include <initializer_list>
#include <string>
#include <utility>

namespace tarvex {

// The directory that holds this library.
std::string LibraryDirectory();

// Opens `file` from LibraryDirectory() and resolves each symbol into its slot. True when the
// library and every symbol were found; otherwise the slots are left null.
bool BindLibrary(const char* file, std::initializer_list<std::pair<const char*, void**>> symbols);

// The detail text of a member that needed `file` and could not bind it.
std::string CannotBind(const char* file);

}  // namespace tarvex

#endif  // TESK_API_SRC_BINDING_H_
