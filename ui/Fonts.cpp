#include "ui/Fonts.h"

#include <QFont>
#include <QStringList>

namespace ui {

void InstallFontSubstitutes() {
  QFont::insertSubstitutions("MS Sans Serif", {"Microsoft Sans Serif", "Tahoma", "Segoe UI", "Arial",
                                               "Liberation Sans", "DejaVu Sans"});
  QFont::insertSubstitutions("Courier New", {"Liberation Mono", "DejaVu Sans Mono", "Consolas"});
}

}  // namespace ui
