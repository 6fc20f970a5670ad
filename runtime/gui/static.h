// Static texts and pictures.
#pragma once

#include <string>

#include "window.h"

namespace rt {

// Static: text, or a bitmap from the program's resources.
class XbpBaseStatic : public XbpWindow {
  RT_CLASS("XbpBaseStatic", XbpBaseStatic, XbpWindow)

 public:
  static constexpr long kTypeText = 1;
  static constexpr long kTypeBitmap = 5;
  // Alignment options of text statics.
  static constexpr long kTextLeft = 0;
  static constexpr long kTextCenter = 1;
  static constexpr long kTextRight = 2;
  static constexpr long kTextTop = 0;
  static constexpr long kTextVCenter = 4;
  static constexpr long kTextBottom = 8;

  long type = kTypeText;
  Value caption;  // text, or resource number of a bitmap
  long options = 0;
  bool autoSize = false;

  bool setCaption(const Value& newCaption);
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  void onNativeDestroyed() override;
  void onDpiChanged() override;

 protected:
  NativeSpec nativeSpec() const override;
  void beforeCreate() override;

 private:
  void loadBitmap();
  void fitToContent();
  // The size of the picture or of the text in the font in force, in device
  // pixels.
  bool contentExtent(long& width, long& height);
  void paint(NativeDC dc);
  OwnedBitmap bitmap_;
};

}  // namespace rt
