// Why Kestrova's catalogue does not load as the texture step needs it.
#ifndef PACKWRIGHT_TOOL_CATALOGUE_CHECK_H_
#define PACKWRIGHT_TOOL_CATALOGUE_CHECK_H_

#include <string>

#include "engine/install_script.h"
#include "platform/file_system.h"
#include "textures/texture_catalogue.h"

struct CatalogueProblem {
  // True when there is no file to read.
  bool missing = false;
  // Where the fault stands; line 0 when no single place is to blame.
  ScriptPos pos;
  // What is wrong, as the end of a sentence that begins with the file's
  // name, such as "starts with a UTF-8 byte-order mark".
  std::string what;
};

// Loads the catalogue at `path` into `*catalogue` as the texture step does.
// True when it loads whole; false otherwise, with `*problem` filled in.
bool InspectCatalogue(FileSystem& files, const std::string& path, CTextureCatalogue* catalogue,
                      CatalogueProblem* problem);

#endif  // PACKWRIGHT_TOOL_CATALOGUE_CHECK_H_
