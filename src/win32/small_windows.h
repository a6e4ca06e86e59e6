#pragma once

#include "game/desktop.h"
#include "storage/hiscore.h"

#include <windows.h>

namespace pylons {

// The high-score window: a level chosen in the combo box shows its three records.
void ShowHiScores(HWND owner, const HiScoreTable& table);
// The About window, with the web site and the mail address as links.
void ShowAbout(HWND owner, Desktop& desktop);

} // namespace pylons
