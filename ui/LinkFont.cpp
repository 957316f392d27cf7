#include "ui/LinkFont.h"

namespace hillograph {

TLinkFont::TLinkFont(const QFont& Font, const QColor& Color, QObject* parent)
    : QObject(parent), font(Font), color(Color) {}

void TLinkFont::SetFont(const QFont& Font) {
  if (Font == font) return;
  font = Font;
  emit Changed();
}

void TLinkFont::SetColor(const QColor& Color) {
  if (Color == color) return;
  color = Color;
  emit Changed();
}

}  // namespace hillograph
