#pragma once

namespace ui {

// The windows ask for the classic "MS Sans Serif" and "Courier New". Where a system lacks them (a fresh
// Wine prefix has no Windows fonts, a Linux desktop has other ones), a font of the same kind stands in
// instead of whatever the toolkit would pick. Called once the application object exists.
void InstallFontSubstitutes();

}  // namespace ui
