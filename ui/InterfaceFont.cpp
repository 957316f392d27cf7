#include "ui/InterfaceFont.h"

#include <QFontDatabase>

namespace hillograph {

QFont InterfaceFont(int PointSize) {
  const QString family = QString::fromLatin1(InterfaceFamily);
  const bool installed = QFontDatabase::hasFamily(family);
  QFont font = installed ? QFont(family) : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setStyleHint(QFont::SansSerif);
  // The usual sans-serif faces run wider than the one the layout was made for; their condensed
  // cut keeps captions such as "Automatic refresh" inside their controls.
  if (!installed) font.setStretch(QFont::SemiCondensed);
  font.setPointSize(PointSize);
  return font;
}

}  // namespace hillograph
