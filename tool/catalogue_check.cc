#include "tool/catalogue_check.h"

#include "engine/kestrova_names.h"
#include "platform/text_file.h"
#include "textures/catalogue_tokens.h"

namespace {

// The first place in `text` that stands in the way of "Basis{", if any.
bool FindBadStart(const std::string& text, std::size_t* at, std::string* what) {
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    *at = 0;
    *what = "starts with a UTF-8 byte-order mark, which stands before Basis";
    return true;
  }
  std::size_t i = 0;
  while (i < text.size() && IsCatalogueSpace(text[i]))
    ++i;
  if (text.compare(i, 5, "Basis") != 0) {
    *at = i;
    *what = "does not start with Basis{";
    return true;
  }
  return false;
}

}  // namespace

bool InspectCatalogue(FileSystem& files, const std::string& path, CTextureCatalogue* catalogue,
                      CatalogueProblem* problem) {
  *problem = CatalogueProblem();
  std::string shown = std::string(kCataloguePath);
  if (catalogue->Load(path) && catalogue->loaded_whole())
    return true;
  std::string text;
  if (!ReadTextFile(files, path, &text)) {
    problem->missing = !files.Exists(path);
    problem->what = shown + (problem->missing ? " does not exist" : " cannot be read");
    return false;
  }
  std::size_t at = 0;
  std::string what;
  if (FindBadStart(text, &at, &what)) {
    problem->pos = PosInText(text, at);
    problem->what = shown + " " + what;
  } else {
    problem->what = shown +
                    " holds text that Packwright does not read whole: an entry without "
                    "name(...) or id(...), text outside its entries, or a Ctrl-Z byte";
  }
  return false;
}
