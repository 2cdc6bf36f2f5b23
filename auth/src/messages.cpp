#include "messages.h"

#include <cctype>
#include <string>

#include <tesk/platform.h>
#include <tesk/rolvane.h>

namespace tesk::rolvane {
namespace {

struct Messages {
  const char* own;
  const char* other;
};

constexpr Messages kMessages[] = {
    {" cannot browse this process database.", " cannot browse other user's data."},
    {" cannot update this process database.", " cannot update other user's data."},
    {" cannot update this published database.", " cannot update other user's published data."},
    {" cannot archive or un-archive files.", " cannot archive or un-archive other user's files."},
    {" cannot delete process data.", " cannot delete other user's process data."},
    {" cannot delete publish data.", " cannot delete other user's publish data."},
    {" cannot import process data.", " cannot import other user's process data."},
    {" cannot export process data.", " cannot export other user's process data."},
    {" cannot take ownership.", " cannot take ownership of other user's data."},
    {" cannot maintain roles.", " cannot maintain other user's roles."},
    {" cannot delete tasks.", " cannot delete other user's tasks."},
    {" cannot maintain templates.", " cannot maintain other user's templates."},
    {" cannot maintain usersets.", " cannot maintain other user's usersets."},
    {" cannot create publish databases.", " cannot create other user's publish databases."},
};
constexpr int kCount = static_cast<int>(sizeof kMessages / sizeof kMessages[0]);

void Show(const char* message, HWND parent) {
  try {
    char name[260] = {};
    DWORD size = sizeof name;
    if (!GetUserName(name, &size)) name[0] = '\0';
    std::string text = name;
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    text += message;
    MessageBox(parent, text.c_str(), "Zorum Server Authorization Failure", MB_OK | MB_ICONERROR);
  } catch (...) {
  }
}

}  // namespace

const char* OwnScopeMessage(int func) { return func >= 0 && func < kCount ? kMessages[func].own : ""; }
const char* OtherUsersMessage(int func) { return func >= 0 && func < kCount ? kMessages[func].other : ""; }

}  // namespace tesk::rolvane

void CRolvane::ShowAuthError(tag_ROLEFUNC func, HWND parent) {
  tesk::rolvane::Show(tesk::rolvane::OwnScopeMessage(func), parent);
}

void CRolvane::ShowOtherUsersDataAccessError(tag_ROLEFUNC func, HWND parent) {
  tesk::rolvane::Show(tesk::rolvane::OtherUsersMessage(func), parent);
}
