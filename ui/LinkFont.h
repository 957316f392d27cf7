// A font with its colour, owned by a hyperlink, that tells its owner when one of its attributes
// changes. QFont is a value without change notification and has no colour, hence this object.
#pragma once

#include <QColor>
#include <QFont>
#include <QObject>

namespace hillograph {

class TLinkFont : public QObject {
  Q_OBJECT

 public:
  TLinkFont(const QFont& Font, const QColor& Color, QObject* parent);

  const QFont& Font() const { return font; }
  const QColor& Color() const { return color; }

  // Each emits Changed when the attribute really changes.
  void SetFont(const QFont& Font);
  void SetColor(const QColor& Color);

 signals:
  void Changed();

 private:
  QFont font;
  QColor color;
};

}  // namespace hillograph
