// The refusal message of each role function, for own data and for other users' data.
#ifndef TESK_AUTH_SRC_MESSAGES_H_
#define TESK_AUTH_SRC_MESSAGES_H_

namespace tesk::rolvane {

// Begins with a blank, to follow the user name; "" for an index outside 0 to 13.
const char* OwnScopeMessage(int func);
const char* OtherUsersMessage(int func);

}  // namespace tesk::rolvane

#endif  // TESK_AUTH_SRC_MESSAGES_H_
