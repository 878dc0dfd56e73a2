// Localized messages: picking a text's language, formatting it and showing
// it in a box captioned with the application's name.
#ifndef PACKWRIGHT_ENGINE_MESSAGES_H_
#define PACKWRIGHT_ENGINE_MESSAGES_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "res/resource.h"

// The application's name, every message box's caption.
extern const char kAppName[];

// The id to load for German base id `base_id` (101-125) on a system whose
// default language is `lang_id`: German keeps the id, French adds 200,
// Polish 300, every other language 100 (English).
unsigned LocalizedId(unsigned base_id, std::uint16_t lang_id);
// The same for the running system's default language, asked afresh.
unsigned LocalizedId(Shell& shell, unsigned base_id);

// Replaces the %s markers of `pattern`, in order, with `args`; a marker with
// no argument left becomes empty, arguments beyond the markers are ignored,
// and "%%" stands for "%". Nothing else is interpreted.
std::string FormatText(const std::string& pattern, const std::vector<std::string>& args);

// The localized text of `base_id`, as loaded.
std::string LoadMessage(Shell& shell, unsigned base_id);

// The localized text of `base_id` with its markers replaced by `args`.
std::string FormatLocalized(Shell& shell, unsigned base_id, const std::vector<std::string>& args);

// The text that ShowMessage shows for `base_id` and `args`.
std::string MessageText(Shell& shell, unsigned base_id, const std::vector<std::string>& args);

// Shows `text` in a modal box captioned "Packwright" with box type `type`;
// a type without an icon gets the exclamation icon. Returns the button
// pressed.
int ShowText(Shell& shell, const std::string& text, unsigned type);

// Shows the localized text of `base_id` in a modal box captioned
// "Packwright" with box type `type`; a type without an icon gets the
// exclamation icon. With no `args` the text is shown as loaded. Returns the
// button pressed.
int ShowMessage(Shell& shell, unsigned base_id, unsigned type,
                const std::vector<std::string>& args = {});

#endif  // PACKWRIGHT_ENGINE_MESSAGES_H_
