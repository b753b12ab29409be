#pragma once
// The Options dialog's window. The dialog's behaviour lives in app/options_dialog.h; the view only
// draws it and passes the clicks on.
#include <string_view>

#include "app/options_dialog.h"

namespace hg::platform {

// Shows the dialog and runs until RunMode leaves Configure. False when no display could be opened.
bool runOptionsWindow(OptionsDialog& dialog, const OptionsPictures& pictures);

// Opens the address in the user's web browser (xdg-open), without waiting for it.
void openWebPage(std::string_view address);

}  // namespace hg::platform
