#include "ui/InterfaceFont.h"

#include <QFontDatabase>

namespace hillograph {

QFont InterfaceFont(int PointSize) {
  const QString family = QString::fromLatin1(InterfaceFamily);
  QFont font = QFontDatabase::hasFamily(family)
                   ? QFont(family)
                   : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(PointSize);
  return font;
}

}  // namespace hillograph
