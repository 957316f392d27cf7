// One line of text shown as a web link: drawn in FontOut while the pointer is away and in
// FontOver while it is over the link, which a timer finds out by polling the pointer position.
// What a click does is up to the receiver of Clicked.
#pragma once

#include <QString>
#include <QWidget>
#include <chrono>

#include "ui/LinkFont.h"

class QTimer;

namespace hillograph {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

inline constexpr char DefaultHyperLinkCaption[] = "New HyperLink";
inline constexpr int DefaultHyperLinkPointSize = 9;
inline constexpr QRgb DefaultFontOutColor = 0x808080;   // grey
inline constexpr QRgb DefaultFontOverColor = 0x000000;  // black
inline constexpr TAlignment DefaultHyperLinkAlignment = taLeftJustify;
inline constexpr bool DefaultHyperLinkAutoSize = true;
inline constexpr std::chrono::milliseconds HoverTimerInterval{50};

class THyperLink : public QWidget {
  Q_OBJECT

 public:
  explicit THyperLink(QWidget* parent = nullptr);

  const QString& Caption() const { return caption; }
  void SetCaption(const QString& Caption);

  // The owned fonts. Changing an attribute of the one in use resizes (with hlAutoSize) and
  // repaints the link; a change to the other shows when the pointer crosses the link.
  TLinkFont& FontOut() { return *fontOut; }
  const TLinkFont& FontOut() const { return *fontOut; }
  TLinkFont& FontOver() { return *fontOver; }
  const TLinkFont& FontOver() const { return *fontOver; }
  // Copy the attributes into the owned font, then resize (with hlAutoSize) and repaint, even
  // when nothing changed and whichever font is in use.
  void SetFontOut(const QFont& Font, const QColor& Color);
  void SetFontOver(const QFont& Font, const QColor& Color);

  TAlignment Alignment() const { return alignment; }
  void SetAlignment(TAlignment Alignment);
  // Switching it on sizes the link only at the next caption, font or hover change.
  bool hlAutoSize() const { return autoSize; }
  void SethlAutoSize(bool AutoSize);

  // Whether the pointer was over the link at the last poll.
  bool MouseOver() const { return mouseOver; }

 public slots:
  // The poll, every HoverTimerInterval from construction on, also while the link is hidden.
  void HoverTimerTick();

 signals:
  // A left-button press and release over the link.
  void Clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  const TLinkFont& FontInUse() const { return mouseOver ? *fontOver : *fontOut; }
  // Caption width + 2 by caption height + 2 in the font in use, at the present position.
  void AdjustBounds();
  void FontChanged(const TLinkFont* sender);
  void AssignFont(TLinkFont& font, const QFont& Font, const QColor& Color);
  QColor BackgroundColor() const;

  QString caption = QString::fromLatin1(DefaultHyperLinkCaption);
  TLinkFont* fontOut;
  TLinkFont* fontOver;
  TAlignment alignment = DefaultHyperLinkAlignment;
  bool autoSize = DefaultHyperLinkAutoSize;
  bool mouseOver = false;
  bool leftPressed = false;  // a left press on the link awaits its release
  QTimer* hoverTimer;
};

}  // namespace hillograph
