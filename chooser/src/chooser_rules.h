// The chooser's rules that need no window: the file-mode filter text, directory separators,
// the order of a file-mode selection, and the database's file-type codes.
#ifndef TESK_CHOOSER_SRC_CHOOSER_RULES_H_
#define TESK_CHOOSER_SRC_CHOOSER_RULES_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <tesk/platform/types.h>

namespace selvane {

// "CHP Files (*.CHP)|*.CHP|...|" for the mask (4 CHP, 2 CEL, 1 DAT; 0: all three), in the
// order CHP, CEL, DAT, ending with an empty pair.
std::string FileModeFilter(LONG availableFileTypes);

// The (label, pattern) pairs of a filter text, up to its empty pair.
std::vector<std::pair<std::string, std::string>> ParseFilter(std::string_view filter);

// The path with a trailing separator: unchanged when empty or already ending in '/' or '\'.
std::string WithTrailingSeparator(std::string path);

// The outcome of a confirmed file-mode dialog: for each chosen path (in the dialog's order),
// the directory up to its last separator becomes the data path and the file name goes to the
// front of the list, so the list ends up in reverse order.
struct FileSelection {
  std::string dataPath;  // empty when nothing was chosen
  std::vector<std::string> names;
};
FileSelection SplitSelection(const std::vector<std::string>& paths);

// The database's own code of a file type ("DAT", "CEL", "CHP"), and back; nullopt for
// anything else.
std::optional<std::string> DatabaseTypeCode(LONG fileType);
std::optional<LONG> FileTypeFromCode(std::string_view code);

}  // namespace selvane

#endif  // TESK_CHOOSER_SRC_CHOOSER_RULES_H_
